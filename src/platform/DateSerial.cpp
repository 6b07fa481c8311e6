#include "DateSerial.h"

#include "Error.h"

#include <cmath>

namespace vantor::platform {

namespace {

constexpr qint64 dayZero = 2415019;  // Julian day of 30 December 1899
constexpr qint64 firstDay = -657434; // 1 January 100
constexpr qint64 lastDay = 2958465;  // 31 December 9999

} // namespace

double toSerial(const QDate& date)
{
    if (!date.isValid())
        throw Error::typeMismatch();
    return static_cast<double>(date.toJulianDay() - dayZero);
}

std::optional<QDate> dateFromSerial(double serial)
{
    // A time of day is the fraction beside the day's number, also before day
    // 0 (-1.25 is 29 December 1899, 6 o'clock), so the day is the number
    // truncated toward zero.
    const double day = std::trunc(serial);
    if (!(day >= static_cast<double>(firstDay) && day <= static_cast<double>(lastDay)))
        return std::nullopt;
    return QDate::fromJulianDay(dayZero + static_cast<qint64>(day));
}

QDate fromSerial(double serial)
{
    if (const auto date = dateFromSerial(serial))
        return *date;
    throw Error::overflow();
}

} // namespace vantor::platform
