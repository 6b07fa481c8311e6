// vantor-db import as a user runs it: the preview, --yes, bad lines, a
// second run, a process ended in the middle of the writes, and the time
// 100,000 lines take.

#include "ImportTestSupport.h"

#include "engine/Sqlite.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace vantor;
using namespace Qt::Literals::StringLiterals;
using importtest::allValues;
using importtest::count;

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run vantorDb(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(VANTOR_DB_PROGRAM), arguments);
    if (!process.waitForFinished(120000))
        qFatal("vantor-db did not finish");
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// lines values, five test items an occasion, one occasion a day.
QByteArray largeFile(int lines)
{
    const char* tests[] = {"Glucose", "Sodium", "Potassium", "Creatinine", "Albumin"};
    QByteArray bytes = "Date,Period,Test,Result,Unit\n";
    bytes.reserve(lines * 40);
    const QDate first(1990, 1, 1);
    for (int i = 0; i < lines; ++i) {
        bytes += first.addDays(i / 5).toString(Qt::ISODate).toLatin1();
        bytes += ",Morning,";
        bytes += tests[i % 5];
        bytes += ',';
        bytes += QByteArray::number(double(i % 997) / 10.0);
        bytes += ",u\n";
    }
    return bytes;
}

} // namespace

class tst_ImportTool : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void previewThenImport();
    void wideFileWithMap();
    void wrongArguments_data();
    void wrongArguments();
    void killedImportLeavesTheDatabase();
    void hundredThousandLines();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
    QString m_large;
};

void tst_ImportTool::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QDir::setCurrent(m_dir.path());
    m_large = path(u"large.csv"_s);
    importtest::writeFile(m_large, largeFile(100000));
}

void tst_ImportTool::previewThenImport()
{
    const QString db = path(u"long.mdb"_s);
    QCOMPARE(vantorDb({u"create"_s, db}).exitCode, 0);
    importtest::writeFile(path(u"long.csv"_s), importtest::longCsv());

    const Run preview = vantorDb({u"import"_s, path(u"long.csv"_s), db});
    QCOMPARE(preview.exitCode, 0);
    QVERIFY2(preview.out.contains(u"Dates: day/month/year\n"_s), qPrintable(preview.out));
    QVERIFY(preview.out.contains(u"Occasions to add: 3\nValues to add: 4\n"_s));
    QVERIFY(preview.out.contains(u"New periods: Morning, Evening\n"_s));
    QVERIFY(preview.out.contains(u"Lines that cannot be read: 3\n"
                                 "  line 4: \"abc\" is not a number\n"
                                 "  line 5: \"31/02/2024\" is not a date (day/month/year)\n"
                                 "  line 6: the test item is empty\n"_s));
    QCOMPARE(count(db, u"Details"_s), 0);

    const Run refused = vantorDb({u"import"_s, path(u"long.csv"_s), db, u"--yes"_s});
    QCOMPARE(refused.exitCode, 1);
    QCOMPARE(refused.err, u"vantor-db: 3 lines cannot be read; nothing was written.\n"_s);
    QCOMPARE(count(db, u"Details"_s), 0);
    QCOMPARE(count(db, u"Periods"_s), 0);

    const Run done = vantorDb({u"import"_s, path(u"long.csv"_s), db, u"--yes"_s, u"--skip-bad"_s});
    QCOMPARE(done.exitCode, 0);
    QVERIFY2(done.out.contains(u"Added 3 occasions and 4 values."_s), qPrintable(done.out));
    QCOMPARE(count(db, u"Details"_s), 4);

    const Run again = vantorDb({u"import"_s, path(u"long.csv"_s), db, u"--yes"_s, u"--skip-bad"_s});
    QVERIFY2(again.out.contains(u"Added 0 occasions and 0 values. 4 values were already stored."_s),
             qPrintable(again.out));
    QCOMPARE(count(db, u"Details"_s), 4);
}

void tst_ImportTool::wideFileWithMap()
{
    const QString db = path(u"wide.mdb"_s);
    QCOMPARE(vantorDb({u"create"_s, db}).exitCode, 0);
    // No heading line: the columns are told by number, the test items need one.
    importtest::writeFile(path(u"wide.txt"_s),
                          "Date\tGlu\tHb\n3/14/2024\t5.5\t14\n3/15/2024\t\t13.5\n");
    const Run run = vantorDb({u"import"_s, path(u"wide.txt"_s), db, u"--map"_s,
                              u"date=Date,tests=2-3"_s, u"--period"_s, u"Fasting"_s, u"--yes"_s});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(allValues(db), (QStringList{u"2024-03-14|Fasting|Glu|5.5|NULL|NULL"_s,
                                         u"2024-03-14|Fasting|Hb|14|NULL|NULL"_s,
                                         u"2024-03-15|Fasting|Hb|13.5|NULL|NULL"_s}));
}

void tst_ImportTool::wrongArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    const QString file = u"long.csv"_s;
    const QString db = u"long.mdb"_s;
    QTest::newRow("one file") << QStringList{file} << 2
                              << u"vantor-db: import takes a text file and a database file."_s;
    QTest::newRow("unknown option")
        << QStringList{file, db, u"--fast"_s} << 2 << u"vantor-db: Unknown option --fast."_s;
    QTest::newRow("bad date form") << QStringList{file, db, u"--date-form"_s, u"ymd"_s} << 2
                                   << u"vantor-db: --date-form takes iso, mdy or dmy."_s;
    QTest::newRow("unknown map key") << QStringList{file, db, u"--map"_s, u"day=1"_s} << 1
                                     << u"vantor-db: --map knows date, period, test, result, unit, "
                                        "remarks and tests, not \"day\".\n"_s;
    QTest::newRow("column beyond the file")
        << QStringList{file, db, u"--map"_s, u"date=1,test=2,result=9"_s} << 1
        << u"vantor-db: The file has no column 9.\n"_s;
    QTest::newRow("missing text file") << QStringList{u"nothing.csv"_s, db} << 1
                                       << u"vantor-db: Cannot read the file \"nothing.csv\""_s;
    QTest::newRow("missing database")
        << QStringList{file, u"nothing.mdb"_s} << 1
        << u"vantor-db: Could not find the database file 'nothing.mdb'"_s;
    QTest::newRow("another SQLite file")
        << QStringList{file, u"other.db"_s} << 1 << u"vantor-db: \""_s;
    QTest::newRow("the database as the text file")
        << QStringList{db, db} << 1 << u"vantor-db: The heading does not say"_s;
}

void tst_ImportTool::wrongArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    if (QLatin1String(QTest::currentDataTag()) == u"another SQLite file"_s) {
        engine::SqliteDatabase other(path(u"other.db"_s), engine::SqliteDatabase::Mode::Create);
        other.exec(u"CREATE TABLE IF NOT EXISTS Results (ID INTEGER)"_s);
    }
    const qint64 before = count(u"long.mdb"_s, u"Details"_s);
    const Run run = vantorDb(QStringList{u"import"_s} + arguments);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.startsWith(message), qPrintable(run.err));
    if (QLatin1String(QTest::currentDataTag()) == u"another SQLite file"_s)
        QVERIFY2(run.err.endsWith(u"other.db\" is not a results database: it lacks the tables of "
                                  "the occasions, values, periods and test items.\n"_s),
                 qPrintable(run.err));
    QCOMPARE(count(u"long.mdb"_s, u"Details"_s), before);
}

void tst_ImportTool::killedImportLeavesTheDatabase()
{
    const QString db = path(u"killed.mdb"_s);
    QCOMPARE(vantorDb({u"demo"_s, db}).exitCode, 0);
    const QStringList before = allValues(db);

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"VANTOR_IMPORT_TEST_PAUSE_MS"_s, u"60000"_s);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VANTOR_DB_PROGRAM), {u"import"_s, m_large, db, u"--yes"_s});
    process.setReadChannel(QProcess::StandardError);
    QByteArray err;
    while (!err.contains("writing") && process.waitForReadyRead(60000))
        err += process.readAllStandardError();
    if (!err.contains("vantor-db: writing")) {
        process.kill();
        process.waitForFinished();
        QFAIL(err.constData());
    }
    // Three quarters of the values are in the file's pages or its journal now.
    QVERIFY(QFileInfo::exists(db + u"-journal"_s));
    process.kill();
    QVERIFY(process.waitForFinished());

    engine::SqliteDatabase check(db, engine::SqliteDatabase::Mode::ReadWrite);
    QCOMPARE(check.scalar(u"PRAGMA integrity_check"_s).toString(), u"ok"_s);
    check.close();
    QCOMPARE(allValues(db), before);
    QCOMPARE(count(db, u"Details"_s), before.size());
}

void tst_ImportTool::hundredThousandLines()
{
    const QString db = path(u"large.mdb"_s);
    QCOMPARE(vantorDb({u"create"_s, db}).exitCode, 0);
    QElapsedTimer timer;
    timer.start();
    const Run run = vantorDb({u"import"_s, m_large, db, u"--yes"_s});
    const qint64 ms = timer.elapsed();
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    qInfo("100,000 lines imported in %lld ms: %s", ms, qPrintable(run.out.section(u'\n', -2)));
    QCOMPARE(count(db, u"Details"_s), 100000);
    QCOMPARE(count(db, u"Results"_s), 20000);
    QVERIFY2(ms < 20000, "far slower than a few seconds");

    const Run again = vantorDb({u"import"_s, m_large, db, u"--yes"_s});
    QVERIFY2(again.out.contains(
                 u"Added 0 occasions and 0 values. 100,000 values were already stored."_s),
             qPrintable(again.out));
}

QTEST_GUILESS_MAIN(tst_ImportTool)
#include "tst_importtool.moc"
