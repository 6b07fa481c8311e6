#include "ReplacingFile.h"

#include "Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantor::platform {

namespace {

ReplacingFile::RenameHook& renameHook()
{
    static ReplacingFile::RenameHook hook;
    return hook;
}

const char* const JournalSuffixes[] = {"-journal", "-wal", "-shm"};

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

Error cannotWrite(const QString& path, const QString& reason)
{
    return Error(75, QStringLiteral("Cannot write the file \"%1\": %2.").arg(shown(path), reason));
}

QString systemReason(int error)
{
    if (error == ENOSPC)
        return QStringLiteral("the disk is full");
    if (error == EACCES || error == EPERM)
        return QStringLiteral("permission denied");
    return QString::fromLocal8Bit(std::strerror(error));
}

bool statPath(const QString& path, struct stat& info)
{
    return ::stat(QFile::encodeName(path).constData(), &info) == 0;
}

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Where a write to `path` lands: links followed (also a link to a file that
// is not there yet), the folder canonical. Throws when the folder is missing.
QString resolveTarget(const QString& path)
{
    if (path.trimmed().isEmpty())
        throw cannotWrite(path, QStringLiteral("no file name was given"));
    QFileInfo info(QDir::current(), path);
    for (int links = 0; info.isSymLink() && links < 16; ++links)
        info = QFileInfo(info.symLinkTarget());
    if (info.isDir())
        throw cannotWrite(path, QStringLiteral("it is a folder"));
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (folder.isEmpty())
        throw cannotWrite(path, QStringLiteral("the folder \"%1\" does not exist")
                                    .arg(shown(info.absolutePath())));
    return QDir(folder).filePath(info.fileName());
}

void syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The mode bits (0777) of a file, following links; fallback when it cannot be read.
unsigned fileMode(const QString& path, unsigned fallback = 0600)
{
    struct stat info {};
    return statPath(path, info) ? unsigned(info.st_mode & 0777) : fallback;
}

} // namespace

void refuseDatabaseTarget(const QString& target, const QString& database)
{
    if (database.isEmpty())
        return;
    const QString resolved = resolveTarget(target);
    const QString base = resolveTarget(database);
    struct stat targetInfo {};
    const bool targetExists = statPath(resolved, targetInfo);

    const auto matches = [&](const QString& guarded) {
        struct stat guardedInfo {};
        if (targetExists && statPath(guarded, guardedInfo))
            return sameFile(targetInfo, guardedInfo);
        return resolved == guarded;
    };
    if (matches(base)) {
        throw cannotWrite(target, QStringLiteral("it is the results database in use (\"%1\"); "
                                                 "writing it would destroy your results. "
                                                 "Choose another file name")
                                      .arg(shown(base)));
    }
    for (const char* suffix : JournalSuffixes) {
        if (matches(base + QLatin1String(suffix))) {
            throw cannotWrite(target,
                              QStringLiteral("it is the journal of the results database in use "
                                             "(\"%1\"); writing it could destroy your results. "
                                             "Choose another file name")
                                  .arg(shown(base)));
        }
    }
}

ReplacingFile::ReplacingFile(const QString& target, const QString& database,
                             const QString& temporaryName)
    : m_target(resolveTarget(target)), m_database(database)
{
    refuseDatabaseTarget(m_target, database);
    const QFileInfo targetInfo(m_target);
    // What the program writes holds results: as private as the database.
    const unsigned mode = !database.isEmpty() ? fileMode(database)
                                              : (targetInfo.exists() ? fileMode(m_target) : 0600u);
    const QDir folder = targetInfo.dir();

    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        m_temporary = folder.filePath(
            !temporaryName.isEmpty()
                ? temporaryName
                : QStringLiteral(".%1.%2.tmp")
                      .arg(targetInfo.fileName())
                      .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        // The umask can only take bits away, so the file is never more open
        // than the database, not even before fchmod makes the mode exact.
        m_fd = ::open(QFile::encodeName(m_temporary).constData(),
                      O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode_t(mode));
        if (m_fd < 0 && (errno != EEXIST || !temporaryName.isEmpty()))
            break;
    }
    if (m_fd < 0) {
        const int error = errno;
        const QString path = m_temporary;
        m_temporary.clear();
        throw cannotWrite(path, systemReason(error));
    }
    if (::fchmod(m_fd, mode_t(mode)) != 0) {
        const int error = errno;
        closeFile();
        QFile::remove(m_temporary);
        throw cannotWrite(m_temporary, systemReason(error));
    }
}

ReplacingFile::~ReplacingFile()
{
    closeFile();
    if (!m_committed && !m_temporary.isEmpty()) {
        QFile::remove(m_temporary);
        // A database written into the temporary file may have left its journal.
        QFile::remove(m_temporary + QLatin1String("-journal"));
    }
}

void ReplacingFile::setRenameHook(RenameHook hook)
{
    renameHook() = std::move(hook);
}

void ReplacingFile::closeFile()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

void ReplacingFile::write(const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(m_fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw cannotWrite(m_target, systemReason(written < 0 ? errno : ENOSPC));
        data += written;
        left -= written;
    }
}

void ReplacingFile::commit()
{
    finish(true);
}

void ReplacingFile::commitNew()
{
    finish(false);
}

void ReplacingFile::finish(bool replace)
{
    if (m_committed)
        return;
    // The data must be on the disk before the rename makes it the file.
    if (::fsync(m_fd) != 0)
        throw cannotWrite(m_target, systemReason(errno));
    closeFile();
    // The check again: the target may have become a link to the database
    // while the file was written.
    refuseDatabaseTarget(m_target, m_database);
    if (renameHook()) {
        renameHook()(m_temporary, m_target);
    } else if (!replace) {
        // QFile::rename never replaces an existing file.
        QFile file(m_temporary);
        if (!file.rename(m_target))
            throw cannotWrite(m_target, file.errorString());
    } else if (::rename(QFile::encodeName(m_temporary).constData(),
                        QFile::encodeName(m_target).constData()) != 0) {
        throw cannotWrite(m_target, systemReason(errno));
    }
    m_committed = true;
    syncFolder(QFileInfo(m_target).absolutePath());
}

} // namespace vantor::platform
