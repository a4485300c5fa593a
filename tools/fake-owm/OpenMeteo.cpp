#include "OpenMeteo.h"

#include "Cities.h"
#include "SyntheticWeather.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QTimeZone>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr int kDefaultForecastDays = 7;
constexpr int kMaxForecastDays = 16;
constexpr int kHoursPerDay = 24;
constexpr int kCurrentIntervalSeconds = 900;
constexpr int kDefaultSearchCount = 10;
constexpr int kMaxSearchCount = 100;
constexpr int kExactSearchLength = 2; // shorter names match whole, longer ones in part
// A place this close to a known city (in degrees) has that city's weather, so
// both services' paths agree on it.
constexpr double kSameCityDegrees = 0.1;
constexpr double kKmhPerMps = 3.6;
constexpr double kMphPerMps = 2.23694;
constexpr double kKnotsPerMps = 1.94384;
constexpr double kMmPerInch = 25.4;
constexpr double kSlotHours = 3.0; // the samples' precipitation is over three hours

const QString kLocalMinute = QStringLiteral("yyyy-MM-ddTHH:mm");
const QString kLocalDay = QStringLiteral("yyyy-MM-dd");

struct TUnits {
    bool Fahrenheit = false;
    QString Wind = QStringLiteral("kmh");
    bool Inch = false;
};

struct TPlace {
    TFakeCity City;
    QTimeZone Zone;
    QString ZoneName;
};

// One sample with what the keyless service adds to it.
struct TOmSample {
    TSample S;
    int WeatherCode = 0;
    bool IsDay = false;
    double Apparent = 0;
    double Gusts = 0;
    int PrecipitationChance = 0;
};

class EBadRequest
{
public:
    explicit EBadRequest(QString reason) : Reason(std::move(reason)) {}
    QString Reason;
};

double Round(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

// The WMO code of the stand-in's condition.
int WmoCode(const TCondition &condition)
{
    switch (condition.Number) {
    case 800: return 0;
    case 801: return 1;
    case 802: return 2;
    case 803:
    case 804: return 3;
    case 741: return 45;
    case 500: return 61;
    case 501: return 63;
    case 521: return 80;
    case 211: return 95;
    case 600: return 71;
    case 601: return 73;
    default: return condition.Number / 100 == 8 ? 3 : 61;
    }
}

// The Australian apparent temperature: humidity warms, wind cools.
double ApparentC(const TSample &s)
{
    const double vapour = s.Humidity / 100.0 * 6.105 * std::exp(17.27 * s.TempC / (237.7 + s.TempC));
    return s.TempC + 0.33 * vapour - 0.70 * s.WindMps - 4.0;
}

TOmSample Sample(const TPlace &place, const QDateTime &utc)
{
    TOmSample o;
    o.S = SampleAt(place.City, utc);
    o.WeatherCode = WmoCode(o.S.Condition);
    o.IsDay = IconCode(place.City, o.S, utc).endsWith(QLatin1Char('d'));
    o.Apparent = ApparentC(o.S);
    o.Gusts = o.S.WindMps * 1.6;
    // Wet hours are likely, cloudy ones possible, clear ones not.
    o.PrecipitationChance = o.S.PrecipMm > 0 ? std::min(100, 60 + static_cast<int>(o.S.PrecipMm * 10))
                                             : static_cast<int>(std::max(0.0, o.S.Clouds - 50) * 0.8);
    return o;
}

double Temperature(double celsius, const TUnits &units)
{
    return Round(units.Fahrenheit ? celsius * 9 / 5 + 32 : celsius, 1);
}

double Speed(double mps, const TUnits &units)
{
    if (units.Wind == QLatin1String("ms"))
        return Round(mps, 2);
    if (units.Wind == QLatin1String("mph"))
        return Round(mps * kMphPerMps, 1);
    if (units.Wind == QLatin1String("kn"))
        return Round(mps * kKnotsPerMps, 1);
    return Round(mps * kKmhPerMps, 1);
}

double Precipitation(double mm, const TUnits &units)
{
    return units.Inch ? Round(mm / kMmPerInch, 3) : Round(mm, 1);
}

QString TemperatureUnit(const TUnits &units)
{
    return units.Fahrenheit ? QStringLiteral("°F") : QStringLiteral("°C");
}

QString SpeedUnit(const TUnits &units)
{
    if (units.Wind == QLatin1String("ms"))
        return QStringLiteral("m/s");
    if (units.Wind == QLatin1String("mph"))
        return QStringLiteral("mp/h");
    if (units.Wind == QLatin1String("kn"))
        return QStringLiteral("kn");
    return QStringLiteral("km/h");
}

QString PrecipitationUnit(const TUnits &units)
{
    return units.Inch ? QStringLiteral("inch") : QStringLiteral("mm");
}

// A variable of a sample: its value and its unit.
struct TVariable {
    const char *Name;
    std::function<QJsonValue(const TOmSample &, const TUnits &)> Value;
    std::function<QString(const TUnits &)> Unit;
};

QString Percent(const TUnits &)
{
    return QStringLiteral("%");
}

const QVector<TVariable> &SampleVariables()
{
    static const QVector<TVariable> variables = {
        {"temperature_2m", [](const TOmSample &o, const TUnits &u) { return Temperature(o.S.TempC, u); },
         TemperatureUnit},
        {"apparent_temperature", [](const TOmSample &o, const TUnits &u) { return Temperature(o.Apparent, u); },
         TemperatureUnit},
        {"relative_humidity_2m", [](const TOmSample &o, const TUnits &) { return o.S.Humidity; }, Percent},
        {"weather_code", [](const TOmSample &o, const TUnits &) { return o.WeatherCode; },
         [](const TUnits &) { return QStringLiteral("wmo code"); }},
        {"cloud_cover", [](const TOmSample &o, const TUnits &) { return o.S.Clouds; }, Percent},
        {"pressure_msl", [](const TOmSample &o, const TUnits &) { return Round(o.S.PressureHpa, 1); },
         [](const TUnits &) { return QStringLiteral("hPa"); }},
        {"surface_pressure", [](const TOmSample &o, const TUnits &) { return Round(o.S.PressureHpa - 12, 1); },
         [](const TUnits &) { return QStringLiteral("hPa"); }},
        {"wind_speed_10m", [](const TOmSample &o, const TUnits &u) { return Speed(o.S.WindMps, u); }, SpeedUnit},
        {"wind_direction_10m", [](const TOmSample &o, const TUnits &) { return o.S.WindDeg; },
         [](const TUnits &) { return QStringLiteral("°"); }},
        {"wind_gusts_10m", [](const TOmSample &o, const TUnits &u) { return Speed(o.Gusts, u); }, SpeedUnit},
        {"precipitation",
         [](const TOmSample &o, const TUnits &u) { return Precipitation(o.S.PrecipMm / kSlotHours, u); },
         PrecipitationUnit},
        {"rain",
         [](const TOmSample &o, const TUnits &u) {
             return Precipitation(o.S.PrecipType == QLatin1String("rain") && o.WeatherCode < 80 ? o.S.PrecipMm / kSlotHours : 0, u);
         },
         PrecipitationUnit},
        {"showers",
         [](const TOmSample &o, const TUnits &u) {
             return Precipitation(o.WeatherCode >= 80 ? o.S.PrecipMm / kSlotHours : 0, u);
         },
         PrecipitationUnit},
        {"snowfall",
         // Fresh snow is some seven times as deep as its water, in centimetres or inches.
         [](const TOmSample &o, const TUnits &u) {
             const double cm = o.S.PrecipType == QLatin1String("snow") ? o.S.PrecipMm / kSlotHours * 0.7 : 0;
             return u.Inch ? Round(cm / 2.54, 3) : Round(cm, 2);
         },
         [](const TUnits &u) { return u.Inch ? QStringLiteral("inch") : QStringLiteral("cm"); }},
        {"precipitation_probability", [](const TOmSample &o, const TUnits &) { return o.PrecipitationChance; },
         Percent},
        {"is_day", [](const TOmSample &o, const TUnits &) { return o.IsDay ? 1 : 0; },
         [](const TUnits &) { return QString(); }},
    };
    return variables;
}

const TVariable *SampleVariable(const QString &name)
{
    for (const TVariable &variable : SampleVariables())
        if (name == QLatin1String(variable.Name))
            return &variable;
    return nullptr;
}

// The day's 24 hours, summed up as the service does.
struct TDay {
    QDate Date;
    QVector<TOmSample> Hours;
    TSunTimes Sun;
};

double MaxOf(const TDay &day, const std::function<double(const TOmSample &)> &value)
{
    double most = -1e300;
    for (const TOmSample &o : day.Hours)
        most = std::max(most, value(o));
    return most;
}

double MinOf(const TDay &day, const std::function<double(const TOmSample &)> &value)
{
    return -MaxOf(day, [&value](const TOmSample &o) { return -value(o); });
}

double SumOf(const TDay &day, const std::function<double(const TOmSample &)> &value)
{
    double sum = 0;
    for (const TOmSample &o : day.Hours)
        sum += value(o);
    return sum;
}

double MeanOf(const TDay &day, const std::function<double(const TOmSample &)> &value)
{
    return day.Hours.isEmpty() ? 0 : SumOf(day, value) / day.Hours.size();
}

// The direction the wind came from most, weighted by its strength.
double DominantDirection(const TDay &day)
{
    double x = 0, y = 0;
    for (const TOmSample &o : day.Hours) {
        const double angle = o.S.WindDeg * M_PI / 180;
        x += std::cos(angle) * o.S.WindMps;
        y += std::sin(angle) * o.S.WindMps;
    }
    const double degrees = std::atan2(y, x) * 180 / M_PI;
    return std::round(std::fmod(degrees + 360, 360));
}

struct TDailyVariable {
    const char *Name;
    std::function<QJsonValue(const TDay &, const TUnits &, const QTimeZone &)> Value;
    std::function<QString(const TUnits &)> Unit;
};

QString Iso(const TUnits &)
{
    return QStringLiteral("iso8601");
}

const QVector<TDailyVariable> &DailyVariables()
{
    static const QVector<TDailyVariable> variables = {
        // The most severe weather of the day.
        {"weather_code",
         [](const TDay &d, const TUnits &, const QTimeZone &) {
             return static_cast<int>(MaxOf(d, [](const TOmSample &o) { return o.WeatherCode; }));
         },
         [](const TUnits &) { return QStringLiteral("wmo code"); }},
        {"temperature_2m_max",
         [](const TDay &d, const TUnits &u, const QTimeZone &) {
             return Temperature(MaxOf(d, [](const TOmSample &o) { return o.S.TempC; }), u);
         },
         TemperatureUnit},
        {"temperature_2m_min",
         [](const TDay &d, const TUnits &u, const QTimeZone &) {
             return Temperature(MinOf(d, [](const TOmSample &o) { return o.S.TempC; }), u);
         },
         TemperatureUnit},
        {"apparent_temperature_max",
         [](const TDay &d, const TUnits &u, const QTimeZone &) {
             return Temperature(MaxOf(d, [](const TOmSample &o) { return o.Apparent; }), u);
         },
         TemperatureUnit},
        {"apparent_temperature_min",
         [](const TDay &d, const TUnits &u, const QTimeZone &) {
             return Temperature(MinOf(d, [](const TOmSample &o) { return o.Apparent; }), u);
         },
         TemperatureUnit},
        {"precipitation_sum",
         [](const TDay &d, const TUnits &u, const QTimeZone &) {
             return Precipitation(SumOf(d, [](const TOmSample &o) { return o.S.PrecipMm / kSlotHours; }), u);
         },
         PrecipitationUnit},
        {"precipitation_probability_max",
         [](const TDay &d, const TUnits &, const QTimeZone &) {
             return static_cast<int>(MaxOf(d, [](const TOmSample &o) { return o.PrecipitationChance; }));
         },
         Percent},
        {"wind_speed_10m_max",
         [](const TDay &d, const TUnits &u, const QTimeZone &) {
             return Speed(MaxOf(d, [](const TOmSample &o) { return o.S.WindMps; }), u);
         },
         SpeedUnit},
        {"wind_gusts_10m_max",
         [](const TDay &d, const TUnits &u, const QTimeZone &) {
             return Speed(MaxOf(d, [](const TOmSample &o) { return o.Gusts; }), u);
         },
         SpeedUnit},
        {"wind_direction_10m_dominant",
         [](const TDay &d, const TUnits &, const QTimeZone &) { return DominantDirection(d); },
         [](const TUnits &) { return QStringLiteral("°"); }},
        {"sunrise",
         [](const TDay &d, const TUnits &, const QTimeZone &zone) {
             return d.Sun.Rise.toTimeZone(zone).toString(kLocalMinute);
         },
         Iso},
        {"sunset",
         [](const TDay &d, const TUnits &, const QTimeZone &zone) {
             return d.Sun.Set.toTimeZone(zone).toString(kLocalMinute);
         },
         Iso},
        {"relative_humidity_2m_mean",
         [](const TDay &d, const TUnits &, const QTimeZone &) {
             return std::round(MeanOf(d, [](const TOmSample &o) { return o.S.Humidity; }));
         },
         Percent},
        {"pressure_msl_mean",
         [](const TDay &d, const TUnits &, const QTimeZone &) {
             return Round(MeanOf(d, [](const TOmSample &o) { return o.S.PressureHpa; }), 1);
         },
         [](const TUnits &) { return QStringLiteral("hPa"); }},
        {"cloud_cover_mean",
         [](const TDay &d, const TUnits &, const QTimeZone &) {
             return std::round(MeanOf(d, [](const TOmSample &o) { return o.S.Clouds; }));
         },
         Percent},
    };
    return variables;
}

const TDailyVariable *DailyVariable(const QString &name)
{
    for (const TDailyVariable &variable : DailyVariables())
        if (name == QLatin1String(variable.Name))
            return &variable;
    return nullptr;
}

QJsonObject ErrorObject(const QString &reason)
{
    return QJsonObject{{QStringLiteral("error"), true}, {QStringLiteral("reason"), reason}};
}

TOpenMeteoAnswer Json(int status, const QJsonObject &object)
{
    return {status, QJsonDocument(object).toJson(QJsonDocument::Compact)};
}

double Coordinate(const TQueryParams &params, const char *name, double limit, const char *label)
{
    const QString key = QLatin1String(name);
    if (!params.contains(key))
        throw EBadRequest(QStringLiteral("Value of type 'Float' required for key '%1'.").arg(key));
    bool ok = false;
    const double value = params.value(key).toDouble(&ok);
    if (!ok || !std::isfinite(value))
        throw EBadRequest(QStringLiteral("Value of type 'Float' required for key '%1'.").arg(key));
    if (std::fabs(value) > limit)
        throw EBadRequest(QStringLiteral("%1 must be in range of -%2 to %2°. Given: %3.")
                              .arg(QLatin1String(label))
                              .arg(limit)
                              .arg(value));
    return value;
}

QString InvalidValue(const char *type, const QString &value, const char *key)
{
    return QStringLiteral("Cannot initialize %1 from invalid String value %2 for key %3")
        .arg(QLatin1String(type), value, QLatin1String(key));
}

TUnits UnitsOf(const TQueryParams &params)
{
    TUnits units;
    const QString temperature = params.value(QStringLiteral("temperature_unit"), QStringLiteral("celsius"));
    if (temperature != QLatin1String("celsius") && temperature != QLatin1String("fahrenheit"))
        throw EBadRequest(InvalidValue("TemperatureUnit", temperature, "temperature_unit"));
    units.Fahrenheit = temperature == QLatin1String("fahrenheit");
    // The older spelling is still understood.
    const QString windKey = params.contains(QStringLiteral("wind_speed_unit")) ? QStringLiteral("wind_speed_unit")
                                                                               : QStringLiteral("windspeed_unit");
    units.Wind = params.value(windKey, QStringLiteral("kmh"));
    if (!QStringList{QStringLiteral("kmh"), QStringLiteral("ms"), QStringLiteral("mph"), QStringLiteral("kn")}.contains(
            units.Wind))
        throw EBadRequest(InvalidValue("WindspeedUnit", units.Wind, "wind_speed_unit"));
    const QString precipitation = params.value(QStringLiteral("precipitation_unit"), QStringLiteral("mm"));
    if (precipitation != QLatin1String("mm") && precipitation != QLatin1String("inch"))
        throw EBadRequest(InvalidValue("PrecipitationUnit", precipitation, "precipitation_unit"));
    units.Inch = precipitation == QLatin1String("inch");
    return units;
}

int ForecastDays(const TQueryParams &params)
{
    const QString key = QStringLiteral("forecast_days");
    if (!params.contains(key))
        return kDefaultForecastDays;
    bool ok = false;
    const int days = params.value(key).toInt(&ok);
    if (!ok)
        throw EBadRequest(QStringLiteral("Value of type 'Int' required for key 'forecast_days'."));
    if (days < 0 || days > kMaxForecastDays)
        throw EBadRequest(QStringLiteral("Forecast days is invalid. Allowed range 0 to %1.").arg(kMaxForecastDays));
    return days;
}

QStringList VariableNames(const TQueryParams &params, const char *key)
{
    QStringList names;
    for (const QString &name : params.value(QLatin1String(key)).split(QLatin1Char(','), Qt::SkipEmptyParts))
        names << name.trimmed();
    return names;
}

// The known city at these coordinates, else a place of its own there whose
// made-up weather is fixed by its coordinates.
TPlace PlaceAt(double latitude, double longitude, const QString &zoneParam)
{
    TPlace place;
    const TFakeCity *near = nullptr;
    for (const TFakeCity &city : KnownCities()) {
        if (std::fabs(city.Lat - latitude) <= kSameCityDegrees && std::fabs(city.Lon - longitude) <= kSameCityDegrees) {
            near = &city;
            break;
        }
    }
    if (near != nullptr) {
        place.City = *near;
    } else {
        place.City = TFakeCity{};
        place.City.Id = static_cast<qint64>(std::llround((latitude + 90) * 1000)) * 1000000
                        + std::llround((longitude + 180) * 1000);
        place.City.Lat = latitude;
        place.City.Lon = longitude;
        place.City.Elevation = 0;
    }
    if (zoneParam.isEmpty() || zoneParam == QLatin1String("GMT") || zoneParam == QLatin1String("UTC")) {
        place.Zone = QTimeZone::utc();
        place.ZoneName = QStringLiteral("GMT");
    } else if (zoneParam == QLatin1String("auto")) {
        // A known city's own zone; elsewhere the whole hours of its longitude.
        if (near != nullptr && QTimeZone(near->TimeZone.toUtf8()).isValid()) {
            place.Zone = QTimeZone(near->TimeZone.toUtf8());
            place.ZoneName = near->TimeZone;
        } else {
            const int hours = static_cast<int>(std::lround(longitude / 15));
            place.Zone = QTimeZone(hours * 3600);
            place.ZoneName = hours == 0 ? QStringLiteral("GMT") : QStringLiteral("Etc/GMT%1%2").arg(hours > 0 ? QLatin1Char('-') : QLatin1Char('+')).arg(std::abs(hours));
        }
    } else {
        const QTimeZone zone(zoneParam.toUtf8());
        if (!zone.isValid())
            throw EBadRequest(QStringLiteral("Invalid timezone"));
        place.Zone = zone;
        place.ZoneName = zoneParam;
    }
    return place;
}

QJsonObject UnitsObject(const QStringList &names, const TUnits &units, bool daily)
{
    QJsonObject object{{QStringLiteral("time"), QStringLiteral("iso8601")}};
    for (const QString &name : names) {
        if (daily)
            object.insert(name, DailyVariable(name)->Unit(units));
        else
            object.insert(name, SampleVariable(name)->Unit(units));
    }
    return object;
}

TOpenMeteoAnswer Forecast(const TQueryParams &params, const QDateTime &now)
{
    const double latitude = Coordinate(params, "latitude", 90, "Latitude");
    const double longitude = Coordinate(params, "longitude", 180, "Longitude");
    const TUnits units = UnitsOf(params);
    const int days = ForecastDays(params);
    const QStringList current = VariableNames(params, "current");
    const QStringList hourly = VariableNames(params, "hourly");
    const QStringList daily = VariableNames(params, "daily");
    for (const auto &[names, key] : {std::pair{current, "current"}, std::pair{hourly, "hourly"}}) {
        for (const QString &name : names)
            if (SampleVariable(name) == nullptr)
                throw EBadRequest(InvalidValue("SurfacePressureAndHeightVariable", name, key));
    }
    for (const QString &name : daily)
        if (DailyVariable(name) == nullptr)
            throw EBadRequest(InvalidValue("DailyWeatherVariable", name, "daily"));
    const TPlace place = PlaceAt(latitude, longitude, params.value(QStringLiteral("timezone")));

    const QDateTime localNow = now.toTimeZone(place.Zone);
    QJsonObject answer{
        {QStringLiteral("latitude"), Round(place.City.Lat, 3)},
        {QStringLiteral("longitude"), Round(place.City.Lon, 3)},
        {QStringLiteral("generationtime_ms"), 0.05},
        {QStringLiteral("utc_offset_seconds"), place.Zone.offsetFromUtc(now)},
        {QStringLiteral("timezone"), place.ZoneName},
        {QStringLiteral("timezone_abbreviation"),
         place.ZoneName == QLatin1String("GMT") ? QStringLiteral("GMT") : place.Zone.abbreviation(now)},
        {QStringLiteral("elevation"), place.City.Elevation},
    };
    if (!current.isEmpty()) {
        // The latest quarter hour, as the service's current values stand.
        const QDateTime at =
            QDateTime::fromSecsSinceEpoch(now.toSecsSinceEpoch() / kCurrentIntervalSeconds * kCurrentIntervalSeconds, Qt::UTC);
        const TOmSample o = Sample(place, at);
        QJsonObject values{{QStringLiteral("time"), at.toTimeZone(place.Zone).toString(kLocalMinute)},
                           {QStringLiteral("interval"), kCurrentIntervalSeconds}};
        for (const QString &name : current)
            values.insert(name, SampleVariable(name)->Value(o, units));
        QJsonObject unitsObject = UnitsObject(current, units, false);
        unitsObject.insert(QStringLiteral("interval"), QStringLiteral("seconds"));
        answer.insert(QStringLiteral("current_units"), unitsObject);
        answer.insert(QStringLiteral("current"), values);
    }
    // Whole local days from today's midnight.
    const QDate firstDay = localNow.date();
    QVector<TDay> dayList;
    for (int d = 0; d < days; ++d) {
        TDay day;
        day.Date = firstDay.addDays(d);
        QDateTime hour(day.Date, QTime(0, 0), place.Zone);
        for (int h = 0; h < kHoursPerDay; ++h)
            day.Hours.append(Sample(place, hour.addSecs(h * 3600LL).toUTC()));
        day.Sun = SunTimes(place.City, day.Date);
        dayList.append(day);
    }
    if (!hourly.isEmpty()) {
        QJsonArray times;
        QMap<QString, QJsonArray> columns;
        for (const TDay &day : dayList) {
            const QDateTime midnight(day.Date, QTime(0, 0), place.Zone);
            for (int h = 0; h < day.Hours.size(); ++h) {
                times.append(midnight.addSecs(h * 3600LL).toString(kLocalMinute));
                for (const QString &name : hourly)
                    columns[name].append(SampleVariable(name)->Value(day.Hours[h], units));
            }
        }
        QJsonObject values{{QStringLiteral("time"), times}};
        for (const QString &name : hourly)
            values.insert(name, columns.value(name));
        answer.insert(QStringLiteral("hourly_units"), UnitsObject(hourly, units, false));
        answer.insert(QStringLiteral("hourly"), values);
    }
    if (!daily.isEmpty()) {
        QJsonArray times;
        QMap<QString, QJsonArray> columns;
        for (const TDay &day : dayList) {
            times.append(day.Date.toString(kLocalDay));
            for (const QString &name : daily)
                columns[name].append(DailyVariable(name)->Value(day, units, place.Zone));
        }
        QJsonObject values{{QStringLiteral("time"), times}};
        for (const QString &name : daily)
            values.insert(name, columns.value(name));
        answer.insert(QStringLiteral("daily_units"), UnitsObject(daily, units, true));
        answer.insert(QStringLiteral("daily"), values);
    }
    return Json(200, answer);
}

QJsonObject PlaceObject(const TFakeCity &city)
{
    QJsonObject place{
        {QStringLiteral("id"), city.Id},
        {QStringLiteral("name"), city.Name},
        {QStringLiteral("latitude"), city.Lat},
        {QStringLiteral("longitude"), city.Lon},
        {QStringLiteral("elevation"), city.Elevation},
        {QStringLiteral("feature_code"), QStringLiteral("PPL")},
        {QStringLiteral("country_code"), city.Country},
        {QStringLiteral("country"), city.CountryName},
        {QStringLiteral("timezone"), city.TimeZone},
        {QStringLiteral("population"), city.Population},
    };
    if (!city.Admin1.isEmpty())
        place.insert(QStringLiteral("admin1"), city.Admin1);
    return place;
}

} // namespace

TOpenMeteoAnswer OpenMeteoForecast(const TQueryParams &params, const QDateTime &now)
{
    try {
        return Forecast(params, now);
    } catch (const EBadRequest &bad) {
        return Json(400, ErrorObject(bad.Reason));
    }
}

TOpenMeteoAnswer OpenMeteoSearch(const TQueryParams &params)
{
    if (!params.contains(QStringLiteral("name")))
        return Json(400, ErrorObject(QStringLiteral("Parameter 'name' is required.")));
    const QString name = params.value(QStringLiteral("name")).trimmed();
    int count = kDefaultSearchCount;
    if (params.contains(QStringLiteral("count"))) {
        bool ok = false;
        count = params.value(QStringLiteral("count")).toInt(&ok);
        if (!ok || count < 1 || count > kMaxSearchCount)
            return Json(400, ErrorObject(QStringLiteral("Parameter count must be between 1 and %1.").arg(kMaxSearchCount)));
    }
    const QString country = params.value(QStringLiteral("countryCode"));
    QVector<const TFakeCity *> found;
    if (name.size() >= kExactSearchLength) {
        for (const TFakeCity &city : KnownCities()) {
            const bool matches = name.size() == kExactSearchLength
                                     ? city.Name.compare(name, Qt::CaseInsensitive) == 0
                                     : city.Name.contains(name, Qt::CaseInsensitive);
            if (matches && (country.isEmpty() || city.Country.compare(country, Qt::CaseInsensitive) == 0))
                found.append(&city);
        }
    }
    // The largest places first, as the service ranks them.
    std::stable_sort(found.begin(), found.end(),
                     [](const TFakeCity *a, const TFakeCity *b) { return a->Population > b->Population; });
    QJsonObject answer{{QStringLiteral("generationtime_ms"), 0.7}};
    if (!found.isEmpty()) {
        QJsonArray results;
        for (qsizetype i = 0; i < found.size() && i < count; ++i)
            results.append(PlaceObject(*found[i]));
        answer.insert(QStringLiteral("results"), results);
    }
    return Json(200, answer);
}

QByteArray OpenMeteoSampleDocument()
{
    const TFakeCity &city = KnownCities().front();
    const TQueryParams params{
        {QStringLiteral("latitude"), QString::number(city.Lat)},
        {QStringLiteral("longitude"), QString::number(city.Lon)},
        {QStringLiteral("timezone"), QStringLiteral("auto")},
        {QStringLiteral("current"), QStringLiteral("temperature_2m,weather_code,is_day")},
        {QStringLiteral("daily"), QStringLiteral("weather_code,temperature_2m_max,temperature_2m_min")},
    };
    return OpenMeteoForecast(params, QDateTime::currentDateTimeUtc()).Body;
}

QByteArray OpenMeteoLimitDocument()
{
    return QJsonDocument(ErrorObject(QStringLiteral("Daily API request limit exceeded. Please try again tomorrow.")))
        .toJson(QJsonDocument::Compact);
}
