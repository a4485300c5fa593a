#include "CurrentWeather.h"

#include "CityElement.h"
#include "LocationParameter.h"
#include "UnitRules.h"
#include "XmlValues.h"

#include <cmath>

namespace {

// The felt temperature is an extra: one the service wrote badly is left out
// rather than failing the whole answer or showing as 0.
void ReadFeelsLike(const QDomElement &feelsLike, TTemperature &target)
{
    double value = 0;
    try {
        value = StrictNumber(feelsLike.attribute(QStringLiteral("value")));
    } catch (const EConvertError &) {
        return;
    }
    if (!std::isfinite(value))
        return;
    target.HasFeelsLike = true;
    target.FeelsLike = value;
}

void ReadWind(const QDomElement &wind, const QString &units, TWind &target)
{
    const QDomElement speed = ChildElement(wind, QStringLiteral("speed"));
    if (!speed.isNull()) {
        target.Speed.Name = speed.attribute(QStringLiteral("name"));
        SetWindSpeed(target.Speed, LenientNumber(speed.attribute(QStringLiteral("value"))), units);
    }
    const QDomElement direction = ChildElement(wind, QStringLiteral("direction"));
    if (!direction.isNull()) {
        target.Direction.Value = LenientNumber(direction.attribute(QStringLiteral("value")));
        target.Direction.Name = direction.attribute(QStringLiteral("name"));
        target.Direction.Code = direction.attribute(QStringLiteral("code"));
    }
}

void ReadCondition(const QDomElement &weather, TValue &target)
{
    // The condition number drives every text and picture, so its absence is as
    // bad as a malformed strict value.
    if (!weather.hasAttribute(QStringLiteral("number")))
        throw EConvertError("The condition has no number");
    target.Code = weather.attribute(QStringLiteral("number"));
    target.Value = LenientNumber(target.Code);
    target.Name = weather.attribute(QStringLiteral("value"));
    target.Icon = IconFileName(weather.attribute(QStringLiteral("icon")));
}

} // namespace

QString CurrentWeatherQuery(const TRequestRecord &request)
{
    return QStringLiteral("/data/2.5/weather?APPID=%1&%2&mode=xml&units=%3&lang=%4")
        .arg(KeyQueryValue(request.Key), BuildLocationParameter(request), EncodeFormValue(request.Units),
             EncodeFormValue(request.Lang));
}

void ParseCurrentWeather(const QDomElement &root, const QString &units, TWeatherRecord &record)
{
    record = TWeatherRecord();

    const QDomElement city = ChildElement(root, QStringLiteral("city"));
    if (!city.isNull())
        ReadCityElement(city, TCoordinateReading::crStrict, record.City);

    const QDomElement temperature = ChildElement(root, QStringLiteral("temperature"));
    if (!temperature.isNull()) {
        record.Temp.Value.Value = LenientNumber(temperature.attribute(QStringLiteral("value")));
        record.Temp.Value.Min = LenientNumber(temperature.attribute(QStringLiteral("min")));
        record.Temp.Value.Max = LenientNumber(temperature.attribute(QStringLiteral("max")));
        record.Temp.Value.Units = TemperatureUnit(units);
    }

    // In the request's units, as the temperature.
    const QDomElement feelsLike = ChildElement(root, QStringLiteral("feels_like"));
    if (!feelsLike.isNull())
        ReadFeelsLike(feelsLike, record.Temp);

    const QDomElement humidity = ChildElement(root, QStringLiteral("humidity"));
    if (!humidity.isNull()) {
        record.Humidity.Value = LenientNumber(humidity.attribute(QStringLiteral("value")));
        record.Humidity.Units = humidity.attribute(QStringLiteral("unit"));
        if (record.Humidity.Units.isEmpty())
            record.Humidity.Units = QStringLiteral("%");
    }

    const QDomElement pressure = ChildElement(root, QStringLiteral("pressure"));
    if (!pressure.isNull()) {
        SetPressure(record.Pressure, StrictNumber(pressure.attribute(QStringLiteral("value"))),
                    pressure.attribute(QStringLiteral("unit")), units);
    }

    const QDomElement wind = ChildElement(root, QStringLiteral("wind"));
    if (!wind.isNull())
        ReadWind(wind, units, record.Wind);

    const QDomElement clouds = ChildElement(root, QStringLiteral("clouds"));
    if (!clouds.isNull()) {
        record.Clouds.Value = LenientNumber(clouds.attribute(QStringLiteral("value")));
        record.Clouds.Name = clouds.attribute(QStringLiteral("name"));
        record.Clouds.Units = QStringLiteral("%");
    }

    const QDomElement precipitation = ChildElement(root, QStringLiteral("precipitation"));
    if (!precipitation.isNull()) {
        // The element's "unit" is the period the amount covers ("1h"); the
        // amount itself is in millimetres.
        SetPrecipitation(record.Precipitation, LenientNumber(precipitation.attribute(QStringLiteral("value"))), units);
        record.Precipitation.Name = precipitation.attribute(QStringLiteral("mode"));
    }

    const QDomElement weather = ChildElement(root, QStringLiteral("weather"));
    if (!weather.isNull())
        ReadCondition(weather, record.Weather);

    const QDomElement lastUpdate = ChildElement(root, QStringLiteral("lastupdate"));
    if (!lastUpdate.isNull())
        record.TimeStamp = XmlTimeToLocal(lastUpdate.attribute(QStringLiteral("value")));
}
