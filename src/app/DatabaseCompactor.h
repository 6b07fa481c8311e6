#pragma once

#include <QDir>
#include <QString>

#include <functional>

namespace vantor::app {

// Rewrites the results database into a compacted copy and puts the copy in
// its place. The copy is complete and on disk before one atomic rename
// replaces the original, so a crash at any moment leaves either the old or
// the new database, never neither. Every step throws vantor::Error with a
// description for the user.
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
    // Writes the compacted copy; refuses while the program holds the database.
    void writeCopy() const;
    // Puts the copy in place of the database.
    void replaceSource() const;

    // Lets a test make the rename fail; nullptr restores the real one.
    static void setRenameFunction(RenameFunction rename);

private:
    void refuseWhenInUse() const;

    QDir m_folder;
};

} // namespace vantor::app
