#pragma once

#include "BandBuilder.h"
#include "ReportDocument.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

namespace vantor::engine {
class Recordset;
}

namespace vantor::report {

// Reads a report's rows into its document and lays out the pages, a slice
// at a time, so that the first pages show while the rest follow and the
// window stays usable. The rows are let go (release) once the reading ends,
// however it ends: finished, cancelled, failed or the job destroyed.
class ReportJob : public QObject
{
    Q_OBJECT

public:
    ReportJob(const ReportDefinition& definition, engine::Recordset& rows,
              std::shared_ptr<ReportDocument> document, std::function<void()> release,
              QObject* parent = nullptr);
    ~ReportJob() override;
    ReportJob(const ReportJob&) = delete;
    ReportJob& operator=(const ReportJob&) = delete;

    // Reads for about budgetMs milliseconds, now; true once the reading ended.
    bool run(int budgetMs);
    // Goes on reading in slices whenever the program is idle.
    void start();
    // Stops the reading; the pages laid out so far stay the report.
    void cancel();

    bool isRunning() const { return !m_ended; }
    double progress() const; // 0 to 1
    const ReportDocument& document() const { return *m_document; }

signals:
    void advanced();
    // The reading ended; failure holds the error's description when it failed.
    void finished(const QString& failure);

private:
    void end(const QString& failure);

    BandBuilder m_builder;
    std::shared_ptr<ReportDocument> m_document;
    std::function<void()> m_release;
    QTimer m_timer;
    bool m_ended = false;
};

} // namespace vantor::report
