#include "RowStore.h"

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

quint32 RowStore::addText(const QString& text)
{
    m_strings.push_back(text);
    return quint32(m_strings.size() - 1);
}

quint32 RowStore::internText(const unsigned char* utf8, int bytes, int column)
{
    if (column < 0)
        return addText(QString::fromUtf8(reinterpret_cast<const char*>(utf8), bytes));
    CacheSlot& slot = m_cache[column][fnv1a(utf8, bytes) % CacheSize];
    if (slot.used && slot.bytes.size() == bytes &&
        std::memcmp(slot.bytes.constData(), utf8, size_t(bytes)) == 0)
        return slot.index;
    const char* chars = reinterpret_cast<const char*>(utf8);
    slot.bytes = QByteArray(chars, bytes);
    slot.index = addText(QString::fromUtf8(chars, bytes));
    slot.used = true;
    return slot.index;
}

Cell RowStore::readCell(sqlite3_stmt* stmt, int c, bool isDate)
{
    Cell cell;
    switch (sqlite3_column_type(stmt, c)) {
    case SQLITE_INTEGER:
        cell.i = sqlite3_column_int64(stmt, c);
        cell.tag = Cell::Int;
        break;
    case SQLITE_FLOAT:
        cell.d = sqlite3_column_double(stmt, c);
        cell.tag = Cell::Real;
        break;
    case SQLITE_TEXT: {
        const unsigned char* text = sqlite3_column_text(stmt, c);
        const int n = sqlite3_column_bytes(stmt, c);
        qint64 julian;
        if (isDate && parseIsoDate(text, n, julian)) {
            cell.i = julian;
            cell.tag = Cell::Date;
        } else {
            cell.s = internText(text, n, m_cache.empty() ? -1 : c);
            cell.tag = Cell::Text;
        }
        break;
    }
    case SQLITE_BLOB: {
        const auto* blob = static_cast<const char*>(sqlite3_column_blob(stmt, c));
        cell.s = addText(QString::fromUtf8(blob, sqlite3_column_bytes(stmt, c)));
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
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        Row r;
        r.offset = std::uint32_t(m_cells.size());
        for (int c = 0; c < m_columns; ++c)
            m_cells.push_back(readCell(stmt, c, dateColumns[size_t(c)]));
        m_rows.push_back(r);
    }
    m_cache.clear();
    m_cache.shrink_to_fit();
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
        return QVariant(m_strings[c.s]);
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
    if (!v.isValid() || v.isNull())
        return c;
    switch (v.typeId()) {
    case QMetaType::Bool:
        c.i = v.toBool() ? -1 : 0;
        c.tag = Cell::Int;
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::ULongLong:
        c.i = v.toLongLong();
        c.tag = Cell::Int;
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        c.d = v.toDouble();
        c.tag = Cell::Real;
        break;
    case QMetaType::QDate:
        c.i = v.toDate().toJulianDay();
        c.tag = Cell::Date;
        break;
    case QMetaType::QDateTime:
        c.i = v.toDateTime().date().toJulianDay();
        c.tag = Cell::Date;
        break;
    default:
        c.s = addText(v.toString());
        c.tag = Cell::Text;
        break;
    }
    return c;
}

void RowStore::setValue(int rowIndex, int column, const QVariant& v)
{
    Row& r = m_rows[size_t(rowIndex)];
    if (r.status == Status::Unchanged) {
        m_originals.emplace_back(m_cells.begin() + r.offset,
                                 m_cells.begin() + r.offset + m_columns);
        r.original = std::int32_t(m_originals.size() - 1);
        r.status = Status::Modified;
    }
    m_cells[r.offset + size_t(column)] = fromVariant(v);
}

const Cell& RowStore::originalCellOf(const Row& r, int column) const
{
    if (r.original >= 0)
        return m_originals[size_t(r.original)][size_t(column)];
    return m_cells[r.offset + size_t(column)];
}

QVariant RowStore::originalValue(int rowIndex, int column) const
{
    return toVariant(originalCell(rowIndex, column));
}

int RowStore::appendNewRow()
{
    Row r;
    r.offset = std::uint32_t(m_cells.size());
    r.status = Status::New;
    m_cells.resize(m_cells.size() + size_t(m_columns));
    m_rows.push_back(r);
    return int(m_rows.size() - 1);
}

RowStore::Row RowStore::takeRow(int index)
{
    const Row r = m_rows[size_t(index)];
    m_rows.erase(m_rows.begin() + index);
    return r;
}

void RowStore::markSaved(int index)
{
    Row& r = m_rows[size_t(index)];
    if (r.original >= 0)
        m_originals[size_t(r.original)].clear(); // the slot stays; rows keep their indexes
    r.original = -1;
    r.status = Status::Unchanged;
}

void RowStore::revert(int index)
{
    Row& r = m_rows[size_t(index)];
    if (r.original >= 0) {
        const auto& orig = m_originals[size_t(r.original)];
        std::copy(orig.begin(), orig.end(), m_cells.begin() + r.offset);
        m_originals[size_t(r.original)].clear();
    }
    r.original = -1;
    r.status = Status::Unchanged;
}

} // namespace vantor::engine
