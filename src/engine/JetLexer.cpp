#include "JetLexer.h"

#include "platform/Conversions.h"

#include <QDate>

namespace vantor::engine {

namespace {

bool isNameStart(QChar c)
{
    return c.isLetter() || c == u'_';
}

bool isNamePart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Shortens what an error message quotes, so that a huge text cannot make a huge message.
QString excerpt(const QString& text)
{
    constexpr int limit = 40;
    if (text.size() <= limit)
        return text;
    return text.left(limit) + QStringLiteral("...");
}

} // namespace

JetLexer::JetLexer(const QString& source) : m_source(source) {}

QVector<JetToken> JetLexer::tokenize()
{
    QVector<JetToken> tokens;
    for (;;) {
        JetToken token = readToken();
        const bool end = token.type == JetToken::Type::End;
        m_previous = token.type;
        m_previousClosesOperand = token.type == JetToken::Type::Name ||
                                  token.type == JetToken::Type::QuotedName ||
                                  token.isSymbol(QLatin1String(")"));
        tokens.append(std::move(token));
        if (end)
            return tokens;
    }
}

Error JetLexer::syntaxError(const QString& source, const JetToken& at, const QString& what)
{
    QString near;
    if (at.type == JetToken::Type::End)
        near = QStringLiteral("at the end of the text");
    else
        near = QStringLiteral("near '%1'").arg(excerpt(source.mid(at.offset, at.length)));
    return Error(Error::SyntaxError,
                 QStringLiteral("Syntax error in SQL text at line %1, column %2 "
                                "(%3): %4")
                     .arg(at.line)
                     .arg(at.column)
                     .arg(near, what));
}

QChar JetLexer::peek(int ahead) const
{
    const int at = m_pos + ahead;
    return at < m_source.size() ? m_source.at(at) : QChar();
}

void JetLexer::advance()
{
    if (m_source.at(m_pos) == u'\n') {
        ++m_line;
        m_lineStart = m_pos + 1;
    }
    ++m_pos;
}

JetToken JetLexer::startToken(JetToken::Type type) const
{
    JetToken token;
    token.type = type;
    token.offset = m_pos;
    token.line = m_line;
    token.column = m_pos - m_lineStart + 1;
    return token;
}

void JetLexer::finish(JetToken& token) const
{
    token.length = m_pos - token.offset;
}

void JetLexer::fail(const JetToken& at, const QString& what) const
{
    JetToken shown = at;
    shown.length = qMax(1, m_pos - at.offset);
    throw syntaxError(m_source, shown, what);
}

JetToken JetLexer::readToken()
{
    while (m_pos < m_source.size() && m_source.at(m_pos).isSpace())
        advance();
    if (m_pos >= m_source.size())
        return startToken(JetToken::Type::End);

    const QChar c = peek();
    if (c == u'\'' || c == u'"')
        return readQuoted(c, JetToken::Type::String, QStringLiteral("the text is not closed"));
    if (c == u'[')
        return readQuoted(u']', JetToken::Type::QuotedName,
                          QStringLiteral("the name is not closed by ']'"));
    if (c == u'`')
        return readQuoted(u'`', JetToken::Type::QuotedName,
                          QStringLiteral("the name is not closed by '`'"));
    if (c == u'#')
        return readDate();
    if (isDigit(c) || (c == u'.' && isDigit(peek(1)) && !m_previousClosesOperand))
        return readNumber();
    if (isNameStart(c)) {
        JetToken token = startToken(JetToken::Type::Name);
        while (m_pos < m_source.size() && isNamePart(peek()))
            advance();
        finish(token);
        token.text = m_source.mid(token.offset, token.length);
        return token;
    }

    JetToken token = startToken(JetToken::Type::Symbol);
    static const QString twoCharacter[] = {QStringLiteral("<>"), QStringLiteral("<="),
                                           QStringLiteral(">=")};
    for (const QString& symbol : twoCharacter) {
        if (QStringView(m_source).mid(m_pos, 2) == symbol) {
            advance();
            advance();
            finish(token);
            token.text = symbol;
            return token;
        }
    }
    static const QString single = QStringLiteral("(),.;*/\\^&+-=<>!");
    if (!single.contains(c)) {
        advance();
        fail(token, QStringLiteral("unexpected character"));
    }
    advance();
    finish(token);
    // Access writes Table!Column for Table.Column.
    token.text = c == u'!' ? QStringLiteral(".") : QString(c);
    return token;
}

JetToken JetLexer::readQuoted(QChar close, JetToken::Type type, const QString& what)
{
    JetToken token = startToken(type);
    advance(); // opening quote or bracket
    QString value;
    for (;;) {
        if (m_pos >= m_source.size())
            fail(token, what);
        const QChar c = peek();
        advance();
        if (c == close) {
            // A doubled quote inside a string stands for one quote; names cannot hold theirs.
            if (type == JetToken::Type::String && peek() == close) {
                advance();
                value += c;
                continue;
            }
            break;
        }
        value += c;
    }
    finish(token);
    if (type == JetToken::Type::QuotedName && value.trimmed().isEmpty())
        fail(token, QStringLiteral("a name cannot be empty"));
    token.text = value;
    return token;
}

JetToken JetLexer::readNumber()
{
    JetToken token = startToken(JetToken::Type::Number);
    while (isDigit(peek()))
        advance();
    if (peek() == u'.') {
        advance();
        while (isDigit(peek()))
            advance();
    }
    if ((peek() == u'e' || peek() == u'E') &&
        (isDigit(peek(1)) || ((peek(1) == u'+' || peek(1) == u'-') && isDigit(peek(2))))) {
        advance();
        if (peek() == u'+' || peek() == u'-')
            advance();
        while (isDigit(peek()))
            advance();
    }
    finish(token);
    token.text = m_source.mid(token.offset, token.length);
    return token;
}

JetToken JetLexer::readDate()
{
    JetToken token = startToken(JetToken::Type::Date);
    advance(); // #
    const int start = m_pos;
    while (m_pos < m_source.size() && peek() != u'#' && peek() != u'\n')
        advance();
    if (peek() != u'#')
        fail(token, QStringLiteral("a date is not closed by '#'"));
    const QString inner = m_source.mid(start, m_pos - start).trimmed();
    advance(); // #
    finish(token);

    // ISO first: the program writes its own dates that way, and it cannot be misread.
    QDate date;
    if (inner.size() == 10 && inner.at(4) == u'-' && inner.at(7) == u'-')
        date = QDate::fromString(inner, Qt::ISODate);
    if (!date.isValid()) {
        if (const auto monthFirst = platform::parseMonthDayYear(inner))
            date = *monthFirst;
        else if (const auto other = platform::parseDate(inner))
            date = *other;
    }
    if (!date.isValid())
        fail(token, QStringLiteral("'%1' is not a valid date").arg(excerpt(inner)));
    token.text = date.toString(Qt::ISODate);
    return token;
}

} // namespace vantor::engine
