// The current weather request: its query and the parse of its answer.
#pragma once

#include "WeatherRecords.h"

#include <QDomElement>
#include <QString>

// Path and query of the request, to be put after the service's API base.
QString CurrentWeatherQuery(const TRequestRecord &request);

// Clears `record` and fills it from the document's root element. Throws
// EConvertError for a bad city id, coordinate or pressure and for a condition
// without number; `record` then keeps what was filled so far.
void ParseCurrentWeather(const QDomElement &root, const QString &units, TWeatherRecord &record);
