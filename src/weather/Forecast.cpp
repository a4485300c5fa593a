#include "Forecast.h"

#include "DateTimeConv.h"
#include "LocationParameter.h"
#include "UnitRules.h"
#include "XmlValues.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kSlotsPerDay = 8; // 3-hour slots

const QLatin1String kMidnightMark("T00:00");
const QLatin1String kNoonMark("T12:00");
const QLatin1String kNoonTime("T12:00:00");
constexpr int kIsoDateLength = 10; // "2026-03-02"

// Extremes of the slots folded into the next daily record.
struct TRunningValues {
    double HighestMax = kFoldNoHighestMax;
    double LowestMin = kFoldNoLowestMin;
    double HighestPrecipitation = 0;
    int Slots = 0;
};

// The local date of 12:00 UTC on the UTC day before the one a midnight slot
// starts: the day that slot closes. 0 when the slot's start cannot be read.
TDateTime ClosedDayStamp(const QString &midnightStart)
{
    const QDate next = QDate::fromString(midnightStart.left(kIsoDateLength), Qt::ISODate);
    if (!next.isValid())
        return kNoDateTime;
    const TDateTime noon = XmlTimeToLocal(next.addDays(-1).toString(Qt::ISODate) + kNoonTime);
    return noon == kNoDateTime ? kNoDateTime : DateOf(noon);
}

QString Attr(const QDomElement &element, const char *name)
{
    return element.attribute(QLatin1String(name));
}

double Number(const QDomElement &element, const char *name)
{
    return LenientNumber(Attr(element, name));
}

TCity ReadLocation(const QDomElement &root)
{
    TCity city;
    const QDomElement location = ChildElement(root, QStringLiteral("location"));
    if (!location.isNull()) {
        const QDomElement name = ChildElement(location, QStringLiteral("name"));
        if (!name.isNull())
            city.Name = name.text();
        const QDomElement country = ChildElement(location, QStringLiteral("country"));
        if (!country.isNull())
            city.Country = country.text();
        const QDomElement position = ChildElement(location, QStringLiteral("location"));
        if (!position.isNull()) {
            city.Lon = Number(position, "longitude");
            city.Lat = Number(position, "latitude");
        }
    }
    const QDomElement sun = ChildElement(root, QStringLiteral("sun"));
    if (!sun.isNull()) {
        city.Sunrise = XmlTimeToLocal(Attr(sun, "rise"));
        city.Sunset = XmlTimeToLocal(Attr(sun, "set"));
    }
    return city;
}

// Fills the slot's values from its children; the times and the city are the caller's.
void ReadSlotValues(const QDomElement &slot, const QString &units, TWeatherRecord &record)
{
    const QDomElement symbol = ChildElement(slot, QStringLiteral("symbol"));
    if (!symbol.isNull()) {
        record.Weather.Code = Attr(symbol, "number");
        record.Weather.Value = LenientNumber(record.Weather.Code);
        record.Weather.Name = Attr(symbol, "name");
        record.Weather.Icon = IconFileName(Attr(symbol, "var"));
    }

    // A slot without an amount had none; it is labelled in the request's unit
    // all the same, as the day folded from such slots is.
    const QDomElement precipitation = ChildElement(slot, QStringLiteral("precipitation"));
    if (!precipitation.isNull() && precipitation.hasAttribute(QStringLiteral("value"))) {
        SetPrecipitation(record.Precipitation, Number(precipitation, "value"), units);
        record.Precipitation.Name = Attr(precipitation, "type");
    } else {
        SetPrecipitation(record.Precipitation, 0, units);
    }

    const QDomElement direction = ChildElement(slot, QStringLiteral("windDirection"));
    if (!direction.isNull()) {
        record.Wind.Direction.Value = Number(direction, "deg");
        record.Wind.Direction.Name = Attr(direction, "name");
        record.Wind.Direction.Code = Attr(direction, "code");
    }

    const QDomElement speed = ChildElement(slot, QStringLiteral("windSpeed"));
    if (!speed.isNull()) {
        record.Wind.Speed.Name = Attr(speed, "name");
        SetWindSpeed(record.Wind.Speed, Number(speed, "mps"), units);
    }

    const QDomElement temperature = ChildElement(slot, QStringLiteral("temperature"));
    if (!temperature.isNull()) {
        TTemperature &temp = record.Temp;
        temp.Value.Value = temperature.hasAttribute(QStringLiteral("day"))
                               ? Number(temperature, "day")
                               : Number(temperature, "value");
        temp.Value.Min = Number(temperature, "min");
        temp.Value.Max = Number(temperature, "max");
        if (temperature.hasAttribute(QStringLiteral("night")))
            temp.Night = Number(temperature, "night");
        if (temperature.hasAttribute(QStringLiteral("eve")))
            temp.Eve = Number(temperature, "eve");
        if (temperature.hasAttribute(QStringLiteral("morn")))
            temp.Morn = Number(temperature, "morn");
        temp.Value.Units = TemperatureUnit(units);
    }

    const QDomElement pressure = ChildElement(slot, QStringLiteral("pressure"));
    if (!pressure.isNull()) {
        SetPressure(record.Pressure, Number(pressure, "value"), Attr(pressure, "unit"), units);
    }

    const QDomElement humidity = ChildElement(slot, QStringLiteral("humidity"));
    if (!humidity.isNull()) {
        record.Humidity.Value = Number(humidity, "value");
        record.Humidity.Units = Attr(humidity, "unit");
        if (record.Humidity.Units.isEmpty())
            record.Humidity.Units = QStringLiteral("%");
    }

    const QDomElement clouds = ChildElement(slot, QStringLiteral("clouds"));
    if (!clouds.isNull()) {
        record.Clouds.Value = Number(clouds, "all");
        record.Clouds.Name = Attr(clouds, "value");
        record.Clouds.Units = Attr(clouds, "unit");
        if (record.Clouds.Units.isEmpty())
            record.Clouds.Units = QStringLiteral("%");
    }
}

// A slot as the hourly view keeps it: with the service's chance of
// precipitation (0 to 1). The days never take it: a day's chance is not its
// noon slot's.
TWeatherRecord WithChance(TWeatherRecord record, const QDomElement &slot)
{
    const QDomElement precipitation = ChildElement(slot, QStringLiteral("precipitation"));
    if (precipitation.isNull())
        return record;
    // Read strictly: a chance that is no number is none, not a chance of 0.
    bool number = false;
    const double chance = Attr(precipitation, "probability").trimmed().toDouble(&number);
    if (number && std::isfinite(chance) && chance >= 0 && chance <= 1)
        record.PrecipitationChance = chance;
    return record;
}

} // namespace

QString ForecastQuery(const TRequestRecord &request)
{
    const bool daily = request.KeyType == ktPaid && request.ForecastMode == fmDaily;
    const int count = daily ? request.NumberOfDays : request.NumberOfDays * kSlotsPerDay;
    const QString path = daily ? QStringLiteral("/data/2.5/forecast/daily") : QStringLiteral("/data/2.5/forecast");
    return QStringLiteral("%1?APPID=%2&%3&mode=xml&units=%4&cnt=%5&lang=%6")
        .arg(path, KeyQueryValue(request.Key), BuildLocationParameter(request),
             EncodeFormValue(request.Units), QString::number(count), EncodeFormValue(request.Lang));
}

void ParseForecast(const QDomElement &root, const TRequestRecord &request, TWeatherData &data,
                   TWeatherData *hours)
{
    data.clear();
    if (hours)
        hours->clear();
    const TCity location = ReadLocation(root);

    const bool fold = request.KeyType == ktFree && request.ForecastMode == fmDaily;
    TRunningValues running;
    TWeatherRecord first;
    TWeatherRecord noon;
    // Whether a noon slot was seen. Tested instead of the noon record's city name,
    // which stays empty for every slot when the answer names no location.
    bool haveNoon = false;

    const QDomElement forecast = ChildElement(root, QStringLiteral("forecast"));
    for (QDomElement slot = forecast.firstChildElement(); !slot.isNull(); slot = slot.nextSiblingElement()) {
        TWeatherRecord record;
        record.City = location;
        QString startText;
        if (slot.hasAttribute(QStringLiteral("day"))) {
            record.TimeStamp = XmlTimeToLocal(Attr(slot, "day"));
        } else {
            startText = Attr(slot, "from");
            record.FromTime = XmlTimeToLocal(startText);
            record.ToTime = XmlTimeToLocal(Attr(slot, "to"));
            record.TimeStamp = DateOf(record.FromTime);
        }

        ReadSlotValues(slot, request.Units, record);
        if (hours && !startText.isEmpty())
            hours->append(WithChance(record, slot));
        if (fold) {
            const QDomElement temperature = ChildElement(slot, QStringLiteral("temperature"));
            if (!temperature.isNull()) {
                running.HighestMax = std::max(running.HighestMax, record.Temp.Value.Max);
                running.LowestMin = std::min(running.LowestMin, record.Temp.Value.Min);
            }
            running.HighestPrecipitation = std::max(running.HighestPrecipitation, record.Precipitation.Value);
            ++running.Slots;
        }

        if (data.isEmpty())
            first = record;
        if (startText.contains(kNoonMark)) {
            noon = record;
            haveNoon = true;
        }

        const bool append = request.KeyType == ktPaid || request.ForecastMode == fmHourly
                            || startText.contains(kMidnightMark);
        if (!append)
            continue;

        if (fold) {
            // A forecast starting at 00:00 UTC opens with the slot that closes
            // the day before it: a record of that alone would repeat the first
            // day's date with one slot's contents.
            if (data.isEmpty() && running.Slots == 1) {
                running = TRunningValues();
                continue;
            }
            if (!haveNoon) {
                noon = first;
                haveNoon = true;
            }
            record = noon;
            record.Temp.Value.Max = running.HighestMax;
            record.Temp.Value.Min = running.LowestMin;
            record.Precipitation.Value = running.HighestPrecipitation;
            // Dated by the noon of the UTC day it covers, in every zone; the
            // copied slot before the first noon is the closing midnight, which
            // belongs to the next day.
            const TDateTime stamp = ClosedDayStamp(startText);
            if (stamp != kNoDateTime)
                record.TimeStamp = stamp;
            running = TRunningValues();
        }
        data.append(record);
    }
}
