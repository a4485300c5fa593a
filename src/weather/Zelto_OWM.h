// The weather service client: one object per set of service addresses, whose
// requests fill the caller's records. Calls block; run them off the UI thread.
#pragma once

#include "HttpGet.h"
#include "ServiceResponse.h"
#include "WeatherRecords.h"

#include <QByteArray>
#include <QDomDocument>
#include <QString>
#include <QStringList>

extern const char kDefaultApiBase[]; // the service's API, over HTTPS
extern const char kDefaultWebBase[]; // the service's web site (icons), over HTTPS

class TOwmClient
{
public:
    explicit TOwmClient(const QString &apiBase = QString::fromLatin1(kDefaultApiBase),
                        const QString &webBase = QString::fromLatin1(kDefaultWebBase));

    const QString &ApiBase() const { return FApiBase; }
    const QString &WebBase() const { return FWebBase; }
    // The owner may shorten the time-outs or change the body cap.
    THttpOptions &HttpOptions() { return FHttp; }
    const THttpOptions &HttpOptions() const { return FHttp; }

    // Fills `record` with the present conditions. False with
    // request.ErrorMessage set when the service gave no weather document (the
    // record is then untouched); throws EConvertError for malformed strict values.
    bool GetCurrentWeather(TRequestRecord &request, TWeatherRecord &record) const;

    // Fills `data` with the forecast for the request's key type, mode and days.
    // False with request.ErrorMessage set when the service gave no weather
    // document, a body naming an "Error" included (`data` is then untouched).
    bool GetForecast(TRequestRecord &request, TWeatherData &data) const;

    // Fills `cities` with the service's cities like request.LocationName. False
    // with request.ErrorMessage set when the answer was no city list (`cities`
    // is then untouched); throws EConvertError for a malformed city id.
    bool FindLocations(TRequestRecord &request, TCities &cities) const;

    // Fetches the named pictures from the web base into `folder` (the working
    // folder when empty). Reports nothing: an icon that could not be fetched or
    // written is simply absent afterwards.
    void DownloadIcons(const QStringList &names, const QString &folder) const;

private:
    // The service's answer to one path and query on the API base, judged for
    // the request's kind; false with request.ErrorMessage set when it is none.
    bool FetchDocument(const QString &pathAndQuery, const TExpectedAnswer &expected,
                       TRequestRecord &request, QDomDocument &document) const;

    QString FApiBase;
    QString FWebBase;
    THttpOptions FHttp;
};
