#pragma once

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace vantor::store {

// A prepared statement: bind, step, read, reset. Move-only; finalized when
// it goes out of scope.
class SqliteStatement
{
public:
    SqliteStatement(sqlite3* db, const QString& sql);
    ~SqliteStatement();
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&&) = delete;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Parameters are numbered from 1, as in SQLite.
    void bind(int index, qint64 value);
    void bind(int index, int value) { bind(index, qint64(value)); }
    void bind(int index, double value);
    void bind(int index, const QString& value); // a null QString binds null
    void bindNull(int index);

    // Advances to the next row: true while there is one. Throws on failure.
    bool step();
    // Makes the statement ready to run again; bindings stay.
    void reset();

    int columnCount() const;
    QString columnName(int column) const;
    // null, qint64, double or QString (blobs as QByteArray).
    QVariant value(int column) const;
    qint64 int64(int column) const;
    QString text(int column) const;
    bool isNull(int column) const;

private:
    [[noreturn]] void raise() const;

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
    QString m_sql;
};

} // namespace vantor::store
