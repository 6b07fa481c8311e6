#pragma once

#include "platform/Error.h"

#include <QString>
#include <QVector>

namespace vantor::engine {

struct JetToken
{
    enum class Type {
        End,
        Name,       // a bare word: a keyword, function or name (which one is the parser's call)
        QuotedName, // [bracketed] or `backquoted`; text holds the name without its quotes
        String,     // 'single' or "double" quoted; text holds the value
        Number,     // text holds the literal as written
        Date,       // #...#; text holds the date as ISO text (2004-03-05)
        Symbol,     // an operator or punctuation: ( ) , . ; * / \ ^ & + - = <> < > <= >=
    };

    Type type = Type::End;
    QString text;
    int offset = 0; // where the token starts in the source
    int length = 0; // how many characters of the source it covers
    int line = 1;   // 1-based
    int column = 1; // 1-based

    bool isSymbol(QLatin1String symbol) const { return type == Type::Symbol && text == symbol; }
    // A bare word equal to keyword without regard to case.
    bool isWord(QLatin1String keyword) const
    {
        return type == Type::Name && text.compare(keyword, Qt::CaseInsensitive) == 0;
    }
};

// Splits a statement of the program's SQL dialect into tokens. Whitespace
// (including CR and LF) separates tokens and is dropped; quotes, brackets and
// # inside a string are plain characters. Dates between # signs are read
// month first (3/5/2004 is 5 March), as ISO (2004-03-05) or in the medium
// form the lists show (05-Mar-2004).
class JetLexer
{
public:
    explicit JetLexer(const QString& source);

    // The tokens of the whole text, ending with one token of type End.
    // Throws Error::SyntaxError for text that cannot be read.
    QVector<JetToken> tokenize();

    // "Syntax error in SQL text at line 1, column 23 (near 'FROMM'): <what>"
    static Error syntaxError(const QString& source, const JetToken& at, const QString& what);

private:
    JetToken readToken();
    JetToken readQuoted(QChar close, JetToken::Type type, const QString& what);
    JetToken readNumber();
    JetToken readDate();
    JetToken startToken(JetToken::Type type) const;
    void finish(JetToken& token) const;
    [[noreturn]] void fail(const JetToken& at, const QString& what) const;
    void advance();
    QChar peek(int ahead = 0) const;

    QString m_source;
    int m_pos = 0;
    int m_line = 1;
    int m_lineStart = 0;
    JetToken::Type m_previous = JetToken::Type::End;
    bool m_previousClosesOperand = false;
};

} // namespace vantor::engine
