#include "FileLock.h"

#include "platform/Error.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QThread>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vantor::engine {

namespace {

struct SharedLock
{
    int fd = -1;
    int count = 0;
};

QHash<QString, SharedLock>& sharedLocks()
{
    static QHash<QString, SharedLock> locks;
    return locks;
}

int openForLock(const QString& path)
{
    return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
}

bool tryLock(int fd, int operation)
{
    int rc;
    do {
        rc = ::flock(fd, operation | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

} // namespace

void acquireSharedLock(const QString& canonicalPath, int timeoutMs)
{
    SharedLock& lock = sharedLocks()[canonicalPath];
    if (lock.count > 0) {
        ++lock.count;
        return;
    }
    const int fd = openForLock(canonicalPath);
    if (fd < 0) {
        // A file that cannot be opened for reading fails in SQLite next,
        // with its own message.
        sharedLocks().remove(canonicalPath);
        return;
    }
    QElapsedTimer waited;
    waited.start();
    while (!tryLock(fd, LOCK_SH)) {
        if (errno != EWOULDBLOCK || waited.elapsed() >= timeoutMs) {
            ::close(fd);
            sharedLocks().remove(canonicalPath);
            throw Error(Error::FileInUse,
                        QStringLiteral("The database file '%1' is being compacted by another "
                                       "copy of the program; try again in a moment.")
                            .arg(QDir::toNativeSeparators(canonicalPath)));
        }
        QThread::msleep(50);
    }
    lock.fd = fd;
    lock.count = 1;
}

void releaseSharedLock(const QString& canonicalPath)
{
    auto& locks = sharedLocks();
    const auto found = locks.find(canonicalPath);
    if (found == locks.end())
        return;
    if (--found->count > 0)
        return;
    ::close(found->fd); // also gives the lock back
    locks.erase(found);
}

ExclusiveFileLock::ExclusiveFileLock(const QString& path) : m_path(path)
{
    m_fd = openForLock(path);
    if (m_fd < 0)
        throw Error(Error::FileNotFound, QStringLiteral("Cannot open \"%1\".")
                                             .arg(QDir::toNativeSeparators(path)));
    if (!tryLock(m_fd, LOCK_EX)) {
        ::close(m_fd);
        m_fd = -1;
        throw Error(Error::FileInUse,
                    QStringLiteral("The database \"%1\" is open in another copy of the program. "
                                   "Close that copy, then compact the database again.")
                        .arg(QDir::toNativeSeparators(path)));
    }
}

ExclusiveFileLock::~ExclusiveFileLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

quint32 ExclusiveFileLock::changeCounter() const
{
    unsigned char bytes[4] = {};
    if (::pread(m_fd, bytes, sizeof bytes, 24) != ssize_t(sizeof bytes))
        return 0;
    return quint32(bytes[0]) << 24 | quint32(bytes[1]) << 16 | quint32(bytes[2]) << 8 |
           quint32(bytes[3]);
}

} // namespace vantor::engine
