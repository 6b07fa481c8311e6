#pragma once

#include "DatePattern.h"

#include <QHash>
#include <QLocale>
#include <QSet>
#include <QString>

#include <array>
#include <utility>
#include <vector>

namespace vantor::platform {

// What formatting and parsing need from a locale, read once per locale: a
// QLocale answers each of these by a lookup that costs more than formatting
// a value does.
struct LocaleInfo
{
    enum class DateOrder { MonthDayYear, DayMonthYear, YearMonthDay };

    explicit LocaleInfo(const QLocale& locale);

    QLocale locale;
    QString decimal;
    QString group;
    QString negativeSign;
    bool groupIsSpace = false; // then any blank separates digit groups

    // Names by month 1..12 at [0..11] and by weekday Monday..Sunday at
    // [0..6]; abbreviations without a closing dot ("Sept", not "Sept.").
    std::array<QString, 12> monthNames;
    std::array<QString, 12> monthShortNames;
    std::array<QString, 12> standaloneMonthNames;
    std::array<QString, 12> standaloneMonthShortNames;
    std::array<QString, 7> dayNames;
    std::array<QString, 7> dayShortNames;

    DatePattern shortDate; // the locale's short form with a four-digit year
    DatePattern longDate;
    QString shortFormat; // the locale's own formats, for QLocale::toDate
    QString longFormat;
    DateOrder shortOrder = DateOrder::MonthDayYear;

    // For reading dates: words in case-folded form, without dots.
    QHash<QString, int> monthWords; // the locale's and English names -> month
    QSet<QString> dayWords;         // weekday names, which a date may carry
    QSet<QString> literalWords;     // words of the locale's formats ("de", "г")
    // Month names with digits in them ("3月"), longest first: read before
    // the text is split into numbers and words.
    std::vector<std::pair<QString, int>> monthNamesWithDigits;
};

// The information of a locale, built on first use and kept for the run. The
// reference stays valid for the life of the thread.
const LocaleInfo& localeInfo(const QLocale& locale);

} // namespace vantor::platform
