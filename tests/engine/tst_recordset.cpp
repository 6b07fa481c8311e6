// Connections and recordsets against a small known database file.

#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "EngineFixture.h"

using namespace Qt::StringLiterals;
using namespace vantor;
using namespace vantor::engine;

using enginetest::makeDatabase;

namespace {

const QString Code = u"PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=vantor.mdb;"_s;

// Reads the file past the engine: the first value of a query, or every table.
QString text(const char* sql)
{
    return enginetest::rowsOf(enginetest::openDatabase(u"vantor.mdb"_s).get(),
                              QString::fromUtf8(sql))
        .value(0);
}

int number(const char* sql)
{
    return text(sql).toInt();
}

QStringList fileDump()
{
    const enginetest::Database db = enginetest::openDatabase(u"vantor.mdb"_s);
    QStringList rows;
    for (const char* table : {"Results", "Details", "Periods", "Tests"})
        rows << enginetest::rowsOf(db.get(), u"SELECT rowid, * FROM "_s + QLatin1String(table));
    return rows;
}

// Opens a recordset on a new connection to the file; read-only unless a lock is given.
void open(Recordset& rs, Connection& c, const char* sql, LockType lock = LockType::ReadOnly)
{
    c.open(Code);
    rs.open(QString::fromUtf8(sql), &c, CursorType::Static, lock);
}

QString positionText(const Recordset& rs)
{
    if (rs.recordCount() == 0)
        return u"No Records"_s;
    return u"Record: %1 of %2"_s.arg(rs.absolutePosition()).arg(rs.recordCount());
}

} // namespace

class TestRecordset : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void openingFiles();

    void readsInOrderAndAddsWithNewIds();
    void navigationAndPositionText();
    void findSearchesForward();

    void editUpdateAndMovingOffWrites();
    void deleteThenMoveNext();
    void longListsKeepEveryValue();
    void detailsRowsAreWrittenByRowid();
    void batchPendingUntilUpdateBatch();
    void cancelBatchRestoresRows();
    void failedUpdateBatchChangesNothing();
    void otherUsersChangesAreRefused();
    void readOnlyGroupedAndSelfJoinedRowsRefuseWrites();
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
    QFile::remove(u"vantor.mdb"_s);
    makeDatabase(u"vantor.mdb"_s);
}

void TestRecordset::cleanup()
{
    QCOMPARE(Connection::openConnectionCount(), 0);
    QDir::setCurrent(m_oldCwd);
}

void TestRecordset::openingFiles()
{
    QVERIFY(!Connection::isFileOpen(u"vantor.mdb"_s));
    {
        Connection a, b;
        a.open(Code);
        b.open(u"Data Source=vantor.mdb"_s);
        QVERIFY(Connection::isFileOpen(u"vantor.mdb"_s));
        QVERIFY(Connection::isFileOpen(QDir(m_dir.path()).absoluteFilePath(u"vantor.mdb"_s)));
        a.close();
        QVERIFY(Connection::isFileOpen(u"vantor.mdb"_s));
    }
    QVERIFY(!Connection::isFileOpen(u"vantor.mdb"_s));

    // A file that is no database is refused.
    QFile f(u"vantor.mdb"_s);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QByteArray(4096, 'x'));
    f.close();
    Connection c;
    QVERIFY_THROWS_EXCEPTION(Error, c.open(Code));
    QVERIFY(!c.isOpen());

    // A missing file is named with its folder, and never created.
    QFile::remove(u"vantor.mdb"_s);
    try {
        c.open(Code);
        QFAIL("opened a missing file");
    } catch (const Error& e) {
        QVERIFY2(e.description().contains(u"vantor.mdb"_s), qPrintable(e.description()));
        QVERIFY2(e.description().contains(QDir::toNativeSeparators(m_dir.path())),
                 qPrintable(e.description()));
    }
    QVERIFY(!QFile::exists(u"vantor.mdb"_s)); // never created
}

void TestRecordset::readsInOrderAndAddsWithNewIds()
{
    Connection c;
    Recordset rs;
    open(rs, c, "SELECT ID, Date, Period, Remarks From Results ORDER BY Date, Period",
         LockType::Optimistic);
    QCOMPARE(rs.fieldNames(), (u"ID,Date,Period,Remarks"_s.split(u',')));
    QCOMPARE(rs.recordCount(), 4);
    QList<qlonglong> ids;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        ids << rs.value(0).toLongLong();
    // Same date: period id order (1 before 3), whatever the names.
    QCOMPARE(ids, (QList<qlonglong>{4, 1, 2, 3}));
    rs.moveFirst();
    QCOMPARE(rs.value(u"date"_s).typeId(), QMetaType::QDate);
    QCOMPARE(rs.value(u"Date"_s).toDate(), QDate(2004, 2, 1));
    QCOMPARE(rs.field(0).type, FieldType::Integer);
    rs.moveNext();
    rs.moveNext();
    QVERIFY(rs.value(u"Remarks"_s).isNull());
    QVERIFY_THROWS_EXCEPTION(Error, rs.value(u"Nope"_s));

    rs.addNew();
    QCOMPARE(rs.editMode(), EditMode::AddNew);
    QCOMPARE(rs.recordCount(), 5);
    QVERIFY(rs.value(u"ID"_s).isNull());
    rs.setValue(u"Date"_s, QDate(2005, 1, 2));
    rs.setValue(u"Period"_s, 2);
    rs.setValue(u"Remarks"_s, u"new"_s);
    rs.updateBatch();
    QCOMPARE(rs.editMode(), EditMode::None);
    QCOMPARE(rs.value(u"ID"_s).toLongLong(), 5);
    QCOMPARE(text("SELECT Date FROM Results WHERE ID = 5"), u"2005-01-02"_s);

    // Ids are never given out twice.
    c.execute(u"DELETE FROM Results WHERE ID = 5"_s);
    rs.addNew();
    rs.setValue(1, QDate(2005, 1, 3));
    rs.update();
    QCOMPARE(rs.value(0).toLongLong(), 6);
}

void TestRecordset::navigationAndPositionText()
{
    Connection c;
    c.open(Code);
    Recordset rs;
    QSignalSpy moves(&rs, &Recordset::moveComplete);
    rs.open(u"SELECT ID FROM Results ORDER BY ID"_s, &c);
    QCOMPARE(moves.count(), 1);
    QCOMPARE(positionText(rs), u"Record: 1 of 4"_s);
    QVERIFY(!rs.bof());
    rs.movePrevious();
    QVERIFY(rs.bof());
    QCOMPARE(rs.absolutePosition(), PosBOF);
    QVERIFY_THROWS_EXCEPTION(Error, rs.value(0));
    QVERIFY_THROWS_EXCEPTION(Error, rs.movePrevious());
    rs.moveLast();
    QCOMPARE(positionText(rs), u"Record: 4 of 4"_s);
    rs.moveNext();
    QVERIFY(rs.eof());
    QCOMPARE(rs.absolutePosition(), PosEOF);
    QVERIFY_THROWS_EXCEPTION(Error, rs.moveNext());
    rs.setAbsolutePosition(2);
    QCOMPARE(rs.value(0).toLongLong(), 2);
    QCOMPARE(moves.count(), 5);

    Recordset none;
    none.open(u"SELECT * FROM Results WHERE ID = -1"_s, &c);
    QVERIFY(none.bof());
    QVERIFY(none.eof());
    QCOMPARE(none.recordCount(), 0);
    QCOMPARE(positionText(none), u"No Records"_s);
    none.moveFirst(); // allowed, as on any recordset
    none.moveLast();
    QVERIFY(none.eof());
    QVERIFY_THROWS_EXCEPTION(Error, none.deleteCurrent());
}

void TestRecordset::findSearchesForward()
{
    Connection c;
    Recordset rs;
    open(rs, c, "SELECT ID, Date, Remarks FROM Results ORDER BY Date, Period");
    rs.moveFirst();
    QVERIFY(rs.find(u"[ID]=2"_s));
    QCOMPARE(rs.absolutePosition(), 3);
    // Forward from the current row: an earlier row is not found.
    QVERIFY(!rs.find(u"[ID]=4"_s));
    QVERIFY(rs.eof());
    rs.moveFirst();
    QVERIFY(rs.find(u"Remarks = 'FASTING'"_s)); // text without regard to case
    QCOMPARE(rs.value(0).toLongLong(), 1);
    QVERIFY(rs.find(u"[Date] >= #4/1/2004#"_s, 1));
    QCOMPARE(rs.value(0).toLongLong(), 3);
    QVERIFY_THROWS_EXCEPTION(Error, rs.find(u"[Nope]=1"_s));
    QVERIFY_THROWS_EXCEPTION(Error, rs.find(u"gibberish"_s));
}

void TestRecordset::editUpdateAndMovingOffWrites()
{
    Connection c;
    Recordset rs;
    open(rs, c, "select ID, Period from Periods Order by ID", LockType::Optimistic);
    rs.moveFirst();
    rs.setValue(1, u"Early morning"_s);
    QCOMPARE(rs.editMode(), EditMode::InProgress);
    rs.update();
    QCOMPARE(text("SELECT Period FROM Periods WHERE ID = 1"), u"Early morning"_s);

    rs.moveNext();
    rs.setValue(1, u"Late evening"_s);
    rs.moveNext(); // leaving the row writes it
    QCOMPARE(text("SELECT Period FROM Periods WHERE ID = 2"), u"Late evening"_s);

    rs.setValue(1, u"Not kept"_s);
    rs.cancelUpdate();
    QCOMPARE(rs.value(1).toString(), u"Afternoon"_s);
    QVERIFY(!rs.hasPendingChanges());

    // A value the table refuses is reported and not written.
    Recordset details;
    details.open(u"SELECT ID, Test, Result, Unit FROM Details WHERE ID=1 ORDER BY Test;"_s, &c,
                 CursorType::Static, LockType::Optimistic);
    details.setValue(2, u"lots"_s);
    QVERIFY_THROWS_EXCEPTION(Error, details.update());
    QCOMPARE(text("SELECT Result FROM Details WHERE ID = 1 AND Test = 1"), u"95"_s);
}

// Tens of thousands of rows: values across the store's blocks, a column
// that needs 8 bytes only from its 25,000th row on, a text longer than a
// chunk of the text pool; then a change and a deletion in the middle.
void TestRecordset::longListsKeepEveryValue()
{
    const QString longText(100000, u'L');
    {
        auto db = enginetest::openDatabase(u"vantor.mdb"_s);
        enginetest::exec(db.get(),
                         "WITH RECURSIVE n(i) AS (SELECT 5 UNION ALL SELECT i + 1 FROM n "
                         "WHERE i < 40004) INSERT INTO Results (ID, Date, Period, Remarks) "
                         "SELECT i, date('2004-01-01', '+' || i || ' days'), i % 3 + 1, "
                         "CASE WHEN i % 2 = 0 THEN NULL ELSE 'r' || i END FROM n");
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db.get(), "UPDATE Results SET Remarks = ? WHERE ID = 30001", -1, &stmt,
                           nullptr);
        const QByteArray utf8 = longText.toUtf8();
        sqlite3_bind_text(stmt, 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        QCOMPARE(sqlite3_step(stmt), SQLITE_DONE);
        sqlite3_finalize(stmt);
    }
    Connection c;
    Recordset rs;
    open(rs, c,
         "SELECT ID, Date, Remarks, IIf(ID = 25004, 5000000000, ID) AS Big, ID / 4 AS Quarter "
         "FROM Results WHERE ID >= 5 ORDER BY ID",
         LockType::Optimistic);
    QCOMPARE(rs.recordCount(), 40000);
    const auto expectRow = [&](int row) {
        const qlonglong id = row + 5;
        QCOMPARE(rs.valueAt(row, 0).toLongLong(), id);
        QCOMPARE(rs.valueAt(row, 1).toDate(), QDate(2004, 1, 1).addDays(id));
        if (id == 30001)
            QCOMPARE(rs.valueAt(row, 2).toString(), longText);
        else if (id % 2 == 0)
            QVERIFY(rs.valueAt(row, 2).isNull());
        else
            QCOMPARE(rs.valueAt(row, 2).toString(), u"r"_s + QString::number(id));
        QCOMPARE(rs.valueAt(row, 3).toLongLong(), id == 25004 ? 5000000000LL : id);
        QCOMPARE(rs.valueAt(row, 4).toDouble(), double(id) / 4);
    };
    for (int row : {0, 1, 16383, 16384, 24999, 25000, 29996, 32767, 32768, 39999})
        expectRow(row);

    rs.setAbsolutePosition(20001);
    rs.setValue(u"Remarks"_s, u"changed"_s);
    rs.update();
    QCOMPARE(text("SELECT Remarks FROM Results WHERE ID = 20005"), u"changed"_s);
    rs.setAbsolutePosition(10001);
    QCOMPARE(rs.value(0).toLongLong(), 10005);
    rs.deleteCurrent();
    QCOMPARE(number("SELECT Count(*) FROM Results WHERE ID = 10005"), 0);
    QCOMPARE(rs.recordCount(), 39999);
    QCOMPARE(rs.valueAt(10000, 0).toLongLong(), 10006);
    QCOMPARE(rs.valueAt(19999, 2).toString(), u"changed"_s);
    QCOMPARE(rs.valueAt(24998, 3).toLongLong(), 5000000000LL);
    QCOMPARE(rs.valueAt(39998, 0).toLongLong(), 40004);
}

void TestRecordset::deleteThenMoveNext()
{
    Connection c;
    Recordset rs;
    open(rs, c, "SELECT ID, Date, Period, Remarks From Results ORDER BY Date, Period",
         LockType::Optimistic);
    rs.setAbsolutePosition(2); // ID 1
    rs.deleteCurrent();
    QVERIFY_THROWS_EXCEPTION(Error, rs.value(0));
    rs.moveNext();
    QCOMPARE(rs.value(0).toLongLong(), 2);
    QCOMPARE(positionText(rs), u"Record: 2 of 3"_s);
    QCOMPARE(number("SELECT count(*) FROM Results WHERE ID = 1"), 0);
    // The occasion's values stay: only the Results row goes.
    QCOMPARE(number("SELECT count(*) FROM Details WHERE ID = 1"), 2);

    // Deleting the last row: next passes the end, last shows the new last row.
    rs.moveLast();
    rs.deleteCurrent();
    rs.moveNext();
    QVERIFY(rs.eof());
    rs.moveLast();
    QCOMPARE(rs.value(0).toLongLong(), 2);
    QCOMPARE(positionText(rs), u"Record: 2 of 2"_s);
}

void TestRecordset::detailsRowsAreWrittenByRowid()
{
    Connection c;
    Recordset rs;
    open(rs, c, "SELECT ID, Test, Result, Unit FROM Details WHERE ID=3 ORDER BY Test;",
         LockType::Optimistic);
    QCOMPARE(rs.recordCount(), 2); // two identical rows
    rs.moveLast();
    rs.setValue(u"Result"_s, 4.6);
    rs.update();
    QCOMPARE(number("SELECT count(*) FROM Details WHERE ID=3 AND Result=4.2"), 1);
    QCOMPARE(number("SELECT count(*) FROM Details WHERE ID=3 AND Result=4.6"), 1);
    rs.moveFirst();
    rs.deleteCurrent();
    QCOMPARE(number("SELECT count(*) FROM Details WHERE ID=3"), 1);

    rs.addNew();
    rs.setValue(0, 3);
    rs.setValue(1, 1);
    rs.setValue(2, 101.0);
    rs.setValue(3, u"mg/dL"_s);
    rs.updateBatch();
    QCOMPARE(number("SELECT count(*) FROM Details WHERE ID=3"), 2);
}

void TestRecordset::batchPendingUntilUpdateBatch()
{
    Connection c;
    Recordset rs;
    open(rs, c, "SELECT * FROM tblSelect", LockType::BatchOptimistic);
    for (int id : {7, 8, 9}) {
        rs.addNew();
        rs.setValue(u"Id"_s, id);
        rs.update();
    }
    QCOMPARE(number("SELECT count(*) FROM tblSelect"), 0);
    rs.updateBatch();
    QCOMPARE(number("SELECT sum(Id) FROM tblSelect"), 24);

    rs.moveFirst();
    rs.deleteCurrent();
    rs.moveNext();
    QCOMPARE(rs.recordCount(), 2);
    QCOMPARE(number("SELECT count(*) FROM tblSelect"), 3);
    rs.updateBatch();
    QCOMPARE(number("SELECT sum(Id) FROM tblSelect"), 17);

    // The joined delete removes only the rows of the table whose fields are shown.
    Recordset joined;
    c.execute(u"INSERT INTO tblSelect (Id) VALUES (1)"_s);
    joined.open(u"SELECT Details.* FROM Details INNER JOIN tblSelect ON "
                "Details.ID = tblSelect.ID;"_s,
                &c, CursorType::Static, LockType::Optimistic);
    QCOMPARE(joined.recordCount(), 2);
    while (!joined.eof()) {
        joined.deleteCurrent();
        joined.moveNext();
    }
    QCOMPARE(number("SELECT count(*) FROM Details WHERE ID = 1"), 0);
    QCOMPARE(number("SELECT count(*) FROM tblSelect"), 3);
}

void TestRecordset::cancelBatchRestoresRows()
{
    Connection c;
    Recordset rs;
    open(rs, c, "select ID, Period from Periods Order by ID", LockType::BatchOptimistic);
    rs.moveFirst();
    rs.setValue(1, u"changed"_s);
    rs.moveNext();
    rs.deleteCurrent();
    rs.addNew();
    rs.setValue(1, u"added"_s);
    QVERIFY(rs.hasPendingChanges());
    rs.cancelBatch();
    QVERIFY(!rs.hasPendingChanges());
    QCOMPARE(rs.recordCount(), 3);
    QStringList names;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        names << rs.value(1).toString();
    QCOMPARE(names, (u"Morning,Evening,Afternoon"_s.split(u',')));
}

void TestRecordset::failedUpdateBatchChangesNothing()
{
    Connection c;
    Recordset rs;
    open(rs, c, "SELECT ID, Date, Period, Remarks From Results ORDER BY ID",
         LockType::BatchOptimistic);
    const QStringList before = fileDump();
    rs.moveFirst();
    rs.setValue(u"Remarks"_s, u"first change"_s);
    rs.moveNext();
    rs.deleteCurrent();
    rs.addNew();
    rs.setValue(u"Date"_s, u"31 February"_s); // refused by the table
    QVERIFY_THROWS_EXCEPTION(Error, rs.updateBatch());
    QCOMPARE(fileDump(), before);
    // Still pending, so the user can mend the bad value and try again.
    QVERIFY(rs.hasPendingChanges());
    rs.moveLast();
    rs.setValue(u"Date"_s, QDate(2006, 6, 6));
    rs.updateBatch();
    QVERIFY(!rs.hasPendingChanges());
    QCOMPARE(text("SELECT Remarks FROM Results WHERE ID = 1"), u"first change"_s);
    QCOMPARE(number("SELECT count(*) FROM Results WHERE ID = 2"), 0);
    QCOMPARE(number("SELECT count(*) FROM Results WHERE Date = '2006-06-06'"), 1);
}

void TestRecordset::otherUsersChangesAreRefused()
{
    Connection mine, theirs;
    Recordset rs;
    open(rs, mine, "SELECT ID, Remarks FROM Results ORDER BY ID", LockType::Optimistic);
    theirs.open(Code);
    theirs.execute(u"UPDATE Results SET Remarks = 'theirs' WHERE ID = 1"_s);
    rs.moveFirst();
    rs.setValue(1, u"mine"_s);
    try {
        rs.update();
        QFAIL("a stale row was written");
    } catch (const Error& e) {
        QCOMPARE(e.number(), int(Error::RowConflict));
        QVERIFY(e.description().contains(u"changed"_s));
    }
    QCOMPARE(text("SELECT Remarks FROM Results WHERE ID = 1"), u"theirs"_s);
    // A change only in letter case is a change too.
    theirs.execute(u"UPDATE Results SET Remarks = 'FIRST' WHERE ID = 4"_s);
    rs.cancelUpdate();
    rs.moveLast();
    rs.setValue(1, u"mine"_s);
    QVERIFY_THROWS_EXCEPTION(Error, rs.update());
    rs.cancelUpdate();
    // A row deleted by the other user can be neither deleted nor written.
    theirs.execute(u"DELETE FROM Results WHERE ID = 2"_s);
    rs.setAbsolutePosition(2);
    QVERIFY_THROWS_EXCEPTION(Error, rs.deleteCurrent());
    rs.setValue(1, u"x"_s);
    QVERIFY_THROWS_EXCEPTION(Error, rs.update());
    QCOMPARE(number("SELECT count(*) FROM Results"), 3);
}

void TestRecordset::readOnlyGroupedAndSelfJoinedRowsRefuseWrites()
{
    Connection c;
    Recordset ro;
    open(ro, c, "SELECT ID, Remarks FROM Results");
    QVERIFY_THROWS_EXCEPTION(Error, ro.setValue(1, u"x"_s));
    QVERIFY_THROWS_EXCEPTION(Error, ro.addNew());

    Recordset grouped;
    grouped.open(u"SELECT Test, Count(*) AS N FROM Details GROUP BY Test"_s, &c, CursorType::Static,
                 LockType::Optimistic);
    QVERIFY_THROWS_EXCEPTION(Error, grouped.setValue(1, 3));

    // SQLite names a column's table, not its alias: a write to the second
    // alias of a self-join would land on the first alias's row.
    const QStringList before = fileDump();
    Recordset self;
    self.open(u"SELECT a.Test AS First, b.Test AS Second FROM Tests AS a "
              u"INNER JOIN Tests AS b ON b.ID = a.ID + 1 ORDER BY a.ID"_s,
              &c, CursorType::Static, LockType::Optimistic);
    QCOMPARE(self.value(1).toString(), u"Cholesterol"_s);
    for (int column : {0, 1})
        QVERIFY_THROWS_EXCEPTION(Error, self.setValue(column, u"Renamed"_s));
    QCOMPARE(fileDump(), before);
}

void TestRecordset::nestedTransactionsRollBack()
{
    Connection c;
    c.open(Code);
    const QStringList before = fileDump();
    c.beginTrans();
    Recordset rs;
    rs.open(u"SELECT Results.* FROM Results INNER JOIN tblSelect ON Results.ID = "
            "tblSelect.ID;"_s,
            &c, CursorType::Static, LockType::Optimistic);
    c.execute(u"DELETE FROM Details WHERE ID = 1"_s);
    c.beginTrans();
    c.execute(u"DELETE FROM Results WHERE ID = 1"_s);
    c.commitTrans();
    QCOMPARE(c.transactionLevel(), 1);
    c.rollbackTrans();
    QCOMPARE(fileDump(), before);
    QVERIFY_THROWS_EXCEPTION(Error, c.commitTrans());
}

QTEST_GUILESS_MAIN(TestRecordset)
#include "tst_recordset.moc"
