#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace vantor::engine {

// What the translator needs to know of the database: the columns of a table
// or saved query (view), in order, to expand SELECT * and to name columns.
class SchemaLookup
{
public:
    virtual ~SchemaLookup() = default;
    // Column names of a table or view, matched without regard to case; empty
    // when there is no such table or view.
    virtual QStringList columnsOf(const QString& tableOrView) const = 0;
    virtual bool isView(const QString& name) const = 0;
    // The name as the database spells it ("results" -> "Results"); empty when unknown.
    virtual QString canonicalName(const QString& tableOrView) const = 0;
};

struct TranslateOptions
{
    // Append, after the visible columns of a plain SELECT (no GROUP BY,
    // DISTINCT, aggregate or UNION), the rowid of every base table of its
    // FROM clause, so that a recordset can write its rows back by rowid.
    bool withRowids = false;
};

struct TranslatedSql
{
    enum class Kind { Select, Insert, Update, Delete, Other };

    Kind kind = Kind::Other;
    QString sql;             // SQLite text; every output column carries its Jet name as alias
    QStringList columnNames; // the Jet names of the visible output columns, in order

    // With withRowids: one entry per base table whose rowid was appended; its
    // rowid is result column visibleCount + index in this list.
    struct RowidColumn
    {
        QString table; // table name as the database spells it
        QString alias; // its name or alias in the FROM clause
    };
    QVector<RowidColumn> rowidColumns;

    // A plain SELECT whose rows can be written back (see withRowids).
    bool updatable = false;
};

// Translates one statement of the program's SQL dialect (Jet) into SQLite:
// "double-quoted" strings, #date# literals (month first, ISO, or the medium
// date form of the lists), & that treats null as empty text, [bracketed] and
// `backquoted` names, Format/CDbl/... calls, Between, Is [Not] Null, nested
// joins, RIGHT JOIN, SELECT * and Table.* over joins (duplicate names become
// "Table.Column", as Jet names them), text compared and sorted without regard
// to case. A trailing ";" is allowed. Jet names columns as Jet does:
// Column for Table.Column, the alias after AS, Expr1000, Expr1001, ... for
// other expressions.
//
// The SQLite text calls the vb_* functions of registerJetFunctions
// (SqlFunctions.h), which every connection must register. Dates are taken
// to be stored as ISO text ('2004-03-05'), which #date# literals become.
// CREATE, DROP and ALTER pass unchanged (Kind::Other).
//
// Throws vantor::Error (Error::SyntaxError) whose description says what could
// not be read and where ("line 1, column 17").
TranslatedSql translateJet(const QString& jetSql, const SchemaLookup& schema,
                           const TranslateOptions& options = {});

} // namespace vantor::engine
