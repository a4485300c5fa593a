// Stand-in until the real Open-Meteo client lands: every call fails.
#include "OpenMeteoClient.h"

const char kDefaultOpenMeteoBase[] = "https://api.open-meteo.com";
const char kDefaultGeocodingBase[] = "https://geocoding-api.open-meteo.com";

QString OpenMeteoForecastQuery(const TRequestRecord &)
{
    return QString();
}

QString OpenMeteoSearchQuery(const TRequestRecord &, const QString &)
{
    return QString();
}

bool OpenMeteoWeatherFromBody(const QByteArray &, TRequestRecord &request, TOpenMeteoWeather &, int)
{
    request.Failure = MakeFailure(TFailureKind::BadDocument, QStringLiteral("not built yet"));
    return false;
}

bool OpenMeteoPlacesFromBody(const QByteArray &, TRequestRecord &request, TCities &, int)
{
    request.Failure = MakeFailure(TFailureKind::BadDocument, QStringLiteral("not built yet"));
    return false;
}

TOpenMeteoClient::TOpenMeteoClient(const QString &forecastBase, const QString &geocodingBase)
    : FForecastBase(forecastBase), FGeocodingBase(geocodingBase)
{
}

bool TOpenMeteoClient::GetWeather(TRequestRecord &request, TOpenMeteoWeather &, QByteArray *) const
{
    request.Failure = MakeFailure(TFailureKind::BadDocument, QStringLiteral("not built yet"));
    return false;
}

bool TOpenMeteoClient::FindLocations(TRequestRecord &request, TCities &, const QString &) const
{
    request.Failure = MakeFailure(TFailureKind::BadDocument, QStringLiteral("not built yet"));
    return false;
}
