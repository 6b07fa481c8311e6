#pragma once

#include <QString>
#include <QStringList>

#include <vector>

struct sqlite3_stmt;

namespace vantor::engine {
class Connection;
}

namespace vantor::widgets {

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

    QueryCursor(engine::Connection& connection, const QString& jetSql);
    ~QueryCursor();
    QueryCursor(const QueryCursor&) = delete;
    QueryCursor& operator=(const QueryCursor&) = delete;

    // The columns as the program names them (Jet names), in order.
    const QStringList& columnNames() const { return m_names; }
    int columnCount() const { return int(m_names.size()); }
    // A column declared as a date (a plain Date column of a table).
    bool isDateColumn(int column) const { return m_dateColumns[size_t(column)]; }

    // Moves to the next row; false (and the lock released) past the last one.
    bool next();
    bool atEnd() const { return m_stmt == nullptr; }
    void close();

    // The current row's values.
    Type type(int column) const;
    qint64 integer(int column) const;
    double real(int column) const;
    // Text as the database holds it: UTF-8 bytes, valid until the next move.
    QByteArrayView utf8(int column) const;
    // The value as the program shows it by default: empty for null, numbers
    // in their default text form, a date column's value in the short date form.
    QString displayText(int column) const;

private:
    engine::Connection& m_connection;
    sqlite3_stmt* m_stmt = nullptr;
    QStringList m_names;
    std::vector<bool> m_dateColumns;
};

} // namespace vantor::widgets
