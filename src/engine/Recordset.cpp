#include "Recordset.h"

#include "Connection.h"
#include "RecordsetChapter.h"
#include "RecordsetSupport.h"
#include "RowStore.h"
#include "ShapeCommand.h"

#include "platform/Conversions.h"
#include "platform/Error.h"

#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>

namespace vantor::engine {

using namespace detail;

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
    const int total = stmt.columnCount();
    std::vector<Field> fields(static_cast<size_t>(visible));
    std::vector<bool> dateColumns(static_cast<size_t>(total), false);
    for (int c = 0; c < visible; ++c) {
        Field& f = fields[size_t(c)];
        f.name = t.columnNames.at(c);
        f.type = stmt.declaredType(c);
        dateColumns[size_t(c)] = f.type == FieldType::Date;
        const QString tableName = stmt.originTable(c);
        const QString column = stmt.originColumn(c);
        if (!tableName.isEmpty() && !column.isEmpty() && t.updatable && filter.empty()) {
            const auto sameTable = [&](const TranslatedSql::RowidColumn& r) {
                return r.table.compare(tableName, Qt::CaseInsensitive) == 0;
            };
            f.selfJoined =
                std::count_if(t.rowidColumns.cbegin(), t.rowidColumns.cend(), sameTable) > 1;
            for (qsizetype k = 0; k < t.rowidColumns.size() && !f.selfJoined; ++k) {
                if (t.rowidColumns.at(k).table.compare(tableName, Qt::CaseInsensitive) == 0) {
                    f.baseTable = tableName;
                    f.baseColumn = column;
                    f.rowidColumn = visible + int(k);
                    break;
                }
            }
        }
    }

    auto rows = std::make_unique<RowStore>(total);
    if (rows->load(stmt.get(), dateColumns) != SQLITE_DONE)
        m_connection->raise();
    // Every row is now held here: the pages SQLite kept while reading them
    // (up to 2 MB a connection, as long as a window stays open) go back.
    m_connection->releaseMemory();

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
    if (f.selfJoined)
        throw Error(3251, QStringLiteral("The field '%1' cannot be changed here: its table appears "
                                         "more than once in these rows, so the row to change "
                                         "cannot be told apart.")
                              .arg(f.name));
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
           m_rows->status(row) != RowStore::Status::Unchanged;
}

bool Recordset::isNewRow(int row) const
{
    return m_rows && row >= 0 && row < recordCount() &&
           m_rows->status(row) == RowStore::Status::New;
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

} // namespace vantor::engine
