// The Open-Meteo client: the weather (current, hourly and daily values in one
// answer) and the place search, neither with a key. Calls block; run them off
// the UI thread.
#pragma once

#include "HttpGet.h"
#include "OpenMeteoParse.h"
#include "WeatherRecords.h"

#include <QByteArray>
#include <QString>

extern const char kDefaultOpenMeteoBase[]; // the forecast API, over HTTPS
extern const char kDefaultGeocodingBase[]; // the place search API, over HTTPS

// TOpenMeteoWeather, the records of one forecast answer, is in OpenMeteoParse.h.

// Path and query of the forecast request for the request's coordinates, units
// and days, to be put after the forecast base.
QString OpenMeteoForecastQuery(const TRequestRecord &request);
// Path and query of the place search for request.LocationName, in `language`.
QString OpenMeteoSearchQuery(const TRequestRecord &request, const QString &language);

// The checks and the parse of one forecast answer, also for one kept from an
// earlier fetch (`httpStatus` 0: no status known). False with request.Failure
// set when `body` is no usable forecast (`weather` is then untouched).
bool OpenMeteoWeatherFromBody(const QByteArray &body, TRequestRecord &request, TOpenMeteoWeather &weather,
                              int httpStatus = 0);
// The same for a place search's answer; no places is PlaceNotFound.
bool OpenMeteoPlacesFromBody(const QByteArray &body, TRequestRecord &request, TCities &cities,
                             int httpStatus = 0);

class TOpenMeteoClient
{
public:
    explicit TOpenMeteoClient(const QString &forecastBase = QString::fromLatin1(kDefaultOpenMeteoBase),
                              const QString &geocodingBase = QString::fromLatin1(kDefaultGeocodingBase));

    const QString &ForecastBase() const { return FForecastBase; }
    const QString &GeocodingBase() const { return FGeocodingBase; }
    // The owner may shorten the time-outs or change the body cap.
    THttpOptions &HttpOptions() { return FHttp; }
    const THttpOptions &HttpOptions() const { return FHttp; }

    // Fills `weather` for the request's coordinates. False with
    // request.Failure set when no usable forecast came (`weather` is then
    // untouched); a request without coordinates fails as PlaceNotFound
    // without asking. When `rawBody` is given it receives the answer as it came.
    bool GetWeather(TRequestRecord &request, TOpenMeteoWeather &weather, QByteArray *rawBody = nullptr) const;

    // Fills `cities` with the places named like request.LocationName, their
    // coordinates, region and country's name included; `language` is the
    // user's language code ("de"). False with request.Failure set otherwise.
    bool FindLocations(TRequestRecord &request, TCities &cities, const QString &language) const;

private:
    // The answer to one URL as it came, with its HTTP status (0 when none
    // arrived) and why it did not come whole.
    QByteArray Fetch(const QString &url, int &httpStatus, THttpFailure &failure) const;

    QString FForecastBase;
    QString FGeocodingBase;
    THttpOptions FHttp;
};
