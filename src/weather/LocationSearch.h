// The location search request: its query and the parse of its answer.
#pragma once

#include "WeatherRecords.h"

#include <QDomElement>
#include <QString>

// Path and query of the search, to be put after the service's API base. It
// always searches by name; the location id plays no part.
QString FindLocationsQuery(const TRequestRecord &request);

// Fills `cities` from the document's `list`, one city per child that has a
// `city` element. False, with `cities` untouched, when there is no `list`.
// Throws EConvertError for a city id that is not a 32-bit integer; `cities`
// then holds the cities before it.
bool ParseLocations(const QDomElement &root, TCities &cities);
