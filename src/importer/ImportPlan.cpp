#include "ImportPlan.h"

#include "engine/Sqlite.h"
#include "platform/Error.h"

#include <QDir>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace vantor::importer {

namespace {

constexpr qint64 ProgressStep = 2000;

QString folded(const QString& name)
{
    return name.trimmed().toCaseFolded();
}

QString field(const TextLine& line, int column)
{
    return column >= 0 && column < line.fields.size() ? line.fields[column] : QString();
}

// Keys that tell stored and new items apart: stored ids are positive.
qint64 refKey(const ItemRef& ref)
{
    return ref.id > 0 ? ref.id : -1 - ref.created;
}

// A result as the dedup compares it: the 15 digits the export writes.
QString resultKey(double value)
{
    return QString::number(value, 'g', 15);
}

struct Catalogue
{
    QHash<QString, qint64> ids; // folded name -> lowest id
    QHash<qint64, QString> units;
};

Catalogue readCatalogue(engine::SqliteDatabase& db, const QString& sql)
{
    Catalogue catalogue;
    engine::SqliteStatement rows(db, sql);
    while (rows.step()) {
        const QString name = folded(rows.text(1));
        if (!catalogue.ids.contains(name))
            catalogue.ids.insert(name, rows.int64(0));
        if (rows.columnCount() > 2)
            catalogue.units.insert(rows.int64(0), rows.text(2));
    }
    return catalogue;
}

// New items, numbered in the order the file first names them.
struct NewNames
{
    QStringList names;
    QHash<QString, int> index;

    int add(const QString& name)
    {
        const QString key = folded(name);
        const auto it = index.constFind(key);
        if (it != index.cend())
            return it.value();
        names << name.trimmed();
        index.insert(key, int(names.size() - 1));
        return int(names.size() - 1);
    }
};

// The order of the new periods within a day: a file sorted by date and
// period (as the export is) names them in that order on each day. Periods
// that never share a day, or a file that contradicts itself, keep the order
// in which the file first names them.
QList<int> periodOrder(int count, const QList<QPair<int, int>>& before)
{
    QList<QList<int>> next(count);
    QList<int> incoming(count, 0);
    QSet<QPair<int, int>> seen;
    for (const auto& edge : before) {
        if (edge.first == edge.second || seen.contains(edge))
            continue;
        seen.insert(edge);
        next[edge.first] << edge.second;
        ++incoming[edge.second];
    }
    QList<int> order;
    QList<bool> placed(count, false);
    while (order.size() < count) {
        int pick = -1;
        for (int i = 0; i < count && pick < 0; ++i)
            if (!placed[i] && incoming[i] == 0)
                pick = i;
        for (int i = 0; i < count && pick < 0; ++i) // a cycle: first named goes first
            if (!placed[i])
                pick = i;
        placed[pick] = true;
        order << pick;
        for (int to : next[pick])
            --incoming[to];
    }
    return order;
}

class Planner
{
public:
    Planner(engine::SqliteDatabase& db, const TextTable& table, const Mapping& mapping,
            const PlanOptions& options)
        : m_table(table), m_mapping(mapping), m_options(options),
          m_periods(
              readCatalogue(db, QStringLiteral("SELECT ID, Period FROM Periods ORDER BY ID"))),
          m_tests(
              readCatalogue(db, QStringLiteral("SELECT ID, Test, Units FROM Tests ORDER BY ID"))),
          m_storedOccasion(db, QStringLiteral("SELECT ID FROM Results WHERE Date = ?1 AND "
                                              "Period = ?2 ORDER BY ID LIMIT 1")),
          m_storedValues(db, QStringLiteral("SELECT Details.Test, Details.Result FROM Details "
                                            "INNER JOIN Results ON Results.ID = Details.ID "
                                            "WHERE Results.Date = ?1 AND Results.Period = ?2"))
    {
    }

    std::optional<ImportPlan> run(const Progress& progress)
    {
        const qint64 total = m_table.lines.size();
        m_plan.lineCount = total;
        qint64 done = 0;
        for (const TextLine& line : m_table.lines) {
            if (progress && done % ProgressStep == 0 && !progress(done, total))
                return std::nullopt;
            ++done;
            const QString problem = readLine(line);
            if (!problem.isEmpty())
                m_plan.badLines << BadLine{line.number, problem};
        }
        finish();
        return std::move(m_plan);
    }

private:
    struct Entry
    {
        QString test;
        double result;
        QString unit;
    };

    // Adds one line to the plan, or returns why it cannot be read.
    QString readLine(const TextLine& line)
    {
        const QString dateText = field(line, m_mapping.date).trimmed();
        if (dateText.isEmpty())
            return QStringLiteral("the date is missing");
        const auto date = parseDate(dateText, m_mapping.dateForm);
        if (!date)
            return QStringLiteral("\"%1\" is not a date (%2)")
                .arg(dateText, dateFormName(m_mapping.dateForm));
        QString period = field(line, m_mapping.period).trimmed();
        if (period.isEmpty())
            period = m_mapping.defaultPeriod.trimmed();
        if (period.isEmpty())
            return QStringLiteral("the period is missing");

        QList<Entry> entries;
        QString problem = m_mapping.layout == Layout::Long ? readLongEntry(line, entries)
                                                           : readWideEntries(line, entries);
        if (problem.isEmpty() && !m_options.createNew)
            problem = unknownItem(period, entries);
        if (!problem.isEmpty())
            return problem;

        const ItemRef periodRef = resolve(m_periods, m_newPeriods, period);
        const int occasion = occasionFor(*date, periodRef);
        notePeriodOrder(*date, periodRef);
        const QString remarks = field(line, m_mapping.remarks);
        if (m_occasions[occasion].remarks.isEmpty() && !remarks.trimmed().isEmpty())
            m_occasions[occasion].remarks = remarks;
        for (const Entry& entry : entries)
            addEntry(occasion, entry);
        return {};
    }

    // One value a line: its test item, result and unit.
    QString readLongEntry(const TextLine& line, QList<Entry>& entries) const
    {
        const QString test = field(line, m_mapping.test).trimmed();
        if (test.isEmpty())
            return QStringLiteral("the test item is empty");
        const QString resultText = field(line, m_mapping.result).trimmed();
        if (resultText.isEmpty())
            return QStringLiteral("the result is empty");
        const auto result = parseResult(resultText, m_mapping.decimal);
        if (!result)
            return QStringLiteral("\"%1\" is not a number").arg(resultText);
        entries << Entry{test, *result, field(line, m_mapping.unit).trimmed()};
        return {};
    }

    // One column per test item, named by its heading; empty cells hold no value.
    QString readWideEntries(const TextLine& line, QList<Entry>& entries) const
    {
        for (int column : m_mapping.testColumns) {
            const QString text = field(line, column).trimmed();
            if (text.isEmpty())
                continue;
            const auto result = parseResult(text, m_mapping.decimal);
            if (!result)
                return QStringLiteral("\"%1\" under \"%2\" is not a number")
                    .arg(text, m_table.columnName(column));
            entries << Entry{m_table.columnName(column), *result, QString()};
        }
        if (entries.isEmpty())
            return QStringLiteral("there is no test value on this line");
        return {};
    }

    // Without creating new items, a period or test item not in the lists.
    QString unknownItem(const QString& period, const QList<Entry>& entries) const
    {
        if (!m_periods.ids.contains(folded(period)))
            return QStringLiteral("the period \"%1\" is not in the list").arg(period);
        for (const Entry& entry : entries)
            if (!m_tests.ids.contains(folded(entry.test)))
                return QStringLiteral("the test item \"%1\" is not in the list").arg(entry.test);
        return {};
    }

    // A value of the occasion, unless the file or the database holds it already.
    void addEntry(int occasion, const Entry& entry)
    {
        const ItemRef testRef = resolve(m_tests, m_newTests, entry.test);
        if (testRef.created >= 0 && !entry.unit.isEmpty()) {
            while (m_newTestUnits.size() <= testRef.created)
                m_newTestUnits << QString();
            if (m_newTestUnits[testRef.created].isEmpty())
                m_newTestUnits[testRef.created] = entry.unit;
        }
        const QString key = valueKey(occasion, refKey(testRef), entry.result);
        if (m_values.contains(key)) {
            ++m_plan.duplicates;
            return;
        }
        m_values.insert(key);
        m_plan.values << ImportPlan::Value{occasion, testRef, entry.result, entry.unit};
    }

    static QString valueKey(int occasion, qint64 test, double result)
    {
        return QString::number(occasion) + u'|' + QString::number(test) + u'|' + resultKey(result);
    }

    static ItemRef resolve(const Catalogue& catalogue, NewNames& created, const QString& name)
    {
        const auto it = catalogue.ids.constFind(folded(name));
        if (it != catalogue.ids.cend())
            return {it.value(), -1};
        return {0, created.add(name)};
    }

    int occasionFor(const QDate& date, const ItemRef& period)
    {
        const QPair<qint64, qint64> key(date.toJulianDay(), refKey(period));
        const auto it = m_occasionIndex.constFind(key);
        if (it != m_occasionIndex.cend())
            return it.value();
        const int index = int(m_occasions.size());
        m_occasionIndex.insert(key, index);
        ImportPlan::Occasion occasion{date, period, QString(), 0};
        if (period.id > 0)
            loadStored(occasion, index);
        m_occasions << occasion;
        return index;
    }

    // An occasion already stored on that date and period takes the values;
    // what it and its namesakes hold already is not added again.
    void loadStored(ImportPlan::Occasion& occasion, int index)
    {
        const QString iso = occasion.date.toString(Qt::ISODate);
        m_storedOccasion.bind(1, iso);
        m_storedOccasion.bind(2, occasion.period.id);
        if (m_storedOccasion.step())
            occasion.storedId = m_storedOccasion.int64(0);
        m_storedOccasion.reset();
        if (!occasion.storedId)
            return;
        m_storedValues.bind(1, iso);
        m_storedValues.bind(2, occasion.period.id);
        while (m_storedValues.step()) {
            if (!m_storedValues.isNull(0) && !m_storedValues.isNull(1))
                m_values.insert(
                    valueKey(index, m_storedValues.int64(0), m_storedValues.value(1).toDouble()));
        }
        m_storedValues.reset();
    }

    void notePeriodOrder(const QDate& date, const ItemRef& period)
    {
        if (period.created < 0)
            return;
        auto& last = m_lastNewPeriod[date.toJulianDay()];
        if (last.has_value() && *last != period.created)
            m_periodEdges << qMakePair(*last, period.created);
        last = period.created;
    }

    // Drops occasions without new values, orders the new periods and gives
    // every value its unit.
    void finish()
    {
        const QList<int> order = periodOrder(int(m_newPeriods.names.size()), m_periodEdges);
        QList<int> position(order.size());
        for (int i = 0; i < order.size(); ++i) {
            position[order[i]] = i;
            m_plan.newPeriods << m_newPeriods.names[order[i]];
        }
        m_plan.newTests = m_newTests.names;
        m_newTestUnits.resize(m_newTests.names.size());
        m_plan.newTestUnits = m_newTestUnits;

        QList<int> kept(m_occasions.size(), -1);
        for (ImportPlan::Value& value : m_plan.values) {
            if (kept[value.occasion] < 0) {
                kept[value.occasion] = int(m_plan.occasions.size());
                ImportPlan::Occasion occasion = m_occasions[value.occasion];
                if (occasion.period.created >= 0)
                    occasion.period.created = position[occasion.period.created];
                m_plan.occasions << occasion;
            }
            value.occasion = kept[value.occasion];
            if (value.unit.isEmpty())
                value.unit = value.test.id > 0 ? m_tests.units.value(value.test.id)
                                               : m_newTestUnits[value.test.created];
        }
    }

    const TextTable& m_table;
    const Mapping& m_mapping;
    const PlanOptions& m_options;
    Catalogue m_periods;
    Catalogue m_tests;
    engine::SqliteStatement m_storedOccasion;
    engine::SqliteStatement m_storedValues;
    NewNames m_newPeriods;
    NewNames m_newTests;
    QStringList m_newTestUnits;
    QList<ImportPlan::Occasion> m_occasions;
    QHash<QPair<qint64, qint64>, int> m_occasionIndex;
    QSet<QString> m_values;
    QHash<qint64, std::optional<int>> m_lastNewPeriod;
    QList<QPair<int, int>> m_periodEdges;
    ImportPlan m_plan;
};

qint64 insert(engine::SqliteStatement& statement, engine::SqliteDatabase& db)
{
    statement.step();
    statement.reset();
    return db.lastInsertRowid();
}

QString nullIfEmpty(const QString& text)
{
    return text.isEmpty() ? QString() : text;
}

QString count(qint64 n, const char* one, const char* many)
{
    return QStringLiteral("%L1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

} // namespace

void requireResultTables(engine::SqliteDatabase& db)
{
    engine::SqliteStatement tables(
        db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN "
                           "('Results', 'Details', 'Periods', 'Tests')"));
    if (tables.step() && tables.int64(0) == 4)
        return;
    throw Error(Error::DatabaseError,
                QStringLiteral("\"%1\" is not a results database: it lacks the tables of the "
                               "occasions, values, periods and test items.")
                    .arg(QDir::toNativeSeparators(db.path())));
}

qint64 ImportPlan::newOccasionCount() const
{
    return std::count_if(occasions.cbegin(), occasions.cend(),
                         [](const Occasion& o) { return o.storedId == 0; });
}

qint64 ImportPlan::storedOccasionCount() const
{
    return occasions.size() - newOccasionCount();
}

std::optional<ImportPlan> planImport(engine::SqliteDatabase& db, const TextTable& table,
                                     const Mapping& mapping, const PlanOptions& options,
                                     const Progress& progress)
{
    const QString problem = mappingProblem(mapping, table);
    if (!problem.isEmpty())
        throw Error(Error::InvalidProcedureCall, problem);
    requireResultTables(db);
    Planner planner(db, table, mapping, options);
    return planner.run(progress);
}

QString previewText(const ImportPlan& plan, int maxBadLines)
{
    QString text;
    text += QStringLiteral("Lines read: %L1\n").arg(plan.lineCount);
    text += QStringLiteral("Occasions to add: %L1\n").arg(plan.newOccasionCount());
    text += QStringLiteral("Values to add: %L1\n").arg(plan.values.size());
    if (plan.storedOccasionCount() > 0)
        text += QStringLiteral("Occasions already stored that receive values: %L1\n")
                    .arg(plan.storedOccasionCount());
    text += QStringLiteral("Values already stored, skipped: %L1\n").arg(plan.duplicates);
    const QString none = QStringLiteral("none");
    text += QStringLiteral("New test items: %1\n")
                .arg(plan.newTests.isEmpty() ? none : plan.newTests.join(QStringLiteral(", ")));
    text += QStringLiteral("New periods: %1\n")
                .arg(plan.newPeriods.isEmpty() ? none : plan.newPeriods.join(QStringLiteral(", ")));
    text += QStringLiteral("Lines that cannot be read: %L1\n").arg(plan.badLines.size());
    for (qsizetype i = 0; i < plan.badLines.size() && i < maxBadLines; ++i)
        text += QStringLiteral("  line %1: %2\n")
                    .arg(plan.badLines[i].line)
                    .arg(plan.badLines[i].reason);
    if (plan.badLines.size() > maxBadLines)
        text += QStringLiteral("  and %L1 more\n").arg(plan.badLines.size() - maxBadLines);
    return text;
}

std::optional<ImportOutcome> runImport(engine::SqliteDatabase& db, const TextTable& table,
                                       const Mapping& mapping, const PlanOptions& options,
                                       bool skipBadLines, const Progress& progress)
{
    // The write lock is taken before planning, so nothing can change between
    // the plan and the writes.
    engine::SqliteTransaction transaction(db);
    const qint64 lines = std::max<qint64>(table.lines.size(), 1);
    // Reading the lines is the first half of the way, writing the second.
    const Progress planning = [&](qint64 done, qint64) {
        return !progress || progress(done, 2 * lines);
    };
    const auto plan = planImport(db, table, mapping, options, planning);
    if (!plan)
        return std::nullopt;
    if (!plan->badLines.isEmpty() && !skipBadLines)
        throw Error(Error::InvalidProcedureCall,
                    QStringLiteral("%1 cannot be read; nothing was written.")
                        .arg(count(plan->badLines.size(), "line", "lines")));

    ImportOutcome outcome;
    outcome.duplicates = plan->duplicates;
    outcome.skippedLines = plan->badLines.size();

    engine::SqliteStatement addPeriod(db,
                                      QStringLiteral("INSERT INTO Periods (Period) VALUES (?1)"));
    QList<qint64> periodIds;
    for (const QString& name : plan->newPeriods) {
        addPeriod.bind(1, name);
        periodIds << insert(addPeriod, db);
    }
    engine::SqliteStatement addTest(
        db, QStringLiteral("INSERT INTO Tests (Test, Description, Units) VALUES (?1, NULL, ?2)"));
    QList<qint64> testIds;
    for (qsizetype i = 0; i < plan->newTests.size(); ++i) {
        addTest.bind(1, plan->newTests[i]);
        addTest.bind(2, nullIfEmpty(plan->newTestUnits.value(i)));
        testIds << insert(addTest, db);
    }
    outcome.periods = periodIds.size();
    outcome.tests = testIds.size();

    engine::SqliteStatement addOccasion(
        db, QStringLiteral("INSERT INTO Results (Date, Period, Remarks) VALUES (?1, ?2, ?3)"));
    QList<qint64> occasionIds;
    occasionIds.reserve(plan->occasions.size());
    for (const ImportPlan::Occasion& occasion : plan->occasions) {
        if (occasion.storedId) {
            occasionIds << occasion.storedId;
            continue;
        }
        addOccasion.bind(1, occasion.date.toString(Qt::ISODate));
        addOccasion.bind(2, occasion.period.id > 0 ? occasion.period.id
                                                   : periodIds[occasion.period.created]);
        addOccasion.bind(3, nullIfEmpty(occasion.remarks));
        occasionIds << insert(addOccasion, db);
        ++outcome.occasions;
    }

    engine::SqliteStatement addValue(
        db, QStringLiteral("INSERT INTO Details (ID, Test, Result, Unit) VALUES (?1, ?2, ?3, ?4)"));
    const qint64 valueCount = std::max<qint64>(plan->values.size(), 1);
    qint64 done = 0;
    for (const ImportPlan::Value& value : plan->values) {
        if (progress && done % ProgressStep == 0 &&
            !progress(lines + done * lines / valueCount, 2 * lines))
            return std::nullopt;
        ++done;
        addValue.bind(1, occasionIds[value.occasion]);
        addValue.bind(2, value.test.id > 0 ? value.test.id : testIds[value.test.created]);
        addValue.bind(3, value.result);
        addValue.bind(4, nullIfEmpty(value.unit));
        addValue.step();
        addValue.reset();
    }
    outcome.values = plan->values.size();
    if (progress && !progress(2 * lines, 2 * lines))
        return std::nullopt;
    transaction.commit();
    return outcome;
}

QString outcomeText(const ImportOutcome& outcome)
{
    QString text = QStringLiteral("Added %1 and %2.")
                       .arg(count(outcome.occasions, "occasion", "occasions"),
                            count(outcome.values, "value", "values"));
    if (outcome.tests || outcome.periods)
        text += QStringLiteral(" New in the lists: %1 and %2.")
                    .arg(count(outcome.tests, "test item", "test items"),
                         count(outcome.periods, "period", "periods"));
    if (outcome.duplicates)
        text += QStringLiteral(" %1 already stored.")
                    .arg(count(outcome.duplicates, "value was", "values were"));
    if (outcome.skippedLines)
        text += QStringLiteral(" %1 skipped.")
                    .arg(count(outcome.skippedLines, "line that cannot be read was",
                               "lines that cannot be read were"));
    return text;
}

} // namespace vantor::importer
