#pragma once

#include "platform/ReplacingFile.h"

#include <QString>

#include <memory>

namespace vantor::engine {
class SqliteDatabase;
}

namespace vantor::store {

// A database file that appears under its name only when it is complete. It is
// built under a temporary name in the target's folder (so the final rename
// stays on one file system) and moved into place by commit(); dropped without
// commit(), the temporary file is removed. An existing file is never written
// over: not when the build starts, and not at the rename either.
class NewDatabaseFile
{
public:
    // Throws vantor::Error when the target exists or its folder does not.
    explicit NewDatabaseFile(const QString& target);
    ~NewDatabaseFile();
    NewDatabaseFile(const NewDatabaseFile&) = delete;
    NewDatabaseFile& operator=(const NewDatabaseFile&) = delete;

    // Open on the temporary file, without a rollback journal: a failed build
    // is thrown away whole, so there is nothing to roll back to.
    engine::SqliteDatabase& database() { return *m_db; }

    // Closes the database, flushes the file to disk and renames it into place.
    void commit();

private:
    QString m_target;
    // Declared before the database, so that the database closes first.
    platform::ReplacingFile m_file;
    std::unique_ptr<engine::SqliteDatabase> m_db;
};

} // namespace vantor::store
