#include "DatabaseCompactor.h"

#include "engine/Connection.h"
#include "engine/FileLock.h"
#include "platform/Error.h"
#include "platform/ReplacingFile.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <memory>

namespace vantor::app {

namespace {

struct SqliteCloser
{
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using SqliteHandle = std::unique_ptr<sqlite3, SqliteCloser>;

[[noreturn]] void raiseSqlite(sqlite3* db, const QString& what)
{
    throw Error(Error::DatabaseError,
                what + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(db)));
}

SqliteHandle openDatabase(const QString& path, int flags, int busyMs = 2000)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, flags, nullptr);
    SqliteHandle db(raw);
    if (rc != SQLITE_OK)
        raiseSqlite(db.get(), QStringLiteral("Cannot open \"%1\"").arg(path));
    sqlite3_busy_timeout(db.get(), busyMs);
    return db;
}

// Another program that reads or writes the file holds one of SQLite's locks
// on it; an exclusive transaction on a fresh connection fails then. Held, it
// keeps every other program out until the connection closes (a journal left
// by a crash is rolled back first).
SqliteHandle holdExclusive(const QString& path)
{
    SqliteHandle db = openDatabase(path, SQLITE_OPEN_READWRITE, 250);
    const int rc = sqlite3_exec(db.get(), "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
    if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED) {
        throw Error(Error::FileInUse,
                    QStringLiteral("The database \"%1\" is in use by another program, which "
                                   "holds a lock on it. Close that program, then compact the "
                                   "database again.")
                        .arg(DatabaseCompactor::SourceName));
    }
    if (rc != SQLITE_OK)
        raiseSqlite(db.get(), QStringLiteral("Cannot compact \"%1\"")
                                  .arg(DatabaseCompactor::SourceName));
    return db;
}

void runStatement(sqlite3* db, const char* sql, const QString& argument, const QString& what)
{
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &raw, nullptr) != SQLITE_OK)
        raiseSqlite(db, what);
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(raw, &sqlite3_finalize);
    if (!argument.isNull()) {
        const QByteArray utf8 = argument.toUtf8();
        sqlite3_bind_text(raw, 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    int rc = sqlite3_step(raw);
    if (rc == SQLITE_ROW) {
        // quick_check answers "ok" or the list of what is wrong.
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(raw, 0));
        if (qstrcmp(text, "ok") != 0)
            throw Error(Error::DatabaseError,
                        what + QStringLiteral(": ") + QString::fromUtf8(text));
        rc = sqlite3_step(raw);
    }
    if (rc != SQLITE_DONE)
        raiseSqlite(db, what);
}

} // namespace

DatabaseCompactor::DatabaseCompactor(const QDir& folder) : m_folder(folder)
{
    m_folder.makeAbsolute();
}

void DatabaseCompactor::setRenameFunction(RenameFunction rename)
{
    platform::ReplacingFile::setRenameHook(std::move(rename));
}

void DatabaseCompactor::removeLeftover() const
{
    QFile leftover(targetPath());
    if (leftover.exists() && !leftover.remove()) {
        throw Error(Error::DatabaseError,
                    QStringLiteral("Could not delete \"%1\" left from an earlier run: %2.")
                        .arg(TargetName, leftover.errorString()));
    }
}

void DatabaseCompactor::refuseWhenInUse() const
{
    if (engine::Connection::isFileOpen(sourcePath())) {
        throw Error(Error::FileInUse,
                    QStringLiteral("The database \"%1\" in the folder \"%2\" is in use by an open "
                                   "window of this program. Close the windows that show its "
                                   "data, then compact it again.")
                        .arg(SourceName, QDir::toNativeSeparators(m_folder.path())));
    }
}

void DatabaseCompactor::compact() const
{
    const QString source = sourcePath();
    if (!QFileInfo::exists(source)) {
        throw Error(Error::FileNotFound,
                    QStringLiteral("The database \"%1\" was not found in the folder \"%2\".")
                        .arg(SourceName, QDir::toNativeSeparators(m_folder.path())));
    }
    refuseWhenInUse();
    // Every other copy of the program with the file open holds a shared lock.
    // Declared first, it is given back last, after every SQLite connection
    // below: closing it earlier would drop their locks.
    const engine::ExclusiveFileLock lock(source);
    if (QFileInfo::exists(source + QLatin1String("-wal"))) {
        throw Error(Error::FileInUse,
                    QStringLiteral("The database \"%1\" is in use by another program. "
                                   "Close it, then compact the database again.")
                        .arg(SourceName));
    }

    // The copy cannot be made under a held exclusive lock (VACUUM INTO runs
    // outside a transaction), so the file's change counter tells whether
    // anyone wrote between this check and the one before the rename.
    quint32 counter = 0;
    {
        SqliteHandle check = holdExclusive(source);
        counter = lock.changeCounter();
    }

    // Created with the database's mode; removed on every way out but success.
    platform::ReplacingFile copy(source, QString(), TargetName);
    {
        // Read-write so that a journal left by a crash is rolled back first.
        SqliteHandle db = openDatabase(source, SQLITE_OPEN_READWRITE);
        runStatement(db.get(), "VACUUM INTO ?1", copy.temporaryPath(),
                     QStringLiteral("Cannot compact \"%1\"").arg(SourceName));
    }
    {
        SqliteHandle check = openDatabase(copy.temporaryPath(), SQLITE_OPEN_READONLY);
        runStatement(check.get(), "PRAGMA quick_check", QString(),
                     QStringLiteral("The compacted copy \"%1\" is damaged").arg(TargetName));
    }

    // Held through the rename: no program can write the old file meanwhile.
    const SqliteHandle guard = holdExclusive(source);
    if (lock.changeCounter() != counter) {
        throw Error(Error::FileInUse,
                    QStringLiteral("The database \"%1\" was changed by another program while it "
                                   "was being compacted, so it was left as it is. Close that "
                                   "program, then compact the database again.")
                        .arg(SourceName));
    }
    copy.commit();
}

} // namespace vantor::app
