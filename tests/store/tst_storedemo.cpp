#include "StoreTestSupport.h"
#include "store/Database.h"
#include "store/DemoData.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace vantor;
using engine::SqliteDatabase;

class tst_StoreDemo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void demoIsRealistic_data();
    void demoIsRealistic();
    void sameSeedSameFile();
    void everyNewDatabaseConverts();
    void largeDatabase_data();
    void largeDatabase();

private:
    QString makeDemo(const QString& name, unsigned seed);
    QTemporaryDir m_dir;
    QString m_demo;
};

QString tst_StoreDemo::makeDemo(const QString& name, unsigned seed)
{
    store::DemoOptions options;
    options.lastDate = QDate(2024, 6, 30);
    options.seed = seed;
    const QString path = m_dir.filePath(name);
    store::createDemoDatabase(path, options);
    return path;
}

void tst_StoreDemo::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_demo = makeDemo(u"vantor.mdb"_s, store::DemoOptions().seed);
    QCOMPARE(store::checkDatabase(m_demo), QStringList());
}

// What the windows need of the demo to show anything worth seeing, and the
// traps it sets for them; each query answers one row.
void tst_StoreDemo::demoIsRealistic_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("expected");

    QTest::newRow("three or four periods, ids not in name order")
        << u"SELECT count(*) BETWEEN 3 AND 4, (SELECT group_concat(Period) FROM (SELECT Period "
           u"FROM Periods ORDER BY ID)) <> (SELECT group_concat(Period) FROM (SELECT Period FROM "
           u"Periods ORDER BY Period)) FROM Periods"_s
        << u"1|1"_s;
    // The converter lists items by name: no name twice.
    QTest::newRow("agents") << u"SELECT count(*) >= 40, count(*) - count(DISTINCT Agent), "
                               u"sum(\"Conversion Factor\" IS NULL) > 0, "
                               u"sum(\"Conversion Factor\" <= 0) FROM Agents"_s
                            << u"1|0|1|0"_s;
    QTest::newRow("three years up to the last date")
        << u"SELECT max(Date), min(Date) BETWEEN '2021-06-30' AND '2021-07-14', "
           u"count(*) BETWEEN 100 AND 400 FROM Results"_s
        << u"2024-06-30|1|1"_s;
    QTest::newRow("most occasions have values, not all")
        << u"SELECT count(DISTINCT ID) >= 0.8 * (SELECT count(*) FROM Results), "
           u"count(DISTINCT ID) < (SELECT count(*) FROM Results) FROM Details"_s
        << u"1|1"_s;
    QTest::newRow("some remarks") << u"SELECT count(Remarks) BETWEEN 1 AND count(*) / 2 - 1, "
                                     u"sum(Period NOT IN (SELECT ID FROM Periods)) FROM Results"_s
                                  << u"1|0"_s;
    // On some such day the later period was entered first: listings must sort by period.
    QTest::newRow("days with two occasions")
        << u"SELECT (SELECT count(*) FROM (SELECT Date FROM Results GROUP BY Date "
           u"HAVING count(*) > 1)) >= 2, count(*) >= 1 FROM Results a JOIN Results b "
           u"ON a.Date = b.Date AND a.Period < b.Period AND a.ID > b.ID"_s
        << u"1|1"_s;
    QTest::newRow("test items with units, every one used")
        << u"SELECT count(*) >= 20, sum(coalesce(Units, '') = ''), "
           u"sum(ID NOT IN (SELECT Test FROM Details)) FROM Tests"_s
        << u"1|0|0"_s;
    QTest::newRow("values positive, in their item's unit")
        << u"SELECT sum(Result IS NULL OR Result <= 0), sum(Details.Unit IS NOT Tests.Units) "
           u"FROM Details LEFT JOIN Tests ON Tests.ID = Details.Test"_s
        << u"0|0"_s;
    QTest::newRow("glucose in a human range")
        << u"SELECT min(Result) > 50, max(Result) < 200, count(*) > 100 FROM Details "
           u"JOIN Tests ON Tests.ID = Details.Test WHERE Tests.Test = 'Glucose'"_s
        << u"1|1|1"_s;
}

void tst_StoreDemo::demoIsRealistic()
{
    QFETCH(QString, sql);
    QFETCH(QString, expected);
    SqliteDatabase db(m_demo, SqliteDatabase::Mode::ReadOnly);
    QCOMPARE(storetest::rows(db, sql), QStringList{expected});
}

void tst_StoreDemo::sameSeedSameFile()
{
    const QString dump =
        u"SELECT Results.ID, Date, Period, Remarks, Test, Result FROM Results "
        u"LEFT JOIN Details ON Details.ID = Results.ID ORDER BY Details.rowid, Results.ID"_s;
    const auto contents = [&dump](const QString& path) {
        SqliteDatabase db(path, SqliteDatabase::Mode::ReadOnly);
        return storetest::rows(db, dump);
    };
    const QStringList demo = contents(m_demo);
    QCOMPARE(contents(makeDemo(u"again.mdb"_s, store::DemoOptions().seed)), demo);
    QVERIFY(contents(makeDemo(u"other.mdb"_s, 7)) != demo);
}

// The unit converter needs its items in any new file, not only in the demo:
// the empty and the large database carry the demo's rows, one for one.
void tst_StoreDemo::everyNewDatabaseConverts()
{
    const QString empty = m_dir.filePath(u"empty.mdb"_s);
    const QString large = m_dir.filePath(u"large.mdb"_s);
    store::createDatabase(empty);
    store::createLargeDatabase(large, 10);
    const QString sql = u"SELECT * FROM Agents ORDER BY ID"_s;
    SqliteDatabase demo(m_demo, SqliteDatabase::Mode::ReadOnly);
    const QStringList expected = storetest::rows(demo, sql);
    QCOMPARE(expected.size(), store::demo::agents().size());
    for (const QString& path : {empty, large}) {
        SqliteDatabase db(path, SqliteDatabase::Mode::ReadOnly);
        QCOMPARE(storetest::rows(db, sql), expected);
    }
    SqliteDatabase db(empty, SqliteDatabase::Mode::ReadOnly);
    QCOMPARE(storetest::rows(db, u"SELECT count(*) FROM Results"_s), QStringList{u"0"_s});
}

void tst_StoreDemo::largeDatabase_data()
{
    QTest::addColumn<qint64>("values");
    QTest::newRow("none") << qint64(0);
    QTest::newRow("one") << qint64(1);
    QTest::newRow("uneven") << qint64(6001);
}

void tst_StoreDemo::largeDatabase()
{
    QFETCH(qint64, values);
    const QString path = m_dir.filePath(u"large-%1.mdb"_s.arg(values));
    store::createLargeDatabase(path, values);
    QCOMPARE(store::checkDatabase(path), QStringList());

    // Six distinct items an occasion, every value on an existing occasion and
    // item, the newest occasion today.
    SqliteDatabase db(path, SqliteDatabase::Mode::ReadOnly);
    QCOMPARE(storetest::rows(
                 db, u"SELECT (SELECT count(*) FROM Details), (SELECT count(*) FROM Results), "
                     u"(SELECT count(*) FROM (SELECT ID FROM Details GROUP BY ID HAVING count(*) "
                     u"> 6 OR count(DISTINCT Test) < count(*))), (SELECT count(*) FROM Details "
                     u"WHERE ID NOT IN (SELECT ID FROM Results) OR Test NOT IN (SELECT ID FROM "
                     u"Tests)), coalesce((SELECT max(Date) FROM Results), date('now', "
                     u"'localtime'))"_s),
             QStringList{u"%1|%2|0|0|%3"_s.arg(values)
                             .arg((values + 5) / 6)
                             .arg(QDate::currentDate().toString(Qt::ISODate))});
}

QTEST_GUILESS_MAIN(tst_StoreDemo)
#include "tst_storedemo.moc"
