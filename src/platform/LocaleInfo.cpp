#include "LocaleInfo.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace vantor::platform {

namespace {

// English names are read in every locale: the lists show dates with them and
// older texts carry them.
const char* const englishMonths[12] = {"January",   "February", "March",    "April",
                                       "May",       "June",     "July",     "August",
                                       "September", "October",  "November", "December"};
const char* const englishDays[7] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                    "Friday", "Saturday", "Sunday"};

QString withoutDots(QString name)
{
    while (name.endsWith(u'.'))
        name.chop(1);
    return name;
}

QString wordKey(QStringView word)
{
    QString key = word.toString().toCaseFolded();
    key.remove(u'.');
    return key;
}

void addMonthWord(QHash<QString, int>& words, QStringView name, int month)
{
    const QString key = wordKey(name);
    if (!key.isEmpty() && !words.contains(key))
        words.insert(key, month);
}

LocaleInfo::DateOrder orderOf(QStringView format)
{
    const qsizetype d = format.indexOf(u'd');
    const qsizetype m = format.indexOf(u'M');
    const qsizetype y = format.indexOf(u'y');
    if (y >= 0 && (m < 0 || y < m) && (d < 0 || y < d))
        return LocaleInfo::DateOrder::YearMonthDay;
    if (d >= 0 && m >= 0 && d < m)
        return LocaleInfo::DateOrder::DayMonthYear;
    return LocaleInfo::DateOrder::MonthDayYear;
}

// Words of a locale's format that are text, not fields: "de" in
// "d 'de' MMMM 'de' yyyy", "г" in "d MMMM yyyy 'г'.".
void collectLiteralWords(QStringView format, QSet<QString>& words)
{
    QString word;
    bool quoted = false;
    auto flush = [&] {
        if (!word.isEmpty())
            words.insert(wordKey(word));
        word.clear();
    };
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'\'') {
            flush();
            quoted = !quoted;
        } else if (c.isLetter() && (quoted || !QStringView(u"dMy").contains(c))) {
            word.append(c);
        } else {
            flush();
        }
    }
    flush();
}

} // namespace

LocaleInfo::LocaleInfo(const QLocale& loc)
    : locale(loc), decimal(loc.decimalPoint()), group(loc.groupSeparator()),
      negativeSign(loc.negativeSign())
{
    groupIsSpace = group.size() == 1 && group.at(0).isSpace();
    for (int m = 1; m <= 12; ++m) {
        monthNames[m - 1] = loc.monthName(m, QLocale::LongFormat);
        monthShortNames[m - 1] = withoutDots(loc.monthName(m, QLocale::ShortFormat));
        standaloneMonthNames[m - 1] = loc.standaloneMonthName(m, QLocale::LongFormat);
        standaloneMonthShortNames[m - 1] =
            withoutDots(loc.standaloneMonthName(m, QLocale::ShortFormat));
    }
    for (int d = 1; d <= 7; ++d) {
        dayNames[d - 1] = loc.dayName(d, QLocale::LongFormat);
        dayShortNames[d - 1] = withoutDots(loc.dayName(d, QLocale::ShortFormat));
    }

    shortFormat = loc.dateFormat(QLocale::ShortFormat);
    longFormat = loc.dateFormat(QLocale::LongFormat);
    shortDate = DatePattern::fromLocaleFormat(shortFormat, true);
    longDate = DatePattern::fromLocaleFormat(longFormat, false);
    shortOrder = orderOf(shortFormat);

    // The locale's own names win over English ones that are spelt the same.
    for (int m = 1; m <= 12; ++m) {
        addMonthWord(monthWords, monthNames[m - 1], m);
        addMonthWord(monthWords, monthShortNames[m - 1], m);
        addMonthWord(monthWords, standaloneMonthNames[m - 1], m);
        addMonthWord(monthWords, standaloneMonthShortNames[m - 1], m);
    }
    for (int m = 1; m <= 12; ++m) {
        const QString english = QString::fromLatin1(englishMonths[m - 1]);
        addMonthWord(monthWords, english, m);
        addMonthWord(monthWords, QStringView(english).left(3), m);
    }
    addMonthWord(monthWords, u"Sept", 9);
    for (auto it = monthWords.cbegin(); it != monthWords.cend(); ++it) {
        if (std::any_of(it.key().begin(), it.key().end(), [](QChar c) { return c.isDigit(); }))
            monthNamesWithDigits.emplace_back(it.key(), it.value());
    }
    std::sort(monthNamesWithDigits.begin(), monthNamesWithDigits.end(),
              [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
    for (int d = 1; d <= 7; ++d) {
        const QString english = QString::fromLatin1(englishDays[d - 1]);
        for (const QString& name :
             {dayNames[d - 1], dayShortNames[d - 1], loc.standaloneDayName(d, QLocale::LongFormat),
              loc.standaloneDayName(d, QLocale::ShortFormat), english, english.left(3)})
            dayWords.insert(wordKey(name));
    }
    collectLiteralWords(shortFormat, literalWords);
    collectLiteralWords(longFormat, literalWords);
}

const LocaleInfo& localeInfo(const QLocale& locale)
{
    // Per thread, so that no lock is taken per value; never evicted, so that
    // references stay valid. A program meets a handful of locales.
    thread_local std::vector<std::unique_ptr<LocaleInfo>> known;
    thread_local const LocaleInfo* last = nullptr;
    if (last && last->locale == locale)
        return *last;
    for (const auto& info : known) {
        if (info->locale == locale) {
            last = info.get();
            return *last;
        }
    }
    known.push_back(std::make_unique<LocaleInfo>(locale));
    last = known.back().get();
    return *last;
}

} // namespace vantor::platform
