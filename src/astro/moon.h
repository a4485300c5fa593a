// Time scales, coordinates, the sun's position with rise and set, and the
// moon's position, phase and phase times. Times are time values treated as
// dynamical time; angles are degrees.
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

struct TNutation {
    long double deltaPsi = 0; // nutation in longitude, degrees
    long double epsilon = 0;  // true obliquity of the ecliptic, degrees
};

TNutation Nutation(long double t);

// Apparent sidereal time at Greenwich, degrees.
long double SiderealTime(long double t);

// Adds the nutation in longitude to coord.longitude and fills α and δ.
void EclipticToEquatorial(TCoord &coord, long double t);

// Three-point interpolation of an angle at n (−1..1 around y2); steps of more
// than 100 degrees are taken as a wrap through 0/360.
long double Interpolate(long double n, long double y1, long double y2, long double y3);

// Apparent geocentric position of the sun.
TCoord SunPosition(TDateTime t);

// Events of one day for rise/set/transit and twilight, in the order of their codes.
enum class TRiseSetEvent {
    Rise,
    Set,
    Transit,
    CivilTwilightBegin,
    NauticalTwilightBegin,
    AstronomicalTwilightBegin,
    CivilTwilightEnd,
    NauticalTwilightEnd,
    AstronomicalTwilightEnd,
};

// Time value of the sun's event on the day of t (its integer part, universal
// time). longitude is positive WEST, latitude positive north. Throws E_NoRiseSet
// when the event does not happen on that day.
TDateTime SunEvent(TRiseSetEvent kind, long double longitude, long double latitude, TDateTime t);
TDateTime SunRise(long double longitude, long double latitude, TDateTime t);
TDateTime SunSet(long double longitude, long double latitude, TDateTime t);
TDateTime SunTransit(long double longitude, long double latitude, TDateTime t);

// The same for the moon (its altitude at rise depends on its parallax).
TDateTime MoonRise(long double longitude, long double latitude, TDateTime t);
TDateTime MoonSet(long double longitude, long double latitude, TDateTime t);
TDateTime MoonTransit(long double longitude, long double latitude, TDateTime t);

enum TMoonPhase : int {
    Newmoon,
    WaxingCrescrent,
    FirstQuarter,
    WaxingGibbous,
    Fullmoon,
    WaningGibbous,
    LastQuarter,
    WaningCrescent,
};

constexpr long double kSynodicMonth = 29.530589L;

// Geocentric position of the moon (radius = distance in km).
TCoord MoonPosition(TDateTime t);

// Signed phase angle: 0 at full moon, ±180 at new moon; positive while waxing.
long double MoonPhaseAngle(TDateTime t);

// Illuminated fraction of the disc, 0..1.
long double MoonIlluminated(TDateTime t);

// Days since the last new moon, 0 .. kSynodicMonth.
long double MoonAge(TDateTime t);

// Time of the given phase near t; 0 for a phase outside 0..7.
TDateTime PhaseTime(TMoonPhase phase, TDateTime t);

// First time ≥ t at which the phase occurs. Throws E_OutOfAlgorithmRange
// ("No TDateTime possible") for an invalid phase or a time it cannot answer.
TDateTime NextPhase(TMoonPhase phase, TDateTime t);
