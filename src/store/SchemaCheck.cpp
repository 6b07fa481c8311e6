#include "SchemaCheck.h"

#include "engine/Sqlite.h"
#include "platform/Error.h"

namespace vantor::store {

namespace {

QString quoted(const QString& name)
{
    QString text = name;
    return QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

// SQLite's rules for the affinity of a declared column type.
QString affinity(const QString& declared)
{
    const QString type = declared.toUpper();
    if (type.contains(QLatin1String("INT")))
        return QStringLiteral("INTEGER");
    if (type.contains(QLatin1String("CHAR")) || type.contains(QLatin1String("CLOB")) ||
        type.contains(QLatin1String("TEXT")))
        return QStringLiteral("TEXT");
    if (type.isEmpty() || type.contains(QLatin1String("BLOB")))
        return QStringLiteral("BLOB");
    if (type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("FLOA")) ||
        type.contains(QLatin1String("DOUB")))
        return QStringLiteral("REAL");
    return QStringLiteral("NUMERIC");
}

// The engine hands out dates for columns declared as dates; anything else
// must store its values the way the program reads them.
bool typeFits(const QString& declared, const QString& expected)
{
    if (expected == QLatin1String("DATE"))
        return declared.contains(QLatin1String("DATE"), Qt::CaseInsensitive);
    return affinity(declared) == affinity(expected);
}

QString describeType(const QString& declared)
{
    return declared.isEmpty() ? QStringLiteral("without a type") : QStringLiteral("as ") + declared;
}

struct StoredColumn
{
    QString name;
    QString type;
    bool primaryKey;
};

} // namespace

SchemaCheck::SchemaCheck(engine::SqliteDatabase& db) : m_db(db) {}

QStringList SchemaCheck::run()
{
    m_problems.clear();
    try {
        checkMarks();
    } catch (const Error& error) {
        return {
            QStringLiteral("The file cannot be read as a database: %1.").arg(error.description())};
    }
    try {
        if (!checkIntegrity())
            return m_problems;
        for (const schema::TableSpec& table : schema::tables())
            checkTable(table);
        for (const schema::IndexSpec& index : schema::indexes())
            checkIndex(index);
        for (const schema::ViewSpec& view : schema::views())
            checkView(view);
    } catch (const Error& error) {
        m_problems << QStringLiteral("The file is damaged: %1.").arg(error.description());
    }
    return m_problems;
}

void SchemaCheck::checkMarks()
{
    const qint64 applicationId = m_db.scalar(QStringLiteral("PRAGMA application_id")).toLongLong();
    const qint64 version = m_db.scalar(QStringLiteral("PRAGMA user_version")).toLongLong();
    if (applicationId == 0) {
        m_problems << QStringLiteral("The file carries no mark of a results database "
                                     "(application id 0, schema version %1).")
                          .arg(version);
        return;
    }
    if (applicationId != schema::ApplicationId) {
        m_problems << QStringLiteral("The file is marked as another program's database "
                                     "(application id %1).")
                          .arg(applicationId);
        return;
    }
    if (version > schema::Version)
        m_problems << QStringLiteral("The file was made by a newer version of the program "
                                     "(schema version %1; this one knows up to %2).")
                          .arg(version)
                          .arg(schema::Version);
    else if (version < schema::OldestVersion)
        m_problems << QStringLiteral("The file has schema version %1; this program reads %2 to %3.")
                          .arg(version)
                          .arg(schema::OldestVersion)
                          .arg(schema::Version);
    // An older version is sound as it stands: opening it adds what it lacks.
    m_version = version;
}

bool SchemaCheck::checkIntegrity()
{
    engine::SqliteStatement check = m_db.prepare(QStringLiteral("PRAGMA integrity_check(20)"));
    bool clean = true;
    while (check.step()) {
        const QString line = check.text(0);
        if (line == QLatin1String("ok"))
            continue;
        m_problems << QStringLiteral("The file is damaged: %1").arg(line);
        clean = false;
    }
    return clean;
}

void SchemaCheck::checkTable(const schema::TableSpec& table)
{
    const QString name = storedName(QStringLiteral("table"), table.name);
    if (name.isEmpty()) {
        m_problems << QStringLiteral("Table \"%1\" is missing.").arg(table.name);
        return;
    }

    QVector<StoredColumn> stored;
    engine::SqliteStatement info = m_db.prepare(
        QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?1) ORDER BY cid"));
    info.bind(1, name);
    while (info.step())
        stored.append({info.text(0), info.text(1), info.int64(2) != 0});
    auto find = [&stored](const QString& column) -> const StoredColumn* {
        for (const StoredColumn& c : stored) {
            if (c.name.compare(column, Qt::CaseInsensitive) == 0)
                return &c;
        }
        return nullptr;
    };

    bool allPresent = true;
    for (const schema::ColumnSpec& column : table.columns) {
        const StoredColumn* found = find(column.name);
        if (!found && column.since > m_version)
            continue; // added by a migration the file has not had yet
        if (!found) {
            m_problems << QStringLiteral("Table \"%1\" lacks the column \"%2\".")
                              .arg(table.name, column.name);
            allPresent = false;
        } else if (!typeFits(found->type, column.type)) {
            m_problems << QStringLiteral("Column \"%1.%2\" is declared %3; the program needs %4.")
                              .arg(table.name, column.name, describeType(found->type), column.type);
        }
    }

    if (table.orderMatters && allPresent) {
        QStringList expected, actual;
        for (int i = 0; i < table.columns.size() && i < stored.size(); ++i) {
            expected << table.columns[i].name;
            actual << stored[i].name;
        }
        if (actual.join(QLatin1Char('|'))
                .compare(expected.join(QLatin1Char('|')), Qt::CaseInsensitive) != 0)
            m_problems << QStringLiteral("The columns of table \"%1\" stand in the wrong order "
                                         "(%2); the program reads them by position as %3.")
                              .arg(table.name, actual.join(QStringLiteral(", ")),
                                   expected.join(QStringLiteral(", ")));
    }

    if (table.autoIncrementId) {
        const StoredColumn* id = find(QStringLiteral("ID"));
        engine::SqliteStatement sql = m_db.prepare(
            QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?1"));
        sql.bind(1, name);
        const bool autoIncrement =
            sql.step() && sql.text(0).contains(QLatin1String("AUTOINCREMENT"), Qt::CaseInsensitive);
        const bool rowidAlias =
            id && id->primaryKey &&
            id->type.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0;
        if (!rowidAlias || !autoIncrement)
            m_problems << QStringLiteral("Table \"%1\": ID is not INTEGER PRIMARY KEY "
                                         "AUTOINCREMENT, so the id of a deleted row could be "
                                         "given out again.")
                              .arg(table.name);
    }
}

void SchemaCheck::checkIndex(const schema::IndexSpec& index)
{
    const QString table = storedName(QStringLiteral("table"), index.table);
    if (table.isEmpty())
        return; // already reported as a missing table

    engine::SqliteStatement list =
        m_db.prepare(QStringLiteral("SELECT name FROM pragma_index_list(?1)"));
    list.bind(1, table);
    while (list.step()) {
        engine::SqliteStatement info =
            m_db.prepare(QStringLiteral("SELECT name FROM pragma_index_info(?1) ORDER BY seqno"));
        info.bind(1, list.text(0));
        QStringList columns;
        while (info.step())
            columns << info.text(0);
        if (columns.size() < index.columns.size())
            continue;
        bool leads = true;
        for (int i = 0; i < index.columns.size(); ++i)
            leads = leads && columns[i].compare(index.columns[i], Qt::CaseInsensitive) == 0;
        if (leads)
            return;
    }
    m_problems << QStringLiteral("The index on %1 (%2) is missing; %3 will be slow.")
                      .arg(index.table, index.columns.join(QStringLiteral(", ")), index.purpose);
}

void SchemaCheck::checkView(const schema::ViewSpec& view)
{
    const QString name = storedName(QStringLiteral("view"), view.name);
    if (name.isEmpty()) {
        m_problems << QStringLiteral("The saved query \"%1\" is missing.").arg(view.name);
        return;
    }

    QStringList columns;
    try {
        engine::SqliteStatement select =
            m_db.prepare(QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(quoted(name)));
        for (int i = 0; i < select.columnCount(); ++i)
            columns << select.columnName(i);
    } catch (const Error& error) {
        m_problems << QStringLiteral("The saved query \"%1\" cannot be run: %2.")
                          .arg(view.name, error.description());
        return;
    }
    for (const QString& column : view.columns) {
        if (!columns.contains(column, Qt::CaseInsensitive))
            m_problems << QStringLiteral("The saved query \"%1\" lacks the column \"%2\".")
                              .arg(view.name, column);
    }
}

QString SchemaCheck::storedName(const QString& type, const QString& name)
{
    engine::SqliteStatement find = m_db.prepare(QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type = ?1 AND name = ?2 COLLATE NOCASE"));
    find.bind(1, type);
    find.bind(2, name);
    return find.step() ? find.text(0) : QString();
}

} // namespace vantor::store
