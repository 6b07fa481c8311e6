#include "DatabaseCompactor.h"

#include "engine/Connection.h"
#include "engine/FileLock.h"
#include "platform/Error.h"
#include "platform/ReplacingFile.h"

#include <QFile>
#include <QFileInfo>

#include <memory>

namespace vantor::store {

namespace {

using engine::SqliteDatabase;
using engine::SqliteStatement;

std::unique_ptr<SqliteDatabase> openDatabase(const QString& path, SqliteDatabase::Mode mode,
                                             int busyMs = 2000)
{
    auto db = std::make_unique<SqliteDatabase>(path, mode);
    db->setBusyTimeout(busyMs);
    return db;
}

// Another program that reads or writes the file holds one of SQLite's locks
// on it; an exclusive transaction on a fresh connection fails then. Held, it
// keeps every other program out until the connection closes (a journal left
// by a crash is rolled back first).
std::unique_ptr<SqliteDatabase> holdExclusive(const QString& path)
{
    auto db = openDatabase(path, SqliteDatabase::Mode::ReadWrite, 250);
    try {
        db->exec(QStringLiteral("BEGIN EXCLUSIVE"));
    } catch (const Error&) {
        if (!db->isBusy())
            db->raise(QStringLiteral("Cannot compact \"%1\"").arg(DatabaseCompactor::SourceName));
        throw Error(Error::FileInUse,
                    QStringLiteral("The database \"%1\" is in use by another program, which "
                                   "holds a lock on it. Close that program, then compact the "
                                   "database again.")
                        .arg(DatabaseCompactor::SourceName));
    }
    return db;
}

// Runs sql (with argument as ?1 unless null) to its end; a row that is not
// "ok" (quick_check lists what is wrong) is a failure. Every failure is said
// after `what`.
void runStatement(SqliteDatabase& db, const QString& sql, const QString& argument,
                  const QString& what)
{
    QString problem;
    try {
        SqliteStatement statement(db, sql);
        if (!argument.isNull())
            statement.bind(1, argument);
        while (problem.isEmpty() && statement.step()) {
            if (statement.text(0) != QLatin1String("ok"))
                problem = statement.text(0);
        }
    } catch (const Error& error) {
        problem = error.description();
    }
    if (!problem.isEmpty())
        throw Error(Error::DatabaseError, what + QStringLiteral(": ") + problem);
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
        const auto check = holdExclusive(source);
        counter = lock.changeCounter();
    }

    // Created with the database's mode; removed on every way out but success.
    platform::ReplacingFile copy(source, QString(), TargetName);
    {
        // Read-write so that a journal left by a crash is rolled back first.
        const auto db = openDatabase(source, SqliteDatabase::Mode::ReadWrite);
        runStatement(*db, QStringLiteral("VACUUM INTO ?1"), copy.temporaryPath(),
                     QStringLiteral("Cannot compact \"%1\"").arg(SourceName));
    }
    {
        const auto check = openDatabase(copy.temporaryPath(), SqliteDatabase::Mode::ReadOnly);
        runStatement(*check, QStringLiteral("PRAGMA quick_check"), QString(),
                     QStringLiteral("The compacted copy \"%1\" is damaged").arg(TargetName));
    }

    // Held through the rename: no program can write the old file meanwhile.
    const auto guard = holdExclusive(source);
    if (lock.changeCounter() != counter) {
        throw Error(Error::FileInUse,
                    QStringLiteral("The database \"%1\" was changed by another program while it "
                                   "was being compacted, so it was left as it is. Close that "
                                   "program, then compact the database again.")
                        .arg(SourceName));
    }
    copy.commit();
}

} // namespace vantor::store
