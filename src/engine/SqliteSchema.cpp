#include "SqliteSchema.h"

#include <sqlite3.h>

namespace vantor::engine {

namespace {

QString columnText(sqlite3_stmt* statement, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(statement, column));
}

// Runs a query with at most one text parameter and hands each row to onRow.
// A query that fails (a broken view, a closed handle) yields no rows: the
// translator then reports the name as unknown and SQLite says why on execution.
template <typename OnRow>
void forEachRow(sqlite3* db, const char* sql, const QString& parameter, OnRow onRow)
{
    if (!db)
        return;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return;
    }
    if (!parameter.isNull()) {
        const QByteArray utf8 = parameter.toUtf8();
        sqlite3_bind_text(statement, 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    while (sqlite3_step(statement) == SQLITE_ROW)
        onRow(statement);
    sqlite3_finalize(statement);
}

} // namespace

SqliteSchema::SqliteSchema(sqlite3* db) : m_db(db) {}

void SqliteSchema::invalidate()
{
    m_loaded = false;
    m_entries.clear();
}

void SqliteSchema::load() const
{
    if (m_loaded)
        return;
    m_loaded = true;
    m_entries.clear();
    forEachRow(m_db,
               "SELECT name, type FROM sqlite_schema WHERE type IN ('table', 'view') "
               "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'",
               QString(), [this](sqlite3_stmt* statement) {
                   Entry entry;
                   entry.name = columnText(statement, 0);
                   entry.view = columnText(statement, 1) == QLatin1String("view");
                   m_entries.insert(entry.name.toLower(), entry);
               });
}

SqliteSchema::Entry* SqliteSchema::find(const QString& name) const
{
    load();
    const auto it = m_entries.find(name.toLower());
    return it == m_entries.end() ? nullptr : &it.value();
}

QStringList SqliteSchema::columnsOf(const QString& tableOrView) const
{
    Entry* entry = find(tableOrView);
    if (!entry)
        return {};
    if (!entry->columnsRead) {
        entry->columnsRead = true;
        forEachRow(
            m_db, "SELECT name FROM pragma_table_info(?1) ORDER BY cid", entry->name,
            [entry](sqlite3_stmt* statement) { entry->columns.append(columnText(statement, 0)); });
    }
    return entry->columns;
}

bool SqliteSchema::isView(const QString& name) const
{
    const Entry* entry = find(name);
    return entry && entry->view;
}

QString SqliteSchema::canonicalName(const QString& tableOrView) const
{
    const Entry* entry = find(tableOrView);
    return entry ? entry->name : QString();
}

} // namespace vantor::engine
