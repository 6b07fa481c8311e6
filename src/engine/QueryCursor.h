#pragma once

#include "Sqlite.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace vantor::engine {

class Connection;
struct TranslatedSql;

// A forward-only, read-only walk over the rows of one SQL text of the
// program's dialect: for readers that must not hold a million rows at once
// (the summary grid, the export). Rows are stepped straight out of the
// database; nothing is kept but the current row.
//
// The statement holds a read lock on the file until the cursor reaches the
// end or is closed. The connection must outlive the cursor. Errors are thrown
// as vantor::Error with the database's description.
class QueryCursor
{
public:
    enum class Type { Null, Integer, Real, Text };

    QueryCursor(Connection& connection, const QString& jetSql);
    QueryCursor(const QueryCursor&) = delete;
    QueryCursor& operator=(const QueryCursor&) = delete;

    // The columns as the program names them (Jet names), in order.
    const QStringList& columnNames() const { return m_names; }
    int columnCount() const { return int(m_names.size()); }
    // A column declared as a date (a plain Date column of a table).
    bool isDateColumn(int column) const { return m_dateColumns[size_t(column)]; }

    // Moves to the next row; false (and the lock released) past the last one.
    bool next();
    bool atEnd() const { return m_statement.get() == nullptr; }
    void close() { m_statement.finalize(); }

    // The current row's values.
    Type type(int column) const;
    qint64 integer(int column) const { return m_statement.int64(column); }
    double real(int column) const { return m_statement.real(column); }
    // Text as the database holds it: UTF-8 bytes, valid until the next move.
    QByteArrayView utf8(int column) const { return m_statement.utf8(column); }
    // The value as the program shows it by default: empty for null, numbers
    // in their default text form, a date column's value in the short date form.
    QString displayText(int column) const;

private:
    QueryCursor(Connection& connection, const TranslatedSql& translated);

    SqliteStatement m_statement;
    QStringList m_names;
    std::vector<bool> m_dateColumns;
};

} // namespace vantor::engine
