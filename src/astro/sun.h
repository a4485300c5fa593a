// The sun's apparent position, and its rise, set, transit and twilights.
#pragma once

#include "astro_types.h"
#include "rise_set.h"

// Apparent geocentric position of the sun.
TCoord SunPosition(TDateTime t);

// Geocentric longitude (FK5, with aberration, without nutation) and latitude
// of the sun, degrees, and its distance in AU. The latitude only when asked.
struct TSunEcliptic {
    long double lambda = 0;
    long double beta = 0;
    long double R = 0;
};
TSunEcliptic SunEcliptic(TDateTime t, bool withLatitude);

// Time value of the sun's event on the day of t (its integer part, universal
// time). longitude is positive WEST, latitude positive north. Throws ENoRiseSet
// when the event does not happen on that day.
TDateTime SunEvent(TRiseSetEvent kind, long double longitude, long double latitude, TDateTime t);
TDateTime SunRise(long double longitude, long double latitude, TDateTime t);
TDateTime SunSet(long double longitude, long double latitude, TDateTime t);
TDateTime SunTransit(long double longitude, long double latitude, TDateTime t);
