// Coordinates: nutation, sidereal time, the ecliptic-to-equatorial turn and
// the interpolation of positions between days. Angles are degrees.
#pragma once

#include "astro_types.h"

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
