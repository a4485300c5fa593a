// Rise, set and transit of a body from its positions on three days running,
// shared by the sun and the moon.
#pragma once

#include "astro_types.h"

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

// The event of the given kind on day D for a body at positions[0..2] (at D−1,
// D, D+1) with standard altitude h0. longitude is positive WEST. Throws
// ENoRiseSet when the event does not happen on that day.
TDateTime RiseSetTransit(TRiseSetEvent kind, long double h0, const TCoord (&positions)[3],
                         long double longitude, long double latitude, long double D);

// The body's positions at D−1, D and D+1.
template <typename PositionOf>
void PositionsAround(long double D, PositionOf positionOf, TCoord (&positions)[3])
{
    for (int i = 0; i < 3; ++i)
        positions[i] = positionOf(static_cast<TDateTime>(D + i - 1));
}

// The day (integer part) of a time value.
long double DayOf(TDateTime t);
