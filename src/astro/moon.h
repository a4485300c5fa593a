// The moon's position, rise and set, phase and phase times. Times are time
// values treated as dynamical time; angles are degrees.
#pragma once

#include "astro_types.h"

// Time value of the moon's rise, set and transit on the day of t, as for the
// sun (its altitude at rise depends on its parallax).
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

// First time ≥ t at which the phase occurs. Throws EOutOfAlgorithmRange
// ("No TDateTime possible") for an invalid phase or a time it cannot answer.
TDateTime NextPhase(TMoonPhase phase, TDateTime t);
