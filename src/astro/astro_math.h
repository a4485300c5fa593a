// Angle arithmetic in degrees with extended precision, shared by the sun and
// moon models.
#pragma once

constexpr long double kFullCircle = 360.0L;
constexpr long double kHalfCircle = 180.0L;
constexpr long double kArcSecond = 1.0L / 3600.0L; // degrees

long double DegToRad(long double x);
long double RadToDeg(long double x);

// x brought into [0, 360).
long double PutIn360(long double x);

// Trigonometry of an angle in degrees.
long double SinD(long double x);
long double CosD(long double x);
long double TanD(long double x);

// Degrees of arctan(b/a), plus 180 when a < 0; not normalised, so the result lies
// in (-90, 270]. a = 0 gives ±90 by the sign of b.
long double ArcTan2D(long double a, long double b);
long double ArcSinD(long double x);
long double ArcCosD(long double x);
long double ArcTanD(long double x);

// Sine and cosine for the terms of the long periodic series (nutation, moon,
// phase corrections). The angle is reduced in extended precision and the
// function evaluated in double: within 2e-16 of the extended value, at a
// twentieth of the cost. SetExtendedSeriesTrig(true) evaluates them in
// extended precision instead, to compare the two.
long double SeriesSin(long double radians);
long double SeriesCos(long double radians);
long double SeriesSinD(long double degrees);
long double SeriesCosD(long double degrees);
void SetExtendedSeriesTrig(bool extended);
bool ExtendedSeriesTrig();
