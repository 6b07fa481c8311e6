#pragma once

#include "ReportDefinition.h"
#include "ReportDocument.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

namespace vantor::report {

class ReportJob;
class ReportPreview;

// A report of the program: its design, bound to the data environment's
// command of its data member, and the title that stands in for %i. show()
// reads the command's current rows and shows them in the report's own
// preview window (one per report, named after it).
class DataReport
{
public:
    explicit DataReport(ReportDefinition definition);

    const ReportDefinition& definition() const { return m_definition; }
    const QString& name() const { return m_definition.name(); }

    void setTitle(const QString& title) { m_title = title; }
    const QString& title() const { return m_title; }

    // Lays out the open rows of the data member's recordset and shows them,
    // modeless: the first pages at once, the rest while the preview is open
    // (a small report is whole when show() returns). release is called once
    // the rows are no longer needed, also when show() fails. Throws
    // vantor::Error when the rows cannot be read; the preview then keeps
    // what it showed before.
    ReportPreview* show(std::function<void()> release = {});
    // Stops laying out the report shown last, keeping the pages it has.
    void stopLayout();
    // What the last show() laid out while its preview is open; else nullptr.
    std::shared_ptr<const ReportDocument> document() const { return m_document.lock(); }

private:
    ReportDefinition m_definition;
    QString m_title;
    std::weak_ptr<const ReportDocument> m_document;
    QPointer<ReportJob> m_job;
};

// The daily results report: for each date, its occasions' periods and values.
DataReport& DataReport1();
// The single item report: one item's values with date, unit and period.
DataReport& DataReport2();

// The two designs, as DataReport1 and DataReport2 use them.
ReportDefinition dailyResultsDefinition();
ReportDefinition singleItemDefinition();

} // namespace vantor::report
