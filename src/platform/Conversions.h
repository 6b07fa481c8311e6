#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

#include <optional>

namespace vantor::platform {

// Text to number by the rules of the user's locale (the given one, by default
// the program's current locale): leading and trailing blanks, a sign, the
// locale's decimal separator, its group separator between digit groups, an
// exponent. Empty text and text that is no number give nullopt.
// Digit groups must be whole: "1,234" is 1234 in English, but "1,5" is no
// number (rather than 15), nor is "1.5" in German; a number too large for a
// double gives nullopt too.
std::optional<double> parseNumber(const QString& text, const QLocale& locale = QLocale());

// As parseNumber, but throws Error::typeMismatch() for text that is no number
// and Error::overflow() for a number beyond the range of a double ("1e400").
double toDouble(const QString& text, const QLocale& locale = QLocale());

// Rounds half to even (banker's rounding), as the whole-number conversions do:
// 0.5 -> 0, 1.5 -> 2, 2.5 -> 2, -0.5 -> 0.
double roundHalfEven(double value);

// Whole-number conversion to 16 bits: rounds half to even and throws
// Error::overflow() outside -32768..32767.
qint16 toInteger16(double value);
// Text to 16-bit whole number: Error::typeMismatch() for no number, then as above.
qint16 toInteger16(const QString& text, const QLocale& locale = QLocale());

// The same for 32 bits (-2147483648..2147483647).
qint32 toInteger32(double value);
qint32 toInteger32(const QString& text, const QLocale& locale = QLocale());

// The entry form of a date, month/day/year ("3/5/2004", "03/05/2004",
// "3-5-2004"); a two-digit year is taken as 1930..2029. nullopt for text that
// is no valid date (month 13, 30 February, letters...).
std::optional<QDate> parseMonthDayYear(const QString& text);

// Text to date by the locale and the forms the program itself writes: the
// medium date form of the lists (05-Mar-2004, also with the locale's own
// month abbreviations), ISO (2004-03-05), month/day/year, the locale's short
// and long forms. nullopt when no form fits.
//
// Month names, full or abbreviated, English or the locale's, may stand before
// or after the day ("Mar-05-2004", "Friday, March 5, 2004", "5. März 2004");
// a weekday name is passed over. Three numbers are year first when the first
// has three or four digits, else read in the order of the locale's short form
// (day first in German), and month first when that order gives no date. Text
// that is month first by definition (the entry field, SQL literals) belongs
// to parseMonthDayYear. Years are 100..9999; two-digit years 1930..2029.
std::optional<QDate> parseDate(const QString& text, const QLocale& locale = QLocale());

// The date of ISO text, "2004-03-05", as the database stores dates; a time of
// day after it ("2004-03-05 00:00:00", "2004-03-05T12:00") is dropped.
// nullopt for any other text.
std::optional<QDate> parseIsoDate(QStringView text);

// As parseDate, but throws Error::typeMismatch().
QDate toDate(const QString& text, const QLocale& locale = QLocale());

} // namespace vantor::platform
