// The last good weather, kept in the data folder so that the next start shows
// it at once: the service's two answers as they came, when they arrived and
// the request they answered (never the key).
#pragma once

#include "WeatherFetch.h"
#include "WeatherRecords.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

// Under the data folder.
inline constexpr char kWeatherCacheFolder[] = "cache";
inline constexpr char kCachedCurrentFile[] = "current.xml";
inline constexpr char kCachedForecastFile[] = "forecast.xml";
// Open-Meteo's one answer holds the current weather and the forecast.
inline constexpr char kCachedOpenMeteoFile[] = "openmeteo.json";
// Written last: names both answers by their hash, so a pair of which only one
// was replaced is never taken for a whole one.
inline constexpr char kCacheIndexFile[] = "weather.ini";
// Older answers are not shown: a day-old forecast misleads more than it helps.
inline constexpr qint64 kWeatherCacheMaxAgeSecs = 24 * 60 * 60;
// A fetch time this far ahead of the clock means the clock was set back.
inline constexpr qint64 kWeatherCacheClockSlackSecs = 5 * 60;

// Keeps a successful result's answers in `dataFolder`/cache, each file through
// a temporary file and a rename. The place is the one WL holds after the
// result: the place the service reported, else the one asked for. False with
// `error` set when the files could not be written; a result that is not a
// fetched success writes nothing.
bool WriteWeatherCache(const QString &dataFolder, const TWeatherResult &result, QString &error);

// The kept answers for the service, place, id and units of `request` (as
// built from the settings now), parsed as a fetch parses them, with the
// astronomy: Ok, FromCache set, FetchedAt their time. Not Ok, with the reason
// in Request.Failure and nothing else filled, when the cache is missing,
// unreadable, damaged, for another service, place or units, or older than 24
// hours at `nowUtc`. An index without a service is OpenWeatherMap's.
TWeatherResult ReadWeatherCache(const QString &dataFolder, const TRequestRecord &request,
                                const QDateTime &nowUtc);

// The weather icon's hint for kept answers: "as of" and their time as the
// locale's date and time.
QString CachedWeatherHint(const QDateTime &fetchedAt, const QLocale &locale);
