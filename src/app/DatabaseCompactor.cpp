#include "DatabaseCompactor.h"

#include "engine/Connection.h"
#include "platform/Error.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <system_error>

#if defined(Q_OS_WIN)
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vantor::app {

namespace {

DatabaseCompactor::RenameFunction& renameFunction()
{
    static DatabaseCompactor::RenameFunction rename;
    return rename;
}

void renameOver(const QString& from, const QString& to)
{
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(from.toStdU16String()),
                            std::filesystem::path(to.toStdU16String()), error);
    if (error) {
        throw Error(Error::DatabaseError,
                    QStringLiteral("Could not put the compacted copy in place of \"%1\": %2.")
                        .arg(QFileInfo(to).fileName(), QString::fromStdString(error.message())));
    }
}

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

SqliteHandle openDatabase(const QString& path, int flags)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &raw, flags, nullptr);
    SqliteHandle db(raw);
    if (rc != SQLITE_OK)
        raiseSqlite(db.get(), QStringLiteral("Cannot open \"%1\"").arg(path));
    sqlite3_busy_timeout(db.get(), 2000);
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

// Data must be on the disk, not in a cache, before a rename makes it the database.
void syncPath(const QString& path, bool folder)
{
#if defined(Q_OS_WIN)
    if (folder)
        return; // NTFS journals the rename itself
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || _commit(file.handle()) != 0)
        throw Error(Error::DatabaseError,
                    QStringLiteral("Could not write \"%1\" to the disk.").arg(path));
#else
    const int fd = ::open(QFile::encodeName(path).constData(), folder ? O_RDONLY : O_RDWR);
    const bool ok = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!ok)
        throw Error(Error::DatabaseError,
                    QStringLiteral("Could not write \"%1\" to the disk.").arg(path));
#endif
}

} // namespace

DatabaseCompactor::DatabaseCompactor(const QDir& folder) : m_folder(folder)
{
    m_folder.makeAbsolute();
}

void DatabaseCompactor::setRenameFunction(RenameFunction rename)
{
    renameFunction() = std::move(rename);
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

void DatabaseCompactor::writeCopy() const
{
    const QString source = sourcePath();
    const QString target = targetPath();
    if (!QFileInfo::exists(source)) {
        throw Error(Error::FileNotFound,
                    QStringLiteral("The database \"%1\" was not found in the folder \"%2\".")
                        .arg(SourceName, QDir::toNativeSeparators(m_folder.path())));
    }
    refuseWhenInUse();
    if (QFileInfo::exists(target)) {
        throw Error(Error::DatabaseError, QStringLiteral("\"%1\" already exists.").arg(TargetName));
    }

    {
        // Read-write so that a journal left by a crash is rolled back first.
        SqliteHandle db = openDatabase(source, SQLITE_OPEN_READWRITE);
        runStatement(db.get(), "VACUUM INTO ?1", target,
                     QStringLiteral("Cannot compact \"%1\"").arg(SourceName));
    }
    // With our connection closed, a journal still beside the file belongs to
    // another program that has the database open: replacing it now would
    // take that program's changes away.
    for (const char* suffix : {"-wal", "-journal"}) {
        if (QFileInfo::exists(source + QLatin1String(suffix))) {
            QFile::remove(target);
            throw Error(Error::FileInUse,
                        QStringLiteral("The database \"%1\" is in use by another program. "
                                       "Close it, then compact the database again.")
                            .arg(SourceName));
        }
    }

    try {
        SqliteHandle copy = openDatabase(target, SQLITE_OPEN_READONLY);
        runStatement(copy.get(), "PRAGMA quick_check", QString(),
                     QStringLiteral("The compacted copy \"%1\" is damaged").arg(TargetName));
        copy.reset();
        QFile::setPermissions(target, QFile::permissions(source));
        syncPath(target, false);
    } catch (...) {
        QFile::remove(target);
        throw;
    }
}

void DatabaseCompactor::replaceSource() const
{
    const QString source = sourcePath();
    const QString target = targetPath();
    try {
        if (renameFunction())
            renameFunction()(target, source);
        else
            renameOver(target, source);
    } catch (...) {
        // The original is untouched; the copy is of no further use.
        QFile::remove(target);
        throw;
    }
    syncPath(m_folder.path(), true);
}

} // namespace vantor::app
