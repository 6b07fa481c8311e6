#pragma once

#include "JetLexer.h"
#include "JetTree.h"

#include <QVector>

namespace vantor::engine::jet {

// Reads the tokens of one statement into the tree: recursive descent for
// statements, precedence climbing for expressions.
class Parser
{
public:
    Parser(const QString& source, const QVector<JetToken>& tokens)
        : m_source(source), m_tokens(tokens)
    {
    }

    Statement parseStatement();

private:
    class Nesting
    {
    public:
        explicit Nesting(Parser& parser) : m_parser(parser)
        {
            if (++m_parser.m_nesting > MaxNesting)
                m_parser.fail(QStringLiteral("the statement is nested too deeply (more than %1 "
                                             "levels of parentheses, calls or subqueries)")
                                  .arg(MaxNesting));
        }
        ~Nesting() { --m_parser.m_nesting; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        Parser& m_parser;
    };

    const JetToken& peek(int ahead = 0) const
    {
        const int at = qMin(m_pos + ahead, int(m_tokens.size()) - 1);
        return m_tokens.at(at);
    }
    const JetToken& next()
    {
        const JetToken& token = m_tokens.at(m_pos);
        if (m_pos < m_tokens.size() - 1)
            ++m_pos;
        return token;
    }
    bool acceptWord(const char* word)
    {
        if (!peek().isWord(QLatin1String(word)))
            return false;
        next();
        return true;
    }
    bool acceptSymbol(const char* symbol)
    {
        if (!peek().isSymbol(QLatin1String(symbol)))
            return false;
        next();
        return true;
    }
    void expectWord(const char* word)
    {
        if (!acceptWord(word))
            fail(QStringLiteral("expected %1").arg(QString::fromLatin1(word).toUpper()));
    }
    void expectSymbol(const char* symbol)
    {
        if (!acceptSymbol(symbol))
            fail(QStringLiteral("expected '%1'").arg(QLatin1String(symbol)));
    }
    [[noreturn]] void fail(const QString& what) const
    {
        throw JetLexer::syntaxError(m_source, peek(), what);
    }

    bool atName() const
    {
        const JetToken& token = peek();
        return token.type == JetToken::Type::QuotedName ||
               (token.type == JetToken::Type::Name && !isReserved(token.text));
    }
    QString expectName(const QString& what)
    {
        if (!atName())
            fail(QStringLiteral("expected %1").arg(what));
        return next().text;
    }
    // After '.', any word names a column, reserved or not ([Statistics Query].Min).
    QString expectMemberName()
    {
        const JetToken& token = peek();
        if (token.type != JetToken::Type::Name && token.type != JetToken::Type::QuotedName)
            fail(QStringLiteral("expected a column name"));
        return next().text;
    }

    ExprPtr node(Expr::Kind kind, int token) const
    {
        auto expr = std::make_unique<Expr>();
        expr->kind = kind;
        expr->token = token;
        return expr;
    }
    void adopt(Expr& parent, ExprPtr child) const
    {
        parent.depth = qMax(parent.depth, child->depth + 1);
        if (parent.depth > MaxTreeDepth)
            throw JetLexer::syntaxError(m_source, m_tokens.at(parent.token),
                                        QStringLiteral("the expression is too complex (more "
                                                       "than %1 operators deep)")
                                            .arg(MaxTreeDepth));
        parent.args.push_back(std::move(child));
    }
    ExprPtr binary(const QString& op, int token, ExprPtr left, ExprPtr right) const
    {
        ExprPtr expr = node(Expr::Kind::Binary, token);
        expr->text = op;
        adopt(*expr, std::move(left));
        adopt(*expr, std::move(right));
        return expr;
    }

    std::unique_ptr<Select> parseSelect();
    void parseSelectItem(Select& select);
    std::vector<SourcePtr> parseFromList();
    SourcePtr parseJoin();
    SourcePtr parseSourcePrimary();
    QString parseOptionalAlias();
    void parseInsert(Statement& statement);
    void parseUpdate(Statement& statement);
    void parseDelete(Statement& statement);
    QString parseColumnTarget();

    ExprPtr parseExpr() { return parseBinary(1); }
    ExprPtr parseBinary(int minimum);
    ExprPtr parsePrefix();
    ExprPtr parseComparison(ExprPtr left, int token, bool negated);
    ExprPtr parsePrimary();
    ExprPtr parseLiteral(Expr::Kind kind, int token);
    ExprPtr parseExists(int token);
    ExprPtr parseColumn(int token);
    ExprPtr parseCall(int token, const QString& name);

    const QString& m_source;
    const QVector<JetToken>& m_tokens;
    int m_pos = 0;
    int m_nesting = 0;
};

} // namespace vantor::engine::jet
