#pragma once

#include "JetLexer.h"
#include "JetTree.h"

namespace vantor::engine::jet {

struct RangeVar;
struct Scope;
struct Resolved;
struct OutputColumn;
struct SelectResult;
struct FlatItem;

// Prints the tree as SQLite: every identifier quoted, every operation in
// parentheses, names resolved against the schema, output columns named as
// Jet names them.
class Translator
{
public:
    Translator(const QString& source, const QVector<JetToken>& tokens, const SchemaLookup& schema)
        : m_source(source), m_tokens(tokens), m_schema(schema)
    {
    }

    TranslatedSql translate(const Statement& statement, const TranslateOptions& options);

private:
    SelectResult select(const Select& select, const Scope* outer, bool withRowids);
    void collectVars(const Source& source, Scope& scope);
    void flatten(const Source& source, Scope& scope, std::vector<FlatItem>& out, const QString& op);
    void markParenthesized(const Source& source, Scope& scope);
    QString fromClause(const std::vector<SourcePtr>& from, Scope& scope);
    QString leaf(const Source& source, const Scope& scope) const;
    std::vector<OutputColumn> outputColumns(const Select& select, Scope& scope);
    void expandAll(const RangeVar& var, std::vector<OutputColumn>& out) const;
    QString orderTerm(const Expr& expr, const Scope& scope);

    // Prints the operands first, then puts the text together in functions
    // that do not recurse: each level of nesting costs one small frame.
    QString expr(const Expr& e, const Scope& scope);
    QString exprText(const Expr& e, const QStringList& args, const Scope& scope);
    QString binaryText(const Expr& e, const QStringList& args) const;
    QString columnText(const Expr& e, const Scope& scope) const;
    static QString likeText(const Expr& e, const QStringList& args);
    static QString textOperand(const Expr& e, const QString& sql);
    QString nocase(const Expr& e, const QString& sql) const;
    QString callText(const Expr& e, const QStringList& args) const;
    Resolved resolve(const Expr& column, const Scope& scope) const;

    TranslatedSql insert(const Statement& statement);
    TranslatedSql update(const Statement& statement);
    TranslatedSql remove(const Statement& statement);
    QString tableName(const QString& name) const;

    [[noreturn]] void fail(int token, const QString& what) const
    {
        throw JetLexer::syntaxError(m_source, m_tokens.at(token), what);
    }
    [[noreturn]] void missingTable(const QString& name) const
    {
        throw Error(Error::DatabaseError,
                    QStringLiteral("Cannot find the table or query '%1'.").arg(name));
    }

    const QString& m_source;
    const QVector<JetToken>& m_tokens;
    const SchemaLookup& m_schema;
    int m_subqueryAliases = 0;
};

} // namespace vantor::engine::jet
