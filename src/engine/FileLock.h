#pragma once

#include <QString>

namespace vantor::engine {

// Advisory locks (flock) between copies of this program on one database
// file. While a copy has any connection open on the file it holds a shared
// lock; the compaction takes the lock exclusively and so sees every other
// copy that has the file open, idle or not. Other programs do not take these
// locks; they are seen only through SQLite's own locks.

// Takes (or counts once more) this process's shared lock on the file,
// waiting up to timeoutMs while another copy holds it exclusively. Throws
// vantor::Error (FileInUse) when it stays held.
void acquireSharedLock(const QString& canonicalPath, int timeoutMs);
// Gives back one count; the lock goes with the last.
void releaseSharedLock(const QString& canonicalPath);

// The exclusive lock, taken without waiting. Keep it until every SQLite
// connection this process opened on the file is closed: closing the
// descriptor earlier would drop SQLite's own locks of this process.
class ExclusiveFileLock
{
public:
    // Throws vantor::Error (FileInUse) when another copy holds the file.
    explicit ExclusiveFileLock(const QString& path);
    ~ExclusiveFileLock();
    ExclusiveFileLock(const ExclusiveFileLock&) = delete;
    ExclusiveFileLock& operator=(const ExclusiveFileLock&) = delete;

    // SQLite's file change counter (header bytes 24..27): it changes with
    // every committed write of a rollback-journal database.
    quint32 changeCounter() const;

private:
    QString m_path;
    int m_fd = -1;
};

} // namespace vantor::engine
