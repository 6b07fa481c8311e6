#pragma once

#include "Recordset.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QVariant>

#include <array>
#include <cstdint>
#include <vector>

struct sqlite3_stmt;

namespace vantor::engine {

// One value of a static recordset, 16 bytes. Texts live once in the store's
// string pool; a date is its Julian day.
struct Cell
{
    enum Tag : std::uint8_t { Null, Int, Real, Text, Date };

    union {
        qint64 i;
        double d;
        quint32 s;
    };
    Tag tag = Null;

    Cell() : i(0) {}
    static Cell integer(qint64 v)
    {
        Cell c;
        c.i = v;
        c.tag = Int;
        return c;
    }
};

// The rows of a static recordset: cells in one flat array (row-major, hidden
// rowid columns after the visible ones), texts shared through a pool. A
// million rows of the summary query take about 120 MB this way instead of
// the gigabyte a QVariant per value would.
class RowStore
{
public:
    enum class Status : std::uint8_t { Unchanged, Modified, New };

    struct Row
    {
        std::uint32_t offset; // first cell in m_cells
        Status status = Status::Unchanged;
        std::int32_t original = -1; // index into m_originals when changed
    };

    explicit RowStore(int columnCount) : m_columns(columnCount) {}

    int columnCount() const { return m_columns; }
    int rowCount() const { return int(m_rows.size()); }

    // Reads every remaining row of a prepared statement. dateColumns marks
    // columns whose ISO text is read as a date. Returns SQLITE_DONE, or the
    // error code that stopped the reading.
    int load(sqlite3_stmt* stmt, const std::vector<bool>& dateColumns);

    const Cell& cell(int row, int column) const
    {
        return m_cells[m_rows[size_t(row)].offset + size_t(column)];
    }
    // By row handle, also for a row no longer in the list (a pending deletion).
    const Cell& cellOf(const Row& r, int column) const
    {
        return m_cells[r.offset + size_t(column)];
    }
    const Cell& originalCellOf(const Row& r, int column) const;
    // One value of the statement's current row as a cell.
    Cell readCell(sqlite3_stmt* stmt, int column, bool isDate);
    QVariant value(int row, int column) const { return toVariant(cell(row, column)); }
    QVariant toVariant(const Cell& c) const;
    const QString& text(const Cell& c) const { return m_strings[c.s]; }
    Cell fromVariant(const QVariant& v);

    // Changes a value, keeping the row's original values for the write.
    void setValue(int row, int column, const QVariant& v);
    void setCell(int row, int column, const Cell& c)
    {
        m_cells[m_rows[size_t(row)].offset + size_t(column)] = c;
    }

    Row& row(int index) { return m_rows[index]; }
    const Row& row(int index) const { return m_rows[index]; }
    // The value a changed row had when read (its current value if unchanged).
    QVariant originalValue(int row, int column) const;
    const Cell& originalCell(int row, int column) const
    {
        return originalCellOf(m_rows[size_t(row)], column);
    }

    int appendNewRow();
    Row takeRow(int index);
    void insertRow(int index, const Row& row) { m_rows.insert(m_rows.begin() + index, row); }
    // Forgets the original values: the row now matches the database.
    void markSaved(int index);
    // Puts the original values back.
    void revert(int index);

private:
    quint32 internText(const unsigned char* utf8, int bytes, int column); // column -1: no cache
    quint32 addText(const QString& text);

    int m_columns;
    std::vector<Cell> m_cells;
    std::vector<Row> m_rows;
    std::vector<std::vector<Cell>> m_originals;
    std::vector<QString> m_strings;

    // A small cache per column of recently seen texts, by their UTF-8 bytes,
    // so that repeated texts (dates, periods, units, names) are converted and
    // stored once.
    struct CacheSlot
    {
        QByteArray bytes;
        quint32 index = 0;
        bool used = false;
    };
    static constexpr int CacheSize = 64;
    std::vector<std::array<CacheSlot, CacheSize>> m_cache;
};

} // namespace vantor::engine
