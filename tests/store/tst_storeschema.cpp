#include "StoreTestSupport.h"
#include "platform/Error.h"
#include "store/Database.h"
#include "store/Schema.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace vantor;
using engine::SqliteDatabase;

class tst_StoreSchema : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void createdDatabaseChecksClean();
    void refusesToOverwrite_data();
    void refusesToOverwrite();
    void checkReportsSchemaFaults_data();
    void checkReportsSchemaFaults();
    void checkReportsUnreadableFiles_data();
    void checkReportsUnreadableFiles();
    void idsAreNeverGivenOutTwice_data();
    void idsAreNeverGivenOutTwice();
    void constraintsRefuseBadValues_data();
    void constraintsRefuseBadValues();

private:
    QStringList folderEntries() const
    {
        return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir m_dir;
    const QString m_file = m_dir.filePath(u"vantor.mdb"_s);
};

void tst_StoreSchema::init()
{
    QVERIFY(m_dir.isValid());
    for (const QString& name : folderEntries())
        QFile::remove(m_dir.filePath(name));
}

void tst_StoreSchema::createdDatabaseChecksClean()
{
    store::createDatabase(m_file);
    QCOMPARE(store::checkDatabase(m_file), QStringList());
    // Nothing left of the build beside it.
    QCOMPARE(folderEntries(), QStringList{u"vantor.mdb"_s});
    SqliteDatabase db(m_file, SqliteDatabase::Mode::ReadOnly);
    QCOMPARE(db.scalar(u"PRAGMA journal_mode"_s).toString(), u"delete"_s);
    QCOMPARE(storetest::count(db, u"SELECT count(*) FROM Results"_s), 0);
}

void tst_StoreSchema::refusesToOverwrite_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("empty") << 0;
    QTest::newRow("demo") << 1;
    QTest::newRow("large") << 2;
    QTest::newRow("into a missing folder") << 3;
}

void tst_StoreSchema::refusesToOverwrite()
{
    QFETCH(int, kind);
    const QByteArray precious("the user's only copy");
    QFile file(m_file);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(precious);
    file.close();

    try {
        if (kind == 0)
            store::createDatabase(m_file);
        else if (kind == 1)
            store::createDemoDatabase(m_file);
        else if (kind == 2)
            store::createLargeDatabase(m_file, 100);
        else
            store::createDatabase(m_dir.filePath(u"missing/vantor.mdb"_s));
        QFAIL("the database was made");
    } catch (const Error& error) {
        if (kind < 3)
            QVERIFY2(error.description().contains(u"already exists"_s),
                     qPrintable(error.description()));
    }
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), precious);
    QCOMPARE(folderEntries(), QStringList{u"vantor.mdb"_s});
}

void tst_StoreSchema::checkReportsSchemaFaults_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("problems");

    QTest::newRow("missing saved query")
        << u"DROP VIEW qryDetails"_s
        << QStringList{u"The saved query \"qryDetails\" is missing."_s};
    QTest::newRow("saved query that cannot run")
        << u"DROP VIEW qryResults; CREATE VIEW qryResults AS SELECT ID FROM Gone"_s
        << QStringList{
               u"The saved query \"qryResults\" cannot be run: no such table: main.Gone."_s};
    QTest::newRow("saved query short of a column")
        << u"DROP VIEW \"Statistics Query\"; CREATE VIEW \"Statistics Query\" AS "
           u"SELECT ID, Test, Units, 0 AS Min FROM Tests"_s
        << QStringList{u"The saved query \"Statistics Query\" lacks the column \"Max\"."_s};
    QTest::newRow("dropped index") << u"DROP INDEX idxDetailsID"_s
                                   << QStringList{u"The index on Details (ID) is missing; finding "
                                                  u"an occasion's values will be slow."_s};
    QTest::newRow("index under another name serves")
        << u"DROP INDEX idxResultsDatePeriod; "
           u"CREATE INDEX byDay ON Results (Date, Period, Remarks)"_s
        << QStringList();
    QTest::newRow("index with the wrong leading column")
        << u"DROP INDEX idxResultsDatePeriod; CREATE INDEX byDay ON Results (Period, Date)"_s
        << QStringList{u"The index on Results (Date, Period) is missing; listing occasions by "
                       u"date and period will be slow."_s};
    QTest::newRow("agents columns out of order")
        << u"DROP TABLE Agents; CREATE TABLE Agents (ID INTEGER PRIMARY KEY AUTOINCREMENT, Agent "
           u"TEXT, \"Conventional Unit\" TEXT, \"SI Unit\" TEXT, \"Conversion Factor\" REAL); "
           u"INSERT INTO Agents VALUES (1, 'Glucose', 'mg/dL', 'mmol/L', 0.0555)"_s
        << QStringList{
               u"The columns of table \"Agents\" stand in the wrong order (ID, Agent, "
               u"Conventional Unit, SI Unit, Conversion Factor); the program reads them "
               u"by position as ID, Agent, Conventional Unit, Conversion Factor, SI Unit."_s};
    QTest::newRow("missing table")
        << u"DROP TABLE tblSelect"_s << QStringList{u"Table \"tblSelect\" is missing."_s};
    QTest::newRow("missing column and numbers stored as text")
        << u"DROP TABLE Details; CREATE TABLE Details (ID INTEGER, Test INTEGER, Result TEXT); "
           u"CREATE INDEX a ON Details (ID); CREATE INDEX b ON Details (Test)"_s
        << QStringList{
               u"Column \"Details.Result\" is declared as TEXT; the program needs REAL."_s,
               u"Table \"Details\" lacks the column \"Unit\"."_s,
               u"The saved query \"qryDetails\" cannot be run: no such column: Details.Unit."_s};
    QTest::newRow("ids that could be reused")
        << u"DROP TABLE Periods; CREATE TABLE Periods (ID INTEGER PRIMARY KEY, Period TEXT)"_s
        << QStringList{u"Table \"Periods\": ID is not INTEGER PRIMARY KEY AUTOINCREMENT, so the "
                       u"id of a deleted row could be given out again."_s};
    QTest::newRow("dates kept as text")
        << u"DROP TABLE Results; CREATE TABLE Results (ID INTEGER PRIMARY KEY AUTOINCREMENT, Date "
           u"TEXT, Period INTEGER, Remarks TEXT); CREATE INDEX c ON Results (Date, Period)"_s
        << QStringList{u"Column \"Results.Date\" is declared as TEXT; the program needs DATE."_s};
    QTest::newRow("names differ in case only")
        << u"DROP TABLE tblSelect; CREATE TABLE TBLSELECT (ID INTEGER)"_s << QStringList();
    QTest::newRow("unmarked file") << u"PRAGMA application_id = 0"_s
                                   << QStringList{u"The file carries no mark of a results "
                                                  u"database (application id 0, schema version "
                                                  u"%1)."_s.arg(store::schema::Version)};
    QTest::newRow("newer version") << u"PRAGMA user_version = 7"_s
                                   << QStringList{u"The file was made by a newer version of the "
                                                  u"program (schema version 7; this one knows up "
                                                  u"to %1)."_s.arg(store::schema::Version)};
}

void tst_StoreSchema::checkReportsSchemaFaults()
{
    QFETCH(QString, change);
    QFETCH(QStringList, problems);
    store::createDatabase(m_file);
    SqliteDatabase(m_file, SqliteDatabase::Mode::ReadWrite).exec(change);
    QCOMPARE(store::checkDatabase(m_file), problems);
}

void tst_StoreSchema::checkReportsUnreadableFiles_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("expected"); // how the first problem begins
    QTest::newRow("missing file") << u"none"_s
                                  << u"The file \"%1\" does not exist."_s.arg(
                                         QDir::toNativeSeparators(m_file));
    QTest::newRow("not a database")
        << u"text"_s << u"The file cannot be read as a database: file is not a database."_s;
    QTest::newRow("damaged pages") << u"pages"_s << u"The file is damaged"_s;
}

void tst_StoreSchema::checkReportsUnreadableFiles()
{
    QFETCH(QString, damage);
    QFETCH(QString, expected);
    QFile file(m_file);
    if (damage == u"text") {
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("Date\tPeriod\tResult\n").repeated(400));
        file.close();
    } else if (damage == u"pages") {
        store::DemoOptions options;
        options.lastDate = QDate(2004, 3, 5);
        store::createDemoDatabase(m_file, options);
        QVERIFY(file.open(QIODevice::ReadWrite));
        // Scribble over the middle of the file, away from the header page.
        const qint64 size = file.size();
        QVERIFY(size > 16 * 4096);
        for (qint64 offset = size / 3; offset < size / 3 + 8 * 4096; offset += 512) {
            file.seek(offset);
            file.write(QByteArray(64, '\xA5'));
        }
        file.close();
    }

    const QStringList problems = store::checkDatabase(m_file);
    QVERIFY2(problems.value(0).startsWith(expected), qPrintable(problems.join(u'\n')));
    QCOMPARE(QFile::exists(m_file), damage != u"none"); // checking never makes a file
}

void tst_StoreSchema::idsAreNeverGivenOutTwice_data()
{
    QTest::addColumn<QString>("insert");
    QTest::newRow("Results") << u"INSERT INTO Results (Date) VALUES ('2004-03-05')"_s;
    QTest::newRow("Periods") << u"INSERT INTO Periods (Period) VALUES ('Noon')"_s;
    QTest::newRow("Tests") << u"INSERT INTO Tests (Test) VALUES ('Glucose')"_s;
    QTest::newRow("Agents") << u"INSERT INTO Agents (Agent) VALUES ('Iron')"_s;
}

void tst_StoreSchema::idsAreNeverGivenOutTwice()
{
    QFETCH(QString, insert);
    const QString table = QString::fromLatin1(QTest::currentDataTag());
    store::createDatabase(m_file);
    SqliteDatabase db(m_file, SqliteDatabase::Mode::ReadWrite);
    // A new file may hold standard rows already (the conversion items).
    const int before =
        storetest::rows(db, u"SELECT coalesce(max(ID), 0) FROM %1"_s.arg(table)).value(0).toInt();
    db.exec(insert + u';' + insert);
    // The newest row goes, as the entry window's delete does.
    db.exec(u"DELETE FROM %1 WHERE ID = %2"_s.arg(table).arg(before + 2));
    db.exec(insert);
    QCOMPARE(storetest::rows(
                 db, u"SELECT ID FROM %1 WHERE ID > %2 ORDER BY ID"_s.arg(table).arg(before)),
             (QStringList{QString::number(before + 1), QString::number(before + 3)}));
}

void tst_StoreSchema::constraintsRefuseBadValues_data()
{
    QTest::addColumn<QString>("insert");
    QTest::addColumn<bool>("accepted");

    const QString date = u"INSERT INTO Results (Date, Period) VALUES (%1, 1)"_s;
    QTest::newRow("ISO date") << date.arg(u"'2004-02-29'"_s) << true;
    QTest::newRow("no date") << date.arg(u"NULL"_s) << true;
    QTest::newRow("day that does not exist") << date.arg(u"'2003-02-29'"_s) << false;
    QTest::newRow("day 31 of a 30-day month") << date.arg(u"'2004-04-31'"_s) << false;
    QTest::newRow("month first") << date.arg(u"'03/05/2004'"_s) << false;
    QTest::newRow("with a time of day") << date.arg(u"'2004-03-05 10:30'"_s) << false;
    QTest::newRow("day number") << date.arg(u"38051"_s) << false;
    QTest::newRow("empty text") << date.arg(u"''"_s) << false;

    const QString result =
        u"INSERT INTO Details (ID, Test, Result, Unit) VALUES (1, 1, %1, 'mg/dL')"_s;
    QTest::newRow("real result") << result.arg(u"95.5"_s) << true;
    QTest::newRow("whole result") << result.arg(u"95"_s) << true;
    QTest::newRow("numeric text becomes a number") << result.arg(u"'95.5'"_s) << true;
    QTest::newRow("no result") << result.arg(u"NULL"_s) << true;
    QTest::newRow("text result") << result.arg(u"'high'"_s) << false;
    QTest::newRow("text occasion id")
        << u"INSERT INTO Details (ID, Test) VALUES ('one', 1)"_s << false;
    QTest::newRow("text test id") << u"INSERT INTO Details (ID, Test) VALUES (1, 'Glucose')"_s
                                  << false;
    QTest::newRow("text conversion factor")
        << u"INSERT INTO Agents (Agent, \"Conversion Factor\") VALUES ('Iron', 'n/a')"_s << false;
}

void tst_StoreSchema::constraintsRefuseBadValues()
{
    QFETCH(QString, insert);
    QFETCH(bool, accepted);
    store::createDatabase(m_file);
    SqliteDatabase db(m_file, SqliteDatabase::Mode::ReadWrite);
    QString refusal;
    try {
        db.exec(insert);
    } catch (const Error& error) {
        refusal = error.description();
    }
    QCOMPARE(refusal.isEmpty(), accepted);
    if (!accepted)
        QVERIFY2(refusal.contains(u"CHECK constraint failed"_s), qPrintable(refusal));
}

QTEST_GUILESS_MAIN(tst_StoreSchema)
#include "tst_storeschema.moc"
