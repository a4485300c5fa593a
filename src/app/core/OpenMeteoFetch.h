// One refresh from Open-Meteo: the place located by its name first when its
// coordinates are not known yet, then the weather for those coordinates.
#pragma once

#include "HttpGet.h"
#include "WeatherRecords.h"

#include <QString>

class TOpenMeteoClient;
struct TOpenMeteoWeather;
struct TWeatherResult;

// A place as the settings hold it, "Prague, CZ": the name to search for and the
// country code that picks among the places found (empty when none is given).
struct TPlaceText {
    QString Name;
    QString CountryCode;
};
TPlaceText SplitPlaceText(const QString &location);

// The place to take from a search for `place`: the first one in its country
// when it names one and one is there, else the first; -1 for none.
int ChoosePlace(const TCities &cities, const TPlaceText &place);

// Searches for the place the text names ("Prague, CZ" as "Prague"), with the
// named country's place first; the preferences' search and a refresh by name
// both ask this way. False with request.Failure set when none was found.
bool FindOpenMeteoPlaces(const TOpenMeteoClient &client, TRequestRecord &request, TCities &cities);

// Fills the request's coordinates from a place search by its name, unless it
// has them. The place found is put in `city`. False with request.Failure set
// when no place was found or the search failed.
bool LocateByName(const TOpenMeteoClient &client, TRequestRecord &request, TCity &city);

// The answer's place, which the forecast does not name: the place found by the
// search, else the name the request asked for (unless the parse named it).
void NamePlace(TWeatherRecord &current, const TRequestRecord &request, const TCity &found);

// Copies the records of one forecast answer into a result.
void TakeOpenMeteoWeather(TWeatherResult &result, TOpenMeteoWeather &weather);

// The whole fetch: located, asked, and the astronomy worked out. The answer as
// it came is in ForecastBody (CurrentBody stays empty). Blocking; `cancel`
// ends it early as a cancelled failure.
TWeatherResult FetchOpenMeteoWeather(const TOpenMeteoClient &client, TRequestRecord request,
                                     const TCancelFlag &cancel = TCancelFlag());
