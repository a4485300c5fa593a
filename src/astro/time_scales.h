// Time scales: the program's time values, Julian days and calendar dates.
// Times are time values treated as dynamical time.
#pragma once

#include "astro_types.h"

// Time value of 2000-01-01 and 1999-01-01 00:00, and the offset that turns a time
// value into a Julian day (2415018.5), fixed when the program starts.
extern const TDateTime Date2000;
extern const TDateTime Date1999;
extern const long double JulianOffset;

// Time value of a proleptic Gregorian date and time of day, as the program's
// date type counts it. Throws EConvertError for an invalid date or time.
TDateTime EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0,
                         long double second = 0);

long double JulianDate(long double t);
long double DateFromJulian(long double jd);

// Julian day of 0h of a calendar date: Julian calendar before 1582-10-15,
// Gregorian from then on. Throws EConvertError ("Invalid year", "Invalid month",
// "Invalid day", "Date invalid due to calendar change").
long double CalendarToJulian(int year, int month, int day);

constexpr long double kJ2000 = 2451545.0L; // Julian day of 2000-01-01 12:00, the epoch
constexpr long double kDaysPerJulianCentury = 36525.0L;

// Julian centuries of a time value since the epoch.
long double CenturiesSinceJ2000(long double t);
