#include "Recordset.h"

#include "Connection.h"
#include "RowStore.h"
#include "ShapeCommand.h"

#include "platform/Conversions.h"
#include "platform/Error.h"

#include <QHash>
#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>

namespace vantor::engine {

struct Recordset::PendingDelete
{
    int index; // where the row stood
    RowStore::Row row;
};

namespace {

const QString NoCurrentRecordText = QStringLiteral(
    "Either BOF or EOF is True, or the current record has been deleted. Requested operation "
    "requires a current record.");

Error noCurrentRecord()
{
    return Error(Error::NoCurrentRecord, NoCurrentRecordText);
}

Error notOpen()
{
    return Error(Error::DatabaseError,
                 QStringLiteral("Operation is not allowed when the object is closed."));
}

Error noSuchField(const QString& name)
{
    return Error(3265, QStringLiteral("Item cannot be found in the collection corresponding to "
                                      "the requested name or ordinal (%1).")
                           .arg(name));
}

FieldType typeFromDecl(const char* decl)
{
    if (!decl)
        return FieldType::Null;
    const QByteArray d = QByteArray(decl).toUpper();
    if (d.contains("DATE") || d.contains("TIME"))
        return FieldType::Date;
    if (d.contains("INT"))
        return FieldType::Integer;
    if (d.contains("REAL") || d.contains("FLOA") || d.contains("DOUB") || d.contains("NUM") ||
        d.contains("DEC"))
        return FieldType::Double;
    if (d.contains("CHAR") || d.contains("TEXT") || d.contains("CLOB"))
        return FieldType::Text;
    return FieldType::Null;
}

// RAII holder of a prepared statement.
class Statement
{
public:
    Statement(Connection& connection, const QString& sql) : m_connection(connection)
    {
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(connection.handle(), utf8.constData(), int(utf8.size()), &m_stmt,
                               nullptr) != SQLITE_OK)
            connection.raise();
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* get() const { return m_stmt; }

    void bind(int index, const QVariant& v)
    {
        int rc;
        if (!v.isValid() || v.isNull()) {
            rc = sqlite3_bind_null(m_stmt, index);
        } else {
            switch (v.typeId()) {
            case QMetaType::Bool:
                rc = sqlite3_bind_int64(m_stmt, index, v.toBool() ? -1 : 0);
                break;
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::Long:
            case QMetaType::LongLong:
            case QMetaType::Short:
            case QMetaType::UShort:
            case QMetaType::ULongLong:
                rc = sqlite3_bind_int64(m_stmt, index, v.toLongLong());
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(m_stmt, index, v.toDouble());
                break;
            case QMetaType::QDate:
                rc = bindText(index, v.toDate().toString(Qt::ISODate));
                break;
            case QMetaType::QDateTime:
                rc = bindText(index, v.toDateTime().date().toString(Qt::ISODate));
                break;
            default:
                rc = bindText(index, v.toString());
                break;
            }
        }
        if (rc != SQLITE_OK)
            m_connection.raise();
    }

    // Runs to the end; returns whether a row came back first.
    bool step()
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            m_connection.raise();
        return false;
    }

private:
    int bindText(int index, const QString& text)
    {
        const QByteArray utf8 = text.toUtf8();
        return sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()),
                                 SQLITE_TRANSIENT);
    }

    Connection& m_connection;
    sqlite3_stmt* m_stmt = nullptr;
};

// A savepoint that rolls back unless released.
class WriteScope
{
public:
    explicit WriteScope(Connection& connection) : m_connection(connection)
    {
        if (sqlite3_exec(connection.handle(), "SAVEPOINT vantor_write", nullptr, nullptr,
                         nullptr) != SQLITE_OK)
            connection.raise();
    }
    ~WriteScope()
    {
        if (!m_done)
            sqlite3_exec(m_connection.handle(), "ROLLBACK TO vantor_write; RELEASE vantor_write",
                         nullptr, nullptr, nullptr);
    }
    void commit()
    {
        if (sqlite3_exec(m_connection.handle(), "RELEASE vantor_write", nullptr, nullptr,
                         nullptr) != SQLITE_OK)
            m_connection.raise();
        m_done = true;
    }

private:
    Connection& m_connection;
    bool m_done = false;
};

QString quoted(const QString& name)
{
    QString q = name;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

bool sameCell(const RowStore& store, const Cell& a, const Cell& b)
{
    if (a.tag != b.tag)
        return false;
    switch (a.tag) {
    case Cell::Null:
        return true;
    case Cell::Int:
    case Cell::Date:
        return a.i == b.i;
    case Cell::Real:
        return a.d == b.d;
    case Cell::Text:
        return a.s == b.s || store.text(a) == store.text(b);
    }
    return false;
}

// Find criteria: "column op value".
struct Criteria
{
    QString column;
    int op = 0; // 0 =, 1 <>, 2 <, 3 >, 4 <=, 5 >=, 6 LIKE
    QVariant value;
};

Criteria parseCriteria(const QString& text)
{
    static const QRegularExpression re(
        QStringLiteral(
            R"(^\s*(?:\[([^\]]+)\]|`([^`]+)`|([A-Za-z_][\w.]*))\s*(<=|>=|<>|=|<|>|\blike\b)\s*(.*?)\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(text);
    if (!m.hasMatch())
        throw Error(Error::InvalidProcedureCall,
                    QStringLiteral("The search text '%1' cannot be read; it must be a field "
                                   "name, an operator and a value, such as [ID]=42.")
                        .arg(text));
    Criteria c;
    c.column = !m.captured(1).isEmpty()   ? m.captured(1)
               : !m.captured(2).isEmpty() ? m.captured(2)
                                          : m.captured(3);
    const QString op = m.captured(4).toLower();
    static const QStringList ops{QStringLiteral("="),   QStringLiteral("<>"), QStringLiteral("<"),
                                 QStringLiteral(">"),   QStringLiteral("<="), QStringLiteral(">="),
                                 QStringLiteral("like")};
    c.op = int(ops.indexOf(op));
    const QString v = m.captured(5);
    if (v.size() >= 2 &&
        ((v.front() == u'\'' && v.back() == u'\'') || (v.front() == u'"' && v.back() == u'"'))) {
        QString inner = v.mid(1, v.size() - 2);
        inner.replace(QString(2, v.front()), QString(1, v.front()));
        c.value = inner;
    } else if (v.size() >= 2 && v.front() == u'#' && v.back() == u'#') {
        const QString inner = v.mid(1, v.size() - 2);
        auto date = platform::parseMonthDayYear(inner);
        if (!date)
            date = platform::parseDate(inner);
        if (!date)
            throw Error(Error::TypeMismatch,
                        QStringLiteral("The date %1 in the search text cannot be read.").arg(v));
        c.value = *date;
    } else if (v.compare(u"null", Qt::CaseInsensitive) == 0) {
        c.value = QVariant();
    } else {
        bool ok = false;
        const double d = QLocale::c().toDouble(v, &ok);
        if (!ok)
            throw Error(Error::TypeMismatch,
                        QStringLiteral("The value '%1' in the search text is no number; put text "
                                       "between quotes.")
                            .arg(v));
        c.value = d;
    }
    return c;
}

int compareValues(const QVariant& a, const QVariant& b, bool& comparable)
{
    comparable = true;
    if (a.isNull() || b.isNull()) {
        comparable = false;
        return 0;
    }
    const auto isNumber = [](const QVariant& v) {
        return v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Double ||
               v.typeId() == QMetaType::Int;
    };
    if (isNumber(a) && isNumber(b)) {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (a.typeId() == QMetaType::QDate || b.typeId() == QMetaType::QDate) {
        const auto toDate = [](const QVariant& v) {
            if (v.typeId() == QMetaType::QDate)
                return v.toDate();
            return platform::parseDate(v.toString()).value_or(QDate());
        };
        const QDate x = toDate(a), y = toDate(b);
        if (!x.isValid() || !y.isValid()) {
            comparable = false;
            return 0;
        }
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return QString::compare(a.toString(), b.toString(), Qt::CaseInsensitive);
}

bool likeMatch(const QString& text, const QString& pattern)
{
    QString re;
    for (const QChar c : pattern) {
        if (c == u'*' || c == u'%')
            re += QStringLiteral(".*");
        else if (c == u'?' || c == u'_')
            re += u'.';
        else
            re += QRegularExpression::escape(QString(c));
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(re),
                              QRegularExpression::CaseInsensitiveOption)
        .match(text)
        .hasMatch();
}

} // namespace

Recordset::Recordset(QObject* parent) : QObject(parent) {}

Recordset::~Recordset() = default;

void Recordset::open(const QString& source, Connection* connection, CursorType cursor,
                     LockType lock)
{
    if (!connection || !connection->isOpen())
        throw Error(Error::DatabaseError,
                    QStringLiteral("The connection cannot be used to perform this operation. It "
                                   "is either closed or invalid in this context."));
    close();
    m_source = source;
    m_connection = connection;
    m_cursor = cursor;
    m_lock = lock;
    load();
}

struct Recordset::Chapter
{
    QString name;
    const ShapeNode* node = nullptr; // the child level
    // Appended child: its rows are those whose childColumns equal the parent's parentColumns.
    std::vector<int> parentColumns;
    QStringList childColumns;
    // Grouping: the base rows, loaded once, and the rows of each group.
    std::shared_ptr<Recordset> source;
    std::vector<std::vector<int>> groups;
    std::unique_ptr<Recordset> child; // made on first request
};

void Recordset::load()
{
    m_chapters.clear();
    m_shape.reset();
    m_node = nullptr;
    QString text = m_source.trimmed();
    if (isShapeCommand(text)) {
        if (!m_connection->isShape())
            throw Error(Error::SyntaxError,
                        QStringLiteral("A shape command needs a connection whose provider is "
                                       "MSDataShape."));
        m_shape = std::shared_ptr<const ShapeNode>(parseShapeCommand(text));
        openNode(*m_shape, {});
        finishLoad();
        return;
    }
    // A bare table or query name opens all of its rows.
    static const QRegularExpression bareName(
        QStringLiteral(R"(^(\[[^\]]+\]|`[^`]+`|[A-Za-z_]\w*)$)"));
    if (bareName.match(text).hasMatch())
        text = QStringLiteral("SELECT * FROM ") +
               (text.front().isLetter() || text.front() == u'_' ? u'[' + text + u']' : text);

    TranslateOptions options;
    options.withRowids = m_lock != LockType::ReadOnly;
    loadTranslated(m_connection->translate(text, options), {});
    finishLoad();
}

void Recordset::loadTranslated(const TranslatedSql& t, const Filter& filter)
{
    if (t.kind != TranslatedSql::Kind::Select)
        throw Error(Error::DatabaseError,
                    QStringLiteral("Only a query that returns rows can be opened as a recordset."));

    QString sql = t.sql.trimmed();
    while (sql.endsWith(u';'))
        sql.chop(1);
    if (!filter.empty()) {
        // The rows of one parent: an outer WHERE that SQLite pushes down to the
        // indexes of the inner query.
        QStringList terms;
        for (const auto& [column, value] : filter) {
            if (!t.columnNames.contains(column, Qt::CaseInsensitive))
                throw Error(Error::DatabaseError,
                            QStringLiteral("The shape command relates the column '%1', which its "
                                           "command does not return.")
                                .arg(column));
            const QString real = t.columnNames.at(t.columnNames.indexOf(QRegularExpression(
                QRegularExpression::anchoredPattern(QRegularExpression::escape(column)),
                QRegularExpression::CaseInsensitiveOption)));
            terms << quoted(real) + QStringLiteral(" = ?");
        }
        sql = QStringLiteral("SELECT * FROM (%1) WHERE %2")
                  .arg(sql, terms.join(QStringLiteral(" AND ")));
    }

    Statement stmt(*m_connection, sql);
    for (size_t k = 0; k < filter.size(); ++k)
        stmt.bind(int(k) + 1, filter[k].second);

    const int visible = int(t.columnNames.size());
    const int total = sqlite3_column_count(stmt.get());
    std::vector<Field> fields(static_cast<size_t>(visible));
    std::vector<bool> dateColumns(static_cast<size_t>(total), false);
    for (int c = 0; c < visible; ++c) {
        Field& f = fields[size_t(c)];
        f.name = t.columnNames.at(c);
        f.type = typeFromDecl(sqlite3_column_decltype(stmt.get(), c));
        dateColumns[size_t(c)] = f.type == FieldType::Date;
        const char* table = sqlite3_column_table_name(stmt.get(), c);
        const char* column = sqlite3_column_origin_name(stmt.get(), c);
        if (table && column && t.updatable && filter.empty()) {
            const QString tableName = QString::fromUtf8(table);
            for (qsizetype k = 0; k < t.rowidColumns.size(); ++k) {
                if (t.rowidColumns.at(k).table.compare(tableName, Qt::CaseInsensitive) == 0) {
                    f.baseTable = tableName;
                    f.baseColumn = QString::fromUtf8(column);
                    f.rowidColumn = visible + int(k);
                    break;
                }
            }
        }
    }

    auto rows = std::make_unique<RowStore>(total);
    if (rows->load(stmt.get(), dateColumns) != SQLITE_DONE)
        m_connection->raise();

    // Columns without a declared type (expressions) take the type of their first value.
    for (int c = 0; c < visible; ++c) {
        Field& f = fields[size_t(c)];
        if (f.type != FieldType::Null)
            continue;
        for (int r = 0; r < rows->rowCount(); ++r) {
            const Cell& cell = rows->cell(r, c);
            if (cell.tag == Cell::Null)
                continue;
            f.type = cell.tag == Cell::Int    ? FieldType::Integer
                     : cell.tag == Cell::Real ? FieldType::Double
                     : cell.tag == Cell::Date ? FieldType::Date
                                              : FieldType::Text;
            break;
        }
    }

    m_fields = std::move(fields);
    m_rows = std::move(rows);
    m_updatable = t.updatable && filter.empty();
}

void Recordset::openNode(const ShapeNode& node, const Filter& filter)
{
    m_chapters.resize(0);
    m_node = &node;
    if (node.isSql()) {
        loadTranslated(m_connection->translate(node.sql), filter);
        return;
    }
    if (!node.compute) {
        openNode(*node.base, filter);
        m_node = &node;
        addAppendChapters(node);
        return;
    }

    // COMPUTE ... BY: one row per distinct BY value, in order of first appearance.
    auto source = std::make_shared<Recordset>();
    source->m_shape = m_shape;
    source->m_connection = m_connection;
    source->m_lock = LockType::ReadOnly;
    source->openNode(*node.base, filter);

    std::vector<int> byColumns;
    for (const QString& by : node.by) {
        const int k = source->fieldIndex(by);
        if (k < 0 || source->isChapter(k))
            throw Error(Error::DatabaseError,
                        QStringLiteral("The shape command groups by '%1', which its command does "
                                       "not return.")
                            .arg(by));
        byColumns.push_back(k);
    }
    std::vector<int> aggColumns;
    for (const ShapeNode::Aggregate& a : node.aggregates) {
        int k = -1;
        if (!a.column.isEmpty()) {
            k = source->fieldIndex(a.column);
            if (k < 0 || source->isChapter(k))
                throw Error(Error::DatabaseError,
                            QStringLiteral("The shape command computes %1 of '%2', which its "
                                           "command does not return.")
                                .arg(a.function, a.column));
        }
        aggColumns.push_back(k);
    }

    // Group the source rows.
    const RowStore& src = *source->m_rows;
    std::vector<std::vector<int>> groups;
    std::vector<int> firstRows;
    QHash<QString, int> groupOf;
    for (int r = 0; r < src.rowCount(); ++r) {
        QString key;
        for (int k : byColumns) {
            const Cell& c = src.cell(r, k);
            switch (c.tag) {
            case Cell::Null:
                key += u'\x1';
                break;
            case Cell::Text:
                key += u't' + src.text(c).toCaseFolded();
                break;
            case Cell::Real:
                key += u'n' + QString::number(c.d, 'g', 17);
                break;
            case Cell::Int:
            case Cell::Date:
                key += (c.tag == Cell::Int ? u'n' : u'd') + QString::number(c.i);
                break;
            }
            key += u'\x2';
        }
        auto it = groupOf.find(key);
        if (it == groupOf.end()) {
            it = groupOf.insert(key, int(groups.size()));
            groups.emplace_back();
            firstRows.push_back(r);
        }
        groups[size_t(*it)].push_back(r);
    }

    // The parent rows: the aggregates, then the BY columns.
    std::vector<Field> fields;
    for (size_t a = 0; a < node.aggregates.size(); ++a) {
        Field f;
        f.name = node.aggregates[a].name;
        const QString& fn = node.aggregates[a].function;
        f.type = fn == u"COUNT"                   ? FieldType::Integer
                 : (fn == u"MIN" || fn == u"MAX") ? source->m_fields[size_t(aggColumns[a])].type
                                                  : FieldType::Double;
        fields.push_back(f);
    }
    for (int k : byColumns) {
        Field f;
        f.name = source->m_fields[size_t(k)].name;
        f.type = source->m_fields[size_t(k)].type;
        fields.push_back(f);
    }
    auto rows = std::make_unique<RowStore>(int(fields.size()));
    for (size_t g = 0; g < groups.size(); ++g) {
        const int row = rows->appendNewRow();
        for (size_t a = 0; a < node.aggregates.size(); ++a) {
            const QString& fn = node.aggregates[a].function;
            const int k = aggColumns[a];
            qint64 count = 0;
            double sum = 0;
            QVariant best;
            for (int r : groups[g]) {
                if (k < 0) {
                    ++count;
                    continue;
                }
                const QVariant v = src.value(r, k);
                if (v.isNull())
                    continue;
                ++count;
                if (fn == u"MIN" || fn == u"MAX") {
                    bool comparable;
                    const int cmp = best.isNull() ? 0 : compareValues(v, best, comparable);
                    if (best.isNull() || (fn == u"MIN" ? cmp < 0 : cmp > 0))
                        best = v;
                } else {
                    bool ok = false;
                    const double d = v.toDouble(&ok);
                    if (!ok)
                        throw Error(Error::TypeMismatch,
                                    QStringLiteral("%1 needs numbers, but '%2' holds '%3'.")
                                        .arg(fn, node.aggregates[a].column, v.toString()));
                    sum += d;
                }
            }
            QVariant result;
            if (fn == u"COUNT")
                result = qlonglong(count);
            else if (fn == u"SUM")
                result = count ? QVariant(sum) : QVariant();
            else if (fn == u"AVG")
                result = count ? QVariant(sum / double(count)) : QVariant();
            else
                result = best;
            rows->setCell(row, int(a), rows->fromVariant(result));
        }
        for (size_t b = 0; b < byColumns.size(); ++b)
            rows->setCell(row, int(node.aggregates.size() + b),
                          rows->fromVariant(src.value(firstRows[g], byColumns[b])));
        rows->markSaved(row);
    }

    m_fields = std::move(fields);
    m_rows = std::move(rows);
    m_updatable = false;
    m_node = &node;

    auto chapter = std::make_unique<Chapter>();
    chapter->name = node.computeChapter;
    chapter->node = node.base.get();
    chapter->source = std::move(source);
    chapter->groups = std::move(groups);
    Field f;
    f.name = chapter->name;
    f.type = FieldType::Chapter;
    m_fields.push_back(f);
    m_chapters.push_back(std::move(chapter));
}

void Recordset::addAppendChapters(const ShapeNode& node)
{
    for (const ShapeNode::Child& c : node.children) {
        auto chapter = std::make_unique<Chapter>();
        chapter->name = c.chapterName;
        chapter->node = c.command.get();
        for (const ShapeNode::Relation& r : c.relations) {
            const int k = fieldIndex(r.parentColumn);
            if (k < 0 || isChapter(k))
                throw Error(Error::DatabaseError,
                            QStringLiteral("The shape command relates the column '%1', which the "
                                           "parent command does not return.")
                                .arg(r.parentColumn));
            chapter->parentColumns.push_back(k);
            chapter->childColumns << r.childColumn;
        }
        Field f;
        f.name = chapter->name;
        f.type = FieldType::Chapter;
        m_fields.push_back(f);
        m_chapters.push_back(std::move(chapter));
    }
}

void Recordset::copyRowsFrom(const Recordset& source, const std::vector<int>& rows)
{
    m_chapters.resize(0);
    m_fields.assign(source.m_fields.begin(), source.m_fields.begin() + source.dataFieldCount());
    auto store = std::make_unique<RowStore>(source.m_rows->columnCount());
    for (int r : rows) {
        const int row = store->appendNewRow();
        for (int c = 0; c < store->columnCount(); ++c)
            store->setCell(row, c, store->fromVariant(source.m_rows->value(r, c)));
        store->markSaved(row);
    }
    m_rows = std::move(store);
    m_updatable = false;
    m_node = source.m_node;
    if (m_node && !m_node->isSql() && !m_node->compute)
        addAppendChapters(*m_node);
}

void Recordset::finishLoad()
{
    m_pendingDeletes.clear();
    m_editRow = -1;
    m_rowBeforeAdd = -1;
    m_currentDeleted = false;
    m_current = 0;
    emit rowsReset();
    refreshChapters();
    emit moveComplete();
}

bool Recordset::isChapter(int column) const
{
    return column >= dataFieldCount() && column < fieldCount();
}

Recordset* Recordset::chapter(int column)
{
    checkOpen();
    if (!isChapter(column))
        throw Error(Error::TypeMismatch,
                    QStringLiteral("The field '%1' holds no child rows.").arg(field(column).name));
    Chapter& c = *m_chapters[size_t(column - dataFieldCount())];
    if (!c.child) {
        c.child = std::make_unique<Recordset>();
        c.child->m_shape = m_shape;
        c.child->m_connection = m_connection;
        c.child->m_lock = LockType::ReadOnly;
        refreshChapter(c);
    }
    return c.child.get();
}

Recordset* Recordset::chapter(const QString& name)
{
    const int k = fieldIndex(name);
    if (k < 0)
        throw noSuchField(name);
    return chapter(k);
}

void Recordset::refreshChapters()
{
    for (auto& c : m_chapters)
        if (c->child)
            refreshChapter(*c);
}

// Fills a chapter with the child rows of the current row; none at BOF or EOF.
void Recordset::refreshChapter(Chapter& c)
{
    Recordset& child = *c.child;
    std::vector<std::pair<QString, std::unique_ptr<Recordset>>> stash;
    for (auto& grand : child.m_chapters)
        if (grand->child)
            stash.emplace_back(grand->name, std::move(grand->child));
    const bool onRow = m_rows && m_current >= 0 && m_current < recordCount() && !m_currentDeleted;
    if (c.source) {
        child.copyRowsFrom(*c.source, onRow ? c.groups[size_t(m_current)] : std::vector<int>{});
    } else {
        Filter filter;
        for (size_t k = 0; k < c.parentColumns.size(); ++k)
            filter.emplace_back(c.childColumns.at(qsizetype(k)),
                                onRow ? m_rows->value(m_current, c.parentColumns[k]) : QVariant());
        child.openNode(*c.node, filter);
    }
    // Grandchildren keep their objects, so that whoever shows them stays bound.
    for (auto& kept : stash)
        for (auto& mine : child.m_chapters)
            if (!mine->child && mine->name == kept.first)
                mine->child = std::move(kept.second);
    child.finishLoad();
}

void Recordset::close()
{
    if (!m_rows)
        return;
    m_rows.reset();
    m_fields.clear();
    m_chapters.clear();
    m_pendingDeletes.clear();
    m_current = -1;
    m_editRow = -1;
    m_currentDeleted = false;
    emit rowsReset();
}

bool Recordset::isOpen() const
{
    return m_rows != nullptr;
}

void Recordset::requery()
{
    checkOpen();
    if (!m_connection || !m_connection->isOpen())
        throw Error(Error::DatabaseError,
                    QStringLiteral("The connection of this recordset has been closed."));
    load();
}

void Recordset::checkOpen() const
{
    if (!m_rows)
        throw notOpen();
}

void Recordset::checkCurrent() const
{
    checkOpen();
    if (m_currentDeleted || bof() || eof())
        throw noCurrentRecord();
}

int Recordset::fieldCount() const
{
    return int(m_fields.size());
}

const Field& Recordset::field(int index) const
{
    if (index < 0 || index >= fieldCount())
        throw noSuchField(QString::number(index));
    return m_fields[size_t(index)];
}

int Recordset::fieldIndex(const QString& name) const
{
    for (int k = 0; k < fieldCount(); ++k)
        if (m_fields[size_t(k)].name.compare(name, Qt::CaseInsensitive) == 0)
            return k;
    // "Results.Date" finds "Date" when the name is not qualified in the result.
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > 0) {
        const QString table = name.left(dot);
        const QString column = name.mid(dot + 1);
        for (int k = 0; k < fieldCount(); ++k) {
            const Field& f = m_fields[size_t(k)];
            if (f.name.compare(column, Qt::CaseInsensitive) == 0 &&
                (f.baseTable.isEmpty() || f.baseTable.compare(table, Qt::CaseInsensitive) == 0))
                return k;
        }
    }
    return -1;
}

QStringList Recordset::fieldNames() const
{
    QStringList names;
    for (const Field& f : m_fields)
        names << f.name;
    return names;
}

QVariant Recordset::value(int column) const
{
    checkCurrent();
    field(column);
    if (isChapter(column))
        return QVariant::fromValue(
            static_cast<QObject*>(const_cast<Recordset*>(this)->chapter(column)));
    return m_rows->value(m_current, column);
}

QVariant Recordset::value(const QString& name) const
{
    const int k = fieldIndex(name);
    if (k < 0)
        throw noSuchField(name);
    return value(k);
}

void Recordset::checkWritable(int column) const
{
    if (m_lock == LockType::ReadOnly)
        throw Error(3251, QStringLiteral("The data cannot be changed here: these rows were "
                                         "opened for reading only."));
    const Field& f = field(column);
    if (!m_updatable)
        throw Error(3251, QStringLiteral("The data cannot be changed here: the rows come from a "
                                         "grouping or a saved query that cannot be written back."));
    if (f.baseTable.isEmpty())
        throw Error(
            3251,
            QStringLiteral("The field '%1' is calculated and cannot be changed.").arg(f.name));
}

void Recordset::setValue(int column, const QVariant& value)
{
    checkCurrent();
    checkWritable(column);
    m_rows->setValue(m_current, column, value);
    m_editRow = m_current;
    emit rowChanged(m_current);
}

void Recordset::setValue(const QString& name, const QVariant& value)
{
    const int k = fieldIndex(name);
    if (k < 0)
        throw noSuchField(name);
    setValue(k, value);
}

QVariant Recordset::valueAt(int row, int column) const
{
    checkOpen();
    if (row < 0 || row >= recordCount() || column < 0 || column >= dataFieldCount())
        return QVariant();
    return m_rows->value(row, column);
}

void Recordset::setValueAt(int row, int column, const QVariant& value)
{
    checkOpen();
    if (row < 0 || row >= recordCount())
        throw noCurrentRecord();
    if (row != m_current || m_currentDeleted)
        moveTo(row);
    setValue(column, value);
}

bool Recordset::isRowPending(int row) const
{
    return m_rows && row >= 0 && row < recordCount() &&
           m_rows->row(row).status != RowStore::Status::Unchanged;
}

bool Recordset::isNewRow(int row) const
{
    return m_rows && row >= 0 && row < recordCount() &&
           m_rows->row(row).status == RowStore::Status::New;
}

// ---- cursor ----

bool Recordset::bof() const
{
    checkOpen();
    return recordCount() == 0 || m_current < 0;
}

bool Recordset::eof() const
{
    checkOpen();
    return recordCount() == 0 || m_current >= recordCount();
}

int Recordset::recordCount() const
{
    return m_rows ? m_rows->rowCount() : -1;
}

int Recordset::absolutePosition() const
{
    checkOpen();
    if (recordCount() == 0)
        return PosUnknown;
    if (m_current < 0)
        return PosBOF;
    if (m_current >= recordCount())
        return PosEOF;
    return m_current + 1;
}

void Recordset::setAbsolutePosition(int position)
{
    checkOpen();
    if (position < 1 || position > recordCount())
        throw Error(Error::InvalidProcedureCall,
                    QStringLiteral("The position %1 is outside the rows (1 to %2).")
                        .arg(position)
                        .arg(recordCount()));
    moveTo(position - 1);
}

void Recordset::leaveEditedRow(int newRow)
{
    if (m_editRow < 0 || m_editRow == newRow)
        return;
    if (m_lock == LockType::Optimistic)
        update(); // the optimistic cursor writes a row when it is left
    else
        m_editRow = -1; // batch: the row stays pending until UpdateBatch
}

void Recordset::moveTo(int row)
{
    checkOpen();
    leaveEditedRow(row);
    m_current = std::clamp(row, -1, recordCount());
    m_currentDeleted = false;
    refreshChapters();
    emit moveComplete();
}

void Recordset::moveFirst()
{
    checkOpen();
    moveTo(recordCount() == 0 ? 0 : 0);
}

void Recordset::moveLast()
{
    checkOpen();
    moveTo(recordCount() == 0 ? 0 : recordCount() - 1);
}

void Recordset::moveNext()
{
    checkOpen();
    if (m_currentDeleted) {
        // The row after a deleted one moved up into its place.
        moveTo(m_current);
        return;
    }
    if (eof())
        throw noCurrentRecord();
    moveTo(m_current + 1);
}

void Recordset::movePrevious()
{
    checkOpen();
    if (m_currentDeleted) {
        moveTo(m_current - 1);
        return;
    }
    if (bof())
        throw noCurrentRecord();
    moveTo(m_current - 1);
}

bool Recordset::rowMatches(int row, int column, int op, const QVariant& value) const
{
    const QVariant v = m_rows->value(row, column);
    if (op == 6)
        return !v.isNull() && likeMatch(v.toString(), value.toString());
    if (value.isNull())
        return op == 0 ? v.isNull() : (op == 1 ? !v.isNull() : false);
    bool comparable;
    const int c = compareValues(v, value, comparable);
    if (!comparable)
        return false;
    switch (op) {
    case 0:
        return c == 0;
    case 1:
        return c != 0;
    case 2:
        return c < 0;
    case 3:
        return c > 0;
    case 4:
        return c <= 0;
    case 5:
        return c >= 0;
    }
    return false;
}

bool Recordset::find(const QString& criteria, int skipRecords, bool forward)
{
    checkOpen();
    const Criteria c = parseCriteria(criteria);
    const int column = fieldIndex(c.column);
    if (column < 0)
        throw noSuchField(c.column);
    const int n = recordCount();
    int start = m_current;
    if (m_currentDeleted && !forward)
        start = m_current - 1;
    if (start < 0)
        start = forward ? 0 : -1;
    start += forward ? skipRecords : -skipRecords;
    if (forward) {
        for (int r = std::max(start, 0); r < n; ++r) {
            if (rowMatches(r, column, c.op, c.value)) {
                moveTo(r);
                return true;
            }
        }
        moveTo(n);
    } else {
        for (int r = std::min(start, n - 1); r >= 0; --r) {
            if (rowMatches(r, column, c.op, c.value)) {
                moveTo(r);
                return true;
            }
        }
        moveTo(-1);
    }
    return false;
}

// ---- editing ----

EditMode Recordset::editMode() const
{
    if (!m_rows || m_editRow < 0 || m_editRow != m_current || m_currentDeleted)
        return EditMode::None;
    return isNewRow(m_editRow) ? EditMode::AddNew : EditMode::InProgress;
}

bool Recordset::hasPendingChanges() const
{
    if (!m_rows)
        return false;
    if (!m_pendingDeletes.empty())
        return true;
    for (int r = 0; r < recordCount(); ++r)
        if (isRowPending(r))
            return true;
    return false;
}

void Recordset::addNew()
{
    checkOpen();
    if (m_lock == LockType::ReadOnly || !m_updatable)
        checkWritable(0);
    leaveEditedRow(-2);
    m_rowBeforeAdd = (m_current >= 0 && m_current < recordCount()) ? m_current : -1;
    emit rowAboutToBeInserted(recordCount());
    const int row = m_rows->appendNewRow();
    emit rowInserted(row);
    m_editRow = row;
    m_current = row;
    m_currentDeleted = false;
    emit moveComplete();
}

void Recordset::update()
{
    checkOpen();
    if (m_editRow < 0)
        return;
    const int row = m_editRow;
    if (m_lock == LockType::BatchOptimistic) {
        m_editRow = -1; // stays pending until UpdateBatch
        return;
    }
    writeRows({row}, {});
    m_editRow = -1;
}

void Recordset::cancelUpdate()
{
    checkOpen();
    if (m_editRow < 0)
        return;
    const int row = m_editRow;
    m_editRow = -1;
    if (isNewRow(row)) {
        emit rowAboutToBeRemoved(row);
        m_rows->takeRow(row);
        emit rowRemoved(row);
        m_current = m_rowBeforeAdd >= 0 ? m_rowBeforeAdd : recordCount();
        m_currentDeleted = false;
        emit moveComplete();
    } else {
        m_rows->revert(row);
        emit rowChanged(row);
    }
}

void Recordset::deleteCurrent()
{
    checkCurrent();
    if (m_lock == LockType::ReadOnly || !m_updatable)
        checkWritable(0);
    const int row = m_current;
    if (m_lock != LockType::BatchOptimistic && !isNewRow(row)) {
        // Written first: a refusal leaves the row where it is.
        PendingDelete d{row, m_rows->row(row)};
        writeRows({}, {d});
    }
    emit rowAboutToBeRemoved(row);
    if (isNewRow(row)) {
        // Never written: it simply goes.
        m_rows->takeRow(row);
    } else if (m_lock == LockType::BatchOptimistic) {
        m_pendingDeletes.push_back({row, m_rows->takeRow(row)});
    } else {
        m_rows->takeRow(row);
    }
    if (m_editRow == row)
        m_editRow = -1;
    else if (m_editRow > row)
        --m_editRow;
    m_currentDeleted = true;
    emit rowRemoved(row);
}

void Recordset::updateBatch()
{
    checkOpen();
    std::vector<int> rows;
    for (int r = 0; r < recordCount(); ++r)
        if (isRowPending(r))
            rows.push_back(r);
    if (rows.empty() && m_pendingDeletes.empty())
        return;
    writeRows(rows, m_pendingDeletes);
    m_pendingDeletes.clear();
    m_editRow = -1;
}

void Recordset::cancelBatch()
{
    checkOpen();
    m_editRow = -1;
    for (int r = recordCount() - 1; r >= 0; --r) {
        if (isNewRow(r)) {
            m_rows->takeRow(r);
        } else if (isRowPending(r)) {
            m_rows->revert(r);
        }
    }
    // Deleted rows come back where they stood, the latest deletion last undone first.
    for (auto it = m_pendingDeletes.rbegin(); it != m_pendingDeletes.rend(); ++it)
        m_rows->insertRow(std::min(it->index, recordCount()), it->row);
    m_pendingDeletes.clear();
    m_currentDeleted = false;
    emit rowsReset();
    moveTo(recordCount() == 0 ? 0 : std::clamp(m_current, 0, recordCount() - 1));
}

// Writes rows (changed or new) and deletions in one transaction. The
// recordset's own state changes only after the transaction has committed, so
// a failure leaves every pending row as it was.
void Recordset::writeRows(const std::vector<int>& rows, const std::vector<PendingDelete>& deletes)
{
    Connection& conn = *m_connection;
    if (!conn.isOpen())
        throw Error(Error::DatabaseError,
                    QStringLiteral("The connection of this recordset has been closed."));

    const auto conflict = [](const QString& what) {
        return Error(Error::RowConflict,
                     QStringLiteral("The row could not be %1 because it was changed or deleted "
                                    "by someone else after it was read. Nothing was overwritten; "
                                    "read the data again and repeat the change.")
                         .arg(what));
    };

    // The tables the visible fields belong to, each with its fields.
    struct TableFields
    {
        QString table;
        int rowidColumn;
        std::vector<int> columns;
    };
    std::vector<TableFields> tables;
    for (int c = 0; c < fieldCount(); ++c) {
        const Field& f = m_fields[size_t(c)];
        if (f.baseTable.isEmpty())
            continue;
        auto it = std::find_if(tables.begin(), tables.end(), [&](const TableFields& t) {
            return t.rowidColumn == f.rowidColumn;
        });
        if (it == tables.end()) {
            tables.push_back({f.baseTable, f.rowidColumn, {}});
            it = tables.end() - 1;
        }
        it->columns.push_back(c);
    }
    if (tables.empty())
        throw Error(3251, QStringLiteral("The data cannot be changed here: no field of these rows "
                                         "belongs to a table."));

    const auto run = [&](const QString& sql, const QVariantList& binds) {
        Statement stmt(conn, sql);
        for (qsizetype k = 0; k < binds.size(); ++k)
            stmt.bind(int(k) + 1, binds.at(k));
        stmt.step();
        return sqlite3_changes64(conn.handle());
    };
    // The row must still hold, in every field of the table, what it held when read.
    const auto guard = [&](QString& sql, QVariantList& binds, const RowStore::Row& r,
                           const TableFields& t) {
        for (int c : t.columns) {
            sql += QStringLiteral(" AND %1 IS ? COLLATE BINARY")
                       .arg(quoted(m_fields[size_t(c)].baseColumn));
            binds << m_rows->toVariant(m_rows->originalCellOf(r, c));
        }
    };
    const auto rowidOf = [&](const RowStore::Row& r, const TableFields& t) {
        return m_rows->toVariant(m_rows->originalCellOf(r, t.rowidColumn));
    };

    struct ReadBack
    {
        int row;
        int column;
        Cell cell;
    };
    std::vector<ReadBack> readBacks;

    WriteScope scope(conn);

    for (const PendingDelete& d : deletes) {
        for (const TableFields& t : tables) {
            const QVariant rowid = rowidOf(d.row, t);
            if (rowid.isNull())
                continue; // the outer side of a join: nothing of this table to delete
            QString sql = QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoted(t.table));
            QVariantList binds{rowid};
            guard(sql, binds, d.row, t);
            if (run(sql, binds) == 0)
                throw conflict(QStringLiteral("deleted"));
        }
    }

    for (int row : rows) {
        const RowStore::Row& r = m_rows->row(row);
        if (r.status == RowStore::Status::New) {
            // A new row goes to the one table its values belong to.
            const TableFields* target = nullptr;
            std::vector<int> set;
            for (const TableFields& t : tables) {
                for (int c : t.columns) {
                    if (m_rows->cell(row, c).tag == Cell::Null)
                        continue;
                    if (target && target != &t)
                        throw Error(3251, QStringLiteral("A new row can only be added to one "
                                                         "table at a time."));
                    target = &t;
                    set.push_back(c);
                }
            }
            if (!target) {
                if (tables.size() != 1)
                    throw Error(3251, QStringLiteral("An empty row cannot be added here."));
                target = &tables.front();
            }
            QString sql;
            QVariantList binds;
            if (set.empty()) {
                sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(target->table));
            } else {
                QStringList names, marks;
                for (int c : set) {
                    names << quoted(m_fields[size_t(c)].baseColumn);
                    marks << QStringLiteral("?");
                    binds << m_rows->value(row, c);
                }
                sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                          .arg(quoted(target->table), names.join(u','), marks.join(u','));
            }
            run(sql, binds);
            const qint64 rowid = sqlite3_last_insert_rowid(conn.handle());

            // Read the row back: the database assigns ids and defaults.
            QStringList names;
            for (int c : target->columns)
                names << quoted(m_fields[size_t(c)].baseColumn);
            Statement back(conn, QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                                     .arg(names.join(u','), quoted(target->table)));
            back.bind(1, QVariant(qlonglong(rowid)));
            if (!back.step())
                throw Error(Error::DatabaseError,
                            QStringLiteral("The new row could not be read back."));
            for (size_t k = 0; k < target->columns.size(); ++k) {
                const int c = target->columns[k];
                readBacks.push_back(
                    {row, c,
                     m_rows->readCell(back.get(), int(k),
                                      m_fields[size_t(c)].type == FieldType::Date)});
            }
            readBacks.push_back({row, target->rowidColumn, Cell::integer(rowid)});
        } else if (r.status == RowStore::Status::Modified) {
            for (const TableFields& t : tables) {
                QStringList assignments;
                QVariantList binds;
                for (int c : t.columns) {
                    if (sameCell(*m_rows, m_rows->cell(row, c), m_rows->originalCell(row, c)))
                        continue;
                    assignments << quoted(m_fields[size_t(c)].baseColumn) + QStringLiteral(" = ?");
                    binds << m_rows->value(row, c);
                }
                if (assignments.isEmpty())
                    continue;
                const QVariant rowid = rowidOf(r, t);
                if (rowid.isNull())
                    throw Error(3251, QStringLiteral("The row has no entry in the table '%1' to "
                                                     "change.")
                                          .arg(t.table));
                QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                                  .arg(quoted(t.table), assignments.join(QStringLiteral(", ")));
                binds << rowid;
                guard(sql, binds, r, t);
                if (run(sql, binds) == 0)
                    throw conflict(QStringLiteral("saved"));
            }
        }
    }

    scope.commit();

    for (const ReadBack& rb : readBacks)
        m_rows->setCell(rb.row, rb.column, rb.cell);
    for (int row : rows) {
        m_rows->markSaved(row);
        emit rowChanged(row);
    }
}

} // namespace vantor::engine
