#pragma once

// The tree a Jet SQL statement is read into: the parser builds it, the
// translator prints it as SQLite. Internal to the engine.

#include "JetSql.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace vantor::engine::jet {

// Parentheses, function calls, subqueries and unary operators nest no deeper
// than this; a statement of the program nests a handful of levels, and
// SQLite's own parser gives up at about 30 nested calls. Parsing and printing
// recurse; at this limit they use less than half of a 512 KiB stack (a worker
// thread's), measured in a sanitizer build without optimisation.
constexpr int MaxNesting = 32;
// Long operator chains build deep trees without recursion in the parser;
// printing them recurses, so their depth is bounded too (the same measure).
constexpr int MaxTreeDepth = 128;
// Join trees are printed recursively as well; Jet itself takes 32 tables.
constexpr int MaxTables = 100;

struct Select;

struct Expr
{
    enum class Kind {
        Column, // [qualifier.]text
        Number, // text as written
        String, // text is the value
        Date,   // text is ISO
        Null,
        Boolean,  // text "-1" or "0"
        Unary,    // text "-" or "NOT"; args[0]
        Binary,   // text is the operator in upper case; args[0], args[1]
        Between,  // args: value, low, high
        In,       // args: value, list... ; or value and select
        IsNull,   // args[0]
        Like,     // args: value, pattern
        Call,     // text is the function name as written; args
        Subquery, // select
        Exists,   // select
    };

    Kind kind = Kind::Null;
    int token = 0; // first token, for messages
    QString text;
    QString qualifier;
    bool negated = false;   // NOT BETWEEN, NOT IN, IS NOT NULL, NOT LIKE
    bool countStar = false; // Count(*)
    int depth = 1;
    std::vector<std::unique_ptr<Expr>> args;
    std::unique_ptr<Select> select;
};
using ExprPtr = std::unique_ptr<Expr>;

struct Source
{
    enum class Kind { Table, Subquery, Join };
    enum class JoinType { Inner, Left, Right };

    Kind kind = Kind::Table;
    int token = 0;
    QString name;  // Table: as written
    QString alias; // Table, Subquery: may be empty
    std::unique_ptr<Select> select;
    JoinType join = JoinType::Inner;
    std::unique_ptr<Source> left;
    std::unique_ptr<Source> right;
    ExprPtr on;
};
using SourcePtr = std::unique_ptr<Source>;

struct SelectItem
{
    enum class Kind { Expression, AllColumns };
    Kind kind = Kind::Expression;
    int token = 0;
    ExprPtr expr;
    QString alias;     // Expression: may be empty
    QString qualifier; // AllColumns: T of T.*; empty for *
};

struct OrderItem
{
    ExprPtr expr;
    bool descending = false;
};

struct Select
{
    int token = 0;
    bool distinct = false;
    QString top;
    std::vector<SelectItem> items;
    std::vector<SourcePtr> from;
    ExprPtr where;
    std::vector<ExprPtr> groupBy;
    ExprPtr having;
    std::vector<OrderItem> orderBy;
};

struct Statement
{
    TranslatedSql::Kind kind = TranslatedSql::Kind::Other;
    std::unique_ptr<Select> select; // SELECT, and INSERT ... SELECT

    // INSERT, UPDATE, DELETE
    QString table;
    int tableToken = 0;
    QStringList columns; // INSERT columns, UPDATE targets
    std::vector<ExprPtr> values;
    std::vector<SourcePtr> from; // DELETE
    ExprPtr where;
    bool hasTarget = false; // DELETE T.* FROM ...
    QString otherSql;       // statements passed through unchanged (DDL)
};

bool isReserved(const QString& word);

} // namespace vantor::engine::jet
