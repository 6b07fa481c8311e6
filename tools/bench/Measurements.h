#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

// What vantor-bench measures: each comparison reads the same rows twice, once
// the program's way (its SQL text through the engine) and once natively (an
// equivalent SQLite query run by the sqlite3 shell), so the ratio shows what
// the engine costs. New measurements are new entries in comparisons().
namespace vantor::bench {

struct Setup
{
    QString database; // path of the database file
    QString sqliteShell = QStringLiteral("sqlite3");
};

struct Comparison
{
    QString name;
    // Each returns the number of rows it read; both throw vantor::Error.
    std::function<qint64(const Setup&)> engine;
    std::function<void(const Setup&)> native;
};

QVector<Comparison> comparisons();

// Runs sql in the sqlite3 shell on the database, read-only, with the extra
// options; its output goes to outputFile (thrown away unless given).
void runShell(const Setup& setup, const QString& sql, const QStringList& options = {},
              const QString& outputFile = {});

// The summary of the overview window, exactly as the window sends it.
QString overviewSummarySql();
// The same rows in SQLite's own SQL: same joins and order, the dates and
// numbers formatted with strftime and printf.
QString nativeOverviewSummarySql();
// The same join and order with nothing formatted: what a plain loop over
// sqlite3_step reads as the floor under the engine.
QString rawSummarySql();

} // namespace vantor::bench
