#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace vantor::engine {

enum class FieldType { Null, Integer, Double, Text, Date, Chapter };

// What a column's declared type says it holds (Null when nothing is declared
// or the declaration says nothing the program reads).
FieldType typeFromDecl(const char* decl);

// How the program stores a value: true as -1 with the whole numbers, a
// date-time as its day, anything that is no number or date as text. One rule
// for what is written to the file and what a recordset keeps.
enum class Storage { Null, Integer, Real, Date, Text };
Storage storageOf(const QVariant& value);
// The stored form of a value of that class.
inline qint64 storedInteger(const QVariant& value)
{
    return value.typeId() == QMetaType::Bool ? (value.toBool() ? -1 : 0) : value.toLongLong();
}
inline QDate storedDate(const QVariant& value)
{
    return value.typeId() == QMetaType::QDateTime ? value.toDateTime().date() : value.toDate();
}

class SqliteStatement;

// The one owner of an SQLite connection in the program. It opens a file
// read-only, read-write or as a new file, runs statements and turns every
// SQLite failure into a vantor::Error that says what went wrong.
class SqliteDatabase
{
public:
    enum class Mode { ReadOnly, ReadWrite, Create };

    SqliteDatabase() = default;
    // Throws vantor::Error when the file cannot be opened; ReadOnly and
    // ReadWrite never create a missing file.
    SqliteDatabase(const QString& path, Mode mode);
    virtual ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    bool isOpen() const { return m_db != nullptr; }
    sqlite3* handle() const { return m_db; }
    const QString& path() const { return m_path; }

    // How long a statement waits for another connection's lock before it fails.
    void setBusyTimeout(int milliseconds);
    // Opened read-only, or the file cannot be written.
    bool isReadOnly() const;

    // Runs one or more statements that return no rows.
    void exec(const QString& sql);
    // Ends the open transaction (or only the savepoint, given its name)
    // without its changes; never fails, so that it can run while unwinding.
    void rollback(const QString& savepoint = {});
    SqliteStatement prepare(const QString& sql);
    // The first column of the first row of sql; null when there is no row.
    QVariant scalar(const QString& sql);
    qint64 changes() const;
    qint64 lastInsertRowid() const;
    // Gives back the memory SQLite keeps for pages it has read.
    void releaseMemory();

    // Copies every page of this database into `target` in one step, so the
    // copy is of one moment. Throws vantor::Error.
    void backUpTo(SqliteDatabase& target);

    // Closes the connection and reports a failure to do so (a destructor cannot).
    virtual void close();

    // The last failure was another connection's lock.
    bool isBusy() const;
    // The last failure was a file that is no SQLite database.
    bool isNotADatabase() const;
    // Throws vantor::Error with SQLite's last message, after what went wrong;
    // a lock, a read-only file or a full disk are said in words.
    [[noreturn]] void raise(const QString& what = {}) const;

protected:
    // Opens `path`; with `message` the failure reads "message: SQLite's reason".
    void openFile(const QString& path, Mode mode, const QString& message = {});
    // Closes without reporting; statements still alive finish first.
    void release();

private:
    // SQLite's primary result code of the last failure.
    int errorCode() const;

    sqlite3* m_db = nullptr;
    QString m_path;
};

// A prepared statement: bind, step, read, reset. Move-only; finalized when
// it goes out of scope. Parameters and columns are numbered as in SQLite.
class SqliteStatement
{
public:
    enum class Type { Null, Integer, Real, Text, Blob };

    SqliteStatement(SqliteDatabase& db, const QString& sql);
    ~SqliteStatement();
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&&) = delete;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    sqlite3_stmt* get() const { return m_stmt; }
    // The SQL text held more than this one statement.
    bool hasMoreStatements() const { return m_moreStatements; }

    // A value as the program stores it: true as -1, dates as ISO text.
    void bind(int index, const QVariant& value);
    void bind(int index, qint64 value);
    void bind(int index, int value) { bind(index, qint64(value)); }
    void bind(int index, double value);
    void bind(int index, const QString& value); // a null QString binds null
    void bindNull(int index);

    // Advances to the next row: true while there is one. Throws on failure.
    bool step();
    // Makes the statement ready to run again; bindings stay.
    void reset();
    // Gives the statement (and its read lock) back before it goes out of scope.
    void finalize();

    int columnCount() const;
    QString columnName(int column) const;
    FieldType declaredType(int column) const;
    // The table and column a result column reads; empty for an expression.
    QString originTable(int column) const;
    QString originColumn(int column) const;

    // The current row's values.
    Type type(int column) const;
    bool isNull(int column) const { return type(column) == Type::Null; }
    // null, qint64, double or QString (blobs as QByteArray).
    QVariant value(int column) const;
    qint64 int64(int column) const;
    double real(int column) const;
    QString text(int column) const;
    // Text as the database holds it: UTF-8 bytes, valid until the next step.
    QByteArrayView utf8(int column) const;

private:
    SqliteDatabase* m_db;
    sqlite3_stmt* m_stmt = nullptr;
    bool m_moreStatements = false;
};

// A transaction that rolls back unless committed, also when an error unwinds
// the stack. Without a savepoint name it takes the write lock at once
// (BEGIN IMMEDIATE), so nothing changes between reading and writing; with
// one it nests inside a transaction that is already open.
class SqliteTransaction
{
public:
    explicit SqliteTransaction(SqliteDatabase& db, const QString& savepoint = {});
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    void commit();

private:
    SqliteDatabase& m_db;
    QString m_savepoint;
    bool m_done = false;
};

} // namespace vantor::engine
