#pragma once

#include <QDate>

#include <optional>

namespace vantor::platform {

// Dates as the database's CDbl([Date]) yields them: whole days counted from
// 30 December 1899 (day 0). 1 January 1900 is day 2, 5 March 2004 is day 38051.
// Throws Error::typeMismatch() for an invalid (null) date.
double toSerial(const QDate& date);

// The date of a serial number; the fractional part (a time of day) is dropped.
// Throws Error::overflow() for a number outside the years 100 to 9999.
QDate fromSerial(double serial);

// As fromSerial, but nullopt instead of the overflow (for callers that format
// many values and must not pay for an exception on each).
std::optional<QDate> dateFromSerial(double serial);

} // namespace vantor::platform
