#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace vantor::platform {

// Throws vantor::Error when writing `target` would write over `database` or
// one of its journals: the same file after links and relative paths are
// resolved, compared by device and inode (a hard link counts too), or the
// journal's name while no journal exists. `database` empty: nothing to guard.
void refuseDatabaseTarget(const QString& target, const QString& database);

// Every file the program writes goes through this: the text (or a database)
// is written to a temporary file beside the target, created with the
// database's permissions from its first byte, flushed to the disk, and only
// then renamed over the target. Dropped without commit(), the temporary file
// is removed, so a failure never leaves a half-written file nor harms an
// existing one. The open database and its journals are refused as targets.
class ReplacingFile
{
public:
    // Resolves the target (a link is followed, so the file it points to is
    // replaced), refuses the database, and creates the temporary file:
    // `temporaryName` in the target's folder when given (it must not exist),
    // otherwise a unique hidden name. The file gets the database's mode;
    // without a database, the mode of the file it replaces (0600 for a new
    // one). Throws vantor::Error.
    ReplacingFile(const QString& target, const QString& database,
                  const QString& temporaryName = {});
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // The file that commit() replaces, with links resolved.
    const QString& targetPath() const { return m_target; }
    // The temporary file: empty until written, for write() or for another
    // writer (SQLite) that takes a path.
    const QString& temporaryPath() const { return m_temporary; }

    void write(const QByteArray& bytes);
    // Flushes the temporary file to the disk and renames it over the target.
    void commit();
    // The same for a file that must not exist: a target that appeared
    // meanwhile is never written over (throws instead).
    void commitNew();

    // Lets a test make the final rename fail; nullptr restores the real one.
    using RenameHook = std::function<void(const QString& from, const QString& to)>;
    static void setRenameHook(RenameHook hook);

private:
    void closeFile();
    void finish(bool replace);

    QString m_target;
    QString m_temporary;
    QString m_database;
    int m_fd = -1;
    bool m_committed = false;
};

} // namespace vantor::platform
