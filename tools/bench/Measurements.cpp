#include "Measurements.h"

#include "BrowseBench.h"
#include "OverviewBench.h"

#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "platform/Error.h"

#include <QDir>
#include <QProcess>

namespace vantor::bench {

namespace {

QString connectionString(const Setup& setup)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + setup.database;
}

// Opens a connection and reads every row of sql, as a window does when it loads.
qint64 openThroughEngine(const Setup& setup, const QString& sql)
{
    engine::Connection connection;
    connection.open(connectionString(setup));
    engine::Recordset rows;
    rows.open(sql, &connection, engine::CursorType::ForwardOnly, engine::LockType::ReadOnly);
    return rows.recordCount();
}

} // namespace

void runShell(const Setup& setup, const QString& sql, const QStringList& options,
              const QString& outputFile)
{
    QProcess shell;
    shell.setStandardOutputFile(outputFile.isEmpty() ? QProcess::nullDevice() : outputFile);
    shell.start(setup.sqliteShell,
                QStringList{QStringLiteral("-batch"), QStringLiteral("-init"),
                            QProcess::nullDevice(), QStringLiteral("-readonly")} +
                    options + QStringList{setup.database, sql});
    if (!shell.waitForFinished(-1) || shell.exitStatus() != QProcess::NormalExit ||
        shell.exitCode() != 0)
        throw Error(Error::DatabaseError,
                    QStringLiteral("%1 failed: %2 %3")
                        .arg(setup.sqliteShell, shell.errorString(),
                             QString::fromLocal8Bit(shell.readAllStandardError()).trimmed()));
}

QString overviewSummarySql()
{
    return QStringLiteral(
               "SELECT Results.Date, Format(Results.Date,'Medium Date') as Dates, Periods.Period, "
               "Results.Remarks, Tests.Test, format(Details.Result,'##,##0.0') as Results, "
               "Details.Unit ") +
           QStringLiteral("FROM Tests RIGHT JOIN ((Results INNER JOIN Details ON Results.ID = "
                          "Details.ID) INNER JOIN Periods ON Results.Period = Periods.ID) ON "
                          "Tests.ID = Details.Test ") +
           QStringLiteral("Order by Date, Results.Period, Tests.Test");
}

QString nativeOverviewSummarySql()
{
    // 'Medium Date' is dd-mmm-yyyy; '##,##0.0' is grouped thousands and one
    // decimal, rounded half away from zero as round() does. The join is the
    // window's, written as SQLite is best at it: "Tests RIGHT JOIN (...)" is
    // "(...) LEFT JOIN Tests", and SQLite 3.40 plans the RIGHT JOIN form by
    // scanning the whole inner join once per test item.
    return QStringLiteral(
        "SELECT Results.Date, "
        "strftime('%d', Results.Date) || '-' || "
        "substr('JanFebMarAprMayJunJulAugSepOctNovDec', 3 * strftime('%m', Results.Date) - 2, 3) "
        "|| '-' || strftime('%Y', Results.Date) AS Dates, "
        "Periods.Period, Results.Remarks, Tests.Test, "
        "CASE WHEN Details.Result IS NULL THEN NULL ELSE "
        "(CASE WHEN round(Details.Result, 1) < 0 THEN '-' ELSE '' END) || "
        "printf('%,d', CAST(abs(round(Details.Result, 1)) AS INTEGER)) || '.' || "
        "(CAST(round(abs(round(Details.Result, 1)) * 10) AS INTEGER) % 10) END AS Results, "
        "Details.Unit "
        "FROM Results INNER JOIN Details ON Results.ID = Details.ID "
        "INNER JOIN Periods ON Results.Period = Periods.ID "
        "LEFT JOIN Tests ON Tests.ID = Details.Test "
        "ORDER BY Results.Date, Results.Period, Tests.Test");
}

QString rawSummarySql()
{
    return QStringLiteral(
        "SELECT Results.Date, Periods.Period, Results.Remarks, Tests.Test, Details.Result, "
        "Details.Unit "
        "FROM Results INNER JOIN Details ON Results.ID = Details.ID "
        "INNER JOIN Periods ON Results.Period = Periods.ID "
        "LEFT JOIN Tests ON Tests.ID = Details.Test "
        "ORDER BY Results.Date, Results.Period, Tests.Test");
}

QVector<Comparison> comparisons()
{
    return {
        {QStringLiteral("overview summary"),
         [](const Setup& setup) { return openThroughEngine(setup, overviewSummarySql()); },
         [](const Setup& setup) { runShell(setup, nativeOverviewSummarySql()); }},
        browseToLast(),
        summaryFirstScreen(),
        summaryAllRows(),
        exportAllDates(),
    };
}

} // namespace vantor::bench
