#include "StoreTestSupport.h"
#include "store/Database.h"

#include <QTemporaryDir>
#include <QTest>

using namespace vantor;
using store::SqliteDatabase;

// The four saved queries against a small known data set: an occasion whose
// period is gone, one without values, a value whose test item is gone, a
// value whose occasion is gone, and a day with two occasions entered against
// the order of their periods.
class tst_StoreViews : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void savedQuery_data();
    void savedQuery();

private:
    QTemporaryDir m_dir;
    QString m_path;
};

void tst_StoreViews::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_path = m_dir.filePath(QStringLiteral("vantor.mdb"));
    store::createDatabase(m_path);
    SqliteDatabase db(m_path, SqliteDatabase::Mode::ReadWrite);
    db.exec(QStringLiteral(
        "INSERT INTO Periods (Period) VALUES ('Morning'), ('Noon'), ('Evening');"
        "INSERT INTO Tests (Test, Description, Units) VALUES ('Glucose', 'Plasma glucose', "
        "'mg/dL'), ('Cholesterol', NULL, 'mg/dL'), ('Sodium', NULL, 'mEq/L');"
        "INSERT INTO Results (Date, Period, Remarks) VALUES"
        " ('2004-03-05', 3, 'after dinner'),"
        " ('2004-03-05', 1, 'fasting'),"
        " ('2004-03-01', 2, NULL),"
        " ('2004-03-07', 9, 'period gone'),"
        " ('2004-03-08', 1, NULL);"
        "INSERT INTO Details (ID, Test, Result, Unit) VALUES"
        " (1, 1, 140, 'mg/dL'), (2, 1, 95.5, 'mg/dL'), (2, 2, 190, 'mg/dL'),"
        " (3, 3, 141, 'mEq/L'), (4, 1, 120, 'mg/dL'), (2, 7, 3.5, 'x'),"
        " (99, 1, 300, 'mg/dL'), (5, 2, NULL, 'mg/dL');"));
}

void tst_StoreViews::savedQuery_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QStringList>("columns");
    QTest::addColumn<QStringList>("rows");

    // Listed by date, then by period id (not name); an occasion without a
    // period stays, with no period name.
    QTest::newRow("Results Sorted")
        << QStringLiteral("SELECT * FROM \"Results Sorted\"")
        << QStringList{QStringLiteral("ID"), QStringLiteral("Date"), QStringLiteral("Period"),
                       QStringLiteral("Remarks")}
        << QStringList{QStringLiteral("3|2004-03-01|Noon|NULL"),
                       QStringLiteral("2|2004-03-05|Morning|fasting"),
                       QStringLiteral("1|2004-03-05|Evening|after dinner"),
                       QStringLiteral("4|2004-03-07|NULL|period gone"),
                       QStringLiteral("5|2004-03-08|Morning|NULL")};
    QTest::newRow("qryResults") << QStringLiteral("SELECT * FROM qryResults")
                                << QStringList{QStringLiteral("ID"), QStringLiteral("Date"),
                                               QStringLiteral("Period")}
                                << QStringList{QStringLiteral("3|2004-03-01|Noon"),
                                               QStringLiteral("2|2004-03-05|Morning"),
                                               QStringLiteral("1|2004-03-05|Evening"),
                                               QStringLiteral("5|2004-03-08|Morning")};
    // A value whose item is gone keeps its place, with no name.
    QTest::newRow("qryDetails") << QStringLiteral("SELECT * FROM qryDetails")
                                << QStringList{QStringLiteral("ID"), QStringLiteral("Test"),
                                               QStringLiteral("Result"), QStringLiteral("Units")}
                                << QStringList{QStringLiteral("1|Glucose|140.0|mg/dL"),
                                               QStringLiteral("2|NULL|3.5|x"),
                                               QStringLiteral("2|Cholesterol|190.0|mg/dL"),
                                               QStringLiteral("2|Glucose|95.5|mg/dL"),
                                               QStringLiteral("3|Sodium|141.0|mEq/L"),
                                               QStringLiteral("4|Glucose|120.0|mg/dL"),
                                               QStringLiteral("5|Cholesterol|NULL|mg/dL"),
                                               QStringLiteral("99|Glucose|300.0|mg/dL")};
    // The 300 of a deleted occasion is no maximum; a missing result is no minimum.
    QTest::newRow("Statistics Query")
        << QStringLiteral("SELECT * FROM \"Statistics Query\" ORDER BY ID")
        << QStringList{QStringLiteral("ID"), QStringLiteral("Test"), QStringLiteral("Units"),
                       QStringLiteral("Min"), QStringLiteral("Max")}
        << QStringList{QStringLiteral("1|Glucose|mg/dL|95.5|140.0"),
                       QStringLiteral("2|Cholesterol|mg/dL|190.0|190.0"),
                       QStringLiteral("3|Sodium|mEq/L|141.0|141.0")};
    // The statistics window finds the occasion of each minimum through the
    // saved query; both equalities must hold exactly for REAL values.
    QTest::newRow("occasions of the minimum")
        << QStringLiteral("SELECT S.Test, S.Min, Results.Date FROM \"Statistics Query\" S "
                          "JOIN Details ON S.Min = Details.Result AND S.ID = Details.Test "
                          "JOIN Results ON Results.ID = Details.ID ORDER BY S.ID")
        << QStringList{QStringLiteral("Test"), QStringLiteral("Min"), QStringLiteral("Date")}
        << QStringList{QStringLiteral("Glucose|95.5|2004-03-05"),
                       QStringLiteral("Cholesterol|190.0|2004-03-05"),
                       QStringLiteral("Sodium|141.0|2004-03-01")};
}

void tst_StoreViews::savedQuery()
{
    QFETCH(QString, sql);
    QFETCH(QStringList, columns);
    QFETCH(QStringList, rows);
    SqliteDatabase db(m_path, SqliteDatabase::Mode::ReadOnly);
    QCOMPARE(storetest::columns(db, sql), columns);
    QCOMPARE(storetest::rows(db, sql), rows);
}

QTEST_GUILESS_MAIN(tst_StoreViews)
#include "tst_storeviews.moc"
