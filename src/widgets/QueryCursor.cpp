#include "QueryCursor.h"

#include "engine/Connection.h"
#include "platform/Conversions.h"
#include "platform/Format.h"

#include <sqlite3.h>

namespace vantor::widgets {

QueryCursor::QueryCursor(engine::Connection& connection, const QString& jetSql)
    : m_connection(connection)
{
    const engine::TranslatedSql translated = connection.translate(jetSql);
    const QByteArray utf8 = translated.sql.toUtf8();
    if (sqlite3_prepare_v2(connection.handle(), utf8.constData(), int(utf8.size()), &m_stmt,
                           nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        connection.raise();
    }
    m_names = translated.columnNames;
    const int count = sqlite3_column_count(m_stmt);
    while (m_names.size() < count)
        m_names.append(QString::fromUtf8(sqlite3_column_name(m_stmt, int(m_names.size()))));
    m_names.resize(count);
    m_dateColumns.resize(size_t(count));
    for (int c = 0; c < count; ++c) {
        const char* decl = sqlite3_column_decltype(m_stmt, c);
        m_dateColumns[size_t(c)] = decl && QByteArray(decl).toUpper().contains("DATE");
    }
}

QueryCursor::~QueryCursor()
{
    close();
}

void QueryCursor::close()
{
    sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
}

bool QueryCursor::next()
{
    if (!m_stmt)
        return false;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    close();
    if (rc != SQLITE_DONE)
        m_connection.raise();
    return false;
}

QueryCursor::Type QueryCursor::type(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return Type::Integer;
    case SQLITE_FLOAT:
        return Type::Real;
    case SQLITE_NULL:
        return Type::Null;
    default:
        return Type::Text;
    }
}

qint64 QueryCursor::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

double QueryCursor::real(int column) const
{
    return sqlite3_column_double(m_stmt, column);
}

QByteArrayView QueryCursor::utf8(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return QByteArrayView(text, sqlite3_column_bytes(m_stmt, column));
}

QString QueryCursor::displayText(int column) const
{
    switch (type(column)) {
    case Type::Null:
        return {};
    case Type::Integer:
        return QString::number(integer(column));
    case Type::Real:
        return platform::numberText(real(column));
    case Type::Text:
        break;
    }
    const QString text = QString::fromUtf8(utf8(column));
    if (isDateColumn(column)) {
        if (const auto date = platform::parseIsoDate(text))
            return platform::shortDate(*date);
    }
    return text;
}

} // namespace vantor::widgets
