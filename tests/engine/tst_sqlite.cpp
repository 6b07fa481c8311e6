#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "engine/Sqlite.h"
#include "platform/Error.h"
#include "platform/ReplacingFile.h"

using namespace Qt::StringLiterals;
using vantor::Error;
using vantor::engine::FieldType;
using vantor::engine::SqliteDatabase;
using vantor::engine::SqliteStatement;

// The one connection/statement pair every layer drives SQLite through.
class TestSqlite : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void storesValuesAsTheProgramReadsThem_data();
    void storesValuesAsTheProgramReadsThem();
    void declaredTypes_data();
    void declaredTypes();
    void notesTextAfterTheFirstStatement_data();
    void notesTextAfterTheFirstStatement();
    void saysALockInWords();
    void rollsBackASavepointOnly();
    void transactionKeepsOnlyWhatIsCommitted_data();
    void transactionKeepsOnlyWhatIsCommitted();
    void refusesToOpenWhatIsNoDatabase();
    void newFileNeverReplacesOneThatAppeared();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

void TestSqlite::init()
{
    QVERIFY(m_dir.isValid());
    for (const QString& name : QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden))
        QFile::remove(path(name));
}

void TestSqlite::storesValuesAsTheProgramReadsThem_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("stored"); // "typeof|quote(v)"

    QTest::newRow("null variant") << QVariant() << u"null|NULL"_s;
    QTest::newRow("true is -1") << QVariant(true) << u"integer|-1"_s;
    QTest::newRow("false is 0") << QVariant(false) << u"integer|0"_s;
    QTest::newRow("int") << QVariant(42) << u"integer|42"_s;
    QTest::newRow("large integer")
        << QVariant(qint64(9007199254740993)) << u"integer|9007199254740993"_s;
    QTest::newRow("double") << QVariant(2.5) << u"real|2.5"_s;
    QTest::newRow("date as ISO text") << QVariant(QDate(2024, 2, 29)) << u"text|'2024-02-29'"_s;
    QTest::newRow("date and time keeps the day")
        << QVariant(QDateTime(QDate(2023, 12, 31), QTime(23, 59))) << u"text|'2023-12-31'"_s;
    QTest::newRow("text") << QVariant(u"Glucose, fasting"_s) << u"text|'Glucose, fasting'"_s;
    QTest::newRow("empty text is no null") << QVariant(QString()) << u"text|''"_s;
    QTest::newRow("text beyond ASCII") << QVariant(u"µmol/L – 'ß'"_s) << u"text|'µmol/L – ''ß'''"_s;
}

void TestSqlite::storesValuesAsTheProgramReadsThem()
{
    QFETCH(QVariant, value);
    QFETCH(QString, stored);
    SqliteDatabase db(path(u"values.db"_s), SqliteDatabase::Mode::Create);
    db.exec(u"CREATE TABLE t (v)"_s);
    SqliteStatement insert = db.prepare(u"INSERT INTO t (v) VALUES (?1)"_s);
    insert.bind(1, value);
    QVERIFY(!insert.step());
    SqliteStatement select = db.prepare(u"SELECT typeof(v) || '|' || quote(v), v FROM t"_s);
    QVERIFY(select.step());
    QCOMPARE(select.text(0), stored);
    QVERIFY(!select.step());
}

void TestSqlite::declaredTypes_data()
{
    QTest::addColumn<QString>("declaration");
    QTest::addColumn<FieldType>("type");

    QTest::newRow("date") << u"DATE"_s << FieldType::Date;
    QTest::newRow("datetime") << u"datetime"_s << FieldType::Date;
    QTest::newRow("integer") << u"INTEGER"_s << FieldType::Integer;
    QTest::newRow("real") << u"REAL"_s << FieldType::Double;
    QTest::newRow("numeric") << u"NUMERIC(10,2)"_s << FieldType::Double;
    QTest::newRow("text") << u"TEXT"_s << FieldType::Text;
    QTest::newRow("varchar") << u"VARCHAR(50)"_s << FieldType::Text;
    QTest::newRow("none") << QString() << FieldType::Null;
}

void TestSqlite::declaredTypes()
{
    QFETCH(QString, declaration);
    QFETCH(FieldType, type);
    SqliteDatabase db(path(u"types.db"_s), SqliteDatabase::Mode::Create);
    db.exec(u"CREATE TABLE t (c %1)"_s.arg(declaration));
    SqliteStatement select = db.prepare(u"SELECT c, c + 0 FROM t"_s);
    QCOMPARE(int(select.declaredType(0)), int(type));
    // An expression has no declared type.
    QCOMPARE(int(select.declaredType(1)), int(FieldType::Null));
}

void TestSqlite::notesTextAfterTheFirstStatement_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("more");

    QTest::newRow("one") << u"SELECT 1"_s << false;
    QTest::newRow("trailing semicolons and blanks") << u"SELECT 1 ;\r\n ; \t"_s << false;
    QTest::newRow("a second statement") << u"SELECT 1; DELETE FROM t"_s << true;
}

void TestSqlite::notesTextAfterTheFirstStatement()
{
    QFETCH(QString, sql);
    QFETCH(bool, more);
    SqliteDatabase db(path(u"more.db"_s), SqliteDatabase::Mode::Create);
    db.exec(u"CREATE TABLE t (v)"_s);
    QCOMPARE(db.prepare(sql).hasMoreStatements(), more);
}

void TestSqlite::saysALockInWords()
{
    const QString file = path(u"locked.db"_s);
    SqliteDatabase holder(file, SqliteDatabase::Mode::Create);
    holder.exec(u"CREATE TABLE t (v); BEGIN EXCLUSIVE; INSERT INTO t VALUES (1)"_s);

    SqliteDatabase other(file, SqliteDatabase::Mode::ReadWrite);
    try {
        other.exec(u"INSERT INTO t VALUES (2)"_s);
        QFAIL("the locked file was written");
    } catch (const Error& error) {
        QVERIFY(other.isBusy());
        QVERIFY2(
            error.description().startsWith(u"The database file is in use by another program"_s),
            qPrintable(error.description()));
    }
    holder.exec(u"COMMIT"_s);
    QCOMPARE(other.scalar(u"SELECT count(*) FROM t"_s).toLongLong(), 1);
}

void TestSqlite::rollsBackASavepointOnly()
{
    SqliteDatabase db(path(u"savepoint.db"_s), SqliteDatabase::Mode::Create);
    db.exec(u"CREATE TABLE t (v); BEGIN; INSERT INTO t VALUES (1); SAVEPOINT inner;"
            u"INSERT INTO t VALUES (2)"_s);
    db.rollback(u"inner"_s);
    db.exec(u"COMMIT"_s);
    QCOMPARE(db.scalar(u"SELECT group_concat(v) FROM t"_s).toString(), u"1"_s);

    // A rollback without a transaction is no failure: it runs while unwinding.
    db.rollback();
    db.rollback(u"gone"_s);
    QCOMPARE(db.scalar(u"SELECT count(*) FROM t"_s).toLongLong(), 1);
}

void TestSqlite::transactionKeepsOnlyWhatIsCommitted_data()
{
    QTest::addColumn<QString>("savepoint");
    QTest::addColumn<bool>("fails");
    QTest::addColumn<QString>("kept");

    QTest::newRow("committed") << QString() << false << u"1,2"_s;
    QTest::newRow("an error unwinds") << QString() << true << u"1"_s;
    QTest::newRow("savepoint committed") << u"inner"_s << false << u"1,2"_s;
    QTest::newRow("savepoint unwound") << u"inner"_s << true << u"1"_s;
}

void TestSqlite::transactionKeepsOnlyWhatIsCommitted()
{
    QFETCH(QString, savepoint);
    QFETCH(bool, fails);
    QFETCH(QString, kept);
    SqliteDatabase db(path(u"transaction.db"_s), SqliteDatabase::Mode::Create);
    db.exec(u"CREATE TABLE t (v NOT NULL); INSERT INTO t VALUES (1)"_s);
    if (!savepoint.isEmpty())
        db.exec(u"BEGIN"_s);
    try {
        vantor::engine::SqliteTransaction transaction(db, savepoint);
        db.exec(u"INSERT INTO t VALUES (2)"_s);
        if (fails)
            db.exec(u"INSERT INTO t VALUES (NULL)"_s);
        transaction.commit();
    } catch (const Error&) {
        QVERIFY(fails);
    }
    if (!savepoint.isEmpty())
        db.exec(u"COMMIT"_s);
    QCOMPARE(db.scalar(u"SELECT group_concat(v) FROM (SELECT v FROM t ORDER BY v)"_s).toString(),
             kept);
}

void TestSqlite::refusesToOpenWhatIsNoDatabase()
{
    const QString text = path(u"notes.txt"_s);
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();

    SqliteDatabase db(text, SqliteDatabase::Mode::ReadOnly);
    QVERIFY_THROWS_EXCEPTION(Error, db.scalar(u"SELECT count(*) FROM sqlite_master"_s));
    QVERIFY(db.isNotADatabase());

    // Neither read-only nor read-write opening makes a missing file.
    QVERIFY_THROWS_EXCEPTION(
        Error, SqliteDatabase(path(u"missing.db"_s), SqliteDatabase::Mode::ReadWrite));
    QVERIFY(!QFile::exists(path(u"missing.db"_s)));
}

void TestSqlite::newFileNeverReplacesOneThatAppeared()
{
    const QString target = path(u"vantor.mdb"_s);
    {
        vantor::platform::ReplacingFile file(target, QString());
        {
            SqliteDatabase db(file.temporaryPath(), SqliteDatabase::Mode::ReadWrite);
            db.exec(u"CREATE TABLE t (v)"_s);
        }
        QFile other(target);
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("someone else's file");
        other.close();
        QVERIFY_THROWS_EXCEPTION(Error, file.commitNew());
    }
    QFile kept(target);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("someone else's file"));
    // Nothing left of the new file.
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{u"vantor.mdb"_s});

    // Where nothing appeared, the new file takes the name.
    QVERIFY(QFile::remove(target));
    vantor::platform::ReplacingFile file(target, QString());
    SqliteDatabase(file.temporaryPath(), SqliteDatabase::Mode::ReadWrite)
        .exec(u"CREATE TABLE t (v)"_s);
    file.commitNew();
    QCOMPARE(SqliteDatabase(target, SqliteDatabase::Mode::ReadOnly)
                 .scalar(u"SELECT count(*) FROM sqlite_master"_s)
                 .toLongLong(),
             1);
}

QTEST_GUILESS_MAIN(TestSqlite)
#include "tst_sqlite.moc"
