// The planner and the writer against real database files: what a file adds,
// what it reports, and that a failed or cancelled import writes nothing.

#include "ImportTestSupport.h"

#include "engine/Connection.h"
#include "importer/ImportPlan.h"
#include "overview/ExportWriter.h"
#include "platform/Error.h"
#include "store/Database.h"

#include <QTemporaryDir>
#include <QTest>

using namespace vantor;
using namespace vantor::importer;
using namespace Qt::Literals::StringLiterals;
using importtest::allValues;
using importtest::count;
using importtest::rows;

class tst_ImportPlan : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void longFile();
    void wideFile();
    void storedOccasionsTakeValues();
    void newItemsOnlyWhenAllowed();
    void cancelWritesNothing();
    void periodOrderFromTheFile();
    void roundTrip();

private:
    // Reads bytes as the dialog and the command line do.
    static GuessedFile guessed(const QByteArray& bytes)
    {
        GuessedFile file = guessFile(decodeText(bytes));
        if (!file.mapping)
            qFatal("no mapping guessed");
        return file;
    }
    std::optional<ImportPlan> plan(const GuessedFile& file, PlanOptions options = {})
    {
        engine::Connection connection;
        connection.open(importtest::connectionString(m_db));
        return planImport(connection, file.table, *file.mapping, options);
    }
    std::optional<ImportOutcome> import(const GuessedFile& file, bool skipBad,
                                        const Progress& progress = {}, PlanOptions options = {})
    {
        engine::Connection connection;
        connection.open(importtest::connectionString(m_db));
        return runImport(connection, file.table, *file.mapping, options, skipBad, progress);
    }
    static QStringList badLines(const ImportPlan& plan)
    {
        QStringList out;
        for (const BadLine& bad : plan.badLines)
            out << QString::number(bad.line) + u": "_s + bad.reason;
        return out;
    }
    void execute(const QString& sql)
    {
        engine::Connection connection;
        connection.open(importtest::connectionString(m_db));
        connection.execute(sql);
    }

    QTemporaryDir m_dir;
    QString m_db;
};

void tst_ImportPlan::init()
{
    QVERIFY(m_dir.isValid());
    m_db = m_dir.filePath(u"vantor%1.mdb"_s.arg(QLatin1String(QTest::currentTestFunction())));
    store::createDatabase(m_db);
}

void tst_ImportPlan::longFile()
{
    const GuessedFile file = guessed(importtest::longCsv());
    QCOMPARE(file.mapping->dateForm, DateForm::DayMonthYear);
    const auto preview = plan(file);
    QCOMPARE(badLines(*preview), (QStringList{u"4: \"abc\" is not a number"_s,
                                              u"5: \"31/02/2024\" is not a date (day/month/year)"_s,
                                              u"6: the test item is empty"_s}));
    QCOMPARE(preview->newTests, (QStringList{u"Glucose"_s, u"HbA1c"_s, u"Creatinine"_s}));
    QCOMPARE(preview->newPeriods, (QStringList{u"Morning"_s, u"Evening"_s}));
    QCOMPARE(preview->newOccasionCount(), 3);
    QCOMPARE(preview->values.size(), 4);

    // Bad lines and no leave to skip them: nothing is written.
    QVERIFY_THROWS_EXCEPTION(Error, import(file, false));
    QCOMPARE(count(m_db, u"Details"_s), 0);
    QCOMPARE(count(m_db, u"Tests"_s), 0);

    const auto outcome = import(file, true);
    QCOMPARE(outcomeText(*outcome),
             u"Added 3 occasions and 4 values. New in the lists: 3 test items and 2 periods. "
             "3 lines that cannot be read were skipped."_s);
    QCOMPARE(allValues(m_db),
             (QStringList{u"2024-01-13|Morning|Glucose|5.4|mmol/L|fasting"_s,
                          u"2024-01-13|Morning|HbA1c|6.1|%|fasting"_s,
                          u"2024-01-15|Evening|Glucose|4.9|mmol/L|after a run, tired"_s,
                          u"2024-01-16|Morning|Creatinine|71|NULL|NULL"_s}));
    QCOMPARE(rows(m_db, u"SELECT Test, Units FROM Tests ORDER BY ID"_s),
             (QStringList{u"Glucose|mmol/L"_s, u"HbA1c|%"_s, u"Creatinine|NULL"_s}));

    // The same file again adds nothing.
    const auto again = import(file, true);
    QCOMPARE(again->values, 0);
    QCOMPARE(again->occasions, 0);
    QCOMPARE(again->duplicates, 4);
    QCOMPARE(count(m_db, u"Details"_s), 4);
    QCOMPARE(count(m_db, u"Results"_s), 3);
}

void tst_ImportPlan::wideFile()
{
    execute(u"INSERT INTO Periods (Period) VALUES ('Morning')"_s);
    execute(u"INSERT INTO Periods (Period) VALUES ('Evening')"_s);
    execute(u"INSERT INTO Tests (Test, Units) VALUES ('glucose', 'mmol/L')"_s);
    GuessedFile file = guessed(importtest::wideCsv());
    QCOMPARE(file.mapping->layout, Layout::Wide);
    QCOMPARE(file.mapping->decimal, QChar(u','));
    file.mapping->defaultPeriod = u"Evening"_s;
    const auto preview = plan(file);
    QCOMPARE(badLines(*preview), (QStringList{u"4: \"n/a\" under \"Glucose\" is not a number"_s,
                                              u"5: there is no test value on this line"_s}));
    QCOMPARE(preview->newTests, (QStringList{u"HbA1c"_s, u"Cholesterol"_s}));
    QVERIFY(preview->newPeriods.isEmpty());

    import(file, true);
    // Glucose is the stored item (names match without regard to case) with its unit.
    QCOMPARE(allValues(m_db), (QStringList{u"2024-01-13|Evening|glucose|5.4|mmol/L|fasting"_s,
                                           u"2024-01-13|Evening|HbA1c|6.1|NULL|fasting"_s,
                                           u"2024-01-20|Evening|Cholesterol|4.8|NULL|NULL"_s,
                                           u"2024-01-20|Evening|glucose|5.1|mmol/L|NULL"_s,
                                           u"2024-02-10|Evening|Cholesterol|5.2|NULL|NULL"_s,
                                           u"2024-02-10|Evening|glucose|5.6|mmol/L|NULL"_s,
                                           u"2024-02-10|Evening|HbA1c|5.9|NULL|NULL"_s}));
    QCOMPARE(import(file, true)->values, 0);
}

void tst_ImportPlan::storedOccasionsTakeValues()
{
    execute(u"INSERT INTO Periods (Period) VALUES ('Morning')"_s);
    execute(u"INSERT INTO Tests (Test, Units) VALUES ('Glucose', 'mg/dL')"_s);
    execute(u"INSERT INTO Results (Date, Period, Remarks) VALUES ('2024-01-13', 1, 'kept')"_s);
    execute(u"INSERT INTO Details (ID, Test, Result, Unit) VALUES (1, 1, 5.4, 'mg/dL')"_s);
    const GuessedFile file = guessed(importtest::longCsv());
    const auto preview = plan(file);
    QCOMPARE(preview->duplicates, 1);
    QCOMPARE(preview->storedOccasionCount(), 1);
    import(file, true);
    QCOMPARE(rows(m_db, u"SELECT ID, Date, Remarks FROM Results ORDER BY ID"_s),
             (QStringList{u"1|2024-01-13|kept"_s, u"2|2024-01-15|after a run, tired"_s,
                          u"3|2024-01-16|NULL"_s}));
    QCOMPARE(rows(m_db, u"SELECT ID, Test, Result FROM Details ORDER BY ID, Test"_s),
             (QStringList{u"1|1|5.4"_s, u"1|2|6.1"_s, u"2|1|4.9"_s, u"3|3|71"_s}));
}

void tst_ImportPlan::newItemsOnlyWhenAllowed()
{
    execute(u"INSERT INTO Periods (Period) VALUES ('Morning')"_s);
    execute(u"INSERT INTO Tests (Test, Units) VALUES ('Glucose', 'mmol/L')"_s);
    const GuessedFile file = guessed(importtest::longCsv());
    const auto preview = plan(file, PlanOptions{false});
    QVERIFY(preview->newTests.isEmpty());
    QVERIFY(preview->newPeriods.isEmpty());
    QCOMPARE(badLines(*preview).mid(0, 2),
             (QStringList{u"3: the test item \"HbA1c\" is not in the list"_s,
                          u"4: \"abc\" is not a number"_s}));
    QVERIFY(badLines(*preview).contains(u"7: the period \"Evening\" is not in the list"_s));
    import(file, true, {}, PlanOptions{false});
    QCOMPARE(count(m_db, u"Tests"_s), 1);
    QCOMPARE(count(m_db, u"Periods"_s), 1);
    QCOMPARE(allValues(m_db), QStringList{u"2024-01-13|Morning|Glucose|5.4|mmol/L|fasting"_s});
}

void tst_ImportPlan::cancelWritesNothing()
{
    const GuessedFile file = guessed(importtest::longCsv());
    qint64 calls = 0;
    // Cancelled once the writing has begun: the new lists' rows are written by then.
    const auto outcome = import(file, true, [&calls](qint64 done, qint64 total) {
        ++calls;
        return done * 2 < total;
    });
    QVERIFY(!outcome);
    QVERIFY(calls >= 2);
    for (const QString& table : {u"Periods"_s, u"Tests"_s, u"Results"_s, u"Details"_s})
        QCOMPARE(count(m_db, table), 0);
    // The connection is free again: a later import writes.
    QCOMPARE(import(file, true)->values, 4);
}

void tst_ImportPlan::periodOrderFromTheFile()
{
    // Evening comes first in the file, but on the day with both it follows Morning.
    const GuessedFile file = guessed("Date\tPeriod\tTest\tResult\n"
                                     "2024-01-02\tEvening\tGlucose\t5\n"
                                     "2024-01-03\tNight\tGlucose\t5\n"
                                     "2024-01-04\tMorning\tGlucose\t5\n"
                                     "2024-01-04\tEvening\tGlucose\t6\n"
                                     "2024-01-05\tEvening\tGlucose\t6\n"
                                     "2024-01-05\tNight\tGlucose\t6\n");
    QCOMPARE(plan(file)->newPeriods, (QStringList{u"Morning"_s, u"Evening"_s, u"Night"_s}));
}

void tst_ImportPlan::roundTrip()
{
    const QString demo = m_dir.filePath(u"demo.mdb"_s);
    store::DemoOptions options;
    options.lastDate = QDate(2024, 6, 30);
    store::createDemoDatabase(demo, options);
    const QString exported = m_dir.filePath(u"export.txt"_s);
    {
        engine::Connection connection;
        connection.open(importtest::connectionString(demo));
        overview::writeExport(connection, exported, QDate(1900, 1, 1), QDate(2100, 1, 1));
    }
    GuessedFile file = guessFile(readSourceFile(exported));
    QVERIFY(file.source.isExport);
    QCOMPARE(file.mapping->dateForm, DateForm::MonthDayYear);
    const auto outcome = import(file, false);
    QCOMPARE(outcome->skippedLines, 0);
    QCOMPARE(outcome->duplicates, 0);

    const QStringList original = allValues(demo);
    QVERIFY(original.size() > 1000);
    QCOMPARE(allValues(m_db), original);
    // Occasions of one day keep their order (by the period's id). Periods that
    // never share a day have no order in the file; only the names must match.
    const QString listing = u"SELECT Results.Date, Periods.Period FROM Results INNER JOIN Periods "
                            "ON Periods.ID = Results.Period WHERE Results.ID IN (SELECT ID FROM "
                            "Details) ORDER BY Results.Date, Results.Period"_s;
    QCOMPARE(rows(m_db, listing), rows(demo, listing));
    const QString periods = u"SELECT Period FROM Periods ORDER BY Period"_s;
    QCOMPARE(rows(m_db, periods), rows(demo, periods));
    const QString occasions =
        u"SELECT Count(*) FROM Results WHERE ID IN (SELECT ID FROM Details)"_s;
    QCOMPARE(rows(m_db, occasions), rows(demo, occasions));

    QCOMPARE(import(file, false)->values, 0);
    QCOMPARE(allValues(m_db), original);
}

QTEST_GUILESS_MAIN(tst_ImportPlan)
#include "tst_importplan.moc"
