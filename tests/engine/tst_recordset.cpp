// Connections and recordsets against a small known database file.

#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include "EngineFixture.h"

using namespace vantor;
using namespace vantor::engine;

using enginetest::makeDatabase;

namespace {

const QString Code = QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=vantor.mdb;");

// The tables as the program stores them, with a few rows.
// Reads one value straight from the file, past the engine.
QVariant fileValue(const QString& sql)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2("vantor.mdb", &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr);
    QVariant v;
    if (stmt && sqlite3_step(stmt) == SQLITE_ROW) {
        switch (sqlite3_column_type(stmt, 0)) {
        case SQLITE_INTEGER:
            v = qlonglong(sqlite3_column_int64(stmt, 0));
            break;
        case SQLITE_FLOAT:
            v = sqlite3_column_double(stmt, 0);
            break;
        case SQLITE_TEXT:
            v = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
            break;
        default:
            break;
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return v;
}

QString fileDump()
{
    QStringList rows;
    for (const char* table : {"Results", "Details", "Periods", "Tests"}) {
        sqlite3* db = nullptr;
        sqlite3_open_v2("vantor.mdb", &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, QByteArray("SELECT rowid, * FROM ").append(table).constData(), -1,
                           &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            QStringList cells{QString::fromLatin1(table)};
            for (int c = 0; c < sqlite3_column_count(stmt); ++c)
                cells << QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)));
            rows << cells.join(u'|');
        }
        sqlite3_finalize(stmt);
        sqlite3_close(db);
    }
    return rows.join(u'\n');
}

QString positionText(const Recordset& rs)
{
    if (rs.recordCount() == 0)
        return QStringLiteral("No Records");
    return QStringLiteral("Record: %1 of %2").arg(rs.absolutePosition()).arg(rs.recordCount());
}

} // namespace

class TestRecordset : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void missingFileNamesFileAndFolder();
    void fileThatIsNoDatabase();
    void registryKnowsOpenFiles();

    void readsTypedValuesInOrder();
    void navigationAndPositionText();
    void emptyRecordset();
    void findSearchesForward();

    void addNewThenUpdateBatchAssignsId();
    void editUpdateAndMovingOffWrites();
    void deleteThenMoveNext();
    void detailsRowsAreWrittenByRowid();
    void batchPendingUntilUpdateBatch();
    void cancelBatchRestoresRows();
    void failedUpdateBatchChangesNothing();
    void conflictingEditIsRefused();
    void deletedRowIsRefused();
    void readOnlyAndGroupedRowsRefuseWrites();
    void nestedTransactionsRollBack();

private:
    QTemporaryDir m_dir;
    QString m_oldCwd;
};

void TestRecordset::init()
{
    QVERIFY(m_dir.isValid());
    m_oldCwd = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    QFile::remove(QStringLiteral("vantor.mdb"));
    makeDatabase(QStringLiteral("vantor.mdb"));
}

void TestRecordset::cleanup()
{
    QCOMPARE(Connection::openConnectionCount(), 0);
    QDir::setCurrent(m_oldCwd);
}

void TestRecordset::missingFileNamesFileAndFolder()
{
    QFile::remove(QStringLiteral("vantor.mdb"));
    Connection c;
    try {
        c.open(Code);
        QFAIL("opened a missing file");
    } catch (const Error& e) {
        QVERIFY2(e.description().contains(QStringLiteral("vantor.mdb")),
                 qPrintable(e.description()));
        QVERIFY2(e.description().contains(QDir::toNativeSeparators(m_dir.path())),
                 qPrintable(e.description()));
    }
    QVERIFY(!QFile::exists(QStringLiteral("vantor.mdb"))); // never created
}

void TestRecordset::fileThatIsNoDatabase()
{
    QFile f(QStringLiteral("vantor.mdb"));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QByteArray(4096, 'x'));
    f.close();
    Connection c;
    QVERIFY_THROWS_EXCEPTION(Error, c.open(Code));
    QVERIFY(!c.isOpen());
}

void TestRecordset::registryKnowsOpenFiles()
{
    QVERIFY(!Connection::isFileOpen(QStringLiteral("vantor.mdb")));
    {
        Connection a, b;
        a.open(Code);
        b.open(QStringLiteral("Data Source=vantor.mdb"));
        QVERIFY(Connection::isFileOpen(QStringLiteral("vantor.mdb")));
        QVERIFY(Connection::isFileOpen(
            QDir(m_dir.path()).absoluteFilePath(QStringLiteral("vantor.mdb"))));
        a.close();
        QVERIFY(Connection::isFileOpen(QStringLiteral("vantor.mdb")));
    }
    QVERIFY(!Connection::isFileOpen(QStringLiteral("vantor.mdb")));
}

void TestRecordset::readsTypedValuesInOrder()
{
    Connection c;
    c.open(Code);
    Recordset rs;
    rs.open(QStringLiteral("SELECT ID, Date, Period, Remarks From Results ORDER BY Date, Period"),
            &c, CursorType::Static, LockType::Optimistic);
    QCOMPARE(rs.fieldNames(), (QStringList{QStringLiteral("ID"), QStringLiteral("Date"),
                                           QStringLiteral("Period"), QStringLiteral("Remarks")}));
    QCOMPARE(rs.recordCount(), 4);
    QList<qlonglong> ids;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        ids << rs.value(0).toLongLong();
    // Same date: period id order (1 before 3), whatever the names.
    QCOMPARE(ids, (QList<qlonglong>{4, 1, 2, 3}));
    rs.moveFirst();
    QCOMPARE(rs.value(QStringLiteral("date")).typeId(), QMetaType::QDate);
    QCOMPARE(rs.value(QStringLiteral("Date")).toDate(), QDate(2004, 2, 1));
    QCOMPARE(rs.field(0).type, FieldType::Integer);
    rs.moveNext();
    rs.moveNext();
    QVERIFY(rs.value(QStringLiteral("Remarks")).isNull());
    QVERIFY_THROWS_EXCEPTION(Error, rs.value(QStringLiteral("Nope")));
}

void TestRecordset::navigationAndPositionText()
{
    Connection c;
    c.open(Code);
    Recordset rs;
    QSignalSpy moves(&rs, &Recordset::moveComplete);
    rs.open(QStringLiteral("SELECT ID FROM Results ORDER BY ID"), &c);
    QCOMPARE(moves.count(), 1);
    QCOMPARE(positionText(rs), QStringLiteral("Record: 1 of 4"));
    QVERIFY(!rs.bof());
    rs.movePrevious();
    QVERIFY(rs.bof());
    QCOMPARE(rs.absolutePosition(), PosBOF);
    QVERIFY_THROWS_EXCEPTION(Error, rs.value(0));
    QVERIFY_THROWS_EXCEPTION(Error, rs.movePrevious());
    rs.moveLast();
    QCOMPARE(positionText(rs), QStringLiteral("Record: 4 of 4"));
    rs.moveNext();
    QVERIFY(rs.eof());
    QCOMPARE(rs.absolutePosition(), PosEOF);
    QVERIFY_THROWS_EXCEPTION(Error, rs.moveNext());
    rs.setAbsolutePosition(2);
    QCOMPARE(rs.value(0).toLongLong(), 2);
    QCOMPARE(moves.count(), 5);
}

void TestRecordset::emptyRecordset()
{
    Connection c;
    c.open(Code);
    Recordset rs;
    rs.open(QStringLiteral("SELECT * FROM Results WHERE ID = -1"), &c);
    QVERIFY(rs.bof());
    QVERIFY(rs.eof());
    QCOMPARE(rs.recordCount(), 0);
    QCOMPARE(positionText(rs), QStringLiteral("No Records"));
    rs.moveFirst(); // allowed, as on any recordset
    rs.moveLast();
    QVERIFY(rs.eof());
    QVERIFY_THROWS_EXCEPTION(Error, rs.deleteCurrent());
}

void TestRecordset::findSearchesForward()
{
    Connection c;
    c.open(Code);
    Recordset rs;
    rs.open(QStringLiteral("SELECT ID, Date, Remarks FROM Results ORDER BY Date, Period"), &c);
    rs.moveFirst();
    QVERIFY(rs.find(QStringLiteral("[ID]=2")));
    QCOMPARE(rs.absolutePosition(), 3);
    // Forward from the current row: an earlier row is not found.
    QVERIFY(!rs.find(QStringLiteral("[ID]=4")));
    QVERIFY(rs.eof());
    rs.moveFirst();
    QVERIFY(rs.find(QStringLiteral("Remarks = 'FASTING'"))); // text without regard to case
    QCOMPARE(rs.value(0).toLongLong(), 1);
    QVERIFY(rs.find(QStringLiteral("[Date] >= #4/1/2004#"), 1));
    QCOMPARE(rs.value(0).toLongLong(), 3);
    QVERIFY_THROWS_EXCEPTION(Error, rs.find(QStringLiteral("[Nope]=1")));
    QVERIFY_THROWS_EXCEPTION(Error, rs.find(QStringLiteral("gibberish")));
}

void TestRecordset::addNewThenUpdateBatchAssignsId()
{
    Connection c;
    c.open(Code);
    Recordset rs;
    rs.open(QStringLiteral("SELECT ID, Date, Period, Remarks From Results ORDER BY Date, Period"),
            &c, CursorType::Static, LockType::Optimistic);
    rs.addNew();
    QCOMPARE(rs.editMode(), EditMode::AddNew);
    QCOMPARE(rs.recordCount(), 5);
    QVERIFY(rs.value(QStringLiteral("ID")).isNull());
    rs.setValue(QStringLiteral("Date"), QDate(2005, 1, 2));
    rs.setValue(QStringLiteral("Period"), 2);
    rs.setValue(QStringLiteral("Remarks"), QStringLiteral("new"));
    rs.updateBatch();
    QCOMPARE(rs.editMode(), EditMode::None);
    const qlonglong id = rs.value(QStringLiteral("ID")).toLongLong();
    QCOMPARE(id, 5);
    QCOMPARE(fileValue(QStringLiteral("SELECT Date FROM Results WHERE ID = 5")).toString(),
             QStringLiteral("2005-01-02"));

    // Ids are never given out twice.
    c.execute(QStringLiteral("DELETE FROM Results WHERE ID = 5"));
    rs.addNew();
    rs.setValue(1, QDate(2005, 1, 3));
    rs.update();
    QCOMPARE(rs.value(0).toLongLong(), 6);
}

void TestRecordset::editUpdateAndMovingOffWrites()
{
    Connection c;
    c.open(Code);
    Recordset rs;
    rs.open(QStringLiteral("select ID, Period from Periods Order by ID"), &c, CursorType::Static,
            LockType::Optimistic);
    rs.moveFirst();
    rs.setValue(1, QStringLiteral("Early morning"));
    QCOMPARE(rs.editMode(), EditMode::InProgress);
    rs.update();
    QCOMPARE(fileValue(QStringLiteral("SELECT Period FROM Periods WHERE ID = 1")).toString(),
             QStringLiteral("Early morning"));

    rs.moveNext();
    rs.setValue(1, QStringLiteral("Late evening"));
    rs.moveNext(); // leaving the row writes it
    QCOMPARE(fileValue(QStringLiteral("SELECT Period FROM Periods WHERE ID = 2")).toString(),
             QStringLiteral("Late evening"));

    rs.setValue(1, QStringLiteral("Not kept"));
    rs.cancelUpdate();
    QCOMPARE(rs.value(1).toString(), QStringLiteral("Afternoon"));
    QVERIFY(!rs.hasPendingChanges());

    // A value the table refuses is reported and not written.
    Recordset details;
    details.open(
        QStringLiteral("SELECT ID, Test, Result, Unit FROM Details WHERE ID=1 ORDER BY Test;"), &c,
        CursorType::Static, LockType::Optimistic);
    details.setValue(2, QStringLiteral("lots"));
    QVERIFY_THROWS_EXCEPTION(Error, details.update());
    QCOMPARE(fileValue(QStringLiteral("SELECT Result FROM Details WHERE ID = 1 AND Test = 1"))
                 .toDouble(),
             95.0);
}

void TestRecordset::deleteThenMoveNext()
{
    Connection c;
    c.open(Code);
    Recordset rs;
    rs.open(QStringLiteral("SELECT ID, Date, Period, Remarks From Results ORDER BY Date, Period"),
            &c, CursorType::Static, LockType::Optimistic);
    rs.setAbsolutePosition(2); // ID 1
    rs.deleteCurrent();
    QVERIFY_THROWS_EXCEPTION(Error, rs.value(0));
    rs.moveNext();
    QCOMPARE(rs.value(0).toLongLong(), 2);
    QCOMPARE(positionText(rs), QStringLiteral("Record: 2 of 3"));
    QVERIFY(fileValue(QStringLiteral("SELECT count(*) FROM Results WHERE ID = 1")).toInt() == 0);
    // The occasion's values stay: only the Results row goes.
    QCOMPARE(fileValue(QStringLiteral("SELECT count(*) FROM Details WHERE ID = 1")).toInt(), 2);

    // Deleting the last row: next passes the end, last shows the new last row.
    rs.moveLast();
    rs.deleteCurrent();
    rs.moveNext();
    QVERIFY(rs.eof());
    rs.moveLast();
    QCOMPARE(rs.value(0).toLongLong(), 2);
    QCOMPARE(positionText(rs), QStringLiteral("Record: 2 of 2"));
}

void TestRecordset::detailsRowsAreWrittenByRowid()
{
    Connection c;
    c.open(Code);
    Recordset rs;
    rs.open(QStringLiteral("SELECT ID, Test, Result, Unit FROM Details WHERE ID=3 ORDER BY Test;"),
            &c, CursorType::Static, LockType::Optimistic);
    QCOMPARE(rs.recordCount(), 2); // two identical rows
    rs.moveLast();
    rs.setValue(QStringLiteral("Result"), 4.6);
    rs.update();
    QCOMPARE(
        fileValue(QStringLiteral("SELECT count(*) FROM Details WHERE ID=3 AND Result=4.2")).toInt(),
        1);
    QCOMPARE(
        fileValue(QStringLiteral("SELECT count(*) FROM Details WHERE ID=3 AND Result=4.6")).toInt(),
        1);
    rs.moveFirst();
    rs.deleteCurrent();
    QCOMPARE(fileValue(QStringLiteral("SELECT count(*) FROM Details WHERE ID=3")).toInt(), 1);

    rs.addNew();
    rs.setValue(0, 3);
    rs.setValue(1, 1);
    rs.setValue(2, 101.0);
    rs.setValue(3, QStringLiteral("mg/dL"));
    rs.updateBatch();
    QCOMPARE(fileValue(QStringLiteral("SELECT count(*) FROM Details WHERE ID=3")).toInt(), 2);
}

void TestRecordset::batchPendingUntilUpdateBatch()
{
    Connection c;
    c.open(Code);
    Recordset rs;
    rs.open(QStringLiteral("SELECT * FROM tblSelect"), &c, CursorType::Static,
            LockType::BatchOptimistic);
    for (int id : {7, 8, 9}) {
        rs.addNew();
        rs.setValue(QStringLiteral("Id"), id);
        rs.update();
    }
    QCOMPARE(fileValue(QStringLiteral("SELECT count(*) FROM tblSelect")).toInt(), 0);
    rs.updateBatch();
    QCOMPARE(fileValue(QStringLiteral("SELECT sum(Id) FROM tblSelect")).toInt(), 24);

    rs.moveFirst();
    rs.deleteCurrent();
    rs.moveNext();
    QCOMPARE(rs.recordCount(), 2);
    QCOMPARE(fileValue(QStringLiteral("SELECT count(*) FROM tblSelect")).toInt(), 3);
    rs.updateBatch();
    QCOMPARE(fileValue(QStringLiteral("SELECT sum(Id) FROM tblSelect")).toInt(), 17);

    // The joined delete removes only the rows of the table whose fields are shown.
    Recordset joined;
    c.execute(QStringLiteral("INSERT INTO tblSelect (Id) VALUES (1)"));
    joined.open(QStringLiteral("SELECT Details.* FROM Details INNER JOIN tblSelect ON "
                               "Details.ID = tblSelect.ID;"),
                &c, CursorType::Static, LockType::Optimistic);
    QCOMPARE(joined.recordCount(), 2);
    while (!joined.eof()) {
        joined.deleteCurrent();
        joined.moveNext();
    }
    QCOMPARE(fileValue(QStringLiteral("SELECT count(*) FROM Details WHERE ID = 1")).toInt(), 0);
    QCOMPARE(fileValue(QStringLiteral("SELECT count(*) FROM tblSelect")).toInt(), 3);
}

void TestRecordset::cancelBatchRestoresRows()
{
    Connection c;
    c.open(Code);
    Recordset rs;
    rs.open(QStringLiteral("select ID, Period from Periods Order by ID"), &c, CursorType::Static,
            LockType::BatchOptimistic);
    rs.moveFirst();
    rs.setValue(1, QStringLiteral("changed"));
    rs.moveNext();
    rs.deleteCurrent();
    rs.addNew();
    rs.setValue(1, QStringLiteral("added"));
    QVERIFY(rs.hasPendingChanges());
    rs.cancelBatch();
    QVERIFY(!rs.hasPendingChanges());
    QCOMPARE(rs.recordCount(), 3);
    QStringList names;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        names << rs.value(1).toString();
    QCOMPARE(names, (QStringList{QStringLiteral("Morning"), QStringLiteral("Evening"),
                                 QStringLiteral("Afternoon")}));
}

void TestRecordset::failedUpdateBatchChangesNothing()
{
    Connection c;
    c.open(Code);
    Recordset rs;
    rs.open(QStringLiteral("SELECT ID, Date, Period, Remarks From Results ORDER BY ID"), &c,
            CursorType::Static, LockType::BatchOptimistic);
    const QString before = fileDump();
    rs.moveFirst();
    rs.setValue(QStringLiteral("Remarks"), QStringLiteral("first change"));
    rs.moveNext();
    rs.deleteCurrent();
    rs.addNew();
    rs.setValue(QStringLiteral("Date"), QStringLiteral("31 February")); // refused by the table
    QVERIFY_THROWS_EXCEPTION(Error, rs.updateBatch());
    QCOMPARE(fileDump(), before);
    // Still pending, so the user can mend the bad value and try again.
    QVERIFY(rs.hasPendingChanges());
    rs.moveLast();
    rs.setValue(QStringLiteral("Date"), QDate(2006, 6, 6));
    rs.updateBatch();
    QVERIFY(!rs.hasPendingChanges());
    QCOMPARE(fileValue(QStringLiteral("SELECT Remarks FROM Results WHERE ID = 1")).toString(),
             QStringLiteral("first change"));
    QCOMPARE(fileValue(QStringLiteral("SELECT count(*) FROM Results WHERE ID = 2")).toInt(), 0);
    QCOMPARE(
        fileValue(QStringLiteral("SELECT count(*) FROM Results WHERE Date = '2006-06-06'")).toInt(),
        1);
}

void TestRecordset::conflictingEditIsRefused()
{
    Connection mine, theirs;
    mine.open(Code);
    theirs.open(Code);
    Recordset rs;
    rs.open(QStringLiteral("SELECT ID, Remarks FROM Results ORDER BY ID"), &mine,
            CursorType::Static, LockType::Optimistic);
    theirs.execute(QStringLiteral("UPDATE Results SET Remarks = 'theirs' WHERE ID = 1"));
    rs.moveFirst();
    rs.setValue(1, QStringLiteral("mine"));
    try {
        rs.update();
        QFAIL("a stale row was written");
    } catch (const Error& e) {
        QCOMPARE(e.number(), int(Error::RowConflict));
        QVERIFY(e.description().contains(QStringLiteral("changed")));
    }
    QCOMPARE(fileValue(QStringLiteral("SELECT Remarks FROM Results WHERE ID = 1")).toString(),
             QStringLiteral("theirs"));
    // A change only in letter case is a change too.
    theirs.execute(QStringLiteral("UPDATE Results SET Remarks = 'FIRST' WHERE ID = 4"));
    rs.cancelUpdate();
    rs.moveLast();
    rs.setValue(1, QStringLiteral("mine"));
    QVERIFY_THROWS_EXCEPTION(Error, rs.update());
}

void TestRecordset::deletedRowIsRefused()
{
    Connection mine, theirs;
    mine.open(Code);
    theirs.open(Code);
    Recordset rs;
    rs.open(QStringLiteral("SELECT ID, Remarks FROM Results ORDER BY ID"), &mine,
            CursorType::Static, LockType::Optimistic);
    theirs.execute(QStringLiteral("DELETE FROM Results WHERE ID = 2"));
    rs.setAbsolutePosition(2);
    QVERIFY_THROWS_EXCEPTION(Error, rs.deleteCurrent());
    rs.setValue(1, QStringLiteral("x"));
    QVERIFY_THROWS_EXCEPTION(Error, rs.update());
    QCOMPARE(fileValue(QStringLiteral("SELECT count(*) FROM Results")).toInt(), 3);
}

void TestRecordset::readOnlyAndGroupedRowsRefuseWrites()
{
    Connection c;
    c.open(Code);
    Recordset ro;
    ro.open(QStringLiteral("SELECT ID, Remarks FROM Results"), &c);
    QVERIFY_THROWS_EXCEPTION(Error, ro.setValue(1, QStringLiteral("x")));
    QVERIFY_THROWS_EXCEPTION(Error, ro.addNew());

    Recordset grouped;
    grouped.open(QStringLiteral("SELECT Test, Count(*) AS N FROM Details GROUP BY Test"), &c,
                 CursorType::Static, LockType::Optimistic);
    QVERIFY_THROWS_EXCEPTION(Error, grouped.setValue(1, 3));
}

void TestRecordset::nestedTransactionsRollBack()
{
    Connection c;
    c.open(Code);
    const QString before = fileDump();
    c.beginTrans();
    Recordset rs;
    rs.open(QStringLiteral("SELECT Results.* FROM Results INNER JOIN tblSelect ON Results.ID = "
                           "tblSelect.ID;"),
            &c, CursorType::Static, LockType::Optimistic);
    c.execute(QStringLiteral("DELETE FROM Details WHERE ID = 1"));
    c.beginTrans();
    c.execute(QStringLiteral("DELETE FROM Results WHERE ID = 1"));
    c.commitTrans();
    QCOMPARE(c.transactionLevel(), 1);
    c.rollbackTrans();
    QCOMPARE(fileDump(), before);
    QVERIFY_THROWS_EXCEPTION(Error, c.commitTrans());
}

QTEST_GUILESS_MAIN(TestRecordset)
#include "tst_recordset.moc"
