#pragma once

#include "ImportMapping.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace vantor::engine {
class SqliteDatabase;
}

namespace vantor::importer {

// Reports how far a long action has come; returning false cancels it.
using Progress = std::function<bool(qint64 done, qint64 total)>;

struct BadLine
{
    qint64 line = 0;
    QString reason;
};

// A period or test item: one already stored (id) or one the import creates
// (index into the plan's new names).
struct ItemRef
{
    qint64 id = 0;
    int created = -1;
};

// What an import adds to a database, worked out before anything is written.
struct ImportPlan
{
    struct Occasion
    {
        QDate date;
        ItemRef period;
        QString remarks;
        qint64 storedId = 0; // an occasion already stored on that date and period
    };
    struct Value
    {
        int occasion = 0; // index into occasions
        ItemRef test;
        double result = 0;
        QString unit;
    };

    qint64 lineCount = 0;
    qint64 duplicates = 0; // values already stored (or twice in the file), skipped
    QList<BadLine> badLines;
    QStringList newPeriods; // in the order of the day, as the file suggests it
    QStringList newTests;
    QStringList newTestUnits;
    QList<Occasion> occasions; // only those that receive a value
    QList<Value> values;

    qint64 newOccasionCount() const;
    qint64 storedOccasionCount() const; // stored occasions that receive values
};

struct PlanOptions
{
    // Test items and periods not in the lists are created; otherwise their
    // lines are bad lines.
    bool createNew = true;
};

// Throws vantor::Error unless db holds the tables of a results database:
// another SQLite file would fail on its first statement with a message about
// a table, this says what the file is not.
void requireResultTables(engine::SqliteDatabase& db);

// Reads every line against the database: the occasions and values to add,
// the test items and periods that would be new, the values already stored
// and every line that cannot be read with the reason. Occasions are matched
// on date and period; values on date, period, test item and result. Writes
// nothing. nullopt when progress cancels. Throws vantor::Error.
std::optional<ImportPlan> planImport(engine::SqliteDatabase& db, const TextTable& table,
                                     const Mapping& mapping, const PlanOptions& options,
                                     const Progress& progress = {});

// The preview as text: counts, new items and periods, bad lines (at most
// maxBadLines of them, then how many more).
QString previewText(const ImportPlan& plan, int maxBadLines = 50);

struct ImportOutcome
{
    qint64 occasions = 0;
    qint64 values = 0;
    qint64 duplicates = 0;
    qint64 skippedLines = 0;
    qint64 periods = 0;
    qint64 tests = 0;
};

// Plans again inside one write transaction (so that nothing changed since the
// preview is added twice) and writes all of it or, on any failure or when
// progress cancels, nothing. Bad lines are refused unless skipBadLines.
// nullopt when cancelled. Throws vantor::Error.
std::optional<ImportOutcome> runImport(engine::SqliteDatabase& db, const TextTable& table,
                                       const Mapping& mapping, const PlanOptions& options,
                                       bool skipBadLines, const Progress& progress = {});

// The outcome as one sentence: "Added 3 occasions and 12 values; ..."
QString outcomeText(const ImportOutcome& outcome);

} // namespace vantor::importer
