#pragma once

#include "Recordset.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QVariant>

#include <array>
#include <cstring>
#include <limits>
#include <memory>
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

// A growing array that never moves what it holds: the first Block elements
// in a vector (small recordsets stay small), the rest in blocks of Block
// elements. A million rows leave no doubling slack and are never copied to a
// larger buffer while they are read.
template <typename T> class BlockArray
{
public:
    size_t size() const { return m_size; }
    T& operator[](size_t i) { return i < Block ? m_head[i] : m_blocks[i / Block - 1][i % Block]; }
    const T& operator[](size_t i) const
    {
        return i < Block ? m_head[i] : m_blocks[i / Block - 1][i % Block];
    }
    void push_back(const T& value)
    {
        if (m_size < Block)
            m_head.push_back(value);
        else {
            if (m_size % Block == 0)
                m_blocks.push_back(std::make_unique_for_overwrite<T[]>(Block));
            m_blocks.back()[m_size % Block] = value;
        }
        ++m_size;
    }

private:
    static constexpr size_t Block = 16384;
    std::vector<T> m_head;
    std::vector<std::unique_ptr<T[]>> m_blocks;
    size_t m_size = 0;
};

// Texts as UTF-8 in chunks of 64 KiB (a longer text has a chunk of its own),
// each found by its index: about a third of the memory of a QString each, for
// the many texts a list of occasions or a summary holds. Up to 65,536 chunks.
class TextPool
{
public:
    quint32 add(const char* utf8, qsizetype bytes);
    quint32 add(const QString& text);
    QString at(quint32 index) const
    {
        const Ref& r = m_refs[index];
        return QString::fromUtf8(m_chunks[r.place / ChunkBytes].data() + r.place % ChunkBytes,
                                 qsizetype(r.length));
    }

private:
    struct Ref
    {
        quint32 place; // chunk times ChunkBytes plus the offset in it
        quint32 length;
    };
    static constexpr size_t ChunkBytes = 65536;
    BlockArray<Ref> m_refs;
    std::vector<std::vector<char>> m_chunks;
};

// One column's values. Each is kept as 4 bytes while every value of the
// column fits (whole numbers, dates as Julian days, text indexes), as 8 once
// one does not (a double, a large integer); its tag says how to read it.
class ColumnValues
{
public:
    size_t size() const { return m_tags.size(); }
    Cell at(size_t slot) const
    {
        const qint64 bits = m_wide ? m_wideValues[slot] : qint64(m_narrowValues[slot]);
        return decode(bits, m_tags[slot]);
    }
    void set(size_t slot, const Cell& c)
    {
        const qint64 bits = encode(c);
        widenFor(bits);
        if (m_wide)
            m_wideValues[slot] = bits;
        else
            m_narrowValues[slot] = qint32(bits);
        m_tags[slot] = c.tag;
    }
    void push_back(const Cell& c)
    {
        const qint64 bits = encode(c);
        widenFor(bits);
        if (m_wide)
            m_wideValues.push_back(bits);
        else
            m_narrowValues.push_back(qint32(bits));
        m_tags.push_back(c.tag);
    }

private:
    static qint64 encode(const Cell& c);
    static Cell decode(qint64 bits, Cell::Tag tag);
    void widenFor(qint64 bits)
    {
        if (!m_wide && (bits < std::numeric_limits<qint32>::min() ||
                        bits > std::numeric_limits<qint32>::max()))
            widen();
    }
    void widen();

    bool m_wide = false;
    BlockArray<qint32> m_narrowValues;
    BlockArray<qint64> m_wideValues;
    BlockArray<Cell::Tag> m_tags;
};

// The rows of a static recordset (hidden rowid columns after the visible
// ones), kept by column in compact arrays, texts once in a pool. A million
// rows of the summary query take well under 100 MB this way instead of the
// gigabyte a QVariant per value would.
class RowStore
{
public:
    enum class Status : std::uint8_t { Unchanged, Modified, New };

    struct Row
    {
        std::uint32_t slot; // where its values are in each column
        Status status = Status::Unchanged;
        std::int32_t original = -1; // index into m_originals when changed
    };

    explicit RowStore(int columnCount) : m_columns(columnCount), m_values(size_t(columnCount)) {}

    int columnCount() const { return m_columns; }
    int rowCount() const { return m_listed ? int(m_rows.size()) : m_readRows; }

    // Reads every remaining row of a prepared statement. dateColumns marks
    // columns whose ISO text is read as a date. Returns SQLITE_DONE, or the
    // error code that stopped the reading.
    int load(sqlite3_stmt* stmt, const std::vector<bool>& dateColumns);

    Cell cell(int row, int column) const { return m_values[size_t(column)].at(slotOf(row)); }
    // By row handle, also for a row no longer in the list (a pending deletion).
    Cell cellOf(const Row& r, int column) const { return m_values[size_t(column)].at(r.slot); }
    Cell originalCellOf(const Row& r, int column) const;
    // One value of the statement's current row as a cell.
    Cell readCell(sqlite3_stmt* stmt, int column, bool isDate);
    QVariant value(int row, int column) const { return toVariant(cell(row, column)); }
    QVariant toVariant(const Cell& c) const;
    QString text(const Cell& c) const { return m_texts.at(c.s); }
    Cell fromVariant(const QVariant& v);

    // Changes a value, keeping the row's original values for the write.
    void setValue(int row, int column, const QVariant& v);
    void setCell(int row, int column, const Cell& c)
    {
        m_values[size_t(column)].set(slotOf(row), c);
    }

    Row& row(int index)
    {
        list();
        return m_rows[size_t(index)];
    }
    Row row(int index) const
    {
        return m_listed ? m_rows[size_t(index)] : Row{std::uint32_t(index)};
    }
    Status status(int index) const
    {
        return m_listed ? m_rows[size_t(index)].status : Status::Unchanged;
    }
    // The value a changed row had when read (its current value if unchanged).
    Cell originalCell(int index, int column) const { return originalCellOf(row(index), column); }

    int appendNewRow();
    Row takeRow(int index);
    void insertRow(int index, const Row& row)
    {
        list();
        m_rows.insert(m_rows.begin() + index, row);
    }
    // Forgets the original values: the row now matches the database.
    void markSaved(int index);
    // Puts the original values back.
    void revert(int index);

private:
    quint32 internText(const unsigned char* utf8, int bytes, int column); // column -1: no cache
    bool readDate(const unsigned char* text, int bytes, int column, qint64& julian);
    size_t slotCount() const { return m_slots; }
    size_t slotOf(int row) const { return m_listed ? m_rows[size_t(row)].slot : size_t(row); }
    // Gives every row its entry, before the first change to the list.
    void list();

    int m_columns;
    std::vector<ColumnValues> m_values;
    size_t m_slots = 0; // rows read or added, also those since taken out
    // Until the first change to a row or to the list, rows are as read: row
    // i's values are in slot i, and no entry per row is kept (a million rows
    // would take 12 MB of them).
    bool m_listed = false;
    int m_readRows = 0;
    std::vector<Row> m_rows;
    std::vector<std::vector<Cell>> m_originals;
    TextPool m_texts;

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
    std::vector<const CacheSlot*> m_lastSlot; // per column, the slot of the last text
    struct LastDate
    {
        unsigned char text[10];
        qint64 julian = 0;
        bool valid = false;
    };
    std::vector<LastDate> m_lastDate; // per column, the last date read
};

} // namespace vantor::engine
