#include "DatabaseFile.h"

#include "Schema.h"
#include "engine/Sqlite.h"
#include "platform/Error.h"

#include <QDir>
#include <QFileInfo>

#include <optional>

namespace vantor::store {

namespace {

FileKind verdict(FileKind::Kind kind, const QString& message)
{
    return {kind, message};
}

} // namespace

bool hasJournal(const QString& path)
{
    return QFileInfo::exists(path + QLatin1String("-journal")) ||
           QFileInfo::exists(path + QLatin1String("-wal"));
}

namespace {

// What keeps the file from being opened at all, seen from the file system.
std::optional<FileKind> fileProblem(const QFileInfo& info, const QString& shown)
{
    if (info.isSymLink() && !info.exists()) {
        return verdict(FileKind::DanglingLink,
                       QStringLiteral("\"%1\" is a link to \"%2\", which does not exist. Restore "
                                      "that file or remove the link.")
                           .arg(shown, QDir::toNativeSeparators(info.symLinkTarget())));
    }
    if (!info.exists())
        return verdict(FileKind::Missing,
                       QStringLiteral("The file \"%1\" does not exist.").arg(shown));
    if (!info.isFile())
        return verdict(FileKind::NotAFile, QStringLiteral("\"%1\" is not a file.").arg(shown));
    if (!info.isReadable())
        return verdict(
            FileKind::Unreadable,
            QStringLiteral("The file \"%1\" cannot be read: permission denied.").arg(shown));
    if (info.size() == 0)
        return verdict(FileKind::Empty,
                       QStringLiteral("The file \"%1\" is empty (0 bytes); it holds no results "
                                      "database.")
                           .arg(shown));
    return std::nullopt;
}

} // namespace

FileKind classifyDatabase(const QString& path)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (const std::optional<FileKind> problem = fileProblem(info, shown))
        return *problem;

    try {
        engine::SqliteDatabase db(path, hasJournal(path) ? engine::SqliteDatabase::Mode::ReadWrite
                                                         : engine::SqliteDatabase::Mode::ReadOnly);
        db.setBusyTimeout(1000);
        qint64 applicationId = 0;
        qint64 version = 0;
        int tableCount = 0;
        try {
            applicationId = db.scalar(QStringLiteral("PRAGMA application_id")).toLongLong();
            version = db.scalar(QStringLiteral("PRAGMA user_version")).toLongLong();
            tableCount = db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE "
                                                  "type = 'table'"))
                             .toInt();
        } catch (const Error& error) {
            if (db.isBusy())
                return verdict(FileKind::InUse,
                               QStringLiteral("The database \"%1\" is in use: another program "
                                              "holds it locked. Close that program, then try "
                                              "again.")
                                   .arg(shown));
            if (db.isNotADatabase())
                return verdict(FileKind::Foreign,
                               QStringLiteral("The file \"%1\" is not a results database of "
                                              "Vantor (it is no SQLite database at all).")
                                   .arg(shown));
            return verdict(FileKind::Unreadable,
                           QStringLiteral("The file \"%1\" cannot be read: %2.")
                               .arg(shown, error.description()));
        }

        if (applicationId == 0 && tableCount == 0)
            return verdict(FileKind::Empty,
                           QStringLiteral("The file \"%1\" is an empty database; it holds no "
                                          "results.")
                               .arg(shown));
        if (applicationId != schema::ApplicationId)
            return verdict(FileKind::Foreign,
                           QStringLiteral("The file \"%1\" is another program's database "
                                          "(application id %2), not a results database of "
                                          "Vantor.")
                               .arg(shown)
                               .arg(applicationId));
        if (version > schema::Version)
            return verdict(FileKind::Newer,
                           QStringLiteral("The database \"%1\" was made by a newer version of "
                                          "Vantor (schema version %2; this one knows up to %3). "
                                          "Open it with that version.")
                               .arg(shown)
                               .arg(version)
                               .arg(schema::Version));
        for (const schema::TableSpec& table : schema::tables()) {
            engine::SqliteStatement find = db.prepare(QStringLiteral(
                "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE"));
            find.bind(1, table.name);
            if (!find.step())
                return verdict(FileKind::Incomplete,
                               QStringLiteral("The database \"%1\" lacks the table \"%2\" that "
                                              "Vantor needs. Run \"vantor-db check\" on it for "
                                              "details.")
                                   .arg(shown, table.name));
        }
    } catch (const Error& error) {
        return verdict(FileKind::Unreadable, error.description());
    }

    if (!info.isWritable())
        return verdict(FileKind::ReadOnly,
                       QStringLiteral("The database \"%1\" can be read but not written: "
                                      "permission denied.")
                           .arg(shown));
    return {FileKind::Results, QString()};
}

} // namespace vantor::store
