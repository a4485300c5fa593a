// How the client labels and converts values by the request's unit system.
#pragma once

#include "WeatherRecords.h"

#include <QString>

// Every unit text but "metric" (any case) counts as imperial.
bool IsMetric(const QString &units);

// "°C" for metric, "F" otherwise.
QString TemperatureUnit(const QString &units);

// Stores a wind speed given by the service (m/s for metric, as the service sends
// it) as km/h or mph with its unit label; a value that is not finite after the
// conversion is stored as 0, as if none had been given.
void SetWindSpeed(TValue &speed, double serviceValue, const QString &units);

// The icon file name of a service icon code: at most three characters, ".png".
QString IconFileName(const QString &iconCode);
