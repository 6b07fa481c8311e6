#pragma once

#include "JetSql.h"

#include <QHash>

struct sqlite3;

namespace vantor::engine {

// The tables and views of an open SQLite database, as the translator asks for
// them. Names are read once and columns on first use; after a change to the
// schema the owner calls invalidate(). Does not own the handle.
class SqliteSchema : public SchemaLookup
{
public:
    explicit SqliteSchema(sqlite3* db);

    QStringList columnsOf(const QString& tableOrView) const override;
    bool isView(const QString& name) const override;
    QString canonicalName(const QString& tableOrView) const override;

    void invalidate();

private:
    struct Entry
    {
        QString name;
        bool view = false;
        bool columnsRead = false;
        QStringList columns;
    };

    Entry* find(const QString& name) const;
    void load() const;

    sqlite3* m_db;
    mutable bool m_loaded = false;
    mutable QHash<QString, Entry> m_entries; // by name in lower case
};

} // namespace vantor::engine
