#pragma once

#include <QString>

namespace vantor::report {

class DataReport;
class ReportPreview;

// Runs a report on a shaped command text: replaces the text of the data
// environment's command, opens it, sets the report's title (what %i prints)
// and shows the report in its preview window. The command's rows are let go
// once the report has read them (a long report reads them while its preview
// is open). Throws vantor::Error.
ReportPreview* runReport(const QString& commandName, const QString& shapeText, DataReport& report,
                         const QString& title);

} // namespace vantor::report
