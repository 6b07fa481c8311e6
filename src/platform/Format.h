#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QVariant>

#include <memory>

namespace vantor::platform {

// The Format function of the program's dialect, for the patterns it uses:
//
//   numbers  "##,##0.00", "##,##0.0", "###0.00", "0.00", and in general
//            digit placeholders 0 and #, "," for grouping, "." for the
//            decimal point, literal text; decimal and group characters come
//            from the locale; rounding is half away from zero, as on screen.
//   dates    the named forms "Medium Date", "Short Date", "Long Date", and
//            patterns of d, dd, ddd, dddd, m, mm, mmm, mmmm, yy, yyyy in any
//            letter case ("mmm-dd-yyyy", "dd-mmm-yy", "MMMM dd, yyyy",
//            "dddd, MMMM dd, yyyy"); month and day names from the locale.
//
// "Medium Date" is dd-mmm-yyyy (05-Mar-2004): a four-digit year, so a date
// read back from a list is the same day in any century. "Short Date" is the
// locale's short form with a four-digit year (3/5/2004 in English (US)).
//
// A null value formats as empty text. A date given as ISO text
// ("2004-03-05", as the database stores it) formats as a date under a date
// pattern; numeric text formats as a number under a number pattern; any
// other value is returned as its plain text.
//
// Also, as the database's Format does: a number under a date pattern is a
// date serial (DateSerial.h) and a date under a number pattern formats its
// serial; ";" separates sections for positive, negative and zero values; the
// named forms "General Number", "Fixed", "Standard", "Percent", "Scientific",
// "Currency", "General Date", "Yes/No", "True/False", "On/Off". An empty
// pattern gives the value's default text (numberText, shortDate). A number
// that rounds to zero is shown without a minus sign. Formatting never throws.
//
// A compiled pattern is immutable and may be used from several threads; the
// locale's characters and names are read once per locale and thread.
class FormatPattern
{
public:
    explicit FormatPattern(const QString& pattern);
    ~FormatPattern();
    FormatPattern(const FormatPattern&) = delete;
    FormatPattern& operator=(const FormatPattern&) = delete;

    bool isDatePattern() const;
    QString format(const QVariant& value, const QLocale& locale = QLocale()) const;
    QString formatNumber(double value, const QLocale& locale = QLocale()) const;
    QString formatDate(const QDate& date, const QLocale& locale = QLocale()) const;

private:
    struct Compiled;
    std::unique_ptr<Compiled> d;
};

// One-off convenience; code that formats many values compiles the pattern once.
QString format(const QVariant& value, const QString& pattern, const QLocale& locale = QLocale());

QString mediumDate(const QDate& date, const QLocale& locale = QLocale()); // 05-Mar-2004
QString shortDate(const QDate& date, const QLocale& locale = QLocale());  // 3/5/2004
QString longDate(const QDate& date, const QLocale& locale = QLocale());   // Friday, March 5, 2004

// A date as the program writes it into SQL text: "#2004-03-05#". ISO, so that
// no locale can turn 3 April into 4 March. Throws Error::typeMismatch() for
// an invalid date.
QString sqlDateLiteral(const QDate& date);

// A number in its default text form (as VB's CStr/Str writes it, with the
// locale's decimal separator): 5, 5.5, 0.1, 1E+20, -3.25. Up to 15
// significant digits, no grouping; exponent form from 1E+15 and below 1E-04.
QString numberText(double value, const QLocale& locale = QLocale());

// A value in its default text form, as lists, grids and labels show a field
// without a format of its own: null is empty, a date is the short date, a
// number its numberText, anything else its plain text.
QString valueText(const QVariant& value, const QLocale& locale = QLocale());

} // namespace vantor::platform
