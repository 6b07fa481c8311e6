#include "ReportRun.h"

#include "DataEnvironment.h"
#include "DataReport.h"

namespace vantor::report {

namespace {

// Lets the command go however the run ends.
class ReleaseCommand
{
public:
    explicit ReleaseCommand(const QString& name) : m_name(name) {}
    ~ReleaseCommand() { DataEnvironment1().release(m_name); }
    ReleaseCommand(const ReleaseCommand&) = delete;
    ReleaseCommand& operator=(const ReleaseCommand&) = delete;

private:
    QString m_name;
};

} // namespace

ReportPreview* runReport(const QString& commandName, const QString& shapeText, DataReport& report,
                         const QString& title)
{
    DataEnvironment& environment = DataEnvironment1();
    environment.command(commandName); // an unknown name fails before anything closes
    const ReleaseCommand release(commandName);
    environment.reopen(commandName, shapeText);
    report.setTitle(title);
    return report.show();
}

} // namespace vantor::report
