#include "Zelto_OWM.h"

#include "CurrentWeather.h"
#include "Forecast.h"
#include "LocationSearch.h"
#include "ServiceResponse.h"
#include "WeatherIcons.h"

#include <QDomDocument>

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

bool TOwmClient::FetchDocument(const QString &pathAndQuery, const TExpectedAnswer &expected,
                               TRequestRecord &request, QDomDocument &document) const
{
    QByteArray body;
    int status = 0;
    HttpGetToStream(FApiBase + pathAndQuery, QString(), QString(), body, 0, FHttp, &status);
    return CheckServiceResponse(body, status, expected, request, document);
}

bool TOwmClient::GetCurrentWeather(TRequestRecord &request, TWeatherRecord &record) const
{
    request.ErrorMessage.clear();
    QDomDocument document;
    if (!FetchDocument(CurrentWeatherQuery(request), kCurrentWeatherAnswer, request, document))
        return false;
    ParseCurrentWeather(document.documentElement(), request.Units, record);
    return true;
}

bool TOwmClient::GetForecast(TRequestRecord &request, TWeatherData &data) const
{
    request.ErrorMessage.clear();
    QDomDocument document;
    if (!FetchDocument(ForecastQuery(request), kForecastAnswer, request, document))
        return false;
    ParseForecast(document.documentElement(), request, data);
    return true;
}

bool TOwmClient::FindLocations(TRequestRecord &request, TCities &cities) const
{
    request.ErrorMessage.clear();
    QDomDocument document;
    if (!FetchDocument(FindLocationsQuery(request), kLocationsAnswer, request, document))
        return false;
    if (!ParseLocations(document.documentElement(), cities)) {
        request.ErrorMessage = QStringLiteral("Bad format");
        return false;
    }
    return true;
}

void TOwmClient::DownloadIcons(const QStringList &names, const QString &folder) const
{
    DownloadIconFiles(names, folder, [this](const QString &name, QByteArray &bytes) {
        return HttpGetToStream(IconUrl(FWebBase, name), QString(), QString(), bytes, 0, FHttp);
    });
}
