#include "Conversions.h"

#include "Error.h"
#include "LocaleInfo.h"

#include <QVarLengthArray>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

namespace vantor::platform {

namespace {

enum class NumberRead { Number, NoNumber, TooLarge };

bool isDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

QStringView trimmed(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].isSpace())
        ++begin;
    while (end > begin && text[end - 1].isSpace())
        --end;
    return text.mid(begin, end - begin);
}

bool isGroupSeparator(QChar c, const LocaleInfo& locale)
{
    if (locale.group.size() == 1 && c == locale.group.at(0))
        return true;
    return locale.groupIsSpace && c.isSpace();
}

bool isMinus(QChar c, const LocaleInfo& locale)
{
    return c == u'-' || c == QChar(0x2212) ||
           (locale.negativeSign.size() == 1 && c == locale.negativeSign.at(0));
}

// A number in the locale's form, copied part by part into the plain form
// that std::from_chars reads ("-1234.5e3"); from_chars does not depend on the
// C library's locale. Each part returns false when the text is no number.
class PlainNumber
{
public:
    PlainNumber(QStringView text, const LocaleInfo& locale) : m_text(text), m_locale(locale) {}

    bool read()
    {
        readSign();
        return readInteger() && readFraction() && readExponent() && atEnd();
    }
    NumberRead convert(double& value) const;

private:
    bool atEnd() const { return m_i == m_text.size(); }
    bool digitHere() const { return m_i < m_text.size() && isDigit(m_text[m_i]); }
    void copy() { m_plain.append(static_cast<char>(m_text[m_i++].unicode())); }
    void readSign();
    bool readInteger();
    bool readFraction();
    bool readExponent();

    QStringView m_text;
    const LocaleInfo& m_locale;
    qsizetype m_i = 0;
    QVarLengthArray<char, 64> m_plain;
    int m_intDigits = 0;
    int m_leadingZeros = 0; // zeros before the first significant digit
    int m_fracDigits = 0;
    int m_fracLeadingZeros = 0;
    long long m_exponent = 0;
};

void PlainNumber::readSign()
{
    if (!atEnd() && isMinus(m_text[m_i], m_locale)) {
        m_plain.append('-');
        ++m_i;
    } else if (!atEnd() && m_text[m_i] == u'+') {
        ++m_i;
    }
    while (!atEnd() && m_text[m_i].isSpace())
        ++m_i;
}

// Digits, grouped by threes when the locale's group separator stands between.
bool PlainNumber::readInteger()
{
    bool grouped = false;
    int groupLength = 0;
    while (!atEnd()) {
        const QChar c = m_text[m_i];
        if (isDigit(c)) {
            if (c == u'0' && m_intDigits == m_leadingZeros)
                ++m_leadingZeros;
            copy();
            ++m_intDigits;
            ++groupLength;
        } else if (m_intDigits > 0 && m_i + 1 < m_text.size() && isDigit(m_text[m_i + 1]) &&
                   isGroupSeparator(c, m_locale)) {
            if (grouped ? groupLength != 3 : groupLength > 3)
                return false;
            grouped = true;
            groupLength = 0;
            ++m_i;
        } else {
            break;
        }
    }
    return !grouped || groupLength == 3;
}

bool PlainNumber::readFraction()
{
    if (!m_locale.decimal.isEmpty() && m_text.mid(m_i).startsWith(m_locale.decimal)) {
        m_i += m_locale.decimal.size();
        m_plain.append('.');
        while (digitHere()) {
            if (m_text[m_i] == u'0' && m_fracDigits == m_fracLeadingZeros)
                ++m_fracLeadingZeros;
            copy();
            ++m_fracDigits;
        }
    }
    return m_intDigits + m_fracDigits > 0;
}

bool PlainNumber::readExponent()
{
    if (atEnd() || (m_text[m_i] != u'e' && m_text[m_i] != u'E'))
        return true;
    m_plain.append('e');
    ++m_i;
    const bool negative = !atEnd() && m_text[m_i] == u'-';
    if (!atEnd() && (m_text[m_i] == u'+' || m_text[m_i] == u'-'))
        copy();
    if (!digitHere())
        return false;
    while (digitHere()) {
        m_exponent = std::min(m_exponent * 10 + (m_text[m_i].unicode() - u'0'), 1000000LL);
        copy();
    }
    if (negative)
        m_exponent = -m_exponent;
    return true;
}

NumberRead PlainNumber::convert(double& value) const
{
    const char* end = m_plain.constData() + m_plain.size();
    const auto result = std::from_chars(m_plain.constData(), end, value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: which, by the decimal magnitude.
        const long long magnitude = m_intDigits > m_leadingZeros
                                        ? m_intDigits - m_leadingZeros + m_exponent
                                        : m_exponent - m_fracLeadingZeros;
        if (magnitude > 0)
            return NumberRead::TooLarge;
        value = m_plain[0] == '-' ? -0.0 : 0.0;
        return NumberRead::Number;
    }
    if (result.ec != std::errc() || result.ptr != end)
        return NumberRead::NoNumber;
    return NumberRead::Number;
}

NumberRead readNumber(QStringView input, const LocaleInfo& locale, double& value)
{
    PlainNumber number(trimmed(input), locale);
    return number.read() ? number.convert(value) : NumberRead::NoNumber;
}

std::optional<QDate> makeDate(int year, int month, int day)
{
    if (year < 100 || year > 9999)
        return std::nullopt;
    if (!QDate::isValid(year, month, day))
        return std::nullopt;
    return QDate(year, month, day);
}

// Two-digit years are 1930..2029; longer ones stand as written.
int fullYear(int value, int digits)
{
    if (digits > 2)
        return value;
    return value < 30 ? 2000 + value : 1900 + value;
}

struct DatePart
{
    bool isNumber;
    int value;  // a number's value, or the month of a month name with digits
    int digits; // a number's length
    QStringView word;
};

// Splits date text into numbers and words; nullopt for a character that no
// date form the program reads contains.
std::optional<std::vector<DatePart>> splitDate(QStringView text, const LocaleInfo& locale)
{
    std::vector<DatePart> parts;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        const auto named =
            std::find_if(locale.monthNamesWithDigits.begin(), locale.monthNamesWithDigits.end(),
                         [&](const auto& name) {
                             return text.mid(i).startsWith(name.first, Qt::CaseInsensitive);
                         });
        if (named != locale.monthNamesWithDigits.end()) {
            parts.push_back({false, named->second, 0, text.mid(i, named->first.size())});
            i += named->first.size();
        } else if (isDigit(c)) {
            int value = 0;
            int digits = 0;
            while (i < text.size() && isDigit(text[i])) {
                if (++digits > 4)
                    return std::nullopt;
                value = value * 10 + (text[i].unicode() - u'0');
                ++i;
            }
            parts.push_back({true, value, digits, {}});
        } else if (c.isLetter() || c.isMark()) {
            const qsizetype start = i;
            while (i < text.size() && (text[i].isLetter() || text[i].isMark()))
                ++i;
            parts.push_back({false, 0, 0, text.mid(start, i - start)});
        } else if (c.isSpace() || c == u',' || c == u'.' || c == u'-' || c == u'/') {
            ++i;
        } else {
            return std::nullopt;
        }
    }
    return parts;
}

std::optional<QDate> inOrder(const DatePart& a, const DatePart& b, const DatePart& c,
                             LocaleInfo::DateOrder order)
{
    switch (order) {
    case LocaleInfo::DateOrder::YearMonthDay:
        return makeDate(fullYear(a.value, a.digits), b.value, c.value);
    case LocaleInfo::DateOrder::DayMonthYear:
        if (a.digits > 2 || b.digits > 2)
            return std::nullopt;
        return makeDate(fullYear(c.value, c.digits), b.value, a.value);
    case LocaleInfo::DateOrder::MonthDayYear:
        if (a.digits > 2 || b.digits > 2)
            return std::nullopt;
        return makeDate(fullYear(c.value, c.digits), a.value, b.value);
    }
    return std::nullopt;
}

// The month the words name: the only one, or the only one that is no
// weekday or other word as well; 0 when that leaves none or several.
int theMonth(const std::vector<int>& months, const std::vector<bool>& ambiguous)
{
    if (months.size() == 1)
        return months[0];
    int month = 0;
    for (std::size_t k = 0; k < months.size(); ++k) {
        if (ambiguous[k])
            continue;
        if (month != 0)
            return 0;
        month = months[k];
    }
    return month;
}

// Numbers and names: the medium form, "mmm-dd-yyyy", the long forms, and
// the numeric forms.
std::optional<QDate> parseDateParts(QStringView text, const LocaleInfo& locale)
{
    const auto parts = splitDate(text, locale);
    if (!parts)
        return std::nullopt;
    std::vector<const DatePart*> numbers;
    std::vector<int> months;          // the month of each word that names one
    std::vector<bool> monthAmbiguous; // that word also names a weekday or is text
    for (const DatePart& part : *parts) {
        if (part.isNumber) {
            numbers.push_back(&part);
            continue;
        }
        if (part.value > 0) { // a month name with digits
            months.push_back(part.value);
            monthAmbiguous.push_back(false);
            continue;
        }
        QString key = part.word.toString().toCaseFolded();
        const bool weekday = locale.dayWords.contains(key);
        const bool literal = locale.literalWords.contains(key);
        const int month = locale.monthWords.value(key, 0);
        if (month > 0) {
            months.push_back(month);
            monthAmbiguous.push_back(weekday || literal);
        } else if (!weekday && !literal) {
            return std::nullopt;
        }
    }

    if (numbers.size() == 3 && months.empty()) {
        const DatePart& a = *numbers[0];
        const DatePart& b = *numbers[1];
        const DatePart& c = *numbers[2];
        if (a.digits > 2)
            return inOrder(a, b, c, LocaleInfo::DateOrder::YearMonthDay);
        if (const auto date = inOrder(a, b, c, locale.shortOrder))
            return date;
        return inOrder(a, b, c, LocaleInfo::DateOrder::MonthDayYear);
    }

    if (numbers.size() == 2 && !months.empty()) {
        const int month = theMonth(months, monthAmbiguous);
        if (month == 0)
            return std::nullopt;
        const DatePart& first = *numbers[0];
        const DatePart& second = *numbers[1];
        if (first.digits > 2) {
            if (second.digits > 2)
                return std::nullopt;
            return makeDate(first.value, month, second.value);
        }
        return makeDate(fullYear(second.value, second.digits), month, first.value);
    }
    return std::nullopt;
}

} // namespace

std::optional<double> parseNumber(const QString& text, const QLocale& locale)
{
    double value = 0;
    if (readNumber(text, localeInfo(locale), value) == NumberRead::Number)
        return value;
    return std::nullopt;
}

double toDouble(const QString& text, const QLocale& locale)
{
    double value = 0;
    switch (readNumber(text, localeInfo(locale), value)) {
    case NumberRead::Number:
        return value;
    case NumberRead::TooLarge:
        throw Error::overflow();
    case NumberRead::NoNumber:
        break;
    }
    throw Error::typeMismatch();
}

double roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return value;
    double rounded = std::round(value);
    if (std::fabs(value - std::trunc(value)) == 0.5)
        rounded = 2.0 * std::round(value / 2.0);
    return rounded + 0.0; // -0 becomes 0
}

qint16 toInteger16(double value)
{
    const double rounded = roundHalfEven(value);
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        throw Error::overflow();
    return static_cast<qint16>(rounded);
}

qint16 toInteger16(const QString& text, const QLocale& locale)
{
    return toInteger16(toDouble(text, locale));
}

qint32 toInteger32(double value)
{
    const double rounded = roundHalfEven(value);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
        throw Error::overflow();
    return static_cast<qint32>(rounded);
}

qint32 toInteger32(const QString& text, const QLocale& locale)
{
    return toInteger32(toDouble(text, locale));
}

std::optional<QDate> parseMonthDayYear(const QString& input)
{
    const QStringView text = trimmed(input);
    int fields[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    QChar separator;
    qsizetype i = 0;
    for (int f = 0; f < 3; ++f) {
        if (f > 0) {
            if (i >= text.size())
                return std::nullopt;
            const QChar c = text[i];
            if (c != u'/' && c != u'-' && c != u'.')
                return std::nullopt;
            if (f == 1)
                separator = c;
            else if (c != separator)
                return std::nullopt;
            ++i;
        }
        const int maxDigits = f == 2 ? 4 : 2;
        while (i < text.size() && isDigit(text[i])) {
            // Refused before the number can grow past what an int holds.
            if (++digits[f] > maxDigits)
                return std::nullopt;
            fields[f] = fields[f] * 10 + (text[i].unicode() - u'0');
            ++i;
        }
        if (digits[f] == 0)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;
    return makeDate(fullYear(fields[2], digits[2]), fields[0], fields[1]);
}

std::optional<QDate> parseIsoDate(QStringView input)
{
    const QStringView text = trimmed(input);
    if (text.size() < 10)
        return std::nullopt;
    for (int k : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (!isDigit(text[k]))
            return std::nullopt;
    }
    if (text[4] != u'-' || text[7] != u'-')
        return std::nullopt;
    if (text.size() > 10) {
        if (text[10] != u'T' && text[10] != u' ')
            return std::nullopt;
        for (QChar c : text.mid(11)) {
            if (!isDigit(c) && c != u':' && c != u'.' && c != u'+' && c != u'-' && c != u'Z')
                return std::nullopt;
        }
    }
    auto number = [&text](int from, int length) {
        int value = 0;
        for (int k = from; k < from + length; ++k)
            value = value * 10 + (text[k].unicode() - u'0');
        return value;
    };
    return makeDate(number(0, 4), number(5, 2), number(8, 2));
}

std::optional<QDate> parseDate(const QString& input, const QLocale& locale)
{
    const QStringView text = trimmed(input);
    if (text.isEmpty())
        return std::nullopt;
    if (const auto iso = parseIsoDate(text))
        return iso;
    const LocaleInfo& info = localeInfo(locale);
    if (const auto date = parseDateParts(text, info))
        return date;
    // Last, the locale's own forms as Qt reads them, for scripts whose dates
    // the forms above do not cover ("2004年3月5日").
    if (std::none_of(text.begin(), text.end(), isDigit))
        return std::nullopt;
    const QString copy = text.toString();
    for (const QString& format : {info.longFormat, info.shortFormat}) {
        const QDate date = locale.toDate(copy, format);
        if (date.isValid() && date.year() >= 100 && date.year() <= 9999)
            return date;
    }
    return std::nullopt;
}

QDate toDate(const QString& text, const QLocale& locale)
{
    if (const auto date = parseDate(text, locale))
        return *date;
    throw Error::typeMismatch();
}

} // namespace vantor::platform
