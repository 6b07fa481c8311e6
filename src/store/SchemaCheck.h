#pragma once

#include "Schema.h"

#include <QString>
#include <QStringList>

namespace vantor::engine {
class SqliteDatabase;
}

namespace vantor::store {

// Holds an open database against what the program relies on: SQLite's own
// integrity check, the file's mark and version, every table with its columns
// (and their order where it matters), the indexes and the saved queries.
// Each problem is one sentence a user can act on.
class SchemaCheck
{
public:
    explicit SchemaCheck(engine::SqliteDatabase& db);

    // Empty when all is well. A file too damaged to read further reports
    // that and stops.
    QStringList run();

private:
    bool checkIntegrity();
    void checkMarks();
    void checkTable(const schema::TableSpec& table);
    void checkIndex(const schema::IndexSpec& index);
    void checkView(const schema::ViewSpec& view);
    // The name as stored when an object of that type exists (names match without regard to case).
    QString storedName(const QString& type, const QString& name);

    engine::SqliteDatabase& m_db;
    QStringList m_problems;
    qint64 m_version = schema::Version;
};

} // namespace vantor::store
