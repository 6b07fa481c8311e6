#include "DatePattern.h"

#include "LocaleInfo.h"
#include "TextBuffer.h"

namespace vantor::platform {

namespace {

qsizetype runLength(QStringView text, qsizetype from, bool ignoreCase)
{
    const QChar c = text[from];
    qsizetype end = from + 1;
    while (end < text.size() && (ignoreCase ? text[end].toLower() == c.toLower() : text[end] == c))
        ++end;
    return end - from;
}

} // namespace

void DatePattern::addField(Field field)
{
    m_tokens.push_back({field, {}});
    m_hasFields = true;
    if (field == Field::Day || field == Field::Day2)
        m_hasDayNumber = true;
}

void DatePattern::addLiteral(QStringView text)
{
    if (text.isEmpty())
        return;
    if (!m_tokens.empty() && m_tokens.back().field == Field::Literal)
        m_tokens.back().text.append(text);
    else
        m_tokens.push_back({Field::Literal, text.toString()});
}

DatePattern DatePattern::fromPattern(QStringView pattern)
{
    DatePattern result;
    qsizetype i = 0;
    while (i < pattern.size()) {
        const QChar c = pattern[i];
        const char16_t lower = c.toLower().unicode();
        if (c == u'"') {
            const qsizetype close = pattern.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? pattern.size() : close;
            result.addLiteral(pattern.mid(i + 1, end - i - 1));
            i = end + 1;
        } else if (c == u'\\') {
            if (i + 1 < pattern.size())
                result.addLiteral(pattern.mid(i + 1, 1));
            i += 2;
        } else if (lower == u'd' || lower == u'm' || lower == u'y') {
            // A run longer than the longest field is read as several fields,
            // longest first ("yyyyyy" is yyyy then yy).
            qsizetype run = runLength(pattern, i, true);
            i += run;
            while (run > 0) {
                if (lower == u'd') {
                    const qsizetype n = std::min<qsizetype>(run, 4);
                    result.addField(n == 4   ? Field::DayName
                                    : n == 3 ? Field::DayShortName
                                    : n == 2 ? Field::Day2
                                             : Field::Day);
                    run -= n;
                } else if (lower == u'm') {
                    const qsizetype n = std::min<qsizetype>(run, 4);
                    result.addField(n == 4   ? Field::MonthName
                                    : n == 3 ? Field::MonthShortName
                                    : n == 2 ? Field::Month2
                                             : Field::Month);
                    run -= n;
                } else if (run >= 4) {
                    result.addField(Field::Year4);
                    run -= 4;
                } else if (run >= 2) {
                    result.addField(Field::Year2);
                    run -= 2;
                } else {
                    result.addField(Field::DayOfYear);
                    run -= 1;
                }
            }
        } else {
            result.addLiteral(pattern.mid(i, 1));
            ++i;
        }
    }
    return result;
}

DatePattern DatePattern::fromLocaleFormat(QStringView format, bool fourDigitYear)
{
    DatePattern result;
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format[i];
        if (c == u'\'') {
            // 'text' is literal; '' is a quote.
            if (i + 1 < format.size() && format[i + 1] == u'\'') {
                result.addLiteral(u"'");
                i += 2;
                continue;
            }
            QString text;
            qsizetype j = i + 1;
            while (j < format.size()) {
                if (format[j] == u'\'') {
                    if (j + 1 < format.size() && format[j + 1] == u'\'') {
                        text.append(u'\'');
                        j += 2;
                        continue;
                    }
                    break;
                }
                text.append(format[j++]);
            }
            result.addLiteral(text);
            i = j + 1;
        } else if (c == u'd' || c == u'M' || c == u'y') {
            const qsizetype run = runLength(format, i, false);
            i += run;
            if (c == u'd') {
                result.addField(run >= 4   ? Field::DayName
                                : run == 3 ? Field::DayShortName
                                : run == 2 ? Field::Day2
                                           : Field::Day);
            } else if (c == u'M') {
                result.addField(run >= 4   ? Field::MonthName
                                : run == 3 ? Field::MonthShortName
                                : run == 2 ? Field::Month2
                                           : Field::Month);
            } else {
                result.addField(run == 2 && !fourDigitYear ? Field::Year2 : Field::Year4Padded);
            }
        } else {
            result.addLiteral(format.mid(i, 1));
            ++i;
        }
    }
    return result;
}

namespace {

struct Civil
{
    int year;
    int month;
    int day;
    int weekday; // Monday = 1
};

// QDate's own conversion goes through its calendar system; this is the plain
// Gregorian arithmetic for the days the program formats (year 1 onwards).
Civil civilOf(const QDate& date)
{
    const qint64 jd = date.toJulianDay();
    if (jd < 1721426) { // before 1 January 1 there is no year 0 in QDate
        Civil c{};
        date.getDate(&c.year, &c.month, &c.day);
        c.weekday = date.dayOfWeek();
        return c;
    }
    // Days since 1 March of year 0 (proleptic Gregorian), in 400-year eras.
    const qint64 z = jd - 1721120;
    const qint64 era = z / 146097;
    const qint64 doe = z - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day, static_cast<int>(jd % 7) + 1};
}

} // namespace

void DatePattern::appendTo(TextBuffer& out, const QDate& date, const LocaleInfo& locale) const
{
    const Civil civil = civilOf(date);
    const int year = civil.year;
    const int month = civil.month;
    const int day = civil.day;
    for (const Token& token : m_tokens) {
        switch (token.field) {
        case Field::Literal:
            out.append(token.text);
            break;
        case Field::Day:
            out.appendNumber(day);
            break;
        case Field::Day2:
            out.appendNumber(day, 2);
            break;
        case Field::DayShortName:
            out.append(locale.dayShortNames[civil.weekday - 1]);
            break;
        case Field::DayName:
            out.append(locale.dayNames[civil.weekday - 1]);
            break;
        case Field::Month:
            out.appendNumber(month);
            break;
        case Field::Month2:
            out.appendNumber(month, 2);
            break;
        case Field::MonthShortName:
            out.append(m_hasDayNumber ? locale.monthShortNames[month - 1]
                                      : locale.standaloneMonthShortNames[month - 1]);
            break;
        case Field::MonthName:
            out.append(m_hasDayNumber ? locale.monthNames[month - 1]
                                      : locale.standaloneMonthNames[month - 1]);
            break;
        case Field::Year2:
            out.appendNumber(year % 100, 2);
            break;
        case Field::Year4:
            if (year < 0)
                out.append(u'-');
            out.appendNumber(year);
            break;
        case Field::Year4Padded:
            if (year < 0)
                out.append(u'-');
            out.appendNumber(year, 4);
            break;
        case Field::DayOfYear:
            out.appendNumber(date.dayOfYear());
            break;
        }
    }
}

} // namespace vantor::platform
