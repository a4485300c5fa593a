// The forecast request: its query and the parse of its answer.
#pragma once

#include "WeatherRecords.h"

#include <QDomElement>
#include <QString>

// The start values of the free key's daily fold: a folded day that had no
// temperature at all still holds them as its maximum and minimum.
inline constexpr double kFoldNoHighestMax = -2147483647.0;
inline constexpr double kFoldNoLowestMin = 2147483647.0;

// Path and query of the request, to be put after the service's API base: the
// daily path for a paid key in daily mode, the 3-hour path otherwise.
QString ForecastQuery(const TRequestRecord &request);

// Empties `data` and fills it from the document's root element. A paid key
// gets the service's records as they are; a free key in daily mode gets the
// 3-hour slots folded into one record per UTC day; a free key in hourly mode
// gets every slot, as a paid key does. All numbers are read leniently.
// When `hours` is given it is emptied and receives every record with a start
// time (the 3-hour slots, whatever the key and mode), with the chance of
// precipitation where the answer gives one; a daily answer has none.
void ParseForecast(const QDomElement &root, const TRequestRecord &request, TWeatherData &data,
                   TWeatherData *hours = nullptr);
