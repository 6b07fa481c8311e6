#pragma once

#include "ReportControl.h"

#include <QList>
#include <QString>

namespace vantor::report {

// A band of a report: it prints once per report, per page, or once per row of
// its level (headers before the level's child rows, footers after them).
struct ReportSection
{
    enum class Kind {
        ReportHeader,
        PageHeader,
        GroupHeader,
        Detail,
        NoDetail, // in place of the detail rows of a group that has none
        GroupFooter,
        PageFooter,
        ReportFooter
    };

    Kind kind = Kind::Detail;
    QString name;   // Results_Grouping_Header, Details_Detail, PageFooter...
    int level = -1; // the data level whose fields it reads; -1 for report and page sections
    int height = 0; // twips; an empty section takes no room
    QList<ReportControl> controls;
};

} // namespace vantor::report
