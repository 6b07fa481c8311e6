#pragma once

#include "ImportReader.h"

#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>

#include <optional>

namespace vantor::importer {

enum class Layout {
    Long, // one value a line: date, period, test item, result, unit, remarks
    Wide  // one occasion a line, one column per test item (named by the heading)
};

enum class DateForm { Iso, MonthDayYear, DayMonthYear };

// Which column holds what (0-based; -1 for none).
struct Mapping
{
    Layout layout = Layout::Long;
    int date = -1;
    int period = -1; // none: every line takes defaultPeriod
    int test = -1;
    int result = -1;
    int unit = -1; // none: the test item's unit
    int remarks = -1;
    QList<int> testColumns; // the wide layout's test items
    DateForm dateForm = DateForm::Iso;
    QChar decimal = u'.';
    QString defaultPeriod; // for lines without a period
};

struct DateGuess
{
    DateForm form = DateForm::Iso;
    // Every date read either way: the form is the locale's order, not the data's.
    bool ambiguous = false;
};

// ISO when every date is yyyy-mm-dd; otherwise day first when a first number
// is above 12, month first when a second one is; when nothing decides, the
// order of the locale's short date form.
DateGuess guessDateForm(const QStringList& dates, const QLocale& locale = QLocale());
// A comma when results carry a decimal comma and none a decimal point;
// else the locale's separator when it is one of the two, else a point.
QChar guessDecimal(const QStringList& results, const QLocale& locale = QLocale());

// A date in the given form; a text in yyyy-mm-dd (also with / or .) is read
// year first whatever the form; two-digit years are 1930..2029; a time of day
// after the date is passed over. nullopt for anything else.
std::optional<QDate> parseDate(QStringView text, DateForm form);
// A result: optional sign, digits, the decimal separator and an exponent;
// no digit grouping. nullopt for anything else, also for infinity and NaN.
std::optional<double> parseResult(QStringView text, QChar decimal);

QString dateFormName(DateForm form); // "ISO (year-month-day)", "month/day/year", ...

// The columns of a table's heading named as the export names them (Date,
// Period, Test, Result, Unit, Remarks; case and blanks do not count), with the
// date form and decimal separator guessed from the data. nullopt when the
// heading does not name at least a date, a test and a result.
std::optional<Mapping> mappingFromHeading(const TextTable& table,
                                          const QLocale& locale = QLocale());

// The guesses for a mapping's columns from the data: date form and decimal.
void guessForms(Mapping& mapping, const TextTable& table, const QLocale& locale = QLocale(),
                DateGuess* guess = nullptr);

// What is wrong with a mapping for this table, in words; empty when it can be used.
QString mappingProblem(const Mapping& mapping, const TextTable& table);

} // namespace vantor::importer

namespace vantor::importer {

// For a file with one column per test item: the date (and period and
// remarks) columns named as the export names them, and every other column
// whose values are numbers as a test item. nullopt without a date column or
// without such a column.
std::optional<Mapping> wideMappingFromHeading(const TextTable& table,
                                              const QLocale& locale = QLocale());

} // namespace vantor::importer

namespace vantor::importer {

// A file as the import first sees it: the program's export as such (tab, a
// heading, no quoting); any other file with its separator and heading line
// guessed unless given, and its columns guessed from the heading (one value
// a line, else one column per test item) where the heading names them.
struct GuessedFile
{
    SourceText source;
    TextTable table;
    std::optional<Mapping> mapping;
};

GuessedFile guessFile(SourceText source, std::optional<QChar> delimiter = {},
                      std::optional<bool> heading = {}, const QLocale& locale = QLocale());

} // namespace vantor::importer
