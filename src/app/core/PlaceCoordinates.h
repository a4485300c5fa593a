// The place's coordinates in the settings: taken from a refresh that located
// the place, dropped when the place is typed anew. With them a switch of
// service keeps the place and Open-Meteo asks no place search.
#pragma once

#include "WeatherRecords.h"

class TLayoutManagerValues;
struct TWeatherResult;

// Stores the coordinates a successful refresh found for the place `now` (the
// request the settings give now) names, unless the settings hold some. True
// when it stored them. A refresh for another place or service stores nothing.
bool StoreFoundCoordinates(TLayoutManagerValues &values, const TRequestRecord &now, const TWeatherResult &result);

// Whether a latitude and longitude name a place: finite, in range, and not
// 0,0, which OpenWeatherMap writes for "none".
bool KnownCoordinates(double latitude, double longitude);

// Forgets the stored coordinates: the place is located again by its name.
void ClearCoordinates(TLayoutManagerValues &values);
