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

// The locale's text is copied into the plain form that std::from_chars reads
// ("-1234.5e3"); from_chars does not depend on the C library's locale.
NumberRead readNumber(QStringView input, const LocaleInfo& locale, double& value)
{
    const QStringView text = trimmed(input);
    const qsizetype n = text.size();
    qsizetype i = 0;
    QVarLengthArray<char, 64> plain;

    if (i < n && isMinus(text[i], locale)) {
        plain.append('-');
        ++i;
    } else if (i < n && text[i] == u'+') {
        ++i;
    }
    while (i < n && text[i].isSpace())
        ++i;

    int intDigits = 0;
    int leadingZeros = 0; // zeros before the first significant digit
    bool grouped = false;
    int groupLength = 0;
    while (i < n) {
        const QChar c = text[i];
        if (isDigit(c)) {
            if (c == u'0' && intDigits == leadingZeros)
                ++leadingZeros;
            plain.append(static_cast<char>(c.unicode()));
            ++intDigits;
            ++groupLength;
            ++i;
        } else if (intDigits > 0 && i + 1 < n && isDigit(text[i + 1]) &&
                   isGroupSeparator(c, locale)) {
            if (grouped ? groupLength != 3 : groupLength > 3)
                return NumberRead::NoNumber;
            grouped = true;
            groupLength = 0;
            ++i;
        } else {
            break;
        }
    }
    if (grouped && groupLength != 3)
        return NumberRead::NoNumber;

    int fracDigits = 0;
    int fracLeadingZeros = 0;
    if (!locale.decimal.isEmpty() && text.mid(i).startsWith(locale.decimal)) {
        i += locale.decimal.size();
        plain.append('.');
        while (i < n && isDigit(text[i])) {
            if (text[i] == u'0' && fracDigits == fracLeadingZeros)
                ++fracLeadingZeros;
            plain.append(static_cast<char>(text[i].unicode()));
            ++fracDigits;
            ++i;
        }
    }
    if (intDigits + fracDigits == 0)
        return NumberRead::NoNumber;

    long long exponent = 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        plain.append('e');
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == u'+' || text[i] == u'-')) {
            negativeExponent = text[i] == u'-';
            plain.append(static_cast<char>(text[i].unicode()));
            ++i;
        }
        if (i >= n || !isDigit(text[i]))
            return NumberRead::NoNumber;
        while (i < n && isDigit(text[i])) {
            exponent = std::min(exponent * 10 + (text[i].unicode() - u'0'), 1000000LL);
            plain.append(static_cast<char>(text[i].unicode()));
            ++i;
        }
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != n)
        return NumberRead::NoNumber;

    const auto result = std::from_chars(plain.constData(), plain.constData() + plain.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: which, by the decimal magnitude.
        const long long magnitude = intDigits > leadingZeros ? intDigits - leadingZeros + exponent
                                                             : exponent - fracLeadingZeros;
        if (magnitude > 0)
            return NumberRead::TooLarge;
        value = plain[0] == '-' ? -0.0 : 0.0;
        return NumberRead::Number;
    }
    if (result.ec != std::errc() || result.ptr != plain.constData() + plain.size())
        return NumberRead::NoNumber;
    return NumberRead::Number;
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
        int month = 0;
        if (months.size() == 1) {
            month = months[0];
        } else {
            for (std::size_t k = 0; k < months.size(); ++k) {
                if (monthAmbiguous[k])
                    continue;
                if (month != 0)
                    return std::nullopt;
                month = months[k];
            }
            if (month == 0)
                return std::nullopt;
        }
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
