#include "StoreTestSupport.h"
#include "store/Database.h"
#include "store/Schema.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using vantor::engine::SqliteDatabase;

// vantor-db as a user runs it: arguments in, exit status and printed text out.
class tst_VantorDb : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void commands_data();
    void commands();
    void refusesWithoutHarm_data();
    void refusesWithoutHarm();
    void checkAfterACrash();
    void olderFileIsCheckedAsItIsAndQueriedMigrated();

private:
    struct Run
    {
        int exitCode = -1;
        QString out;
        QString err;
    };
    Run run(const QStringList& arguments);

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_VantorDb::init()
{
    // Every row starts in a fresh folder holding known.mdb, a small known database.
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    const QString file = m_dir->filePath(u"known.mdb"_s);
    vantor::store::createDatabase(file);
    SqliteDatabase(file, SqliteDatabase::Mode::ReadWrite)
        .exec(u"INSERT INTO Periods (Period) VALUES ('Morning'), ('Evening');"
              u"INSERT INTO Tests (Test, Units) VALUES ('Glucose', 'mg/dL');"
              u"INSERT INTO Results (Date, Period, Remarks) VALUES ('2004-03-05', 2, 'tab\there'),"
              u" ('2004-03-05', 1, NULL);"
              u"INSERT INTO Details (ID, Test, Result, Unit) VALUES (1, 1, 95.5, 'mg/dL'),"
              u" (2, 1, 101, 'mg/dL');"_s);
}

void tst_VantorDb::commands_data()
{
    // Command lines run one after another, " ; " between them; a query's text
    // is the rest of its line. All but the last must succeed.
    QTest::addColumn<QString>("commands");
    QTest::addColumn<int>("exitCode"); // of the last
    QTest::addColumn<QString>("out");  // what the last printed, exactly
    QTest::addColumn<QString>("err");  // part of what the last reported

    const QString usage = u"Usage: vantor-db"_s;
    for (const char* wrong :
         {"", "drop x.mdb", "create", "check a.mdb b.mdb", "generate x.mdb",
          "generate x.mdb --values many", "query x.mdb", "create x.mdb --force"})
        QTest::addRow("usage: %s", wrong) << QString::fromLatin1(wrong) << 2 << QString() << usage;

    QTest::newRow("create, check") << u"create new.mdb ; check new.mdb"_s << 0
                                   << u"new.mdb: no problems found.\n"_s << QString();
    QTest::newRow("create converts")
        << u"create new.mdb ; query new.mdb SELECT Agent, [SI Unit] FROM Agents WHERE Agent = "
           u"'Creatinine'"_s
        << 0 << u"Agent\tSI Unit\nCreatinine\tumol/L\n"_s << QString();
    QTest::newRow("never over a file")
        << u"create new.mdb ; demo new.mdb"_s << 1 << QString() << u"already exists"_s;
    QTest::newRow("check a missing file")
        << u"check missing.mdb"_s << 1 << u"The file \"missing.mdb\" does not exist.\n"_s
        << QString();
    QTest::newRow("check a fault")
        << u"query known.mdb DROP VIEW qryResults ; check known.mdb"_s << 1
        << u"The saved query \"qryResults\" is missing.\n"_s << QString();
    QTest::newRow("demo") << u"demo demo.mdb --seed 5 ; check demo.mdb"_s << 0
                          << u"demo.mdb: no problems found.\n"_s << QString();
    QTest::newRow("generate")
        << u"generate big.mdb --values 600 ; query big.mdb SELECT Count(*) AS N FROM Details"_s << 0
        << u"N\n600\n"_s << QString();

    QTest::newRow("rows tab-separated")
        << u"query known.mdb SELECT Results.ID, Results.Date, Periods.Period, Results.Remarks, "
           u"Details.Result FROM (Results INNER JOIN Periods ON Results.Period = Periods.ID) "
           u"INNER JOIN Details ON Details.ID = Results.ID ORDER BY Results.Date, Results.Period"_s
        << 0
        << u"ID\tDate\tPeriod\tRemarks\tResult\n2\t2004-03-05\tMorning\t\t101\n"
           u"1\t2004-03-05\tEvening\ttab\\there\t95.5\n"_s
        << QString();
    // Keys stand in column order, as a reader of the raw text expects.
    QTest::newRow("rows as JSON")
        << u"query --json known.mdb SELECT * FROM Results ORDER BY ID"_s << 0
        << u"[\n{\"ID\":1,\"Date\":\"2004-03-05\",\"Period\":2,\"Remarks\":\"tab\\there\"},\n"
           u"{\"ID\":2,\"Date\":\"2004-03-05\",\"Period\":1,\"Remarks\":null}\n]\n"_s
        << QString();
    QTest::newRow("no rows as JSON")
        << u"query --json known.mdb SELECT Result FROM Details WHERE Result > 1000"_s << 0
        << u"[]\n"_s << QString();
    QTest::newRow("changed rows")
        << u"query known.mdb UPDATE Details SET Result = Result * 2 WHERE Test = 1"_s << 0
        << u"2 row(s) changed\n"_s << QString();
    QTest::newRow("changes kept")
        << u"query known.mdb UPDATE Details SET Result = Result * 2 WHERE Test = 1 ; "
           u"query --json known.mdb SELECT Sum(Result) AS Total FROM Details"_s
        << 0 << u"[\n{\"Total\":393}\n]\n"_s << QString();
    // Two children per parent level: the date group, its occasions, their values.
    QTest::newRow("chapters nested in JSON")
        << u"query --json known.mdb SHAPE (SHAPE {SELECT ID, Date FROM Results ORDER BY Period} "
           u"AS R APPEND ({SELECT ID, Result FROM Details} AS D RELATE ID TO ID) AS Values, "
           u"({SELECT ID, Period FROM Results} AS P RELATE ID TO ID) AS Again) "
           u"COMPUTE R, COUNT(R) AS N BY Date"_s
        << 0
        << u"[\n{\"N\":2,\"Date\":\"2004-03-05\",\"R\":[\n"
           u"  {\"ID\":2,\"Date\":\"2004-03-05\",\"Values\":[\n    {\"ID\":2,\"Result\":101}\n"
           u"    ],\"Again\":[\n    {\"ID\":2,\"Period\":1}\n    ]},\n"
           u"  {\"ID\":1,\"Date\":\"2004-03-05\",\"Values\":[\n    {\"ID\":1,\"Result\":95.5}\n"
           u"    ],\"Again\":[\n    {\"ID\":1,\"Period\":2}\n    ]}\n  ]}\n]\n"_s
        << QString();
    QTest::newRow("chapters nested as text")
        << u"query known.mdb SHAPE {SELECT ID FROM Results} AS R APPEND "
           u"({SELECT ID, Result FROM Details} AS D RELATE ID TO ID) AS D"_s
        << 0 << u"ID\tD\n2\t(D)\n  ID\tResult\n  2\t101\n1\t(D)\n  ID\tResult\n  1\t95.5\n"_s
        << QString();
    // The whole dialect, not only what the windows send: functions, named formats.
    QTest::newRow("functions of the dialect")
        << u"query known.mdb SELECT Format(Result, 'Standard') AS S, Format(0.25, 'Percent') AS P, "
           u"Mid(Remarks, 5) AS M, InStr(Nz(Remarks), 'here') AS I, "
           u"IIf(IsNull(Remarks), 'none', UCase(Left(Remarks, 3))) AS U "
           u"FROM Details INNER JOIN Results ON Results.ID = Details.ID ORDER BY Result"_s
        << 0 << u"S\tP\tM\tI\tU\n95.50\t25.00%\there\t5\tTAB\n101.00\t25.00%\t\t0\tnone\n"_s
        << QString();
    QTest::newRow("bad SQL") << u"query known.mdb SELECT Nothing FROM Nowhere"_s << 1 << QString()
                             << u"vantor-db: "_s;
}

void tst_VantorDb::commands()
{
    QFETCH(QString, commands);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);

    const QStringList lines = commands.split(u" ; "_s);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringList arguments = lines[i].split(u' ', Qt::SkipEmptyParts);
        if (arguments.value(0) == u"query") {
            const qsizetype text = arguments.value(1) == u"--json" ? 3 : 2;
            const QString sql = arguments.mid(text).join(u' ');
            arguments = arguments.mid(0, text);
            if (!sql.isEmpty())
                arguments << sql;
        }
        QProcess process;
        process.setWorkingDirectory(m_dir->path());
        process.start(QStringLiteral(VANTOR_DB_PROGRAM), arguments);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        const QString printed = QString::fromUtf8(process.readAllStandardOutput());
        const QString reported = QString::fromUtf8(process.readAllStandardError());
        if (i + 1 < lines.size()) {
            QVERIFY2(process.exitCode() == 0, qPrintable(reported));
            continue;
        }
        QCOMPARE(process.exitCode(), exitCode);
        QCOMPARE(printed, out);
        QVERIFY2(reported.contains(err), qPrintable(reported));
    }
    QVERIFY(!QFile::exists(m_dir->filePath(u"x.mdb"_s))); // wrong arguments make nothing
}

tst_VantorDb::Run tst_VantorDb::run(const QStringList& arguments)
{
    QProcess process;
    process.setWorkingDirectory(m_dir->path());
    process.start(QStringLiteral(VANTOR_DB_PROGRAM), arguments);
    Run result;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

namespace {

QString nestedRight(int levels)
{
    return u"Right("_s.repeated(levels) + u"'abcdef'"_s + u", 3)"_s.repeated(levels);
}

} // namespace

// Every kind of statement: a text with a second one runs nothing at all; a
// locked file is called in use; deep nesting stays fast and small.
void tst_VantorDb::refusesWithoutHarm_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("printed"); // stdout, or part of stderr when failing
    const QString stacked = u"more than one statement"_s;
    const QStringList query{u"query"_s, u"known.mdb"_s};
    QTest::newRow("DROP then garbage")
        << (query + QStringList{u"DROP TABLE tblSelect; this is not SQL )))"_s}) << 1 << stacked;
    QTest::newRow("CREATE then DROP")
        << (query + QStringList{u"CREATE TABLE X (A INTEGER); DROP TABLE Tests"_s}) << 1 << stacked;
    QTest::newRow("DELETE then DROP")
        << (query + QStringList{u"DELETE FROM Details; DROP TABLE Tests"_s}) << 1
        << u"expected the end of the statement"_s;
    QTest::newRow("SELECT then DELETE")
        << (query + QStringList{u"SELECT * FROM Tests; DELETE FROM Details"_s}) << 1
        << u"expected the end of the statement"_s;
    QTest::newRow("one statement and its semicolon")
        << (query + QStringList{u"CREATE TABLE X (A INTEGER);  "_s}) << 0
        << u"0 row(s) changed\n"_s;
    QTest::newRow("Right nested 24 deep")
        << (query + QStringList{u"SELECT "_s + nestedRight(24) + u" AS R"_s}) << 0 << u"R\ndef\n"_s;
    QTest::newRow("nested deeper than the limit")
        << (query + QStringList{u"SELECT "_s + nestedRight(200) + u" AS R"_s}) << 1
        << u"nested too deeply"_s;
    QTest::newRow("check a locked file")
        << QStringList{u"check"_s, u"known.mdb"_s} << 1 << u"is in use"_s;
}

void tst_VantorDb::refusesWithoutHarm()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, printed);
    const QString file = m_dir->filePath(u"known.mdb"_s);
    SqliteDatabase locker(file, SqliteDatabase::Mode::ReadWrite);
    if (arguments.first() == u"check")
        locker.exec(u"BEGIN EXCLUSIVE; DELETE FROM tblSelect"_s);

    QElapsedTimer timer;
    timer.start();
    const Run result = run(arguments);
    QVERIFY(timer.elapsed() < 20000);
    QCOMPARE(result.exitCode, exitCode);
    if (exitCode == 0)
        QCOMPARE(result.out, printed);
    else
        QVERIFY2((result.out + result.err).contains(printed), qPrintable(result.out + result.err));
    locker.close();

    SqliteDatabase db(file, SqliteDatabase::Mode::ReadOnly);
    QCOMPARE(db.scalar(u"SELECT count(*) FROM sqlite_master WHERE name IN "
                       u"('tblSelect', 'Tests')"_s)
                 .toInt(),
             2);
    QCOMPARE(db.scalar(u"SELECT count(*) FROM Details"_s).toInt(), 2);
    QCOMPARE(db.scalar(u"SELECT count(*) FROM sqlite_master WHERE name = 'X'"_s).toInt(),
             arguments.last().startsWith(u"CREATE"_s) && exitCode == 0 ? 1 : 0);
}

// A crash in the middle of a write leaves a journal beside the file; check
// rolls it back and finds the file sound.
void tst_VantorDb::checkAfterACrash()
{
    const QString file = m_dir->filePath(u"known.mdb"_s);
    const QString crashed = m_dir->filePath(u"crashed.mdb"_s);
    {
        SqliteDatabase writer(file, SqliteDatabase::Mode::ReadWrite);
        writer.exec(u"PRAGMA cache_size = 1; BEGIN; "
                    u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                    u"WHERE i < 2000) INSERT INTO Details (ID, Test, Result, Unit) "
                    u"SELECT 1, 1, i, 'mg/dL' FROM n"_s);
        // The file and its journal as a crash at this moment leaves them.
        QVERIFY(QFile::exists(file + u"-journal"_s));
        QVERIFY(QFile::copy(file, crashed));
        QVERIFY(QFile::copy(file + u"-journal"_s, crashed + u"-journal"_s));
        writer.exec(u"ROLLBACK"_s);
    }
    const Run result = run({u"check"_s, u"crashed.mdb"_s});
    QCOMPARE(result.err, QString());
    QCOMPARE(result.out, u"crashed.mdb: no problems found.\n"_s);
    QCOMPARE(result.exitCode, 0);
    QVERIFY(!QFile::exists(crashed + u"-journal"_s));
    SqliteDatabase db(crashed, SqliteDatabase::Mode::ReadOnly);
    QCOMPARE(db.scalar(u"SELECT count(*) FROM Details"_s).toInt(), 2);
}

// A file from before reference ranges: check finds it sound and leaves it be;
// a query adds the range columns first, once, and reads them.
void tst_VantorDb::olderFileIsCheckedAsItIsAndQueriedMigrated()
{
    const QString file = m_dir->filePath(u"known.mdb"_s);
    SqliteDatabase(file, SqliteDatabase::Mode::ReadWrite)
        .exec(u"ALTER TABLE Tests DROP COLUMN High; ALTER TABLE Tests DROP COLUMN Low;"
              u"PRAGMA user_version = 1"_s);
    const auto columns = [&file] {
        SqliteDatabase db(file, SqliteDatabase::Mode::ReadOnly);
        return db.scalar(u"SELECT group_concat(name, ',') FROM pragma_table_info('Tests')"_s)
            .toString();
    };
    Run result = run({u"check"_s, u"known.mdb"_s});
    QCOMPARE(result.out, u"known.mdb: no problems found.\n"_s);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(columns(), u"ID,Test,Description,Units"_s);
    for (int i = 0; i < 2; ++i) {
        result = run({u"query"_s, u"known.mdb"_s, u"SELECT Test, Low, High FROM Tests"_s});
        QCOMPARE(result.err, QString());
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.out.contains(u"Glucose"_s), qPrintable(result.out));
        QCOMPARE(columns(), u"ID,Test,Description,Units,Low,High"_s);
    }
    SqliteDatabase db(file, SqliteDatabase::Mode::ReadOnly);
    QCOMPARE(db.scalar(u"PRAGMA user_version"_s).toInt(), vantor::store::schema::Version);
}

QTEST_GUILESS_MAIN(tst_VantorDb)
#include "tst_vantordb.moc"
