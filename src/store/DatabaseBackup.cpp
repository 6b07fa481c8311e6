#include "DatabaseBackup.h"

#include "engine/Sqlite.h"
#include "platform/Error.h"
#include "platform/ReplacingFile.h"

#include <QDir>
#include <QFileInfo>

namespace vantor::store {

void backUpDatabase(const QString& source, const QString& target)
{
    using engine::SqliteDatabase;
    if (!QFileInfo(source).isFile()) {
        throw Error(Error::FileNotFound, QStringLiteral("The database \"%1\" was not found.")
                                             .arg(QDir::toNativeSeparators(source)));
    }
    platform::ReplacingFile copy(target, source);
    {
        // Read-write, so that a journal left by a crash is rolled back and
        // the copy holds what the program would read.
        SqliteDatabase from(source, SqliteDatabase::Mode::ReadWrite);
        from.setBusyTimeout(5000);
        SqliteDatabase to(copy.temporaryPath(), SqliteDatabase::Mode::ReadWrite);
        from.backUpTo(to);
    }
    copy.commit();
}

} // namespace vantor::store
