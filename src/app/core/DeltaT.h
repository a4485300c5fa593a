// The difference between dynamical time, in which the moon's phase times are
// computed, and universal time, in which clocks and the weather records count.
#pragma once

#include "TDateTime.h"

// Seconds of dynamical minus universal time at a decimal year (2026.5 is the
// middle of 2026): the piecewise polynomials of Espenak and Meeus from 1800 to
// 2150, their long-term parabola outside. Good to a second or two for the years
// a forecast can reach.
double DeltaTSeconds(double decimalYear);

// The decimal year of a time value.
double DecimalYear(TDateTime t);

// A time value in dynamical time moved to universal time, and back.
TDateTime DynamicalToUniversal(TDateTime dynamical);
TDateTime UniversalToDynamical(TDateTime universal);
