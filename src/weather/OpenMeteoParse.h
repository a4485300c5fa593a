// The checks and the parse of Open-Meteo's JSON answers: the forecast (current,
// daily and hourly values in one answer) and the place search.
//
// The records look as the OpenWeatherMap parsers make them for the same kind
// of data (units, times, condition codes and picture names), with one
// difference: a value the answer lacks (missing, null, of the wrong type, not
// finite or beyond what the weather can be) is NaN with empty Units, so it is
// shown as "–" instead of as a 0 that looks like data.
#pragma once

#include "WeatherRecords.h"

#include <QByteArray>

// An answer is a few levels deep; a deeper one is refused before it is parsed,
// so no hostile peer can make the parser recurse without bound.
inline constexpr int kMaxOpenMeteoNesting = 16;
inline constexpr int kMaxOpenMeteoDays = 16;

// One forecast answer, in the records the rest of the program reads: the
// conditions carry the program's condition codes and picture names.
struct TOpenMeteoWeather {
    TWeatherRecord Current;
    TWeatherData Days;  // one record per day, as a paid daily forecast has them
    TWeatherData Hours; // one record per hour
};

// The days to ask for and to keep: the request's, within 1..kMaxOpenMeteoDays.
int OpenMeteoForecastDays(const TRequestRecord &request);

// Parses a forecast answer for `request` (its units, days, place name and
// coordinates). The rows of `daily` and `hourly` are those of their `time`
// arrays: a value array shorter than `time` leaves the rest of its values
// absent, a longer one has its extra values ignored, and a row whose time
// cannot be read is left out. No `current` or no day is a bad document; no
// `hourly` leaves Hours empty. False with `failure` set (`weather` untouched)
// when the body is no forecast: empty, the service's error (its `reason`),
// an HTTP error status, nested too deep, or no JSON object (with line and
// column). `httpStatus` 0: no status known.
bool ParseOpenMeteoForecast(const QByteArray &body, int httpStatus, const TRequestRecord &request,
                            TOpenMeteoWeather &weather, TFetchFailure &failure);

// Parses a place search's answer into cities with their coordinates, country
// code and name, and region; entries without a name or usable coordinates are
// left out. No `results` or an empty list is PlaceNotFound.
bool ParseOpenMeteoPlaces(const QByteArray &body, int httpStatus, TCities &cities, TFetchFailure &failure);
