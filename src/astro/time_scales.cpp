#include "time_scales.h"

#include <cmath>

namespace {

constexpr int kMinYear = 1;
constexpr int kMaxYear = 9999;
constexpr int kMonthsPerYear = 12;
constexpr long double kJulianDayOf2000 = 2451544.5L; // 2000-01-01 00:00
// Days from 0000-03-01 (proleptic Gregorian) to 1899-12-30, the zero of a time value.
constexpr long long kDayCountOfZeroDate = 693899;

bool isGregorianLeap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

bool isJulianLeap(int y)
{
    return y % 4 == 0;
}

int monthLength(int month, bool leap)
{
    switch (month) {
    case 2:
        return leap ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    default:
        return 31;
    }
}

// Days since 1899-12-30 of a proleptic Gregorian date (already validated).
long long gregorianDayNumber(int y, int m, int d)
{
    if (m <= 2) {
        y -= 1;
        m += kMonthsPerYear;
    }
    // Days from 0000-03-01 in whole 400-year cycles, then years, then months.
    const long long era = y / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m - 3) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - kDayCountOfZeroDate;
}

} // namespace

const TDateTime Date2000 = EncodeDateTime(2000, 1, 1);
const TDateTime Date1999 = EncodeDateTime(1999, 1, 1);
const long double JulianOffset = kJulianDayOf2000 - Date2000;

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, long double second)
{
    if (year < kMinYear || year > kMaxYear)
        throw EConvertError("Invalid year");
    if (month < 1 || month > kMonthsPerYear)
        throw EConvertError("Invalid month");
    if (day < 1 || day > monthLength(month, isGregorianLeap(year)))
        throw EConvertError("Invalid day");
    if (hour < 0 || hour >= kHoursPerDay || minute < 0 || minute >= 60 || !(second >= 0 && second < 60))
        throw EConvertError("Invalid time");
    const long double dayFraction = hour / static_cast<long double>(kHoursPerDay) +
                                    minute / static_cast<long double>(kMinutesPerDay) +
                                    second / static_cast<long double>(kSecondsPerDay);
    return static_cast<TDateTime>(gregorianDayNumber(year, month, day) + dayFraction);
}

long double JulianDate(long double t)
{
    return t + JulianOffset;
}

long double DateFromJulian(long double jd)
{
    return jd - JulianOffset;
}

long double CalendarToJulian(int year, int month, int day)
{
    constexpr long double kCalendarSwitch = 2299160.5L; // JD of 1582-10-15, the first Gregorian day
    if (year < kMinYear || year > kMaxYear)
        throw EConvertError("Invalid year");
    if (month < 1 || month > kMonthsPerYear)
        throw EConvertError("Invalid month");
    int y = year;
    int m = month;
    if (m <= 2) {
        m += kMonthsPerYear;
        y -= 1;
    }
    const long double julian = std::trunc(365.25L * (y + 4716)) + std::trunc(30.6001L * (m + 1)) + day - 1524.5L;
    if (julian < kCalendarSwitch) {
        if (day < 1 || day > monthLength(month, isJulianLeap(year)))
            throw EConvertError("Invalid day");
        return julian;
    }
    if (day < 1 || day > monthLength(month, isGregorianLeap(year)))
        throw EConvertError("Invalid day");
    const long double gregorian = julian + 2 - y / 100 + y / 400;
    if (gregorian < kCalendarSwitch)
        throw EConvertError("Date invalid due to calendar change");
    return gregorian;
}

long double CenturiesSinceJ2000(long double t)
{
    return (JulianDate(t) - kJ2000) / kDaysPerJulianCentury;
}
