#include "StoreTestSupport.h"
#include "store/Database.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace vantor;
using store::SqliteDatabase;

// vantor-db as a user runs it: arguments in, exit status and printed text out.
class tst_VantorDb : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void wrongArguments_data();
    void wrongArguments();
    void createThenCheck();
    void createRefusesExistingFile();
    void checkFailsOnFaults();
    void demoAndGenerate();
    void queryPrintsTabSeparatedRows();
    void queryPrintsJson();
    void queryChangesRows();
    void queryPrintsChaptersNested();
    void queryReportsBadSql();

private:
    struct Run
    {
        int exitCode;
        QString out;
        QString err;
    };
    Run run(const QStringList& arguments) const;
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QString knownDatabase() const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

tst_VantorDb::Run tst_VantorDb::run(const QStringList& arguments) const
{
    QProcess process;
    process.setWorkingDirectory(m_dir->path());
    process.start(QStringLiteral(VANTOR_DB_PROGRAM), arguments);
    if (!process.waitForFinished(60000))
        return {-1, {}, QStringLiteral("did not finish")};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

void tst_VantorDb::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString tst_VantorDb::knownDatabase() const
{
    const QString file = path(QStringLiteral("vantor.mdb"));
    store::createDatabase(file);
    SqliteDatabase db(file, SqliteDatabase::Mode::ReadWrite);
    db.exec(QStringLiteral(
        "INSERT INTO Periods (Period) VALUES ('Morning'), ('Evening');"
        "INSERT INTO Tests (Test, Units) VALUES ('Glucose', 'mg/dL');"
        "INSERT INTO Results (Date, Period, Remarks) VALUES ('2004-03-05', 2, 'tab\there'),"
        " ('2004-03-05', 1, NULL);"
        "INSERT INTO Details (ID, Test, Result, Unit) VALUES (1, 1, 95.5, 'mg/dL'), (2, 1, 101, "
        "'mg/dL');"));
    return file;
}

void tst_VantorDb::wrongArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("nothing") << QStringList();
    QTest::newRow("unknown command")
        << QStringList{QStringLiteral("drop"), QStringLiteral("x.mdb")};
    QTest::newRow("no file") << QStringList{QStringLiteral("create")};
    QTest::newRow("two files") << QStringList{QStringLiteral("check"), QStringLiteral("a.mdb"),
                                              QStringLiteral("b.mdb")};
    QTest::newRow("generate without count")
        << QStringList{QStringLiteral("generate"), QStringLiteral("x.mdb")};
    QTest::newRow("count that is no number")
        << QStringList{QStringLiteral("generate"), QStringLiteral("x.mdb"),
                       QStringLiteral("--values"), QStringLiteral("many")};
    QTest::newRow("query without text")
        << QStringList{QStringLiteral("query"), QStringLiteral("x.mdb")};
    QTest::newRow("unknown option") << QStringList{
        QStringLiteral("create"), QStringLiteral("x.mdb"), QStringLiteral("--force")};
}

void tst_VantorDb::wrongArguments()
{
    QFETCH(QStringList, arguments);
    const Run result = run(arguments);
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.err.contains(QLatin1String("Usage: vantor-db")), qPrintable(result.err));
    QVERIFY(!QFile::exists(path(QStringLiteral("x.mdb"))));
}

void tst_VantorDb::createThenCheck()
{
    Run result = run({QStringLiteral("create"), QStringLiteral("vantor.mdb")});
    QCOMPARE(result.exitCode, 0);
    QVERIFY(QFile::exists(path(QStringLiteral("vantor.mdb"))));
    result = run({QStringLiteral("check"), QStringLiteral("vantor.mdb")});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, QStringLiteral("vantor.mdb: no problems found.\n"));
}

void tst_VantorDb::createRefusesExistingFile()
{
    QCOMPARE(run({QStringLiteral("create"), QStringLiteral("vantor.mdb")}).exitCode, 0);
    const Run result = run({QStringLiteral("demo"), QStringLiteral("vantor.mdb")});
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.err.contains(QLatin1String("already exists")), qPrintable(result.err));
    SqliteDatabase db(path(QStringLiteral("vantor.mdb")), SqliteDatabase::Mode::ReadOnly);
    QCOMPARE(storetest::count(db, QStringLiteral("SELECT count(*) FROM Agents")), 0);
}

void tst_VantorDb::checkFailsOnFaults()
{
    Run result = run({QStringLiteral("check"), QStringLiteral("missing.mdb")});
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.out, QStringLiteral("The file \"missing.mdb\" does not exist.\n"));

    store::createDatabase(path(QStringLiteral("vantor.mdb")));
    {
        SqliteDatabase db(path(QStringLiteral("vantor.mdb")), SqliteDatabase::Mode::ReadWrite);
        db.exec(QStringLiteral("DROP VIEW qryResults"));
    }
    result = run({QStringLiteral("check"), QStringLiteral("vantor.mdb")});
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.out, QStringLiteral("The saved query \"qryResults\" is missing.\n"));
}

void tst_VantorDb::demoAndGenerate()
{
    QCOMPARE(run({QStringLiteral("demo"), QStringLiteral("demo.mdb"), QStringLiteral("--seed"),
                  QStringLiteral("5")})
                 .exitCode,
             0);
    QCOMPARE(run({QStringLiteral("check"), QStringLiteral("demo.mdb")}).exitCode, 0);

    const Run result = run({QStringLiteral("generate"), QStringLiteral("big.mdb"),
                            QStringLiteral("--values"), QStringLiteral("600")});
    QCOMPARE(result.exitCode, 0);
    SqliteDatabase db(path(QStringLiteral("big.mdb")), SqliteDatabase::Mode::ReadOnly);
    QCOMPARE(storetest::count(db, QStringLiteral("SELECT count(*) FROM Details")), 600);
}

void tst_VantorDb::queryPrintsTabSeparatedRows()
{
    knownDatabase();
    const Run result =
        run({QStringLiteral("query"), QStringLiteral("vantor.mdb"),
             QStringLiteral("SELECT Results.ID, Results.Date, Periods.Period, Results.Remarks, "
                            "Details.Result FROM (Results INNER JOIN Periods ON Results.Period = "
                            "Periods.ID) INNER JOIN Details ON Details.ID = Results.ID "
                            "ORDER BY Results.Date, Results.Period")});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, QStringLiteral("ID\tDate\tPeriod\tRemarks\tResult\n"
                                        "2\t2004-03-05\tMorning\t\t101\n"
                                        "1\t2004-03-05\tEvening\ttab\\there\t95.5\n"));
}

void tst_VantorDb::queryPrintsJson()
{
    knownDatabase();
    const Run result =
        run({QStringLiteral("query"), QStringLiteral("--json"), QStringLiteral("vantor.mdb"),
             QStringLiteral("SELECT * FROM Results ORDER BY ID")});
    QCOMPARE(result.exitCode, 0);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(result.out.toUtf8(), &error);
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(result.out));
    QVERIFY(document.isArray());
    const QJsonArray rows = document.array();
    QCOMPARE(rows.size(), 2);
    const QJsonObject first = rows.at(0).toObject();
    QCOMPARE(first.value(QStringLiteral("ID")), QJsonValue(1));
    QCOMPARE(first.value(QStringLiteral("Date")), QJsonValue(QStringLiteral("2004-03-05")));
    QCOMPARE(first.value(QStringLiteral("Period")), QJsonValue(2));
    QCOMPARE(first.value(QStringLiteral("Remarks")), QJsonValue(QStringLiteral("tab\there")));
    QVERIFY(rows.at(1).toObject().value(QStringLiteral("Remarks")).isNull());
    // Keys stand in column order, as a reader of the raw text expects.
    const QString text = result.out;
    QVERIFY(text.indexOf(QLatin1String("\"ID\"")) < text.indexOf(QLatin1String("\"Date\"")));
    QVERIFY(text.indexOf(QLatin1String("\"Period\"")) < text.indexOf(QLatin1String("\"Remarks\"")));

    const Run empty =
        run({QStringLiteral("query"), QStringLiteral("--json"), QStringLiteral("vantor.mdb"),
             QStringLiteral("SELECT Result FROM Details WHERE Result > 1000")});
    QCOMPARE(empty.exitCode, 0);
    QCOMPARE(empty.out.trimmed(), QStringLiteral("[]"));
}

void tst_VantorDb::queryChangesRows()
{
    knownDatabase();
    Run result = run({QStringLiteral("query"), QStringLiteral("vantor.mdb"),
                      QStringLiteral("UPDATE Details SET Result = Result * 2 WHERE Test = 1")});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, QStringLiteral("2 row(s) changed\n"));
    result = run({QStringLiteral("query"), QStringLiteral("--json"), QStringLiteral("vantor.mdb"),
                  QStringLiteral("SELECT Sum(Result) AS Total FROM Details")});
    QCOMPARE(result.out.simplified(), QStringLiteral("[ {\"Total\":393} ]"));
}

void tst_VantorDb::queryPrintsChaptersNested()
{
    knownDatabase();
    // Two children per parent level: the date group, its occasions, their values.
    const Run result = run(
        {QStringLiteral("query"), QStringLiteral("--json"), QStringLiteral("vantor.mdb"),
         QStringLiteral("SHAPE (SHAPE {SELECT ID, Date FROM Results ORDER BY Period} AS R APPEND "
                        "({SELECT ID, Result FROM Details} AS D RELATE ID TO ID) AS Values, "
                        "({SELECT ID, Period FROM Results} AS P RELATE ID TO ID) AS Again) "
                        "COMPUTE R, COUNT(R) AS N BY Date")});
    QCOMPARE(result.exitCode, 0);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(result.out.toUtf8(), &error);
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(result.out));
    const QJsonArray groups = document.array();
    QCOMPARE(groups.size(), 1);
    const QJsonObject group = groups.at(0).toObject();
    QCOMPARE(group.value(QStringLiteral("N")), QJsonValue(2));
    const QJsonArray occasions = group.value(QStringLiteral("R")).toArray();
    QCOMPARE(occasions.size(), 2);
    const QJsonObject morning = occasions.at(0).toObject(); // period 1 first
    QCOMPARE(morning.value(QStringLiteral("ID")), QJsonValue(2));
    QCOMPARE(morning.value(QStringLiteral("Values"))
                 .toArray()
                 .at(0)
                 .toObject()
                 .value(QStringLiteral("Result")),
             QJsonValue(101));
    QCOMPARE(morning.value(QStringLiteral("Again")).toArray().size(), 1);

    const Run text = run({QStringLiteral("query"), QStringLiteral("vantor.mdb"),
                          QStringLiteral("SHAPE {SELECT ID FROM Results} AS R APPEND ({SELECT "
                                         "ID, Result FROM Details} AS D RELATE ID TO ID) AS D")});
    QCOMPARE(text.exitCode, 0);
    QVERIFY2(text.out.contains(QStringLiteral("  ID\tResult\n  1\t95.5\n")), qPrintable(text.out));
}

void tst_VantorDb::queryReportsBadSql()
{
    knownDatabase();
    const Run result = run({QStringLiteral("query"), QStringLiteral("vantor.mdb"),
                            QStringLiteral("SELECT Nothing FROM Nowhere")});
    QCOMPARE(result.exitCode, 1);
    QVERIFY(result.err.startsWith(QLatin1String("vantor-db: ")));
    QVERIFY(result.out.isEmpty());
}

QTEST_GUILESS_MAIN(tst_VantorDb)
#include "tst_vantordb.moc"
