#include "WindowBench.h"

#include "Measurements.h"

#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "entry/frmBrowse.h"
#include "entry/frmEdit.h"
#include "overview/OverviewWindows.h"
#include "overview/dlgReport1.h"
#include "overview/frmChart.h"
#include "overview/frmStats.h"
#include "platform/Error.h"
#include "widgets/WindowRegistry.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>

#include <sqlite3.h>

#include <algorithm>
#include <limits>
#include <memory>

#include <unistd.h>

namespace vantor::bench {

namespace {

const QString ResultTag = QStringLiteral("WINDOW-RESULT");

double residentMb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    if (fields.size() < 2)
        return 0;
    return fields.at(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double peakMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

// The windows open vantor.mdb in the working folder.
class WorkingFolder
{
public:
    explicit WorkingFolder(const QString& database)
    {
        if (!m_folder.isValid() || !QFile::link(QFileInfo(database).absoluteFilePath(),
                                                m_folder.filePath(QStringLiteral("vantor.mdb"))))
            throw Error(Error::FileNotFound, QStringLiteral("Cannot link %1 as vantor.mdb in %2")
                                                 .arg(database, m_folder.path()));
        QDir::setCurrent(m_folder.path());
    }

private:
    QTemporaryDir m_folder;
};

void settle()
{
    QApplication::processEvents(QEventLoop::AllEvents);
}

// Shows a window and paints it once, as the first screen the user sees.
void paint(QWidget* window)
{
    window->show();
    settle();
    window->grab();
}

overview::ChartRequest allDatesOfFirstItem()
{
    engine::Connection connection;
    connection.open(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=vantor.mdb"));
    engine::Recordset span;
    span.open(QStringLiteral("SELECT Min(Date) AS First, Max(Date) AS Last FROM Results"),
              &connection);
    engine::Recordset item;
    item.open(QStringLiteral("SELECT ID, Test FROM Tests ORDER BY ID"), &connection);
    if (span.recordCount() == 0 || item.recordCount() == 0)
        throw Error(Error::NoCurrentRecord, QStringLiteral("The database holds no values."));
    return {span.value(QStringLiteral("First")).toDate(),
            span.value(QStringLiteral("Last")).toDate(),
            qint32(item.value(QStringLiteral("ID")).toLongLong()),
            item.value(QStringLiteral("Test")).toString()};
}

// The daily results report of every date, as the dialog runs it; returns its
// preview once the first page is painted.
QWidget* openDailyReport(std::unique_ptr<overview::dlgReport1>& dialog)
{
    dialog = std::make_unique<overview::dlgReport1>();
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    dialog->actionButton()->click();
    QWidget* preview = widgets::windows().find(QStringLiteral("DataReport1"));
    if (!preview)
        throw Error(Error::DatabaseError, QStringLiteral("The report's preview did not open."));
    paint(preview);
    return preview;
}

} // namespace

QStringList windowMeasurements()
{
    return {QStringLiteral("edit"),  QStringLiteral("browse"), QStringLiteral("statistics"),
            QStringLiteral("chart"), QStringLiteral("report"), QStringLiteral("all")};
}

int runWindow(const Setup& setup, const QString& name)
{
    const WorkingFolder folder(setup.database);
    overview::registerOverviewWindows();
    // What any window needs first (fonts, styles): not the window's own cost.
    {
        QWidget warm;
        paint(&warm);
    }
    const overview::ChartRequest chartRequest = allDatesOfFirstItem();
    const double before = residentMb();

    WindowResult result;
    QElapsedTimer timer;
    timer.start();
    std::vector<std::unique_ptr<QWidget>> windows;
    const auto open = [&](const QString& which) {
        if (which == QLatin1String("edit")) {
            windows.emplace_back(new entry::frmEdit);
        } else if (which == QLatin1String("browse")) {
            windows.emplace_back(new entry::frmBrowse);
        } else if (which == QLatin1String("statistics")) {
            windows.emplace_back(new overview::frmStats);
        } else if (which == QLatin1String("chart")) {
            auto* chart = new overview::frmChart;
            chart->setAttribute(Qt::WA_DeleteOnClose, false);
            windows.emplace_back(chart);
            chart->show();
            chart->showResults(chartRequest);
        }
        paint(windows.back().get());
    };

    std::unique_ptr<overview::dlgReport1> dialog;
    if (name == QLatin1String("report") || name == QLatin1String("all")) {
        if (name == QLatin1String("all")) {
            for (const QString& which : {QStringLiteral("edit"), QStringLiteral("browse"),
                                         QStringLiteral("statistics"), QStringLiteral("chart")})
                open(which);
            timer.restart();
        }
        QWidget* preview = openDailyReport(dialog);
        result.ms = double(timer.nsecsElapsed()) / 1e6;
        result.growthMb = residentMb() - before;
        // Let the rest of the report be laid out, as it is while the user reads.
        QElapsedTimer idle;
        idle.start();
        while (idle.elapsed() < 120000 && preview->property("layingOut").toBool())
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        result.growthMb = std::max(result.growthMb, residentMb() - before);
        preview->close();
        dialog.reset();
        windows.clear();
        for (int i = 0; i < 5; ++i) {
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            settle();
        }
        result.keptMb = residentMb() - before;
    } else if (windowMeasurements().contains(name)) {
        open(name);
        result.ms = double(timer.nsecsElapsed()) / 1e6;
        result.growthMb = residentMb() - before;
        windows.clear();
        settle();
        result.keptMb = residentMb() - before;
    } else {
        QTextStream(stderr) << "vantor-bench: no window measurement " << name << '\n';
        return 2;
    }
    result.peakMb = peakMb();
    QTextStream(stdout) << ResultTag << ' ' << result.ms << ' ' << result.growthMb << ' '
                        << result.peakMb << ' ' << result.keptMb << '\n';
    return 0;
}

WindowResult measureWindow(const QString& program, const Setup& setup, const QString& name,
                           int runs)
{
    WindowResult best{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
                      std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
    for (int i = 0; i < runs; ++i) {
        QProcess child;
        child.start(program, {QFileInfo(setup.database).absoluteFilePath(),
                              QStringLiteral("--window"), name});
        // The platform's chatter on the way is of no interest unless it fails.
        if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit ||
            child.exitCode() != 0)
            throw Error(Error::DatabaseError,
                        QStringLiteral("The %1 measurement failed: %2")
                            .arg(name, QString::fromLocal8Bit(child.readAllStandardError())
                                           .trimmed()));
        const QString output = QString::fromLocal8Bit(child.readAllStandardOutput());
        const qsizetype at = output.indexOf(ResultTag);
        const QStringList figures =
            output.mid(at + ResultTag.size()).simplified().split(u' ').mid(0, 4);
        if (at < 0 || figures.size() < 4)
            throw Error(Error::DatabaseError,
                        QStringLiteral("The %1 measurement printed no result.").arg(name));
        best.ms = std::min(best.ms, figures.at(0).toDouble());
        best.growthMb = std::min(best.growthMb, figures.at(1).toDouble());
        best.peakMb = std::min(best.peakMb, figures.at(2).toDouble());
        best.keptMb = std::min(best.keptMb, figures.at(3).toDouble());
    }
    return best;
}

RawFloor measureRawFloor(const Setup& setup, int runs)
{
    RawFloor floor;
    floor.engineMs = std::numeric_limits<double>::max();
    floor.loopMs = std::numeric_limits<double>::max();
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        {
            engine::Connection connection;
            connection.open(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") +
                            setup.database);
            engine::Recordset rows;
            rows.open(overviewSummarySql(), &connection, engine::CursorType::ForwardOnly,
                      engine::LockType::ReadOnly);
            floor.rows = rows.recordCount();
        }
        floor.engineMs = std::min(floor.engineMs, double(timer.nsecsElapsed()) / 1e6);

        // The same join and order, each value read as the engine reads it,
        // with nothing formatted.
        timer.restart();
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(QFileInfo(setup.database).absoluteFilePath().toUtf8().constData(), &db,
                            SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            sqlite3_close(db);
            throw Error(Error::DatabaseError, QStringLiteral("sqlite3_open_v2 failed."));
        }
        sqlite3_stmt* stmt = nullptr;
        const QByteArray sql = rawSummarySql().toUtf8();
        if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK) {
            const QString message = QString::fromUtf8(sqlite3_errmsg(db));
            sqlite3_close(db);
            throw Error(Error::DatabaseError, message);
        }
        qint64 rows = 0;
        qint64 bytes = 0;
        const int columns = sqlite3_column_count(stmt);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c) {
                if (sqlite3_column_type(stmt, c) == SQLITE_TEXT)
                    bytes += sqlite3_column_bytes(stmt, c);
                else
                    bytes += sqlite3_column_int64(stmt, c);
            }
            ++rows;
        }
        sqlite3_finalize(stmt);
        sqlite3_close(db);
        floor.loopMs = std::min(floor.loopMs, double(timer.nsecsElapsed()) / 1e6);
        if (rows != floor.rows || bytes < 0)
            throw Error(
                Error::DatabaseError,
                QStringLiteral("The loop read %1 rows, the engine %2.").arg(rows).arg(floor.rows));
    }
    return floor;
}

} // namespace vantor::bench
