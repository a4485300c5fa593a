// How the client labels and converts values by the request's unit system.
#pragma once

#include "WeatherRecords.h"

#include <QString>

// Every unit text but "metric" (any case) counts as imperial.
bool IsMetric(const QString &units);

inline constexpr char kInchesOfMercury[] = "inHg";
inline constexpr char kMillimetres[] = "mm";
inline constexpr char kInches[] = "in";

// "°C" for metric, "°F" otherwise.
QString TemperatureUnit(const QString &units);

// Stores a wind speed given by the service (m/s for metric, mph for imperial, as
// the service sends them) as km/h or mph with its unit label; a value that is not
// finite after the conversion is stored as 0, as if none had been given.
void SetWindSpeed(TValue &speed, double serviceValue, const QString &units);

// Stores a pressure the service gives in `serviceUnit` (hPa in every unit
// system): in inHg for imperial, as its users read it; as given otherwise, and
// when the service names a unit other than hPa.
void SetPressure(TValue &pressure, double serviceValue, const QString &serviceUnit, const QString &units);

// Stores an amount of precipitation the service gives in millimetres (in every
// unit system): "mm" for metric, in inches ("in") for imperial.
void SetPrecipitation(TValue &precipitation, double millimetres, const QString &units);

// The icon file name of a service icon code: at most three characters, ".png".
QString IconFileName(const QString &iconCode);
