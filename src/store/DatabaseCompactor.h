#pragma once

#include <QDir>
#include <QString>

#include <functional>

namespace vantor::store {

// Rewrites the results database into a compacted copy and puts the copy in
// its place. What it cannot see: another program with the file open but idle
// holds no lock; SQLite there refuses its later writes to the replaced file
// ("attempt to write a readonly database") instead of losing them silently.
// The copy is complete and on disk before one atomic rename replaces the original, so a crash at
// any moment leaves either the old or the new database, never neither. Every step throws
// vantor::Error with a description for the user.
class DatabaseCompactor
{
public:
    static inline const QString SourceName = QStringLiteral("vantor.mdb");
    static inline const QString TargetName = QStringLiteral("vantor2.mdb");

    // Renames `from` over `to`, replacing it; throws on failure.
    using RenameFunction = std::function<void(const QString& from, const QString& to)>;

    explicit DatabaseCompactor(const QDir& folder = QDir::current());

    QString sourcePath() const { return m_folder.absoluteFilePath(SourceName); }
    QString targetPath() const { return m_folder.absoluteFilePath(TargetName); }

    // A copy left behind by an earlier run goes first.
    void removeLeftover() const;
    // Writes the compacted copy (with the database's mode) and renames it
    // over the database. Refuses while a window of this program, another copy
    // of the program (its shared lock) or another program (a lock of SQLite)
    // holds the file, and when the file changed while the copy was made.
    void compact() const;

    // Lets a test make the rename fail; nullptr restores the real one.
    static void setRenameFunction(RenameFunction rename);

private:
    void refuseWhenInUse() const;

    QDir m_folder;
};

} // namespace vantor::store
