#include "OverviewBench.h"

#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "overview/ExportWriter.h"
#include "overview/frmOverview.h"
#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>

namespace vantor::bench {

namespace {

// The windows open vantor.mdb in the working folder: a folder of the bench's
// own holds a link of that name to the database being measured.
class DatabaseFolder
{
public:
    explicit DatabaseFolder(const QString& database) : m_previous(QDir::currentPath())
    {
        if (!m_folder.isValid() || !QFile::link(QFileInfo(database).absoluteFilePath(),
                                                m_folder.filePath(QStringLiteral("vantor.mdb"))))
            throw Error(Error::FileNotFound, QStringLiteral("Cannot link %1 as vantor.mdb in %2")
                                                 .arg(database, m_folder.path()));
        QDir::setCurrent(m_folder.path());
    }
    ~DatabaseFolder() { QDir::setCurrent(m_previous); }
    DatabaseFolder(const DatabaseFolder&) = delete;
    DatabaseFolder& operator=(const DatabaseFolder&) = delete;

    QString filePath(const QString& name) const { return m_folder.filePath(name); }

private:
    QTemporaryDir m_folder;
    QString m_previous;
};

// Opens the summary window and paints its first screen; with allRows, then
// reads the rest of its rows as idle time would.
qint64 openSummaryWindow(const Setup& setup, bool allRows)
{
    const DatabaseFolder folder(setup.database);
    std::unique_ptr<overview::frmOverview> window(overview::frmOverview::create());
    if (!window)
        throw Error(Error::DatabaseError, QStringLiteral("The summary window did not open."));
    window->resize(900, 700);
    window->show();
    window->grab(); // paints the first screen
    if (allRows)
        window->rows()->fetchAll();
    return window->grid()->rows() - window->grid()->fixedRows();
}

QString exportFile()
{
    return QDir::temp().filePath(QStringLiteral("vantor-bench-export.txt"));
}

qint64 exportThroughProgram(const Setup& setup)
{
    engine::Connection connection;
    connection.open(QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=") +
                    setup.database + u';');
    // The dialog's presets: the oldest and the newest date.
    engine::Recordset span;
    span.open(QStringLiteral("SELECT Min(Date) AS First, Max(Date) AS Last FROM Results"),
              &connection);
    const QDate from = span.value(QStringLiteral("First")).toDate();
    const QDate to = span.value(QStringLiteral("Last")).toDate();
    const qint64 rows = overview::writeExport(connection, exportFile(), from, to);
    QFile::remove(exportFile());
    return rows;
}

// The export's rows in SQLite's own SQL: the same joins, span and order, the
// date in the month/day/year form.
QString nativeExportSql()
{
    return QStringLiteral(
        "SELECT cast(strftime('%m', Results.Date) AS INTEGER) || '/' || "
        "cast(strftime('%d', Results.Date) AS INTEGER) || '/' || strftime('%Y', Results.Date) "
        "AS Date, Periods.Period, Tests.Test, Details.Result, Details.Unit, Results.Remarks "
        "FROM Results INNER JOIN Details ON Results.ID = Details.ID "
        "INNER JOIN Periods ON Results.Period = Periods.ID "
        "LEFT JOIN Tests ON Tests.ID = Details.Test "
        "WHERE Results.Date BETWEEN (SELECT min(Date) FROM Results) AND "
        "(SELECT max(Date) FROM Results) "
        "ORDER BY Results.Date, Results.Period, Tests.Test");
}

void exportNatively(const Setup& setup)
{
    runShell(setup, nativeExportSql(), {QStringLiteral("-tabs"), QStringLiteral("-header")},
             exportFile());
    QFile::remove(exportFile());
}

} // namespace

Comparison summaryFirstScreen()
{
    return {QStringLiteral("summary first screen"),
            [](const Setup& setup) { return openSummaryWindow(setup, false); },
            [](const Setup& setup) {
                runShell(setup, nativeOverviewSummarySql());
            }};
}

Comparison summaryAllRows()
{
    return {QStringLiteral("summary all rows"),
            [](const Setup& setup) { return openSummaryWindow(setup, true); },
            [](const Setup& setup) {
                runShell(setup, nativeOverviewSummarySql());
            }};
}

Comparison exportAllDates()
{
    return {QStringLiteral("export all dates"), exportThroughProgram, exportNatively};
}

} // namespace vantor::bench
