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
std::optional<double> parseNumber(const QString& text, const QLocale& locale = QLocale());

// As parseNumber, but throws Error::typeMismatch() for text that is no number.
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
std::optional<QDate> parseDate(const QString& text, const QLocale& locale = QLocale());

// As parseDate, but throws Error::typeMismatch().
QDate toDate(const QString& text, const QLocale& locale = QLocale());

} // namespace vantor::platform
