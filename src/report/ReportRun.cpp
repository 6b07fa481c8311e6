#include "ReportRun.h"

#include "DataEnvironment.h"
#include "DataReport.h"

#include <functional>
#include <utility>

namespace vantor::report {

namespace {

// Lets the command go unless the report took its rows over.
class ReleaseCommand
{
public:
    explicit ReleaseCommand(const QString& name) : m_name(name) {}
    ~ReleaseCommand()
    {
        if (!m_name.isEmpty())
            DataEnvironment1().release(m_name);
    }
    ReleaseCommand(const ReleaseCommand&) = delete;
    ReleaseCommand& operator=(const ReleaseCommand&) = delete;

    // The report lets the command go once it has read the rows.
    std::function<void()> handOver()
    {
        return [name = std::exchange(m_name, QString())] { DataEnvironment1().release(name); };
    }

private:
    QString m_name;
};

} // namespace

ReportPreview* runReport(const QString& commandName, const QString& shapeText, DataReport& report,
                         const QString& title)
{
    DataEnvironment& environment = DataEnvironment1();
    environment.command(commandName); // an unknown name fails before anything closes
    // A report still being laid out reads the command's rows: stop it first.
    report.stopLayout();
    ReleaseCommand release(commandName);
    environment.reopen(commandName, shapeText);
    report.setTitle(title);
    return report.show(release.handOver());
}

} // namespace vantor::report
