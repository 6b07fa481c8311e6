#include "ReportJob.h"

#include "engine/Recordset.h"
#include "platform/Error.h"

#include <QElapsedTimer>

namespace vantor::report {

namespace {

// Rows read between looks at the clock.
constexpr int RowsPerStep = 64;
// A slice short enough that typing and clicking never wait noticeably.
constexpr int SliceMs = 40;

} // namespace

ReportJob::ReportJob(const ReportDefinition& definition, engine::Recordset& rows,
                     std::shared_ptr<ReportDocument> document, std::function<void()> release,
                     QObject* parent)
    : QObject(parent), m_builder(definition), m_document(std::move(document)),
      m_release(std::move(release))
{
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (run(SliceMs))
            return;
        emit advanced();
    });
    try {
        m_builder.start(rows);
    } catch (const Error& error) {
        end(error.description());
    }
}

ReportJob::~ReportJob()
{
    m_timer.stop();
    if (!m_ended) {
        m_ended = true;
        m_document->stop();
    }
    if (m_release)
        m_release();
}

bool ReportJob::run(int budgetMs)
{
    if (m_ended)
        return true;
    QElapsedTimer clock;
    clock.start();
    std::vector<Band> bands;
    try {
        bool done = false;
        while (!done && clock.elapsed() < budgetMs)
            done = m_builder.step(bands, RowsPerStep);
        m_document->append(std::move(bands), done);
        if (done)
            end(QString());
        return done;
    } catch (const Error& error) {
        m_document->append(std::move(bands), false);
        end(error.description());
        return true;
    }
}

void ReportJob::start()
{
    if (!m_ended)
        m_timer.start();
}

void ReportJob::cancel()
{
    if (!m_ended)
        end(QString());
}

double ReportJob::progress() const
{
    return m_ended ? 1.0 : m_builder.progress();
}

void ReportJob::end(const QString& failure)
{
    m_timer.stop();
    m_ended = true;
    m_document->stop();
    if (m_release) {
        // Let go of the rows now: nothing reads them any more.
        auto release = std::move(m_release);
        m_release = nullptr;
        release();
    }
    emit finished(failure);
}

} // namespace vantor::report
