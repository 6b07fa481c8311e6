#include "QueryCursor.h"

#include "Connection.h"

#include "platform/Conversions.h"
#include "platform/Format.h"

namespace vantor::engine {

QueryCursor::QueryCursor(Connection& connection, const QString& jetSql)
    : QueryCursor(connection, connection.translate(jetSql))
{
}

QueryCursor::QueryCursor(Connection& connection, const TranslatedSql& translated)
    : m_statement(connection, translated.sql), m_names(translated.columnNames)
{
    const int count = m_statement.columnCount();
    while (m_names.size() < count)
        m_names.append(m_statement.columnName(int(m_names.size())));
    m_names.resize(count);
    m_dateColumns.resize(size_t(count));
    for (int c = 0; c < count; ++c)
        m_dateColumns[size_t(c)] = m_statement.declaredType(c) == FieldType::Date;
}

bool QueryCursor::next()
{
    if (atEnd())
        return false;
    try {
        if (m_statement.step())
            return true;
    } catch (...) {
        close();
        throw;
    }
    close();
    return false;
}

QueryCursor::Type QueryCursor::type(int column) const
{
    switch (m_statement.type(column)) {
    case SqliteStatement::Type::Integer:
        return Type::Integer;
    case SqliteStatement::Type::Real:
        return Type::Real;
    case SqliteStatement::Type::Null:
        return Type::Null;
    case SqliteStatement::Type::Text:
    case SqliteStatement::Type::Blob:
        break;
    }
    return Type::Text;
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

} // namespace vantor::engine
