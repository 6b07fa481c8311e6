#include "StoreTestSupport.h"
#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "platform/Error.h"
#include "platform/Format.h"
#include "store/ConnectionStrings.h"
#include "store/Database.h"
#include "store/Migration.h"
#include "store/ReferenceRange.h"
#include "store/Schema.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace vantor;
using engine::SqliteDatabase;

// Files made before test items had reference ranges: opened, they gain the
// two columns once; read-only, they open as they are; every text the windows
// send answers the same rows either way.
class tst_StoreMigration : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void oldFileGainsRangesOnce();
    void readOnlyOldFileOpensWithoutRanges();
    void programTextsAnswerAlike_data();
    void programTextsAnswerAlike();
    void rangeFlag_data();
    void rangeFlag();
    void rangeText_data();
    void rangeText();

private:
    // A file as the previous version made it: no Low and High, version 1.
    void makeOldFile();
    QStringList engineRows(const QString& sql, int columns);

    QTemporaryDir m_dir;
    const QString m_file = m_dir.filePath(u"vantor.mdb"_s);
};

void tst_StoreMigration::init()
{
    QVERIFY(m_dir.isValid());
    QFile::setPermissions(m_file, QFile::ReadOwner | QFile::WriteOwner);
    QFile::remove(m_file);
    makeOldFile();
}

void tst_StoreMigration::makeOldFile()
{
    store::createDatabase(m_file);
    SqliteDatabase db(m_file, SqliteDatabase::Mode::ReadWrite);
    db.exec(u"ALTER TABLE Tests DROP COLUMN High; ALTER TABLE Tests DROP COLUMN Low;"
            u"PRAGMA user_version = 1;"
            u"INSERT INTO Periods (Period) VALUES ('Morning'), ('Evening');"
            u"INSERT INTO Tests (Test, Description, Units) VALUES ('Glucose', 'Plasma glucose', "
            u"'mg/dL'), ('Sodium', NULL, 'mEq/L');"
            u"INSERT INTO Results (Date, Period, Remarks) VALUES ('2004-03-05', 1, 'fasting'),"
            u" ('2004-03-06', 2, NULL);"
            u"INSERT INTO Details (ID, Test, Result, Unit) VALUES (1, 1, 112, 'mg/dL'),"
            u" (1, 2, 141, 'mEq/L'), (2, 1, 95.5, 'mg/dL');"
            // A value without a result, and values of an occasion that is gone:
            // neither may show in the saved query's extremes.
            u"INSERT INTO Tests (Test, Units) VALUES ('Zinc', 'ug/dL');"
            u"INSERT INTO Details (ID, Test, Result, Unit) VALUES (2, 2, NULL, 'mEq/L'),"
            u" (99, 2, 500, 'mEq/L'), (99, 3, 80, 'ug/dL');"
            // The saved query as files before version 3 hold it.
            u"DROP VIEW \"Statistics Query\";"
            u"CREATE VIEW \"Statistics Query\" AS SELECT Tests.ID AS ID, Tests.Test AS Test,"
            u" Tests.Units AS Units, min(Details.Result) AS \"Min\", max(Details.Result) AS \"Max\""
            u" FROM Tests INNER JOIN Details ON Details.Test = Tests.ID"
            u" INNER JOIN Results ON Results.ID = Details.ID"
            u" GROUP BY Tests.ID, Tests.Test, Tests.Units"_s);
}

QStringList tst_StoreMigration::engineRows(const QString& sql, int columns)
{
    engine::Connection connection;
    connection.open(store::compactConnection(m_file));
    engine::Recordset rs;
    rs.open(sql, &connection);
    QStringList out;
    for (int row = 0; row < rs.recordCount(); ++row) {
        QStringList fields;
        for (int c = 0; c < std::min(columns, rs.fieldCount()); ++c)
            fields << platform::valueText(rs.valueAt(row, c));
        out << fields.join(u'|');
    }
    return out;
}

void tst_StoreMigration::oldFileGainsRangesOnce()
{
    QCOMPARE(store::checkDatabase(m_file), QStringList()); // the old form is sound
    QVERIFY(store::migrateDatabase(m_file));
    {
        SqliteDatabase db(m_file, SqliteDatabase::Mode::ReadWrite);
        QCOMPARE(db.scalar(u"PRAGMA user_version"_s).toInt(), store::schema::Version);
        QCOMPARE(storetest::count(db, u"SELECT count(*) FROM pragma_table_info('Tests') WHERE "
                                      u"name IN ('Low', 'High')"_s),
                 2);
        QVERIFY(db.scalar(u"SELECT sql FROM sqlite_master WHERE name = 'Statistics Query'"_s)
                    .toString()
                    .contains(u"LIMIT 1"_s));
        db.exec(u"UPDATE Tests SET Low = 70, High = 99 WHERE Test = 'Glucose'"_s);
    }
    // Reopened: nothing added twice, the limits kept, the check still clean.
    QVERIFY(store::migrateDatabase(m_file));
    QCOMPARE(store::checkDatabase(m_file), QStringList());
    engine::Connection connection;
    connection.open(store::compactConnection(m_file));
    const auto ranges = store::readReferenceRanges(connection);
    QCOMPARE(ranges.size(), 1);
    QCOMPARE(ranges.value(1).low, std::optional<double>(70));
    QCOMPARE(ranges.value(1).high, std::optional<double>(99));
    QCOMPARE(ranges.value(1).units, u"mg/dL"_s);
    // A limit that is no number is refused by the file itself, also after a migration.
    SqliteDatabase db(m_file, SqliteDatabase::Mode::ReadWrite);
    QVERIFY_THROWS_EXCEPTION(Error, db.exec(u"UPDATE Tests SET Low = 'abc'"_s));
}

void tst_StoreMigration::readOnlyOldFileOpensWithoutRanges()
{
    QVERIFY(QFile::setPermissions(m_file, QFile::ReadOwner));
    const QByteArray before = [this] {
        QFile f(m_file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    QVERIFY(!store::migrateDatabase(m_file));
    QFile f(m_file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
    QVERIFY(!QFile::exists(m_file + u"-journal"_s));

    engine::Connection connection;
    connection.open(store::compactConnection(m_file));
    QVERIFY(!store::hasReferenceRanges(connection));
    QVERIFY(store::readReferenceRanges(connection).isEmpty());
    QCOMPARE(
        engineRows(u"select Test,Description,Units from Tests Order by Test"_s, 3),
        (QStringList{u"Glucose|Plasma glucose|mg/dL"_s, u"Sodium||mEq/L"_s, u"Zinc||ug/dL"_s}));
}

void tst_StoreMigration::programTextsAnswerAlike_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("columns"); // those the old file had; SELECT * gains two
    QTest::newRow("tests list") << u"select Test,Description,Units from Tests Order by Test"_s << 3;
    QTest::newRow("details items") << u"SELECT ID, Test, Units FROM Tests ORDER BY Test;"_s << 3;
    QTest::newRow("report item") << u"SELECT * FROM Tests WHERE (Tests.ID)=1"_s << 4;
    QTest::newRow("overview")
        << u"SELECT Results.Date, Format(Results.Date,'Medium Date') as Dates, Periods.Period, "
           u"Results.Remarks, Tests.Test, format(Details.Result,'##,##0.0') as Results, "
           u"Details.Unit FROM Tests RIGHT JOIN ((Results INNER JOIN Details ON Results.ID = "
           u"Details.ID) INNER JOIN Periods ON Results.Period = Periods.ID) ON Tests.ID = "
           u"Details.Test Order by Date, Results.Period, Tests.Test"_s
        << 7;
    QTest::newRow("statistics")
        << u"SELECT Tests.Test, Tests.Units, Format(Avg([Result]),\"0.00\") AS Average, "
           u"Min(Details.Result) AS Minimum, Max(Details.Result) AS Maximum FROM Tests INNER "
           u"JOIN (Results INNER JOIN Details ON Results.ID = Details.ID) ON Tests.ID = "
           u"Details.Test GROUP BY Tests.Test, Tests.Units;"_s
        << 5;
    QTest::newRow("saved query") << u"SELECT * FROM [Statistics Query]"_s << 5;
    QTest::newRow("import catalogue") << u"SELECT ID, Test, Units FROM Tests ORDER BY ID"_s << 3;
}

void tst_StoreMigration::programTextsAnswerAlike()
{
    QFETCH(QString, sql);
    QFETCH(int, columns);
    const QStringList before = engineRows(sql, columns);
    QVERIFY(!before.isEmpty());
    QVERIFY(store::migrateDatabase(m_file));
    QCOMPARE(engineRows(sql, columns), before);
}

void tst_StoreMigration::rangeFlag_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QVariant>("low");
    QTest::addColumn<QVariant>("high");
    QTest::addColumn<QString>("valueUnit");
    QTest::addColumn<int>("flag");
    const QVariant none;
    const int ok = int(store::RangeFlag::None), low = int(store::RangeFlag::Low),
              high = int(store::RangeFlag::High), apart = int(store::RangeFlag::NotCompared);
    const QString mg = u"mg/dL"_s;
    QTest::newRow("inside") << 85.0 << QVariant(70.0) << QVariant(99.0) << mg << ok;
    QTest::newRow("equal to low") << 70.0 << QVariant(70.0) << QVariant(99.0) << mg << ok;
    QTest::newRow("equal to high") << 99.0 << QVariant(70.0) << QVariant(99.0) << mg << ok;
    QTest::newRow("just below") << 69.9 << QVariant(70.0) << QVariant(99.0) << mg << low;
    QTest::newRow("just above") << 99.1 << QVariant(70.0) << QVariant(99.0) << mg << high;
    QTest::newRow("upper limit only") << 131.0 << none << QVariant(130.0) << mg << high;
    QTest::newRow("upper only, low value") << 1.0 << none << QVariant(130.0) << mg << ok;
    QTest::newRow("lower limit only") << 39.0 << QVariant(40.0) << none << mg << low;
    QTest::newRow("no limits") << 1e9 << none << none << mg << ok;
    QTest::newRow("unit differs in case only")
        << 112.0 << QVariant(70.0) << QVariant(99.0) << u" MG/DL"_s << high;
    QTest::newRow("other unit") << 6.2 << QVariant(70.0) << QVariant(99.0) << u"mmol/L"_s << apart;
    QTest::newRow("no unit recorded")
        << 112.0 << QVariant(70.0) << QVariant(99.0) << QString() << apart;
}

void tst_StoreMigration::rangeFlag()
{
    QFETCH(double, value);
    QFETCH(QVariant, low);
    QFETCH(QVariant, high);
    QFETCH(QString, valueUnit);
    QFETCH(int, flag);
    const auto limit = [](const QVariant& v) {
        return v.isValid() ? std::optional<double>(v.toDouble()) : std::nullopt;
    };
    QCOMPARE(int(store::rangeFlag(value, limit(low), limit(high), valueUnit, u"mg/dL"_s)), flag);
}

void tst_StoreMigration::rangeText_data()
{
    QTest::addColumn<QVariant>("low");
    QTest::addColumn<QVariant>("high");
    QTest::addColumn<QString>("text");
    QTest::newRow("both") << QVariant(70.0) << QVariant(99.0) << u"70 \u2013 99 mg/dL"_s;
    QTest::newRow("upper") << QVariant() << QVariant(130.0) << u"\u2264 130 mg/dL"_s;
    QTest::newRow("lower") << QVariant(0.5) << QVariant() << u"\u2265 0.5 mg/dL"_s;
    QTest::newRow("none") << QVariant() << QVariant() << QString();
}

void tst_StoreMigration::rangeText()
{
    QFETCH(QVariant, low);
    QFETCH(QVariant, high);
    QFETCH(QString, text);
    store::ReferenceRange range;
    if (low.isValid())
        range.low = low.toDouble();
    if (high.isValid())
        range.high = high.toDouble();
    range.units = u"mg/dL"_s;
    QCOMPARE(store::rangeText(range), text);
}

QTEST_GUILESS_MAIN(tst_StoreMigration)
#include "tst_storemigration.moc"
