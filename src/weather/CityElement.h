// The `city` element that the current weather and the location search share.
#pragma once

#include "WeatherRecords.h"

#include <QDomElement>

enum class TCoordinateReading {
    crStrict,  // a malformed coordinate throws EConvertError
    crLenient, // a malformed coordinate reads as 0
};

// Fills `target` field by field (id, name, coordinates, country, sun times);
// the id is always strict. On a throw, `target` keeps what was filled so far.
void ReadCityElement(const QDomElement &city, TCoordinateReading coordinates, TCity &target);
