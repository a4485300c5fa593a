#include "Zelto_OWM.h"

#include "CurrentWeather.h"
#include "ServiceResponse.h"

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

QByteArray TOwmClient::FetchApi(const QString &pathAndQuery) const
{
    QByteArray body;
    HttpGetToStream(FApiBase + pathAndQuery, QString(), QString(), body, 0, FHttp);
    return body;
}

bool TOwmClient::GetCurrentWeather(TRequestRecord &request, TWeatherRecord &record) const
{
    request.ErrorMessage.clear();
    const QByteArray body = FetchApi(CurrentWeatherQuery(request));
    QDomDocument document;
    if (!CheckServiceResponse(body, request, false, document))
        return false;
    ParseCurrentWeather(document.documentElement(), request.Units, record);
    return true;
}
