#include "OpenMeteoClient.h"

#include "LocationParameter.h"
#include "TrimText.h"
#include "UnitRules.h"

#include <cmath>

const char kDefaultOpenMeteoBase[] = "https://api.open-meteo.com";
const char kDefaultGeocodingBase[] = "https://geocoding-api.open-meteo.com";

namespace {

// What the window shows, asked in one request.
const char kCurrentVariables[] = "temperature_2m,apparent_temperature,relative_humidity_2m,weather_code,"
                                 "cloud_cover,pressure_msl,wind_speed_10m,wind_direction_10m,precipitation,is_day";
const char kDailyVariables[] = "weather_code,temperature_2m_max,temperature_2m_min,precipitation_sum,"
                               "precipitation_probability_max,wind_speed_10m_max,wind_direction_10m_dominant,"
                               "sunrise,sunset,relative_humidity_2m_mean,pressure_msl_mean,cloud_cover_mean";
const char kHourlyVariables[] = "temperature_2m,apparent_temperature,relative_humidity_2m,weather_code,"
                                "cloud_cover,pressure_msl,wind_speed_10m,wind_direction_10m,precipitation,"
                                "precipitation_probability,is_day";
// Metric asks m/s, as the other service gives them and the unit rules expect.
const char kMetricUnits[] = "temperature_unit=celsius&wind_speed_unit=ms&precipitation_unit=mm";
const char kImperialUnits[] = "temperature_unit=fahrenheit&wind_speed_unit=mph&precipitation_unit=inch";

constexpr int kCoordinateDecimals = 5; // about a metre
constexpr int kPlacesAsked = 10;
constexpr double kMaxLatitude = 90;
constexpr double kMaxLongitude = 180;
const QString kDefaultLanguage = QStringLiteral("en");
const QString kNoCoordinates = QStringLiteral("The place has no coordinates: search for it again");
const QString kNoName = QStringLiteral("No place name was given");

QString WithoutTrailingSlash(QString base)
{
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base;
}

// A coordinate as the query writes it: "." decimals whatever the locale, no
// trailing zeros.
QString Coordinate(double value)
{
    QString text = QString::number(value, 'f', kCoordinateDecimals);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

bool HasUsableCoordinates(const TRequestRecord &request)
{
    return request.HasCoordinates && std::isfinite(request.Latitude) && std::isfinite(request.Longitude)
           && std::fabs(request.Latitude) <= kMaxLatitude && std::fabs(request.Longitude) <= kMaxLongitude;
}

// The language part of a code like "de", "pt_BR" or "zh-CN", in lower case;
// English when there is none.
QString SearchLanguage(const QString &language)
{
    QString code;
    for (const QChar c : language.trimmed()) {
        if (c == QLatin1Char('_') || c == QLatin1Char('-'))
            break;
        if (c.unicode() >= 0x80 || !c.isLetter())
            return kDefaultLanguage;
        code += c.toLower();
    }
    return code.isEmpty() ? kDefaultLanguage : code;
}

} // namespace

QString OpenMeteoForecastQuery(const TRequestRecord &request)
{
    return QStringLiteral("/v1/forecast?latitude=%1&longitude=%2&timezone=auto&forecast_days=%3"
                          "&current=%4&daily=%5&hourly=%6&%7")
        .arg(Coordinate(request.Latitude), Coordinate(request.Longitude),
             QString::number(OpenMeteoForecastDays(request)), QLatin1String(kCurrentVariables),
             QLatin1String(kDailyVariables), QLatin1String(kHourlyVariables),
             QLatin1String(IsMetric(request.Units) ? kMetricUnits : kImperialUnits));
}

QString OpenMeteoSearchQuery(const TRequestRecord &request, const QString &language)
{
    return QStringLiteral("/v1/search?name=%1&count=%2&language=%3&format=json")
        .arg(EncodeFormValue(TrimControl(request.LocationName)), QString::number(kPlacesAsked),
             SearchLanguage(language));
}

bool OpenMeteoWeatherFromBody(const QByteArray &body, TRequestRecord &request, TOpenMeteoWeather &weather,
                              int httpStatus)
{
    return ParseOpenMeteoForecast(body, httpStatus, request, weather, request.Failure);
}

bool OpenMeteoPlacesFromBody(const QByteArray &body, TRequestRecord &request, TCities &cities, int httpStatus)
{
    return ParseOpenMeteoPlaces(body, httpStatus, cities, request.Failure);
}

TOpenMeteoClient::TOpenMeteoClient(const QString &forecastBase, const QString &geocodingBase)
    : FForecastBase(WithoutTrailingSlash(forecastBase)), FGeocodingBase(WithoutTrailingSlash(geocodingBase))
{
}

QByteArray TOpenMeteoClient::Fetch(const QString &url, int &httpStatus, THttpFailure &failure) const
{
    QByteArray body;
    httpStatus = 0;
    failure = THttpFailure::None;
    HttpGetToStream(url, QString(), QString(), body, 0, FHttp, &httpStatus, &failure);
    return body;
}

bool TOpenMeteoClient::GetWeather(TRequestRecord &request, TOpenMeteoWeather &weather, QByteArray *rawBody) const
{
    request.Failure = TFetchFailure();
    if (rawBody)
        rawBody->clear();
    if (!HasUsableCoordinates(request)) {
        request.Failure = MakeFailure(TFailureKind::PlaceNotFound, kNoCoordinates);
        return false;
    }
    int status = 0;
    THttpFailure failure = THttpFailure::None;
    const QByteArray body = Fetch(FForecastBase + OpenMeteoForecastQuery(request), status, failure);
    if (rawBody)
        *rawBody = body;
    if (OpenMeteoWeatherFromBody(body, request, weather, status))
        return true;
    if (body.isEmpty())
        ExplainTransportFailure(failure, FHttp, request.Failure);
    return false;
}

bool TOpenMeteoClient::FindLocations(TRequestRecord &request, TCities &cities, const QString &language) const
{
    request.Failure = TFetchFailure();
    if (TrimControl(request.LocationName).isEmpty()) {
        request.Failure = MakeFailure(TFailureKind::PlaceNotFound, kNoName);
        return false;
    }
    int status = 0;
    THttpFailure failure = THttpFailure::None;
    const QByteArray body = Fetch(FGeocodingBase + OpenMeteoSearchQuery(request, language), status, failure);
    if (OpenMeteoPlacesFromBody(body, request, cities, status))
        return true;
    if (body.isEmpty())
        ExplainTransportFailure(failure, FHttp, request.Failure);
    return false;
}
