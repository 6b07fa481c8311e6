#include "StoreTestSupport.h"
#include "platform/Error.h"
#include "store/Database.h"
#include "store/Schema.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vantor;
using store::SqliteDatabase;

class tst_StoreSchema : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void createdDatabaseChecksClean();
    void refusesExistingFile_data();
    void refusesExistingFile();
    void refusesMissingFolder();

    void checkReportsSchemaFaults_data();
    void checkReportsSchemaFaults();
    void checkReportsUnreadableFiles_data();
    void checkReportsUnreadableFiles();

    void idsAreNeverGivenOutTwice_data();
    void idsAreNeverGivenOutTwice();
    void constraintsRefuseBadValues_data();
    void constraintsRefuseBadValues();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QStringList folderEntries() const
    {
        return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir m_dir;
};

void tst_StoreSchema::init()
{
    QVERIFY(m_dir.isValid());
    for (const QString& name : folderEntries())
        QFile::remove(path(name));
}

void tst_StoreSchema::createdDatabaseChecksClean()
{
    store::createDatabase(path(QStringLiteral("vantor.mdb")));
    QCOMPARE(store::checkDatabase(path(QStringLiteral("vantor.mdb"))), QStringList());
    // Nothing left of the build beside it.
    QCOMPARE(folderEntries(), QStringList{QStringLiteral("vantor.mdb")});

    SqliteDatabase db(path(QStringLiteral("vantor.mdb")), SqliteDatabase::Mode::ReadOnly);
    QCOMPARE(db.scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("delete"));
    QCOMPARE(storetest::count(db, QStringLiteral("SELECT count(*) FROM Results")), 0);
}

void tst_StoreSchema::refusesExistingFile_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("empty") << 0;
    QTest::newRow("demo") << 1;
    QTest::newRow("large") << 2;
}

void tst_StoreSchema::refusesExistingFile()
{
    QFETCH(int, kind);
    const QString target = path(QStringLiteral("vantor.mdb"));
    const QByteArray precious("the user's only copy");
    {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(precious);
    }

    try {
        if (kind == 0)
            store::createDatabase(target);
        else if (kind == 1)
            store::createDemoDatabase(target);
        else
            store::createLargeDatabase(target, 100);
        QFAIL("an existing file was accepted");
    } catch (const Error& error) {
        QVERIFY2(error.description().contains(QLatin1String("already exists")),
                 qPrintable(error.description()));
    }
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), precious);
    QCOMPARE(folderEntries(), QStringList{QStringLiteral("vantor.mdb")});
}

void tst_StoreSchema::refusesMissingFolder()
{
    const QString target = path(QStringLiteral("missing/vantor.mdb"));
    QVERIFY_THROWS_EXCEPTION(Error, store::createDatabase(target));
    QVERIFY(!QFile::exists(target));
    QVERIFY(folderEntries().isEmpty());
}

void tst_StoreSchema::checkReportsSchemaFaults_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("problems");

    const QString agentsTail =
        QStringLiteral("; INSERT INTO Agents VALUES (1, 'Glucose', 'mg/dL', 'mmol/L', 0.0555)");
    QTest::newRow("missing saved query")
        << QStringLiteral("DROP VIEW qryDetails")
        << QStringList{QStringLiteral("The saved query \"qryDetails\" is missing.")};
    QTest::newRow("saved query that cannot run")
        << QStringLiteral("DROP VIEW qryResults; CREATE VIEW qryResults AS SELECT ID FROM Gone")
        << QStringList{QStringLiteral(
               "The saved query \"qryResults\" cannot be run: no such table: main.Gone.")};
    QTest::newRow("saved query short of a column")
        << QStringLiteral("DROP VIEW \"Statistics Query\"; CREATE VIEW \"Statistics Query\" AS "
                          "SELECT ID, Test, Units, 0 AS Min FROM Tests")
        << QStringList{
               QStringLiteral("The saved query \"Statistics Query\" lacks the column \"Max\".")};
    QTest::newRow("dropped index")
        << QStringLiteral("DROP INDEX idxDetailsID")
        << QStringList{QStringLiteral(
               "The index on Details (ID) is missing; finding an occasion's values will be slow.")};
    QTest::newRow("index under another name serves")
        << QStringLiteral("DROP INDEX idxResultsDatePeriod; "
                          "CREATE INDEX byDay ON Results (Date, Period, Remarks)")
        << QStringList();
    QTest::newRow("index with the wrong leading column")
        << QStringLiteral(
               "DROP INDEX idxResultsDatePeriod; CREATE INDEX byDay ON Results (Period, Date)")
        << QStringList{QStringLiteral("The index on Results (Date, Period) is missing; listing "
                                      "occasions by date and period will be slow.")};
    QTest::newRow("agents columns out of order")
        << QStringLiteral(
               "DROP TABLE Agents; CREATE TABLE Agents (ID INTEGER PRIMARY KEY "
               "AUTOINCREMENT, Agent TEXT, \"Conventional Unit\" TEXT, \"SI Unit\" TEXT, "
               "\"Conversion Factor\" REAL)") +
               agentsTail
        << QStringList{QStringLiteral(
               "The columns of table \"Agents\" stand in the wrong order (ID, Agent, Conventional "
               "Unit, SI Unit, Conversion Factor); the program reads them by position as ID, "
               "Agent, Conventional Unit, Conversion Factor, SI Unit.")};
    QTest::newRow("missing table")
        << QStringLiteral("DROP TABLE tblSelect")
        << QStringList{QStringLiteral("Table \"tblSelect\" is missing.")};
    QTest::newRow("missing column and numbers stored as text")
        << QStringLiteral(
               "DROP TABLE Details; CREATE TABLE Details (ID INTEGER, Test INTEGER, "
               "Result TEXT); CREATE INDEX a ON Details (ID); CREATE INDEX b ON Details (Test)")
        << QStringList{QStringLiteral("Column \"Details.Result\" is declared as TEXT; the program "
                                      "needs REAL."),
                       QStringLiteral("Table \"Details\" lacks the column \"Unit\"."),
                       QStringLiteral("The saved query \"qryDetails\" cannot be run: no such "
                                      "column: Details.Unit.")};
    QTest::newRow("ids that could be reused")
        << QStringLiteral(
               "DROP TABLE Periods; CREATE TABLE Periods (ID INTEGER PRIMARY KEY, Period TEXT)")
        << QStringList{QStringLiteral("Table \"Periods\": ID is not INTEGER PRIMARY KEY "
                                      "AUTOINCREMENT, so the id of a deleted row could be given "
                                      "out again.")};
    QTest::newRow("dates kept as text")
        << QStringLiteral("DROP TABLE Results; CREATE TABLE Results (ID INTEGER PRIMARY KEY "
                          "AUTOINCREMENT, Date TEXT, Period INTEGER, Remarks TEXT); "
                          "CREATE INDEX c ON Results (Date, Period)")
        << QStringList{QStringLiteral(
               "Column \"Results.Date\" is declared as TEXT; the program needs DATE.")};
    QTest::newRow("names differ in case only")
        << QStringLiteral("DROP TABLE tblSelect; CREATE TABLE TBLSELECT (ID INTEGER)")
        << QStringList();
    QTest::newRow("unmarked file")
        << QStringLiteral("PRAGMA application_id = 0")
        << QStringList{QStringLiteral("The file carries no mark of a results database "
                                      "(application id 0, schema version 1).")};
    QTest::newRow("newer version")
        << QStringLiteral("PRAGMA user_version = 7")
        << QStringList{QStringLiteral("The file was made by a newer version of the program "
                                      "(schema version 7; this one knows up to 1).")};
}

void tst_StoreSchema::checkReportsSchemaFaults()
{
    QFETCH(QString, change);
    QFETCH(QStringList, problems);
    const QString target = path(QStringLiteral("vantor.mdb"));
    store::createDatabase(target);
    {
        SqliteDatabase db(target, SqliteDatabase::Mode::ReadWrite);
        db.exec(change);
    }
    QCOMPARE(store::checkDatabase(target), problems);
}

void tst_StoreSchema::checkReportsUnreadableFiles_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("expected");
    QTest::newRow("missing file") << QStringLiteral("none")
                                  << QStringLiteral("The file \"%1\" does not exist.");
    QTest::newRow("not a database") << QStringLiteral("text")
                                    << QStringLiteral("The file cannot be read as a database: "
                                                      "file is not a database.");
    QTest::newRow("damaged pages")
        << QStringLiteral("pages") << QStringLiteral("The file is damaged");
}

void tst_StoreSchema::checkReportsUnreadableFiles()
{
    QFETCH(QString, damage);
    QFETCH(QString, expected);
    const QString target = path(QStringLiteral("vantor.mdb"));
    if (damage == QLatin1String("text")) {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("Date\tPeriod\tResult\n").repeated(400));
    } else if (damage == QLatin1String("pages")) {
        store::DemoOptions options;
        options.lastDate = QDate(2004, 3, 5);
        store::createDemoDatabase(target, options);
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadWrite));
        const qint64 size = file.size();
        // Scribble over the middle of the file, away from the header page.
        QVERIFY(size > 16 * 4096);
        for (qint64 offset = size / 3; offset < size / 3 + 8 * 4096; offset += 512) {
            file.seek(offset);
            file.write(QByteArray(64, '\xA5'));
        }
    }

    const QStringList problems = store::checkDatabase(target);
    QVERIFY(!problems.isEmpty());
    QVERIFY2(problems.first().startsWith(expected.contains(QLatin1String("%1"))
                                             ? expected.arg(QDir::toNativeSeparators(target))
                                             : expected),
             qPrintable(problems.join(QLatin1Char('\n'))));
    if (damage == QLatin1String("none"))
        QVERIFY(!QFile::exists(target)); // checking never makes a file
}

void tst_StoreSchema::idsAreNeverGivenOutTwice_data()
{
    QTest::addColumn<QString>("insert");
    QTest::newRow("Results") << QStringLiteral("INSERT INTO Results (Date) VALUES ('2004-03-05')");
    QTest::newRow("Periods") << QStringLiteral("INSERT INTO Periods (Period) VALUES ('Noon')");
    QTest::newRow("Tests") << QStringLiteral("INSERT INTO Tests (Test) VALUES ('Glucose')");
    QTest::newRow("Agents") << QStringLiteral("INSERT INTO Agents (Agent) VALUES ('Iron')");
}

void tst_StoreSchema::idsAreNeverGivenOutTwice()
{
    QFETCH(QString, insert);
    const QString table = QString::fromLatin1(QTest::currentDataTag());
    const QString target = path(QStringLiteral("vantor.mdb"));
    store::createDatabase(target);
    SqliteDatabase db(target, SqliteDatabase::Mode::ReadWrite);
    db.exec(insert + QLatin1Char(';') + insert + QLatin1Char(';'));
    // The newest row goes, as the entry window's delete does.
    db.exec(QStringLiteral("DELETE FROM %1 WHERE ID = 2").arg(table));
    db.exec(insert);
    QCOMPARE(storetest::rows(db, QStringLiteral("SELECT ID FROM %1 ORDER BY ID").arg(table)),
             (QStringList{QStringLiteral("1"), QStringLiteral("3")}));
}

void tst_StoreSchema::constraintsRefuseBadValues_data()
{
    QTest::addColumn<QString>("insert");
    QTest::addColumn<bool>("accepted");

    const auto date = [](const char* value) {
        return QStringLiteral("INSERT INTO Results (Date, Period) VALUES (%1, 1)")
            .arg(QLatin1String(value));
    };
    QTest::newRow("ISO date") << date("'2004-02-29'") << true;
    QTest::newRow("no date") << date("NULL") << true;
    QTest::newRow("day that does not exist") << date("'2003-02-29'") << false;
    QTest::newRow("day 31 of a 30-day month") << date("'2004-04-31'") << false;
    QTest::newRow("month first") << date("'03/05/2004'") << false;
    QTest::newRow("with a time of day") << date("'2004-03-05 10:30'") << false;
    QTest::newRow("day number") << date("38051") << false;
    QTest::newRow("empty text") << date("''") << false;

    const auto result = [](const char* value) {
        return QStringLiteral(
                   "INSERT INTO Details (ID, Test, Result, Unit) VALUES (1, 1, %1, 'mg/dL')")
            .arg(QLatin1String(value));
    };
    QTest::newRow("real result") << result("95.5") << true;
    QTest::newRow("whole result") << result("95") << true;
    QTest::newRow("numeric text becomes a number") << result("'95.5'") << true;
    QTest::newRow("no result") << result("NULL") << true;
    QTest::newRow("text result") << result("'high'") << false;
    QTest::newRow("text occasion id")
        << QStringLiteral("INSERT INTO Details (ID, Test) VALUES ('one', 1)") << false;
    QTest::newRow("text test id") << QStringLiteral(
                                         "INSERT INTO Details (ID, Test) VALUES (1, 'Glucose')")
                                  << false;
    QTest::newRow("text conversion factor")
        << QStringLiteral(
               "INSERT INTO Agents (Agent, \"Conversion Factor\") VALUES ('Iron', 'n/a')")
        << false;
}

void tst_StoreSchema::constraintsRefuseBadValues()
{
    QFETCH(QString, insert);
    QFETCH(bool, accepted);
    const QString target = path(QStringLiteral("vantor.mdb"));
    store::createDatabase(target);
    SqliteDatabase db(target, SqliteDatabase::Mode::ReadWrite);
    bool refused = false;
    try {
        db.exec(insert);
    } catch (const Error& error) {
        refused = true;
        QVERIFY2(error.description().contains(QLatin1String("CHECK constraint failed")),
                 qPrintable(error.description()));
    }
    QCOMPARE(!refused, accepted);
}

QTEST_GUILESS_MAIN(tst_StoreSchema)
#include "tst_storeschema.moc"
