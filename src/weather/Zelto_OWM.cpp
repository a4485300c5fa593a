#include "Zelto_OWM.h"

#include "CurrentWeather.h"
#include "Forecast.h"
#include "LocationSearch.h"
#include "ServiceResponse.h"
#include "WeatherIcons.h"

#include <QDomDocument>

#include <thread>
#include <vector>

const char kDefaultApiBase[] = "https://api.openweathermap.org";
const char kDefaultWebBase[] = "https://openweathermap.org";

namespace {

QString WithoutTrailingSlash(QString base)
{
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base;
}

} // namespace

TOwmClient::TOwmClient(const QString &apiBase, const QString &webBase)
    : FApiBase(WithoutTrailingSlash(apiBase)), FWebBase(WithoutTrailingSlash(webBase))
{
}

bool CurrentWeatherFromBody(const QByteArray &body, TRequestRecord &request, TWeatherRecord &record, int httpStatus)
{
    request.Failure = TFetchFailure();
    QDomDocument document;
    if (!CheckServiceResponse(body, httpStatus, kCurrentWeatherAnswer, request, document))
        return false;
    ParseCurrentWeather(document.documentElement(), request.Units, record);
    return true;
}

bool ForecastFromBody(const QByteArray &body, TRequestRecord &request, TWeatherData &data, int httpStatus,
                      TWeatherData *hours)
{
    request.Failure = TFetchFailure();
    QDomDocument document;
    if (!CheckServiceResponse(body, httpStatus, kForecastAnswer, request, document))
        return false;
    ParseForecast(document.documentElement(), request, data, hours);
    return true;
}

QByteArray TOwmClient::FetchBody(const QString &pathAndQuery, int &httpStatus, THttpFailure &failure) const
{
    QByteArray body;
    httpStatus = 0;
    failure = THttpFailure::None;
    HttpGetToStream(FApiBase + pathAndQuery, QString(), QString(), body, 0, FHttp, &httpStatus, &failure);
    return body;
}

void TOwmClient::ExplainMissingAnswer(const QByteArray &body, THttpFailure failure, TRequestRecord &request) const
{
    if (body.isEmpty())
        ExplainTransportFailure(failure, FHttp, request.Failure);
}

bool TOwmClient::FetchDocument(const QString &pathAndQuery, const TExpectedAnswer &expected,
                               TRequestRecord &request, QDomDocument &document) const
{
    int status = 0;
    THttpFailure failure = THttpFailure::None;
    const QByteArray body = FetchBody(pathAndQuery, status, failure);
    if (CheckServiceResponse(body, status, expected, request, document))
        return true;
    ExplainMissingAnswer(body, failure, request);
    return false;
}

bool TOwmClient::GetCurrentWeather(TRequestRecord &request, TWeatherRecord &record, QByteArray *rawBody) const
{
    int status = 0;
    THttpFailure failure = THttpFailure::None;
    const QByteArray body = FetchBody(CurrentWeatherQuery(request), status, failure);
    if (rawBody)
        *rawBody = body;
    if (CurrentWeatherFromBody(body, request, record, status))
        return true;
    ExplainMissingAnswer(body, failure, request);
    return false;
}

bool TOwmClient::GetForecast(TRequestRecord &request, TWeatherData &data, QByteArray *rawBody,
                             TWeatherData *hours) const
{
    int status = 0;
    THttpFailure failure = THttpFailure::None;
    const QByteArray body = FetchBody(ForecastQuery(request), status, failure);
    if (rawBody)
        *rawBody = body;
    if (ForecastFromBody(body, request, data, status, hours))
        return true;
    ExplainMissingAnswer(body, failure, request);
    return false;
}

bool TOwmClient::FindLocations(TRequestRecord &request, TCities &cities) const
{
    request.Failure = TFetchFailure();
    QDomDocument document;
    if (!FetchDocument(FindLocationsQuery(request), kLocationsAnswer, request, document))
        return false;
    if (!ParseLocations(document.documentElement(), cities)) {
        request.Failure = MakeFailure(TFailureKind::BadDocument, QStringLiteral("Bad format"));
        return false;
    }
    return true;
}

void TOwmClient::DownloadIcons(const QStringList &names, const QString &folder, const TIconArrived &arrived) const
{
    const TIconFetcher fetch = [this](const QString &name, QByteArray &bytes) {
        return HttpGetToStream(IconUrl(FWebBase, name), QString(), QString(), bytes, 0, FHttp);
    };
    // One thread a picture: a host that stalls one of them stalls them all
    // only once, within the one time limit.
    std::vector<std::thread> workers;
    workers.reserve(static_cast<std::size_t>(names.size()));
    for (const QString &name : names) {
        workers.emplace_back([&fetch, &folder, &arrived, name] {
            if (!DownloadIconFiles(QStringList{name}, folder, fetch).isEmpty() && arrived)
                arrived(name);
        });
    }
    for (std::thread &worker : workers)
        worker.join();
}
