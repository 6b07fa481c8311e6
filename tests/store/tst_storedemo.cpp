#include "StoreTestSupport.h"
#include "store/Database.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vantor;
using store::SqliteDatabase;
using storetest::count;
using storetest::rows;

class tst_StoreDemo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void demoChecksClean();
    void periodIdsAreNotInNameOrder();
    void agentsTable();
    void occasionsCoverThreeYearsEndingOnTheLastDate();
    void occasionsHaveValuesRemarksAndSomeDoubleDays();
    void valuesCarryTheirTestsUnitAndAreRealistic();
    void sameSeedSameFile();
    void largeDatabase_data();
    void largeDatabase();

private:
    QString makeDemo(const QString& name, unsigned seed);
    QTemporaryDir m_dir;
    QString m_demo;
    const QDate m_last{2024, 6, 30};
};

QString tst_StoreDemo::makeDemo(const QString& name, unsigned seed)
{
    store::DemoOptions options;
    options.lastDate = m_last;
    options.seed = seed;
    const QString path = m_dir.filePath(name);
    store::createDemoDatabase(path, options);
    return path;
}

void tst_StoreDemo::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_demo = makeDemo(QStringLiteral("vantor.mdb"), store::DemoOptions().seed);
}

void tst_StoreDemo::demoChecksClean()
{
    QCOMPARE(store::checkDatabase(m_demo), QStringList());
}

void tst_StoreDemo::periodIdsAreNotInNameOrder()
{
    SqliteDatabase db(m_demo, SqliteDatabase::Mode::ReadOnly);
    const QStringList byId = rows(db, QStringLiteral("SELECT Period FROM Periods ORDER BY ID"));
    const QStringList byName =
        rows(db, QStringLiteral("SELECT Period FROM Periods ORDER BY Period"));
    QVERIFY(byId.size() >= 3 && byId.size() <= 4);
    QVERIFY(byId != byName);
}

void tst_StoreDemo::agentsTable()
{
    SqliteDatabase db(m_demo, SqliteDatabase::Mode::ReadOnly);
    QVERIFY(count(db, QStringLiteral("SELECT count(*) FROM Agents")) >= 40);
    QCOMPARE(rows(db, QStringLiteral("SELECT \"Conventional Unit\", \"Conversion Factor\", "
                                     "\"SI Unit\" FROM Agents WHERE Agent = 'cholesterol'")),
             QStringList{QStringLiteral("mg/dL|0.02586|mmol/L")});
    QVERIFY(count(db, QStringLiteral(
                          "SELECT count(*) FROM Agents WHERE \"Conversion Factor\" IS NULL")) >= 1);
    QCOMPARE(
        count(db, QStringLiteral("SELECT count(*) FROM Agents WHERE \"Conversion Factor\" <= 0")),
        0);
    // The converter lists items by name: no name twice.
    QCOMPARE(count(db, QStringLiteral("SELECT count(*) - count(DISTINCT Agent) FROM Agents")), 0);
}

void tst_StoreDemo::occasionsCoverThreeYearsEndingOnTheLastDate()
{
    SqliteDatabase db(m_demo, SqliteDatabase::Mode::ReadOnly);
    QCOMPARE(db.scalar(QStringLiteral("SELECT max(Date) FROM Results")).toString(),
             m_last.toString(Qt::ISODate));
    const QDate first = QDate::fromString(
        db.scalar(QStringLiteral("SELECT min(Date) FROM Results")).toString(), Qt::ISODate);
    QVERIFY(first >= m_last.addYears(-3));
    QVERIFY(first <= m_last.addYears(-3).addDays(14));
    const qint64 occasions = count(db, QStringLiteral("SELECT count(*) FROM Results"));
    QVERIFY2(occasions >= 100 && occasions <= 400, qPrintable(QString::number(occasions)));
}

void tst_StoreDemo::occasionsHaveValuesRemarksAndSomeDoubleDays()
{
    SqliteDatabase db(m_demo, SqliteDatabase::Mode::ReadOnly);
    const qint64 occasions = count(db, QStringLiteral("SELECT count(*) FROM Results"));
    const qint64 withValues = count(db, QStringLiteral("SELECT count(DISTINCT ID) FROM Details"));
    QVERIFY(withValues >= occasions * 8 / 10);
    QVERIFY(withValues < occasions); // an occasion without values, as happens
    const qint64 remarks = count(db, QStringLiteral("SELECT count(Remarks) FROM Results"));
    QVERIFY(remarks > 0 && remarks < occasions / 2);

    QVERIFY(count(db, QStringLiteral("SELECT count(*) FROM (SELECT Date FROM Results "
                                     "GROUP BY Date HAVING count(*) > 1)")) >= 2);
    // On some such day the later period was entered first: listings must sort by period.
    QVERIFY(count(db, QStringLiteral(
                          "SELECT count(*) FROM Results a JOIN Results b "
                          "ON a.Date = b.Date AND a.Period < b.Period AND a.ID > b.ID")) >= 1);
    QCOMPARE(count(db, QStringLiteral("SELECT count(*) FROM Results WHERE Period NOT IN "
                                      "(SELECT ID FROM Periods)")),
             0);
}

void tst_StoreDemo::valuesCarryTheirTestsUnitAndAreRealistic()
{
    SqliteDatabase db(m_demo, SqliteDatabase::Mode::ReadOnly);
    QVERIFY(count(db, QStringLiteral("SELECT count(*) FROM Tests")) >= 20);
    QCOMPARE(count(db, QStringLiteral("SELECT count(*) FROM Tests WHERE coalesce(Units, '') = ''")),
             0);
    QCOMPARE(count(db, QStringLiteral(
                           "SELECT count(*) FROM Details LEFT JOIN Tests "
                           "ON Tests.ID = Details.Test WHERE Details.Unit IS NOT Tests.Units")),
             0);
    QCOMPARE(count(db, QStringLiteral(
                           "SELECT count(*) FROM Details WHERE Result IS NULL OR Result <= 0")),
             0);
    const QStringList glucose =
        rows(db, QStringLiteral(
                     "SELECT min(Result) > 50, max(Result) < 200, count(*) > 100 FROM Details "
                     "JOIN Tests ON Tests.ID = Details.Test WHERE Tests.Test = 'Glucose'"));
    QCOMPARE(glucose, QStringList{QStringLiteral("1|1|1")});
    // Every item shows up somewhere, so every list and chart has something to show.
    QCOMPARE(
        count(db, QStringLiteral(
                      "SELECT count(*) FROM Tests WHERE ID NOT IN (SELECT Test FROM Details)")),
        0);
}

void tst_StoreDemo::sameSeedSameFile()
{
    const QString again = makeDemo(QStringLiteral("again.mdb"), store::DemoOptions().seed);
    const QString other = makeDemo(QStringLiteral("other.mdb"), 7);
    const QString dump = QStringLiteral(
        "SELECT Results.ID, Date, Period, Remarks, Test, Result FROM Results "
        "LEFT JOIN Details ON Details.ID = Results.ID ORDER BY Details.rowid, Results.ID");
    SqliteDatabase a(m_demo, SqliteDatabase::Mode::ReadOnly);
    SqliteDatabase b(again, SqliteDatabase::Mode::ReadOnly);
    SqliteDatabase c(other, SqliteDatabase::Mode::ReadOnly);
    QCOMPARE(rows(a, dump), rows(b, dump));
    QVERIFY(rows(a, dump) != rows(c, dump));
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
    const QString path = m_dir.filePath(QStringLiteral("large-%1.mdb").arg(values));
    store::createLargeDatabase(path, values);
    QCOMPARE(store::checkDatabase(path), QStringList());

    SqliteDatabase db(path, SqliteDatabase::Mode::ReadOnly);
    QCOMPARE(count(db, QStringLiteral("SELECT count(*) FROM Details")), values);
    QCOMPARE(count(db, QStringLiteral("SELECT count(*) FROM Results")), (values + 5) / 6);
    // Six distinct items an occasion, every value on an existing occasion and item.
    QCOMPARE(count(db, QStringLiteral("SELECT count(*) FROM (SELECT ID FROM Details GROUP BY ID "
                                      "HAVING count(*) > 6 OR count(DISTINCT Test) < count(*))")),
             0);
    QCOMPARE(
        count(db, QStringLiteral("SELECT count(*) FROM Details WHERE ID NOT IN (SELECT ID FROM "
                                 "Results) OR Test NOT IN (SELECT ID FROM Tests)")),
        0);
    if (values > 0)
        QCOMPARE(db.scalar(QStringLiteral("SELECT max(Date) FROM Results")).toString(),
                 QDate::currentDate().toString(Qt::ISODate));
}

QTEST_GUILESS_MAIN(tst_StoreDemo)
#include "tst_storedemo.moc"
