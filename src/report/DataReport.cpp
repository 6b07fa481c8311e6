#include "DataReport.h"

#include "BandBuilder.h"
#include "DataEnvironment.h"
#include "ReportJob.h"
#include "ReportPreview.h"

#include "platform/Error.h"
#include "platform/Ui.h"
#include "widgets/WindowRegistry.h"

#include <QElapsedTimer>

namespace vantor::report {

DataReport::DataReport(ReportDefinition definition) : m_definition(std::move(definition)) {}

namespace {

// Long enough to finish a report of a few years at once, short enough that
// the first page of thirty years shows without a wait.
constexpr int FirstSliceMs = 250;

} // namespace

void DataReport::stopLayout()
{
    if (m_job)
        m_job->cancel();
}

ReportPreview* DataReport::show(std::function<void()> release)
{
    // Until the job takes them over, the rows are let go here if anything fails.
    struct Release
    {
        std::function<void()> call;
        ~Release()
        {
            if (call)
                call();
        }
    } guard{std::move(release)};

    stopLayout();
    engine::Recordset& rows = DataEnvironment1().command(m_definition.dataMember());
    if (!rows.isOpen())
        throw Error(
            Error::DatabaseError,
            QStringLiteral("The data of the report %1 is not open.").arg(m_definition.caption()));
    auto document = std::make_shared<ReportDocument>(m_definition, m_title, platform::ui().today());
    auto job = std::make_unique<ReportJob>(m_definition, rows, document, std::move(guard.call));
    guard.call = nullptr;
    QString failure;
    const auto noted = QObject::connect(job.get(), &ReportJob::finished, job.get(),
                                        [&failure](const QString& text) { failure = text; });
    // The first page at least, before the window shows.
    QElapsedTimer clock;
    clock.start();
    while (!job->run(25) && (document->pageCount() < 2 || clock.elapsed() < FirstSliceMs)) {
    }
    QObject::disconnect(noted);
    if (!failure.isEmpty())
        throw Error(Error::DatabaseError, failure);

    auto& registry = widgets::windows();
    if (!registry.isRegistered(name()))
        registry.registerWindow(name(), widgets::WindowRegistry::Kind::Own,
                                [] { return new ReportPreview; });
    auto* preview = qobject_cast<ReportPreview*>(registry.load(name()));
    if (!preview)
        throw Error(Error::InvalidProcedureCall,
                    QStringLiteral("The preview window of %1 cannot be opened.")
                        .arg(m_definition.caption()));
    m_document = document;
    m_job = job.get();
    preview->setDocument(document, std::move(job));
    registry.show(name());
    return preview;
}

DataReport& DataReport1()
{
    static DataReport report(dailyResultsDefinition());
    return report;
}

DataReport& DataReport2()
{
    static DataReport report(singleItemDefinition());
    return report;
}

} // namespace vantor::report
