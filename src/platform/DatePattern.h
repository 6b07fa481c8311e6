#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

#include <vector>

namespace vantor::platform {

struct LocaleInfo;
class TextBuffer;

// A date pattern compiled to a list of fields and literal texts, so that
// formatting a date is a walk over the list.
class DatePattern
{
public:
    DatePattern() = default;

    // The program's patterns: runs of d, m, y in any letter case; text in
    // double quotes and a character after a backslash are literal, as is any
    // other character.
    static DatePattern fromPattern(QStringView pattern);
    // A locale's own format (QLocale::dateFormat: d, M, y, quotes); with
    // fourDigitYear every year field becomes a four-digit year.
    static DatePattern fromLocaleFormat(QStringView format, bool fourDigitYear);

    // Whether the pattern has any date field (not just literal text).
    bool hasFields() const { return m_hasFields; }

    void appendTo(TextBuffer& out, const QDate& date, const LocaleInfo& locale) const;

private:
    enum class Field : unsigned char {
        Literal,
        Day,
        Day2,
        DayShortName,
        DayName,
        Month,
        Month2,
        MonthShortName,
        MonthName,
        Year2,
        Year4,
        Year4Padded, // the locale forms write year 100 as 0100
        DayOfYear,
    };
    struct Token
    {
        Field field;
        QString text; // the literal text of a Literal
    };

    void addField(Field field);
    void addLiteral(QStringView text);

    std::vector<Token> m_tokens;
    bool m_hasFields = false;
    // Month names in the form that goes with a day number ("5 marta") when the
    // pattern has one, else the stand-alone form ("mart 2004").
    bool m_hasDayNumber = false;
};

} // namespace vantor::platform
