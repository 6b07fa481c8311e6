#include "Recordset.h"

#include "Connection.h"
#include "RecordsetChapter.h"
#include "RecordsetSupport.h"
#include "RowStore.h"
#include "ShapeCommand.h"

#include <QHash>

// Shaped recordsets: chapter fields hold the child rows of the current row.
// An appended child is fetched per parent by an indexed query; a COMPUTE
// groups the base rows once and hands each group's rows to its chapter.

namespace vantor::engine {

using namespace detail;

namespace {

// The source columns a COMPUTE names, checked against what its command returns.
struct ComputeColumns
{
    std::vector<int> by;
    std::vector<int> aggregates; // -1 for COUNT(*)
};

ComputeColumns computeColumns(const ShapeNode& node, const Recordset& source)
{
    const auto column = [&source](const QString& name) {
        const int k = source.fieldIndex(name);
        return k < 0 || source.isChapter(k) ? -1 : k;
    };
    ComputeColumns columns;
    for (const QString& by : node.by) {
        const int k = column(by);
        if (k < 0)
            throw Error(Error::DatabaseError,
                        QStringLiteral("The shape command groups by '%1', which its command does "
                                       "not return.")
                            .arg(by));
        columns.by.push_back(k);
    }
    for (const ShapeNode::Aggregate& a : node.aggregates) {
        const int k = a.column.isEmpty() ? -1 : column(a.column);
        if (!a.column.isEmpty() && k < 0)
            throw Error(Error::DatabaseError,
                        QStringLiteral("The shape command computes %1 of '%2', which its "
                                       "command does not return.")
                            .arg(a.function, a.column));
        columns.aggregates.push_back(k);
    }
    return columns;
}

// A text that is equal for two rows exactly when their BY values are: text
// without regard to case, numbers by value, nulls alike.
QString groupKey(const RowStore& rows, int r, const std::vector<int>& byColumns)
{
    QString key;
    for (int k : byColumns) {
        const Cell& c = rows.cell(r, k);
        switch (c.tag) {
        case Cell::Null:
            key += u'\x1';
            break;
        case Cell::Text:
            key += u't' + rows.text(c).toCaseFolded();
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
    return key;
}

// The rows of each group, groups in order of their first row.
struct Grouping
{
    std::vector<std::vector<int>> groups;
    std::vector<int> firstRows;
};

Grouping groupRows(const RowStore& rows, const std::vector<int>& byColumns)
{
    Grouping grouping;
    QHash<QString, int> groupOf;
    for (int r = 0; r < rows.rowCount(); ++r) {
        const QString key = groupKey(rows, r, byColumns);
        auto it = groupOf.find(key);
        if (it == groupOf.end()) {
            it = groupOf.insert(key, int(grouping.groups.size()));
            grouping.groups.emplace_back();
            grouping.firstRows.push_back(r);
        }
        grouping.groups[size_t(*it)].push_back(r);
    }
    return grouping;
}

// One aggregate over a group's rows of column k (-1: count the rows). Nulls
// do not count; SUM and AVG of no value are null.
QVariant aggregate(const RowStore& rows, const std::vector<int>& group,
                   const ShapeNode::Aggregate& a, int k)
{
    const QString& fn = a.function;
    qint64 count = 0;
    double sum = 0;
    QVariant best;
    for (int r : group) {
        if (k < 0) {
            ++count;
            continue;
        }
        const QVariant v = rows.value(r, k);
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
                                .arg(fn, a.column, v.toString()));
            sum += d;
        }
    }
    if (fn == u"COUNT")
        return qlonglong(count);
    if (fn == u"SUM")
        return count ? QVariant(sum) : QVariant();
    if (fn == u"AVG")
        return count ? QVariant(sum / double(count)) : QVariant();
    return best;
}

// The parent rows' fields: the aggregates, then the BY columns.
std::vector<Field> computeFields(const ShapeNode& node, const ComputeColumns& columns,
                                 const std::vector<Field>& sourceFields)
{
    std::vector<Field> fields;
    for (size_t a = 0; a < node.aggregates.size(); ++a) {
        Field f;
        f.name = node.aggregates[a].name;
        const QString& fn = node.aggregates[a].function;
        f.type = fn == u"COUNT"                   ? FieldType::Integer
                 : (fn == u"MIN" || fn == u"MAX") ? sourceFields[size_t(columns.aggregates[a])].type
                                                  : FieldType::Double;
        fields.push_back(f);
    }
    for (int k : columns.by) {
        Field f;
        f.name = sourceFields[size_t(k)].name;
        f.type = sourceFields[size_t(k)].type;
        fields.push_back(f);
    }
    return fields;
}

} // namespace

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
    const ComputeColumns columns = computeColumns(node, *source);
    const RowStore& src = *source->m_rows;
    Grouping grouping = groupRows(src, columns.by);

    std::vector<Field> fields = computeFields(node, columns, source->m_fields);
    auto rows = std::make_unique<RowStore>(int(fields.size()));
    for (size_t g = 0; g < grouping.groups.size(); ++g) {
        const int row = rows->appendNewRow();
        for (size_t a = 0; a < node.aggregates.size(); ++a)
            rows->setCell(row, int(a),
                          rows->fromVariant(aggregate(src, grouping.groups[g], node.aggregates[a],
                                                      columns.aggregates[a])));
        for (size_t b = 0; b < columns.by.size(); ++b)
            rows->setCell(row, int(node.aggregates.size() + b),
                          rows->fromVariant(src.value(grouping.firstRows[g], columns.by[b])));
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
    chapter->groups = std::move(grouping.groups);
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

} // namespace vantor::engine
