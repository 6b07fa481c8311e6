#include "RowStore.h"

#include "Sqlite.h"

#include "platform/Error.h"

#include <sqlite3.h>

#include <cstring>

namespace vantor::engine {

namespace {

int digit(unsigned char c)
{
    return (c >= '0' && c <= '9') ? c - '0' : -1;
}

// 'YYYY-MM-DD' as the database stores dates; false for anything else.
bool parseIsoDate(const unsigned char* t, int n, qint64& julian)
{
    if (n != 10 || t[4] != '-' || t[7] != '-')
        return false;
    int v[8];
    const int pos[8] = {0, 1, 2, 3, 5, 6, 8, 9};
    for (int k = 0; k < 8; ++k) {
        v[k] = digit(t[pos[k]]);
        if (v[k] < 0)
            return false;
    }
    const QDate date(v[0] * 1000 + v[1] * 100 + v[2] * 10 + v[3], v[4] * 10 + v[5],
                     v[6] * 10 + v[7]);
    if (!date.isValid())
        return false;
    julian = date.toJulianDay();
    return true;
}

std::uint32_t fnv1a(const unsigned char* p, int n)
{
    std::uint32_t h = 2166136261u;
    for (int k = 0; k < n; ++k) {
        h ^= p[k];
        h *= 16777619u;
    }
    return h;
}

} // namespace

quint32 TextPool::add(const char* utf8, qsizetype bytes)
{
    // A text never spans two chunks; a longer one than a chunk has its own.
    if (m_chunks.empty() ||
        (!m_chunks.back().empty() && m_chunks.back().size() + size_t(bytes) > ChunkBytes))
        m_chunks.emplace_back();
    if (m_chunks.size() > ChunkBytes || bytes > std::numeric_limits<qint32>::max())
        throw Error(Error::DatabaseError, QStringLiteral("Too much text in one recordset."));
    std::vector<char>& chunk = m_chunks.back();
    m_refs.push_back({quint32((m_chunks.size() - 1) * ChunkBytes + chunk.size()), quint32(bytes)});
    chunk.insert(chunk.end(), utf8, utf8 + bytes);
    return quint32(m_refs.size() - 1);
}

quint32 TextPool::add(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return add(utf8.constData(), utf8.size());
}

qint64 ColumnValues::encode(const Cell& c)
{
    switch (c.tag) {
    case Cell::Int:
    case Cell::Date:
        return c.i;
    case Cell::Real: {
        qint64 bits;
        std::memcpy(&bits, &c.d, sizeof bits);
        return bits;
    }
    case Cell::Text:
        return qint64(c.s);
    case Cell::Null:
        break;
    }
    return 0;
}

Cell ColumnValues::decode(qint64 bits, Cell::Tag tag)
{
    Cell c;
    c.tag = tag;
    switch (tag) {
    case Cell::Int:
    case Cell::Date:
        c.i = bits;
        break;
    case Cell::Real:
        std::memcpy(&c.d, &bits, sizeof bits);
        break;
    case Cell::Text:
        c.s = quint32(bits);
        break;
    case Cell::Null:
        break;
    }
    return c;
}

void ColumnValues::widen()
{
    BlockArray<qint64> wide;
    for (size_t k = 0; k < m_narrowValues.size(); ++k)
        wide.push_back(m_narrowValues[k]);
    m_wideValues = std::move(wide);
    m_narrowValues = {};
    m_wide = true;
}

bool RowStore::readDate(const unsigned char* text, int bytes, int column, qint64& julian)
{
    // The date of the row before, most often (every value of an occasion).
    if (size_t(column) < m_lastDate.size()) {
        LastDate& last = m_lastDate[size_t(column)];
        if (bytes == int(sizeof last.text) && last.valid &&
            std::memcmp(last.text, text, sizeof last.text) == 0) {
            julian = last.julian;
            return true;
        }
        if (!parseIsoDate(text, bytes, julian))
            return false;
        std::memcpy(last.text, text, sizeof last.text);
        last.julian = julian;
        last.valid = true;
        return true;
    }
    return parseIsoDate(text, bytes, julian);
}

quint32 RowStore::internText(const unsigned char* utf8, int bytes, int column)
{
    const char* chars = reinterpret_cast<const char*>(utf8);
    if (column < 0)
        return m_texts.add(chars, bytes);
    const auto matches = [&](const CacheSlot& slot) {
        return slot.used && slot.bytes.size() == bytes &&
               std::memcmp(slot.bytes.constData(), utf8, size_t(bytes)) == 0;
    };
    // Most often the text of the row before (the date, period and remarks of
    // an occasion's every value).
    const CacheSlot*& last = m_lastSlot[size_t(column)];
    if (last && matches(*last))
        return last->index;
    CacheSlot& slot = m_cache[size_t(column)][fnv1a(utf8, bytes) % CacheSize];
    last = &slot;
    if (matches(slot))
        return slot.index;
    slot.bytes = QByteArray(chars, bytes);
    slot.index = m_texts.add(chars, bytes);
    slot.used = true;
    return slot.index;
}

Cell RowStore::readCell(sqlite3_stmt* stmt, int c, bool isDate)
{
    // One look-up of the column, then its value's own accessors: each
    // sqlite3_column_* call costs a look-up of its own.
    sqlite3_value* value = sqlite3_column_value(stmt, c);
    Cell cell;
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        cell.i = sqlite3_value_int64(value);
        cell.tag = Cell::Int;
        break;
    case SQLITE_FLOAT:
        cell.d = sqlite3_value_double(value);
        cell.tag = Cell::Real;
        break;
    case SQLITE_TEXT: {
        const unsigned char* text = sqlite3_value_text(value);
        const int n = sqlite3_value_bytes(value);
        qint64 julian;
        if (isDate && readDate(text, n, c, julian)) {
            cell.i = julian;
            cell.tag = Cell::Date;
        } else {
            cell.s = internText(text, n, m_cache.empty() ? -1 : c);
            cell.tag = Cell::Text;
        }
        break;
    }
    case SQLITE_BLOB: {
        const auto* blob = static_cast<const char*>(sqlite3_value_blob(value));
        cell.s = m_texts.add(blob, sqlite3_value_bytes(value));
        cell.tag = Cell::Text;
        break;
    }
    default:
        break;
    }
    return cell;
}

int RowStore::load(sqlite3_stmt* stmt, const std::vector<bool>& dateColumns)
{
    m_cache.assign(size_t(m_columns), {});
    m_lastSlot.assign(size_t(m_columns), nullptr);
    m_lastDate.assign(size_t(m_columns), {});
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const size_t slot = slotCount();
        for (int c = 0; c < m_columns; ++c)
            m_values[size_t(c)].push_back(readCell(stmt, c, dateColumns[size_t(c)]));
        ++m_slots;
        if (m_listed)
            m_rows.push_back(Row{std::uint32_t(slot)});
        else
            ++m_readRows;
    }
    m_cache.clear();
    m_cache.shrink_to_fit();
    m_lastSlot.clear();
    m_lastDate.clear();
    return rc;
}

QVariant RowStore::toVariant(const Cell& c) const
{
    switch (c.tag) {
    case Cell::Int:
        return QVariant(qlonglong(c.i));
    case Cell::Real:
        return QVariant(c.d);
    case Cell::Text:
        return QVariant(m_texts.at(c.s));
    case Cell::Date:
        return QVariant(QDate::fromJulianDay(c.i));
    case Cell::Null:
        break;
    }
    return QVariant();
}

Cell RowStore::fromVariant(const QVariant& v)
{
    Cell c;
    switch (storageOf(v)) {
    case Storage::Null:
        break;
    case Storage::Integer:
        c = Cell::integer(storedInteger(v));
        break;
    case Storage::Real:
        c.d = v.toDouble();
        c.tag = Cell::Real;
        break;
    case Storage::Date:
        c.i = storedDate(v).toJulianDay();
        c.tag = Cell::Date;
        break;
    case Storage::Text:
        c.s = m_texts.add(v.toString());
        c.tag = Cell::Text;
        break;
    }
    return c;
}

void RowStore::setValue(int rowIndex, int column, const QVariant& v)
{
    Row& r = row(rowIndex);
    if (r.status == Status::Unchanged) {
        std::vector<Cell> original;
        original.reserve(size_t(m_columns));
        for (int c = 0; c < m_columns; ++c)
            original.push_back(cellOf(r, c));
        m_originals.push_back(std::move(original));
        r.original = std::int32_t(m_originals.size() - 1);
        r.status = Status::Modified;
    }
    m_values[size_t(column)].set(r.slot, fromVariant(v));
}

void RowStore::list()
{
    if (m_listed)
        return;
    m_rows.reserve(size_t(m_readRows));
    for (int r = 0; r < m_readRows; ++r)
        m_rows.push_back(Row{std::uint32_t(r)});
    m_listed = true;
}

Cell RowStore::originalCellOf(const Row& r, int column) const
{
    if (r.original >= 0)
        return m_originals[size_t(r.original)][size_t(column)];
    return cellOf(r, column);
}

int RowStore::appendNewRow()
{
    list();
    Row r;
    r.slot = std::uint32_t(slotCount());
    r.status = Status::New;
    for (ColumnValues& column : m_values)
        column.push_back(Cell());
    ++m_slots;
    m_rows.push_back(r);
    return int(m_rows.size() - 1);
}

RowStore::Row RowStore::takeRow(int index)
{
    list();
    const Row r = m_rows[size_t(index)];
    m_rows.erase(m_rows.begin() + index);
    return r;
}

void RowStore::markSaved(int index)
{
    Row& r = row(index);
    if (r.original >= 0)
        m_originals[size_t(r.original)].clear(); // the slot stays; rows keep their indexes
    r.original = -1;
    r.status = Status::Unchanged;
}

void RowStore::revert(int index)
{
    Row& r = row(index);
    if (r.original >= 0) {
        const auto& orig = m_originals[size_t(r.original)];
        for (size_t c = 0; c < orig.size(); ++c)
            m_values[c].set(r.slot, orig[c]);
        m_originals[size_t(r.original)].clear();
    }
    r.original = -1;
    r.status = Status::Unchanged;
}

} // namespace vantor::engine
