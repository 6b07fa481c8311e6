#include "FlexGridModel.h"

#include "QueryCursor.h"

#include "platform/Error.h"

#include <QElapsedTimer>

#include <cstring>
#include <limits>

namespace vantor::widgets {

namespace {

// A slice of reading in idle time: short enough that the user does not
// feel it, long enough that the statement's overhead does not dominate.
constexpr int SliceMs = 15;
constexpr int FetchMoreRows = 4096;

// Sets a flag for its lifetime.
class Guard
{
public:
    explicit Guard(bool& flag) : m_flag(flag) { m_flag = true; }
    ~Guard() { m_flag = false; }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

private:
    bool& m_flag;
};

} // namespace

FlexGridModel::FlexGridModel(QObject* parent) : QAbstractTableModel(parent)
{
    m_idle.setInterval(0);
    connect(&m_idle, &QTimer::timeout, this, &FlexGridModel::readInIdleTime);
}

FlexGridModel::~FlexGridModel() = default;

void FlexGridModel::open(engine::Connection& connection, const QString& jetSql, int firstRows)
{
    beginResetModel();
    m_idle.stop();
    m_cursor.reset();
    m_cells.clear();
    m_pools.clear();
    m_names.clear();
    m_rows = 0;
    try {
        m_cursor = std::make_unique<QueryCursor>(connection, jetSql);
    } catch (...) {
        endResetModel();
        throw;
    }
    m_names = m_cursor->columnNames();
    m_pools.resize(size_t(m_names.size()));
    {
        const Guard guard(m_busy);
        endResetModel();
    }
    readRows(firstRows, std::numeric_limits<int>::max());
    if (m_cursor)
        m_idle.start();
}

void FlexGridModel::close()
{
    m_idle.stop();
    m_cursor.reset();
}

void FlexGridModel::fetchAll()
{
    readRows(std::numeric_limits<int>::max(), std::numeric_limits<int>::max());
}

QString FlexGridModel::text(int row, int column) const
{
    const size_t columns = m_pools.size();
    return m_pools[size_t(column)].texts[m_cells[size_t(row) * columns + size_t(column)]];
}

int FlexGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int FlexGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_names.size());
}

QVariant FlexGridModel::data(const QModelIndex& index, int role) const
{
    // The tip shows a text that its column is too narrow for.
    if ((role != Qt::DisplayRole && role != Qt::ToolTipRole) || !index.isValid() ||
        index.row() >= m_rows)
        return {};
    return text(index.row(), index.column());
}

QVariant FlexGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= m_names.size())
        return {};
    return m_names[section];
}

bool FlexGridModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && m_cursor != nullptr;
}

void FlexGridModel::fetchMore(const QModelIndex& parent)
{
    if (!parent.isValid())
        readRows(FetchMoreRows, SliceMs);
}

void FlexGridModel::readInIdleTime()
{
    readRows(std::numeric_limits<int>::max(), SliceMs);
}

// Views may ask for more rows while they take in a change (a view or a
// tester calling fetchMore() from a signal); they get them later, by idle
// reading or their next request, never in the middle of the change.
void FlexGridModel::readRows(int maxRows, int budgetMs)
{
    if (!m_cursor || m_busy)
        return;
    const Guard guard(m_busy);
    QElapsedTimer clock;
    clock.start();
    const size_t columns = m_pools.size();
    int read = 0;
    try {
        while (read < maxRows && readRow()) {
            ++read;
            // The clock is read now and then only: it costs more than a row.
            if (read % 256 == 0 && clock.elapsed() >= budgetMs)
                break;
        }
    } catch (const Error& e) {
        m_cells.resize(size_t(m_rows + read) * columns);
        insertReadRows(read);
        fail(e.number(), e.description());
        return;
    }
    insertReadRows(read);
    if (!m_cursor) {
        m_idle.stop();
        emit completed();
    }
}

void FlexGridModel::insertReadRows(int count)
{
    if (count <= 0)
        return;
    beginInsertRows({}, m_rows, m_rows + count - 1);
    m_rows += count;
    endInsertRows();
}

// Reads one row into the cells; false (and the cursor gone) at the end.
bool FlexGridModel::readRow()
{
    if (!m_cursor->next()) {
        m_cursor.reset();
        return false;
    }
    for (int c = 0; c < int(m_pools.size()); ++c)
        m_cells.push_back(intern(c));
    return true;
}

// The number of the current row's value in its column's pool. The key is the
// value's type and raw bytes, so a text already seen costs no conversion.
quint32 FlexGridModel::intern(int column)
{
    Pool& pool = m_pools[size_t(column)];
    const QueryCursor::Type type = m_cursor->type(column);
    std::string& key = pool.key;
    key.assign(1, char('0' + int(type)));
    switch (type) {
    case QueryCursor::Type::Null:
        break;
    case QueryCursor::Type::Integer: {
        const qint64 v = m_cursor->integer(column);
        key.append(reinterpret_cast<const char*>(&v), sizeof v);
        break;
    }
    case QueryCursor::Type::Real: {
        const double v = m_cursor->real(column);
        key.append(reinterpret_cast<const char*>(&v), sizeof v);
        break;
    }
    case QueryCursor::Type::Text: {
        const QByteArrayView bytes = m_cursor->utf8(column);
        key.append(bytes.data(), size_t(bytes.size()));
        break;
    }
    }
    const auto found = pool.index.find(std::string_view(key));
    if (found != pool.index.end())
        return found->second;
    const auto id = quint32(pool.texts.size());
    pool.texts.push_back(m_cursor->displayText(column));
    pool.index.emplace(key, id);
    return id;
}

void FlexGridModel::fail(int number, const QString& description)
{
    m_idle.stop();
    m_cursor.reset();
    emit error(number, description);
}

} // namespace vantor::widgets
