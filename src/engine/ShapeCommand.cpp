#include "ShapeCommand.h"

#include "platform/Error.h"

namespace vantor::engine {

namespace {

struct Token
{
    enum Kind { End, Word, Name, Sql, LParen, RParen, Comma, Dot };
    Kind kind = End;
    QString text;
    qsizetype pos = 0; // 0-based offset in the command
};

class Lexer
{
public:
    explicit Lexer(const QString& text) : m_text(text) {}

    Token next()
    {
        while (m_pos < m_text.size() && m_text.at(m_pos).isSpace())
            ++m_pos;
        Token t;
        t.pos = m_pos;
        if (m_pos >= m_text.size())
            return t;
        const QChar c = m_text.at(m_pos);
        switch (c.unicode()) {
        case u'(':
            ++m_pos;
            t.kind = Token::LParen;
            return t;
        case u')':
            ++m_pos;
            t.kind = Token::RParen;
            return t;
        case u',':
            ++m_pos;
            t.kind = Token::Comma;
            return t;
        case u'.':
            ++m_pos;
            t.kind = Token::Dot;
            return t;
        case u'{':
            t.kind = Token::Sql;
            t.text = readSql();
            return t;
        case u'\'':
        case u'"':
            t.kind = Token::Name;
            t.text = readQuoted(c, c);
            return t;
        case u'[':
            t.kind = Token::Name;
            t.text = readQuoted(u'[', u']');
            return t;
        case u'`':
            t.kind = Token::Name;
            t.text = readQuoted(u'`', u'`');
            return t;
        default:
            break;
        }
        if (c.isLetterOrNumber() || c == u'_' || c == u'$') {
            const qsizetype start = m_pos;
            while (m_pos < m_text.size() && (m_text.at(m_pos).isLetterOrNumber() ||
                                             m_text.at(m_pos) == u'_' || m_text.at(m_pos) == u'$'))
                ++m_pos;
            t.kind = Token::Word;
            t.text = m_text.mid(start, m_pos - start);
            return t;
        }
        fail(m_pos, QStringLiteral("unexpected character '%1'").arg(c));
    }

    [[noreturn]] static void fail(qsizetype pos, const QString& what)
    {
        throw Error(Error::SyntaxError,
                    QStringLiteral("The shape command cannot be read at position %1: %2.")
                        .arg(pos + 1)
                        .arg(what));
    }

private:
    // The provider command between braces; braces and quotes inside string
    // literals and bracketed names do not count.
    QString readSql()
    {
        const qsizetype open = m_pos++;
        const qsizetype start = m_pos;
        int depth = 1;
        while (m_pos < m_text.size()) {
            const QChar c = m_text.at(m_pos);
            if (c == u'\'' || c == u'"' || c == u'`') {
                skipQuoted(c, c);
                continue;
            }
            if (c == u'[') {
                skipQuoted(u'[', u']');
                continue;
            }
            if (c == u'{')
                ++depth;
            else if (c == u'}' && --depth == 0) {
                const QString sql = m_text.mid(start, m_pos - start);
                ++m_pos;
                return sql;
            }
            ++m_pos;
        }
        fail(open, QStringLiteral("the command that starts here has no closing '}'"));
    }

    void skipQuoted(QChar open, QChar close)
    {
        const qsizetype start = m_pos++;
        while (m_pos < m_text.size()) {
            if (m_text.at(m_pos) == close) {
                ++m_pos;
                if (open == close && m_pos < m_text.size() && m_text.at(m_pos) == close) {
                    ++m_pos; // a doubled quote stands for one
                    continue;
                }
                return;
            }
            ++m_pos;
        }
        fail(start, QStringLiteral("the text that starts here has no closing %1").arg(close));
    }

    QString readQuoted(QChar open, QChar close)
    {
        const qsizetype start = m_pos;
        skipQuoted(open, close);
        QString inner = m_text.mid(start + 1, m_pos - start - 2);
        if (open == close)
            inner.replace(QString(2, close), QString(close));
        return inner;
    }

    const QString& m_text;
    qsizetype m_pos = 0;
};

class Parser
{
public:
    explicit Parser(const QString& text) : m_lexer(text) { advance(); }

    std::unique_ptr<ShapeNode> parse()
    {
        auto node = shape();
        if (m_token.kind != Token::End)
            Lexer::fail(m_token.pos, QStringLiteral("unexpected '%1' after the end of the command")
                                         .arg(describe(m_token)));
        return node;
    }

private:
    static constexpr int MaxDepth = 64;

    void advance() { m_token = m_lexer.next(); }

    bool isWord(const char* word) const
    {
        return m_token.kind == Token::Word &&
               m_token.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }

    void expectWord(const char* word)
    {
        if (!isWord(word))
            Lexer::fail(m_token.pos, QStringLiteral("expected %1 but found %2")
                                         .arg(QLatin1String(word), describe(m_token)));
        advance();
    }

    void expect(Token::Kind kind, const char* what)
    {
        if (m_token.kind != kind)
            Lexer::fail(m_token.pos, QStringLiteral("expected %1 but found %2")
                                         .arg(QLatin1String(what), describe(m_token)));
        advance();
    }

    static QString describe(const Token& t)
    {
        switch (t.kind) {
        case Token::End:
            return QStringLiteral("the end of the command");
        case Token::Sql:
            return QStringLiteral("a command in braces");
        case Token::LParen:
            return QStringLiteral("'('");
        case Token::RParen:
            return QStringLiteral("')'");
        case Token::Comma:
            return QStringLiteral("','");
        case Token::Dot:
            return QStringLiteral("'.'");
        case Token::Word:
        case Token::Name:
            break;
        }
        return u'\'' + t.text + u'\'';
    }

    bool isKeyword() const
    {
        for (const char* k : {"AS", "APPEND", "RELATE", "TO", "COMPUTE", "BY", "SHAPE"})
            if (isWord(k))
                return true;
        return false;
    }

    QString name(const char* what)
    {
        if (m_token.kind == Token::Name || (m_token.kind == Token::Word && !isKeyword())) {
            const QString n = m_token.text;
            advance();
            if (n.isEmpty())
                Lexer::fail(m_token.pos, QStringLiteral("an empty name"));
            return n;
        }
        Lexer::fail(
            m_token.pos,
            QStringLiteral("expected %1 but found %2").arg(QLatin1String(what), describe(m_token)));
    }

    // A column reference, optionally qualified by an alias: returns the column.
    QString columnName(const char* what)
    {
        QString n = name(what);
        while (m_token.kind == Token::Dot) {
            advance();
            n = name(what);
        }
        return n;
    }

    QString optionalAlias()
    {
        if (!isWord("AS"))
            return {};
        advance();
        return name("a name after AS");
    }

    // {sql} or (SHAPE ...) or SHAPE ... as the command of a level.
    std::unique_ptr<ShapeNode> command()
    {
        if (m_token.kind == Token::Sql) {
            auto leaf = std::make_unique<ShapeNode>();
            leaf->sql = m_token.text;
            if (leaf->sql.trimmed().isEmpty())
                Lexer::fail(m_token.pos, QStringLiteral("the command in braces is empty"));
            advance();
            return leaf;
        }
        if (m_token.kind == Token::LParen) {
            const qsizetype open = m_token.pos;
            advance();
            if (!isWord("SHAPE"))
                Lexer::fail(m_token.pos, QStringLiteral("expected SHAPE after '('"));
            auto inner = shape();
            if (m_token.kind != Token::RParen)
                Lexer::fail(open, QStringLiteral("the '(' here has no matching ')'"));
            advance();
            return inner;
        }
        if (isWord("SHAPE"))
            return shape();
        Lexer::fail(m_token.pos,
                    QStringLiteral("expected a command in braces or a nested SHAPE but found %1")
                        .arg(describe(m_token)));
    }

    std::unique_ptr<ShapeNode> shape()
    {
        if (++m_depth > MaxDepth)
            Lexer::fail(m_token.pos, QStringLiteral("the command is nested too deeply"));
        expectWord("SHAPE");
        auto node = std::make_unique<ShapeNode>();
        node->base = command();
        node->alias = optionalAlias();
        if (isWord("APPEND")) {
            advance();
            do {
                node->children.push_back(child());
            } while (m_token.kind == Token::Comma && (advance(), true));
        } else if (isWord("COMPUTE")) {
            advance();
            compute(*node);
        }
        --m_depth;
        // A SHAPE with neither clause just passes its command through.
        if (node->children.empty() && !node->compute) {
            auto base = std::move(node->base);
            if (base->alias.isEmpty())
                base->alias = node->alias;
            return base;
        }
        return node;
    }

    ShapeNode::Child child()
    {
        const qsizetype open = m_token.pos;
        expect(Token::LParen, "'(' before an appended command");
        ShapeNode::Child c;
        c.command = command();
        c.alias = optionalAlias();
        expectWord("RELATE");
        do {
            ShapeNode::Relation r;
            r.parentColumn = columnName("the parent's column after RELATE");
            expectWord("TO");
            r.childColumn = columnName("the child's column after TO");
            c.relations.push_back(r);
        } while (m_token.kind == Token::Comma && (advance(), true));
        if (m_token.kind != Token::RParen)
            Lexer::fail(m_token.kind == Token::End ? open : m_token.pos,
                        m_token.kind == Token::End
                            ? QStringLiteral("the '(' here has no matching ')'")
                            : QStringLiteral("expected ')' but found %1").arg(describe(m_token)));
        advance();
        c.chapterName = optionalAlias();
        if (c.chapterName.isEmpty())
            c.chapterName = c.alias.isEmpty() ? QStringLiteral("Chapter1") : c.alias;
        return c;
    }

    void compute(ShapeNode& node)
    {
        node.compute = true;
        node.computeChapter = name("the chapter alias after COMPUTE");
        if (!node.alias.isEmpty() && node.computeChapter.compare(node.alias, Qt::CaseInsensitive))
            Lexer::fail(m_token.pos, QStringLiteral("COMPUTE names '%1' but the command is '%2'")
                                         .arg(node.computeChapter, node.alias));
        while (m_token.kind == Token::Comma) {
            advance();
            const Token fn = m_token;
            const QString function = name("an aggregate function").toUpper();
            static const QStringList known{QStringLiteral("AVG"), QStringLiteral("SUM"),
                                           QStringLiteral("MIN"), QStringLiteral("MAX"),
                                           QStringLiteral("COUNT")};
            if (!known.contains(function))
                Lexer::fail(fn.pos, QStringLiteral("'%1' is not an aggregate function (AVG, SUM, "
                                                   "MIN, MAX or COUNT)")
                                        .arg(fn.text));
            expect(Token::LParen, "'(' after the function");
            ShapeNode::Aggregate a;
            a.function = function;
            const QString first = name("a column");
            if (m_token.kind == Token::Dot) {
                advance();
                a.column = name("a column");
            } else if (first.compare(node.computeChapter, Qt::CaseInsensitive) != 0) {
                a.column = first; // unqualified column
            }
            if (a.column.isEmpty() && function != u"COUNT")
                Lexer::fail(fn.pos, QStringLiteral("%1 needs a column").arg(function));
            expect(Token::RParen, "')'");
            a.name = optionalAlias();
            if (a.name.isEmpty())
                a.name = QStringLiteral("Aggregate%1").arg(node.aggregates.size() + 1);
            node.aggregates.push_back(a);
        }
        if (isWord("BY")) {
            advance();
            do {
                node.by << columnName("a column after BY");
            } while (m_token.kind == Token::Comma && (advance(), true));
        }
    }

    Lexer m_lexer;
    Token m_token;
    int m_depth = 0;
};

} // namespace

bool isShapeCommand(const QString& text)
{
    const QString t = text.trimmed();
    return t.startsWith(u"SHAPE", Qt::CaseInsensitive) &&
           (t.size() == 5 || !(t.at(5).isLetterOrNumber() || t.at(5) == u'_'));
}

std::unique_ptr<ShapeNode> parseShapeCommand(const QString& text)
{
    return Parser(text).parse();
}

} // namespace vantor::engine
