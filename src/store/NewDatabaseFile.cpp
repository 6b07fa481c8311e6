#include "NewDatabaseFile.h"

#include "engine/Sqlite.h"
#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

// The target, once it is sure that it is new and that its folder exists.
QString newTarget(const QString& target)
{
    const QFileInfo info(target);
    if (existsOrDangles(info))
        refuseExisting(target);
    const QDir folder = info.absoluteDir();
    if (!folder.exists())
        throw Error(PathNotFound,
                    QStringLiteral("The folder \"%1\" does not exist.").arg(native(folder.path())));
    return target;
}

} // namespace

NewDatabaseFile::NewDatabaseFile(const QString& target)
    : m_target(target), m_file(newTarget(target), QString())
{
    m_db = std::make_unique<engine::SqliteDatabase>(m_file.temporaryPath(),
                                                    engine::SqliteDatabase::Mode::ReadWrite);
    // A generous cache and in-memory sorting: building the indexes of a
    // million values would otherwise spill to temporary files.
    m_db->exec(QStringLiteral("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; "
                              "PRAGMA cache_size = -65536; PRAGMA temp_store = MEMORY;"));
}

NewDatabaseFile::~NewDatabaseFile() = default;

void NewDatabaseFile::commit()
{
    m_db->close();
    m_db.reset();
    // Someone may have made the target meanwhile.
    if (existsOrDangles(QFileInfo(m_target)))
        refuseExisting(m_target);
    m_file.commitNew();
}

} // namespace vantor::store
