#include "StoreTestSupport.h"
#include "store/Database.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using vantor::engine::SqliteDatabase;

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
    const QString m_path = m_dir.filePath(u"vantor.mdb"_s);
};

void tst_StoreViews::initTestCase()
{
    QVERIFY(m_dir.isValid());
    vantor::store::createDatabase(m_path);
    SqliteDatabase(m_path, SqliteDatabase::Mode::ReadWrite)
        .exec(u"INSERT INTO Periods (Period) VALUES ('Morning'), ('Noon'), ('Evening');"
              u"INSERT INTO Tests (Test, Description, Units) VALUES ('Glucose', 'Plasma glucose', "
              u"'mg/dL'), ('Cholesterol', NULL, 'mg/dL'), ('Sodium', NULL, 'mEq/L');"
              u"INSERT INTO Results (Date, Period, Remarks) VALUES"
              u" ('2004-03-05', 3, 'after dinner'), ('2004-03-05', 1, 'fasting'),"
              u" ('2004-03-01', 2, NULL), ('2004-03-07', 9, 'period gone'),"
              u" ('2004-03-08', 1, NULL);"
              u"INSERT INTO Details (ID, Test, Result, Unit) VALUES"
              u" (1, 1, 140, 'mg/dL'), (2, 1, 95.5, 'mg/dL'), (2, 2, 190, 'mg/dL'),"
              u" (3, 3, 141, 'mEq/L'), (4, 1, 120, 'mg/dL'), (2, 7, 3.5, 'x'),"
              u" (99, 1, 300, 'mg/dL'), (5, 2, NULL, 'mg/dL');"_s);
}

void tst_StoreViews::savedQuery_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("columns");
    QTest::addColumn<QStringList>("rows");

    // Listed by date, then by period id (not name); an occasion without a
    // period stays, with no period name.
    QTest::newRow("Results Sorted")
        << u"SELECT * FROM \"Results Sorted\""_s << u"ID|Date|Period|Remarks"_s
        << QStringList{u"3|2004-03-01|Noon|NULL"_s, u"2|2004-03-05|Morning|fasting"_s,
                       u"1|2004-03-05|Evening|after dinner"_s, u"4|2004-03-07|NULL|period gone"_s,
                       u"5|2004-03-08|Morning|NULL"_s};
    QTest::newRow("qryResults") << u"SELECT * FROM qryResults"_s << u"ID|Date|Period"_s
                                << QStringList{u"3|2004-03-01|Noon"_s, u"2|2004-03-05|Morning"_s,
                                               u"1|2004-03-05|Evening"_s,
                                               u"5|2004-03-08|Morning"_s};
    // A value whose item is gone keeps its place, with no name.
    QTest::newRow("qryDetails") << u"SELECT * FROM qryDetails"_s << u"ID|Test|Result|Units"_s
                                << QStringList{
                                       u"1|Glucose|140.0|mg/dL"_s,     u"2|NULL|3.5|x"_s,
                                       u"2|Cholesterol|190.0|mg/dL"_s, u"2|Glucose|95.5|mg/dL"_s,
                                       u"3|Sodium|141.0|mEq/L"_s,      u"4|Glucose|120.0|mg/dL"_s,
                                       u"5|Cholesterol|NULL|mg/dL"_s,  u"99|Glucose|300.0|mg/dL"_s};
    // The 300 of a deleted occasion is no maximum; a missing result is no minimum.
    QTest::newRow("Statistics Query")
        << u"SELECT * FROM \"Statistics Query\" ORDER BY ID"_s << u"ID|Test|Units|Min|Max"_s
        << QStringList{u"1|Glucose|mg/dL|95.5|140.0"_s, u"2|Cholesterol|mg/dL|190.0|190.0"_s,
                       u"3|Sodium|mEq/L|141.0|141.0"_s};
    // The statistics window finds the occasion of each minimum through the
    // saved query; both equalities must hold exactly for REAL values.
    QTest::newRow("occasions of the minimum")
        << u"SELECT S.Test, S.Min, Results.Date FROM \"Statistics Query\" S "
           u"JOIN Details ON S.Min = Details.Result AND S.ID = Details.Test "
           u"JOIN Results ON Results.ID = Details.ID ORDER BY S.ID"_s
        << u"Test|Min|Date"_s
        << QStringList{u"Glucose|95.5|2004-03-05"_s, u"Cholesterol|190.0|2004-03-05"_s,
                       u"Sodium|141.0|2004-03-01"_s};
}

void tst_StoreViews::savedQuery()
{
    QFETCH(QString, sql);
    QFETCH(QString, columns);
    QFETCH(QStringList, rows);
    SqliteDatabase db(m_path, SqliteDatabase::Mode::ReadOnly);
    QCOMPARE(storetest::columns(db, sql).join(u'|'), columns);
    QCOMPARE(storetest::rows(db, sql), rows);
}

QTEST_GUILESS_MAIN(tst_StoreViews)
#include "tst_storeviews.moc"
