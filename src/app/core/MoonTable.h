// The moon data of the forecast rows: when each of the eight phases next
// occurs, and per row the phase name or the lit part of the disc.
#pragma once

#include "TDateTime.h"
#include "WeatherRecords.h"

#include <QVector>

#include <array>
#include <cstdint>

inline constexpr int kMoonTablePhases = 8;

struct TMoonTableEntry {
    TDateTime Time = 0; // local civil time; 0 when it could not be computed
    std::int32_t Phase = 0;
};
using TMoonTable = std::array<TMoonTableEntry, kMoonTablePhases>;

// For each phase 0..7 (new moon .. waning crescent) the first time at or after
// `firstTimeStamp` (local time) at which the moon reaches it. A phase the
// astronomy cannot answer keeps time 0 instead of failing the refresh.
TMoonTable BuildMoonTable(TDateTime firstTimeStamp);

// South of the equator the moon is seen the other way up: its pictures are
// drawn turned by 180 degrees, so a waxing crescent is lit on the left, as it
// is in that sky. The equator itself keeps the northern view.
bool MoonSeenUpsideDown(double latitude);

// The moon on the day of one forecast record.
struct TMoonDay {
    std::int32_t Illuminated = 0; // the lit part of the disc at the record's time, in percent
    std::int32_t Phase = -1;      // the phase (0..7) whose time falls on the record's local date; -1: none
    TDateTime PhaseTime = 0;      // that phase's local time; 0 when none
};
using TMoonDays = QVector<TMoonDay>;

// One entry per record: for a record with a time stamp its illumination and
// the phase of `table` that falls on its local date (the last one when two
// do); a record without one gets an empty day. Astronomy alone, so the fetch's
// worker thread does it.
TMoonDays ForecastMoonDays(const TWeatherData &forecast, const TMoonTable &table);
