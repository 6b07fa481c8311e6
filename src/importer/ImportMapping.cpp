#include "ImportMapping.h"

#include "platform/LocaleInfo.h"

#include <charconv>
#include <cmath>

namespace vantor::importer {

namespace {

// Three numbers of a numeric date, as written.
struct DateParts
{
    int first = 0;
    int second = 0;
    int third = 0;
    int firstDigits = 0;
    int thirdDigits = 0;
};

std::optional<DateParts> splitDate(QStringView text)
{
    text = text.trimmed();
    DateParts parts;
    int* numbers[] = {&parts.first, &parts.second, &parts.third};
    qsizetype pos = 0;
    QChar separator;
    for (int i = 0; i < 3; ++i) {
        const qsizetype start = pos;
        while (pos < text.size() && text[pos].isDigit() && pos - start < 5)
            *numbers[i] = *numbers[i] * 10 + text[pos++].digitValue();
        const int digits = int(pos - start);
        if (digits == 0 || digits > 4)
            return std::nullopt;
        if (i == 0)
            parts.firstDigits = digits;
        if (i == 2)
            parts.thirdDigits = digits;
        if (i < 2) {
            if (pos >= text.size())
                return std::nullopt;
            const QChar c = text[pos];
            if (c != u'-' && c != u'/' && c != u'.')
                return std::nullopt;
            if (i == 1 && c != separator)
                return std::nullopt;
            separator = c;
            ++pos;
        }
    }
    // A time of day may follow (lab portals write "2024-03-05 08:30"); a
    // trailing dot ends some locales' dates.
    if (pos < text.size() && text[pos] == u'.')
        ++pos;
    if (pos < text.size() && !text[pos].isSpace() && text[pos] != u'T')
        return std::nullopt;
    return parts;
}

bool yearFirst(const DateParts& parts)
{
    return parts.firstDigits >= 3;
}

int fullYear(int year, int digits)
{
    if (digits == 2)
        return year < 30 ? 2000 + year : 1900 + year;
    return digits == 4 ? year : -1;
}

QString normalised(const QString& name)
{
    return name.simplified().toLower();
}

} // namespace

DateGuess guessDateForm(const QStringList& dates, const QLocale& locale)
{
    bool allIso = true;
    bool any = false;
    bool dayFirst = false;
    bool monthFirst = false;
    for (const QString& text : dates) {
        const auto parts = splitDate(text);
        if (!parts)
            continue;
        any = true;
        if (yearFirst(*parts))
            continue;
        allIso = false;
        dayFirst = dayFirst || parts->first > 12;
        monthFirst = monthFirst || parts->second > 12;
    }
    if (any && allIso)
        return {DateForm::Iso, false};
    if (dayFirst != monthFirst)
        return {dayFirst ? DateForm::DayMonthYear : DateForm::MonthDayYear, false};
    const bool localeDayFirst =
        platform::localeInfo(locale).shortOrder == platform::LocaleInfo::DateOrder::DayMonthYear;
    return {localeDayFirst ? DateForm::DayMonthYear : DateForm::MonthDayYear, true};
}

QChar guessDecimal(const QStringList& results, const QLocale& locale)
{
    bool comma = false;
    bool point = false;
    for (const QString& text : results) {
        if (parseResult(text, u',') && text.contains(u','))
            comma = true;
        else if (parseResult(text, u'.') && text.contains(u'.'))
            point = true;
    }
    if (comma != point)
        return comma ? u',' : u'.';
    const QString localeDecimal = locale.decimalPoint();
    return localeDecimal == u"," ? u',' : u'.';
}

std::optional<QDate> parseDate(QStringView text, DateForm form)
{
    const auto parts = splitDate(text);
    if (!parts)
        return std::nullopt;
    int year = 0, month = 0, day = 0;
    if (yearFirst(*parts)) {
        year = parts->firstDigits == 4 ? parts->first : -1;
        month = parts->second;
        day = parts->third;
    } else {
        if (form == DateForm::Iso)
            return std::nullopt;
        year = fullYear(parts->third, parts->thirdDigits);
        month = form == DateForm::MonthDayYear ? parts->first : parts->second;
        day = form == DateForm::MonthDayYear ? parts->second : parts->first;
    }
    // The database keeps four-digit years.
    if (year < 1000)
        return std::nullopt;
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<double> parseResult(QStringView text, QChar decimal)
{
    text = text.trimmed();
    QByteArray plain;
    plain.reserve(text.size());
    qsizetype pos = 0;
    auto digits = [&] {
        const qsizetype start = pos;
        while (pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9')
            plain += char(text[pos++].unicode());
        return pos - start;
    };
    if (pos < text.size() && (text[pos] == u'-' || text[pos] == u'+')) {
        if (text[pos] == u'-')
            plain += '-';
        ++pos;
    }
    qsizetype mantissa = digits();
    if (pos < text.size() && text[pos] == decimal) {
        plain += '.';
        ++pos;
        mantissa += digits();
    }
    if (mantissa == 0)
        return std::nullopt;
    if (pos < text.size() && (text[pos] == u'e' || text[pos] == u'E')) {
        plain += 'e';
        ++pos;
        if (pos < text.size() && (text[pos] == u'-' || text[pos] == u'+'))
            plain += char(text[pos++].unicode());
        if (digits() == 0)
            return std::nullopt;
    }
    if (pos != text.size())
        return std::nullopt;
    double value = 0;
    const auto [end, error] =
        std::from_chars(plain.constData(), plain.constData() + plain.size(), value);
    if (error != std::errc() || end != plain.constData() + plain.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString dateFormName(DateForm form)
{
    switch (form) {
    case DateForm::Iso:
        return QStringLiteral("ISO (year-month-day)");
    case DateForm::MonthDayYear:
        return QStringLiteral("month/day/year");
    case DateForm::DayMonthYear:
        return QStringLiteral("day/month/year");
    }
    return {};
}

void guessForms(Mapping& mapping, const TextTable& table, const QLocale& locale, DateGuess* guess)
{
    QStringList dates;
    QStringList results;
    dates.reserve(table.lines.size());
    QList<int> resultColumns =
        mapping.layout == Layout::Long ? QList<int>{mapping.result} : mapping.testColumns;
    for (const TextLine& line : table.lines) {
        if (mapping.date >= 0 && mapping.date < line.fields.size())
            dates << line.fields[mapping.date];
        for (int column : resultColumns) {
            if (column >= 0 && column < line.fields.size())
                results << line.fields[column];
        }
    }
    const DateGuess dateGuess = guessDateForm(dates, locale);
    mapping.dateForm = dateGuess.form;
    mapping.decimal = guessDecimal(results, locale);
    if (guess)
        *guess = dateGuess;
}

std::optional<Mapping> mappingFromHeading(const TextTable& table, const QLocale& locale)
{
    if (!table.hasHeading)
        return std::nullopt;
    Mapping mapping;
    const struct
    {
        int* column;
        QStringList names;
    } known[] = {
        {&mapping.date, {QStringLiteral("date"), QStringLiteral("day")}},
        {&mapping.period, {QStringLiteral("period"), QStringLiteral("time of day")}},
        {&mapping.test,
         {QStringLiteral("test"), QStringLiteral("test item"), QStringLiteral("item"),
          QStringLiteral("analyte")}},
        {&mapping.result, {QStringLiteral("result"), QStringLiteral("value")}},
        {&mapping.unit, {QStringLiteral("unit"), QStringLiteral("units")}},
        {&mapping.remarks,
         {QStringLiteral("remarks"), QStringLiteral("remark"), QStringLiteral("comment"),
          QStringLiteral("comments"), QStringLiteral("note"), QStringLiteral("notes")}},
    };
    for (int column = 0; column < table.heading.size(); ++column) {
        const QString name = normalised(table.heading[column]);
        for (const auto& entry : known) {
            if (*entry.column < 0 && entry.names.contains(name))
                *entry.column = column;
        }
    }
    if (mapping.date < 0 || mapping.test < 0 || mapping.result < 0)
        return std::nullopt;
    guessForms(mapping, table, locale);
    return mapping;
}

QString mappingProblem(const Mapping& mapping, const TextTable& table)
{
    const int columns = table.columnCount();
    auto outside = [columns](int column) { return column >= columns; };
    if (mapping.date < 0)
        return QStringLiteral("Choose the column that holds the date.");
    if (mapping.layout == Layout::Long) {
        if (mapping.test < 0)
            return QStringLiteral("Choose the column that holds the test item.");
        if (mapping.result < 0)
            return QStringLiteral("Choose the column that holds the result.");
    } else {
        if (mapping.testColumns.isEmpty())
            return QStringLiteral("Mark the columns that hold test items.");
        if (!table.hasHeading)
            return QStringLiteral("A file with one column per test item needs a first line "
                                  "that names the test items.");
        for (int column : mapping.testColumns) {
            if (outside(column) || column < 0)
                return QStringLiteral("The file has no column %1.").arg(column + 1);
            if (column == mapping.date || column == mapping.period || column == mapping.remarks)
                return QStringLiteral("The column \"%1\" cannot be a test item and something else.")
                    .arg(table.columnName(column));
        }
    }
    const int used[] = {mapping.date,   mapping.period, mapping.test,
                        mapping.result, mapping.unit,   mapping.remarks};
    for (int column : used) {
        if (outside(column))
            return QStringLiteral("The file has no column %1.").arg(column + 1);
    }
    if (mapping.layout == Layout::Long) {
        for (int i = 0; i < 6; ++i)
            for (int j = i + 1; j < 6; ++j)
                if (used[i] >= 0 && used[i] == used[j])
                    return QStringLiteral("The column \"%1\" is chosen twice.")
                        .arg(table.columnName(used[i]));
    }
    if (mapping.period < 0 && mapping.defaultPeriod.trimmed().isEmpty())
        return QStringLiteral("Choose the period for lines without one.");
    return {};
}

} // namespace vantor::importer

namespace vantor::importer {

std::optional<Mapping> wideMappingFromHeading(const TextTable& table, const QLocale& locale)
{
    if (!table.hasHeading)
        return std::nullopt;
    Mapping mapping;
    mapping.layout = Layout::Wide;
    for (int column = 0; column < table.heading.size(); ++column) {
        const QString name = normalised(table.heading[column]);
        if (name == u"date" && mapping.date < 0)
            mapping.date = column;
        else if (name == u"period" && mapping.period < 0)
            mapping.period = column;
        else if ((name == u"remarks" || name == u"remark" || name == u"comments" ||
                  name == u"notes") &&
                 mapping.remarks < 0)
            mapping.remarks = column;
    }
    if (mapping.date < 0)
        return std::nullopt;
    for (int column = 0; column < table.heading.size(); ++column) {
        if (column == mapping.date || column == mapping.period || column == mapping.remarks)
            continue;
        // A test column: its first filled cells read as numbers.
        int numbers = 0;
        int others = 0;
        for (qsizetype i = 0; i < table.lines.size() && numbers + others < 20; ++i) {
            const QString text = table.lines[i].fields.value(column).trimmed();
            if (text.isEmpty())
                continue;
            if (parseResult(text, u'.') || parseResult(text, u','))
                ++numbers;
            else
                ++others;
        }
        if (numbers > others)
            mapping.testColumns << column;
    }
    if (mapping.testColumns.isEmpty())
        return std::nullopt;
    guessForms(mapping, table, locale);
    return mapping;
}

} // namespace vantor::importer

namespace vantor::importer {

GuessedFile guessFile(SourceText source, std::optional<QChar> delimiter,
                      std::optional<bool> heading, const QLocale& locale)
{
    const QChar separator =
        delimiter.value_or(source.isExport ? QChar(u'\t') : guessDelimiter(source.text));
    const bool hasHeading =
        heading.value_or(source.isExport || guessHeading(splitText(source.text, separator, false)));
    GuessedFile file{std::move(source), {}, {}};
    file.table = splitText(file.source.text, separator, hasHeading, !file.source.isExport);
    file.mapping = mappingFromHeading(file.table, locale);
    if (!file.mapping)
        file.mapping = wideMappingFromHeading(file.table, locale);
    return file;
}

} // namespace vantor::importer
