// A plain-text dump of the weather records for golden files: one line per part
// of a record, naming only the fields that are not at their cleared value, so a
// field filled by mistake shows up as well as one left out.
// Times are written as the stored day count and as local wall-clock time; run
// the dumps under a fixed TZ.
#pragma once

#include "WeatherRecords.h"

#include <QString>

QString DumpCity(const TCity &city);
QString DumpRecord(const TWeatherRecord &record);
QString DumpForecast(const TWeatherData &data);
QString DumpCities(const TCities &cities);
