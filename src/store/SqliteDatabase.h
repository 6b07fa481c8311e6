#pragma once

#include <QString>
#include <QVariant>

struct sqlite3;

namespace vantor::store {

class SqliteStatement;

// One SQLite connection as the store needs it: opening a file read-only,
// read-write or as a new file, running statements, and turning every SQLite
// failure into a vantor::Error that says what was being done.
class SqliteDatabase
{
public:
    enum class Mode { ReadOnly, ReadWrite, Create };

    // Throws vantor::Error when the file cannot be opened; ReadOnly and
    // ReadWrite never create a missing file.
    SqliteDatabase(const QString& path, Mode mode);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    sqlite3* handle() const { return m_db; }
    const QString& path() const { return m_path; }

    // Runs one or more statements that return no rows.
    void exec(const QString& sql);
    SqliteStatement prepare(const QString& sql);
    // The first column of the first row of sql; null when there is no row.
    QVariant scalar(const QString& sql);

    // Closes the connection and reports a failure to do so (a destructor cannot).
    void close();

    // Throws vantor::Error with SQLite's last message, after what went wrong.
    [[noreturn]] void raise(const QString& what) const;

private:
    sqlite3* m_db = nullptr;
    QString m_path;
};

} // namespace vantor::store
