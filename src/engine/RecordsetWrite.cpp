#include "Recordset.h"

#include "Connection.h"
#include "RecordsetSupport.h"
#include "RowStore.h"


#include <algorithm>

namespace vantor::engine {

using namespace detail;

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

namespace {

// Writes a recordset's rows to the tables their fields come from, through
// one connection; each call is one statement of the caller's transaction.
class RowWriter
{
public:
    // The cells a write gave rows: ids and defaults assigned by the database.
    struct ReadBack
    {
        int row;
        int column;
        Cell cell;
    };

    RowWriter(Connection& conn, const std::vector<Field>& fields, RowStore& rows);

    void remove(const RowStore::Row& r);
    void insert(int row, std::vector<ReadBack>& readBacks);
    void update(int row);

private:
    // A table the visible fields belong to, with its fields.
    struct TableFields
    {
        QString table;
        int rowidColumn;
        std::vector<int> columns;
    };

    qint64 run(const QString& sql, const QVariantList& binds);
    void guard(QString& sql, QVariantList& binds, const RowStore::Row& r,
               const TableFields& t) const;
    QVariant rowidOf(const RowStore::Row& r, const TableFields& t) const;
    const TableFields& insertTarget(int row, std::vector<int>& set) const;
    static Error conflict(const QString& what);

    Connection& m_conn;
    const std::vector<Field>& m_fields;
    RowStore& m_rows; // new rows read back intern their text here
    std::vector<TableFields> m_tables;
};

RowWriter::RowWriter(Connection& conn, const std::vector<Field>& fields, RowStore& rows)
    : m_conn(conn), m_fields(fields), m_rows(rows)
{
    for (int c = 0; c < int(fields.size()); ++c) {
        const Field& f = fields[size_t(c)];
        if (f.baseTable.isEmpty())
            continue;
        auto it = std::find_if(m_tables.begin(), m_tables.end(), [&](const TableFields& t) {
            return t.rowidColumn == f.rowidColumn;
        });
        if (it == m_tables.end()) {
            m_tables.push_back({f.baseTable, f.rowidColumn, {}});
            it = m_tables.end() - 1;
        }
        it->columns.push_back(c);
    }
    if (m_tables.empty())
        throw Error(3251, QStringLiteral("The data cannot be changed here: no field of these rows "
                                         "belongs to a table."));
}

Error RowWriter::conflict(const QString& what)
{
    return Error(Error::RowConflict,
                 QStringLiteral("The row could not be %1 because it was changed or deleted "
                                "by someone else after it was read. Nothing was overwritten; "
                                "read the data again and repeat the change.")
                     .arg(what));
}

qint64 RowWriter::run(const QString& sql, const QVariantList& binds)
{
    Statement stmt(m_conn, sql);
    for (qsizetype k = 0; k < binds.size(); ++k)
        stmt.bind(int(k) + 1, binds.at(k));
    stmt.step();
    return m_conn.changes();
}

// The row must still hold, in every field of the table, what it held when read.
void RowWriter::guard(QString& sql, QVariantList& binds, const RowStore::Row& r,
                      const TableFields& t) const
{
    for (int c : t.columns) {
        sql += QStringLiteral(" AND %1 IS ? COLLATE BINARY")
                   .arg(quoted(m_fields[size_t(c)].baseColumn));
        binds << m_rows.toVariant(m_rows.originalCellOf(r, c));
    }
}

QVariant RowWriter::rowidOf(const RowStore::Row& r, const TableFields& t) const
{
    return m_rows.toVariant(m_rows.originalCellOf(r, t.rowidColumn));
}

void RowWriter::remove(const RowStore::Row& r)
{
    for (const TableFields& t : m_tables) {
        const QVariant rowid = rowidOf(r, t);
        if (rowid.isNull())
            continue; // the outer side of a join: nothing of this table to delete
        QString sql = QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoted(t.table));
        QVariantList binds{rowid};
        guard(sql, binds, r, t);
        if (run(sql, binds) == 0)
            throw conflict(QStringLiteral("deleted"));
    }
}

// A new row goes to the one table its values belong to; set receives the
// columns that hold a value.
const RowWriter::TableFields& RowWriter::insertTarget(int row, std::vector<int>& set) const
{
    const TableFields* target = nullptr;
    for (const TableFields& t : m_tables) {
        for (int c : t.columns) {
            if (m_rows.cell(row, c).tag == Cell::Null)
                continue;
            if (target && target != &t)
                throw Error(3251,
                            QStringLiteral("A new row can only be added to one table at a time."));
            target = &t;
            set.push_back(c);
        }
    }
    if (target)
        return *target;
    if (m_tables.size() != 1)
        throw Error(3251, QStringLiteral("An empty row cannot be added here."));
    return m_tables.front();
}

void RowWriter::insert(int row, std::vector<ReadBack>& readBacks)
{
    std::vector<int> set;
    const TableFields& target = insertTarget(row, set);
    QString sql;
    QVariantList binds;
    if (set.empty()) {
        sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(target.table));
    } else {
        QStringList names, marks;
        for (int c : set) {
            names << quoted(m_fields[size_t(c)].baseColumn);
            marks << QStringLiteral("?");
            binds << m_rows.value(row, c);
        }
        sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(quoted(target.table), names.join(u','), marks.join(u','));
    }
    run(sql, binds);
    const qint64 rowid = m_conn.lastInsertRowid();

    // Read the row back: the database assigns ids and defaults.
    QStringList names;
    for (int c : target.columns)
        names << quoted(m_fields[size_t(c)].baseColumn);
    Statement back(m_conn, QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                               .arg(names.join(u','), quoted(target.table)));
    back.bind(1, QVariant(qlonglong(rowid)));
    if (!back.step())
        throw Error(Error::DatabaseError, QStringLiteral("The new row could not be read back."));
    for (size_t k = 0; k < target.columns.size(); ++k) {
        const int c = target.columns[k];
        readBacks.push_back(
            {row, c,
             m_rows.readCell(back.get(), int(k), m_fields[size_t(c)].type == FieldType::Date)});
    }
    readBacks.push_back({row, target.rowidColumn, Cell::integer(rowid)});
}

void RowWriter::update(int row)
{
    const RowStore::Row& r = m_rows.row(row);
    for (const TableFields& t : m_tables) {
        QStringList assignments;
        QVariantList binds;
        for (int c : t.columns) {
            if (sameCell(m_rows, m_rows.cell(row, c), m_rows.originalCell(row, c)))
                continue;
            assignments << quoted(m_fields[size_t(c)].baseColumn) + QStringLiteral(" = ?");
            binds << m_rows.value(row, c);
        }
        if (assignments.isEmpty())
            continue;
        const QVariant rowid = rowidOf(r, t);
        if (rowid.isNull())
            throw Error(
                3251,
                QStringLiteral("The row has no entry in the table '%1' to change.").arg(t.table));
        QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                          .arg(quoted(t.table), assignments.join(QStringLiteral(", ")));
        binds << rowid;
        guard(sql, binds, r, t);
        if (run(sql, binds) == 0)
            throw conflict(QStringLiteral("saved"));
    }
}

} // namespace

// Writes rows (changed or new) and deletions in one transaction. The
// recordset's own state changes only after the transaction has committed, so
// a failure leaves every pending row as it was.
void Recordset::writeRows(const std::vector<int>& rows, const std::vector<PendingDelete>& deletes)
{
    Connection& conn = *m_connection;
    if (!conn.isOpen())
        throw Error(Error::DatabaseError,
                    QStringLiteral("The connection of this recordset has been closed."));
    RowWriter writer(conn, m_fields, *m_rows);
    std::vector<RowWriter::ReadBack> readBacks;

    WriteScope scope(conn);
    for (const PendingDelete& d : deletes)
        writer.remove(d.row);
    for (int row : rows) {
        const RowStore::Status status = m_rows->row(row).status;
        if (status == RowStore::Status::New)
            writer.insert(row, readBacks);
        else if (status == RowStore::Status::Modified)
            writer.update(row);
    }
    scope.commit();

    for (const RowWriter::ReadBack& rb : readBacks)
        m_rows->setCell(rb.row, rb.column, rb.cell);
    for (int row : rows) {
        m_rows->markSaved(row);
        emit rowChanged(row);
    }
}

} // namespace vantor::engine
