#include "StoreTestSupport.h"
#include "store/Database.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using vantor::store::SqliteDatabase;

// vantor-db as a user runs it: arguments in, exit status and printed text out.
class tst_VantorDb : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void commands_data();
    void commands();

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

QTEST_GUILESS_MAIN(tst_VantorDb)
#include "tst_vantordb.moc"
