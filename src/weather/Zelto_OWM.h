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

#include <functional>

extern const char kDefaultApiBase[]; // the service's API, over HTTPS
extern const char kDefaultWebBase[]; // the service's web site (icons), over HTTPS

// The checks and the parse of one answer, as the client runs them on what it
// fetched; also for answers kept from an earlier fetch (`httpStatus` 0: no
// status known). False with request.Failure set when `body` is no
// weather document (the record is then untouched); throws EConvertError as
// the parsers do.
bool CurrentWeatherFromBody(const QByteArray &body, TRequestRecord &request, TWeatherRecord &record,
                            int httpStatus = 0);
// `hours`, when given, receives the forecast's 3-hour slots (see ParseForecast).
bool ForecastFromBody(const QByteArray &body, TRequestRecord &request, TWeatherData &data, int httpStatus = 0,
                      TWeatherData *hours = nullptr);

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
    // request.Failure set when the service gave no weather document (the
    // record is then untouched); throws EConvertError for malformed strict values.
    // When `rawBody` is given it receives the service's answer as it came.
    bool GetCurrentWeather(TRequestRecord &request, TWeatherRecord &record,
                           QByteArray *rawBody = nullptr) const;

    // Fills `data` with the forecast for the request's key type, mode and days.
    // False with request.Failure set when the service gave no weather
    // document, a body naming an "Error" included (`data` is then untouched).
    // When `rawBody` is given it receives the service's answer as it came;
    // `hours`, when given, the forecast's 3-hour slots (see ParseForecast).
    bool GetForecast(TRequestRecord &request, TWeatherData &data, QByteArray *rawBody = nullptr,
                     TWeatherData *hours = nullptr) const;

    // Fills `cities` with the service's cities like request.LocationName. False
    // with request.Failure set when the answer was no city list (`cities`
    // is then untouched); throws EConvertError for a malformed city id.
    bool FindLocations(TRequestRecord &request, TCities &cities) const;

    // Called with each picture written, on the thread that fetched it.
    using TIconArrived = std::function<void(const QString &name)>;

    // Fetches the named pictures from the web base into `folder` (the working
    // folder when empty), all at once, so that together they take no longer
    // than one fetch may. An icon that could not be fetched or written is
    // simply absent afterwards; `arrived` hears of each one that was.
    void DownloadIcons(const QStringList &names, const QString &folder,
                       const TIconArrived &arrived = TIconArrived()) const;

private:
    // The service's answer to one path and query on the API base, as it came,
    // with its HTTP status (0 when none arrived) and why it did not come whole.
    QByteArray FetchBody(const QString &pathAndQuery, int &httpStatus, THttpFailure &failure) const;
    // An answer that did not come takes the transport's kind; a time-out or an
    // over-long answer also gets its own words.
    void ExplainMissingAnswer(const QByteArray &body, THttpFailure failure, TRequestRecord &request) const;
    // The service's answer to one path and query on the API base, judged for
    // the request's kind; false with request.Failure set when it is none.
    bool FetchDocument(const QString &pathAndQuery, const TExpectedAnswer &expected,
                       TRequestRecord &request, QDomDocument &document) const;

    QString FApiBase;
    QString FWebBase;
    THttpOptions FHttp;
};
