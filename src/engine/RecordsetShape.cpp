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
