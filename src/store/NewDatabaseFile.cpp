#include "NewDatabaseFile.h"

#include "SqliteDatabase.h"
#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace vantor::store {

namespace {

// The numbers a file operation reports in the program's dialect.
constexpr int PathNotFound = 76;
constexpr int FileAlreadyExists = 58;

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void refuseExisting(const QString& target)
{
    throw Error(FileAlreadyExists,
                QStringLiteral("The file \"%1\" already exists. A new database is never "
                               "written over an existing file; choose another name or remove it "
                               "first.")
                    .arg(native(target)));
}

bool existsOrDangles(const QFileInfo& info)
{
    return info.exists() || info.isSymLink();
}

} // namespace

NewDatabaseFile::NewDatabaseFile(const QString& target) : m_target(target)
{
    const QFileInfo info(target);
    if (existsOrDangles(info))
        refuseExisting(target);
    const QDir folder = info.absoluteDir();
    if (!folder.exists())
        throw Error(PathNotFound,
                    QStringLiteral("The folder \"%1\" does not exist.").arg(native(folder.path())));

    // QTemporaryFile only picks a unique name; SQLite writes the file.
    QTemporaryFile placeholder(folder.filePath(QStringLiteral(".%1-XXXXXX").arg(info.fileName())));
    placeholder.setAutoRemove(false);
    if (!placeholder.open())
        throw Error(Error::DatabaseError,
                    QStringLiteral("Cannot write in the folder \"%1\": %2")
                        .arg(native(folder.path()), placeholder.errorString()));
    m_temporary = placeholder.fileName();
    placeholder.close();

    try {
        m_db = std::make_unique<SqliteDatabase>(m_temporary, SqliteDatabase::Mode::ReadWrite);
        // A generous cache and in-memory sorting: building the indexes of a
        // million values would otherwise spill to temporary files.
        m_db->exec(QStringLiteral("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; "
                                  "PRAGMA cache_size = -65536; PRAGMA temp_store = MEMORY;"));
    } catch (...) {
        removeTemporary();
        throw;
    }
}

NewDatabaseFile::~NewDatabaseFile()
{
    if (!m_committed)
        removeTemporary();
}

void NewDatabaseFile::commit()
{
    m_db->close();
    m_db.reset();

    QFile file(m_temporary);
    if (!file.open(QIODevice::ReadWrite))
        throw Error(Error::DatabaseError, QStringLiteral("Cannot reopen \"%1\": %2")
                                              .arg(native(m_temporary), file.errorString()));
#ifdef Q_OS_UNIX
    // The rename must not reach the disk before the contents do.
    if (::fsync(file.handle()) != 0)
        throw Error(Error::DatabaseError,
                    QStringLiteral("Cannot write \"%1\" to disk.").arg(native(m_temporary)));
#endif
    file.close();

    // Someone may have made the target meanwhile; QFile::rename refuses to replace it.
    if (existsOrDangles(QFileInfo(m_target)))
        refuseExisting(m_target);
    if (!file.rename(m_target))
        throw Error(Error::DatabaseError,
                    QStringLiteral("Cannot rename \"%1\" to \"%2\": %3")
                        .arg(native(m_temporary), native(m_target), file.errorString()));
    m_committed = true;
}

void NewDatabaseFile::removeTemporary()
{
    m_db.reset();
    if (m_temporary.isEmpty())
        return;
    QFile::remove(m_temporary);
    QFile::remove(m_temporary + QStringLiteral("-journal"));
}

} // namespace vantor::store
