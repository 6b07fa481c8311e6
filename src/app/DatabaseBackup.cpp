#include "DatabaseBackup.h"

#include "platform/Error.h"
#include "platform/ReplacingFile.h"

#include <QDir>
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

SqliteHandle open(const QString& path, int flags)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, flags, nullptr);
    SqliteHandle db(raw);
    if (rc != SQLITE_OK) {
        throw Error(Error::DatabaseError,
                    QStringLiteral("Cannot open \"%1\": %2")
                        .arg(QDir::toNativeSeparators(path),
                             QString::fromUtf8(raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc))));
    }
    sqlite3_busy_timeout(raw, 5000);
    return db;
}

} // namespace

void backUpDatabase(const QString& source, const QString& target)
{
    if (!QFileInfo(source).isFile()) {
        throw Error(Error::FileNotFound, QStringLiteral("The database \"%1\" was not found.")
                                             .arg(QDir::toNativeSeparators(source)));
    }
    platform::ReplacingFile copy(target, source);
    {
        // Read-write, so that a journal left by a crash is rolled back and
        // the copy holds what the program would read.
        const SqliteHandle from = open(source, SQLITE_OPEN_READWRITE);
        const SqliteHandle to = open(copy.temporaryPath(), SQLITE_OPEN_READWRITE);
        sqlite3_backup* backup = sqlite3_backup_init(to.get(), "main", from.get(), "main");
        if (!backup) {
            throw Error(Error::DatabaseError, QStringLiteral("Cannot back up the database: %1")
                                                  .arg(QString::fromUtf8(sqlite3_errmsg(to.get()))));
        }
        // One step copies every page under one read lock: the copy is of one moment.
        const int rc = sqlite3_backup_step(backup, -1);
        sqlite3_backup_finish(backup);
        if (rc != SQLITE_DONE) {
            const QString reason = (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED
                                       ? QStringLiteral("the database is in use by another "
                                                        "program; try again in a moment")
                                       : QString::fromUtf8(sqlite3_errstr(rc));
            throw Error(Error::DatabaseError,
                        QStringLiteral("Cannot back up the database: %1.").arg(reason));
        }
    }
    copy.commit();
}

} // namespace vantor::app
