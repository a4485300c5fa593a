// Angle arithmetic in degrees with extended precision, shared by the sun and
// moon models.
#pragma once

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
