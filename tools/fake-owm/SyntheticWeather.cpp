#include "SyntheticWeather.h"

#include <QtMath>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr double kDaysPerYear = 365.25;
constexpr double kHoursPerNode = 6.0; // the noise changes over hours, not minutes
constexpr double kSunAltitudeAtRiseDeg = -0.833;
constexpr double kAxialTiltDeg = 23.44;

std::uint64_t Mix(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

// A value in [0, 1) fixed by the city, the quantity and the node index.
double Hash01(qint64 cityId, int channel, qint64 node)
{
    const std::uint64_t h = Mix(Mix(Mix(static_cast<std::uint64_t>(cityId)) ^ static_cast<std::uint64_t>(channel))
                                ^ static_cast<std::uint64_t>(node));
    return static_cast<double>(h >> 11) / static_cast<double>(1ULL << 53);
}

// Smoothly interpolated noise in [0, 1) over time.
double Noise(qint64 cityId, int channel, const QDateTime &utc)
{
    const double hours = static_cast<double>(utc.toSecsSinceEpoch()) / 3600.0 / kHoursPerNode;
    const double node = std::floor(hours);
    const double t = hours - node;
    const double smooth = t * t * (3 - 2 * t);
    const auto n = static_cast<qint64>(node);
    return Hash01(cityId, channel, n) * (1 - smooth) + Hash01(cityId, channel, n + 1) * smooth;
}

enum TChannel { chTemp, chClouds, chRain, chWind, chWindDir, chHumidity, chPressure, chStorm };

double SolarHour(const TFakeCity &city, const QDateTime &utc)
{
    const double hour = utc.time().msecsSinceStartOfDay() / 3600000.0 + city.Lon / 15.0;
    return std::fmod(hour + 48.0, 24.0);
}

double TemperatureC(const TFakeCity &city, const QDateTime &utc)
{
    const double latitude = std::fabs(city.Lat);
    const double annualMean = 28.0 - 0.35 * latitude;
    const double seasonAmplitude = 0.25 * latitude;
    // Coldest around 20 January in the north, around 20 July in the south.
    const double yearAngle = 2 * M_PI * (utc.date().dayOfYear() - 20) / kDaysPerYear;
    const double season = -seasonAmplitude * std::cos(yearAngle) * (city.Lat >= 0 ? 1 : -1);
    const double day = 4.0 * std::cos(2 * M_PI * (SolarHour(city, utc) - 15.0) / 24.0);
    const double noise = (Noise(city.Id, chTemp, utc) - 0.5) * 6.0;
    return annualMean + season + day + noise;
}

TCondition ConditionOf(const TSample &s, double storm)
{
    if (s.PrecipMm > 0) {
        if (s.TempC <= 0.5)
            return s.PrecipMm > 2 ? TCondition{601, QStringLiteral("snow"), QStringLiteral("13")}
                                  : TCondition{600, QStringLiteral("light snow"), QStringLiteral("13")};
        if (storm > 0.85)
            return {211, QStringLiteral("thunderstorm"), QStringLiteral("11")};
        if (s.Clouds > 92)
            return {521, QStringLiteral("shower rain"), QStringLiteral("09")};
        return s.PrecipMm > 1.5 ? TCondition{501, QStringLiteral("moderate rain"), QStringLiteral("10")}
                                : TCondition{500, QStringLiteral("light rain"), QStringLiteral("10")};
    }
    if (s.Humidity > 94 && s.WindMps < 2)
        return {741, QStringLiteral("fog"), QStringLiteral("50")};
    if (s.Clouds < 11)
        return {800, QStringLiteral("clear sky"), QStringLiteral("01")};
    if (s.Clouds < 25)
        return {801, QStringLiteral("few clouds"), QStringLiteral("02")};
    if (s.Clouds < 50)
        return {802, QStringLiteral("scattered clouds"), QStringLiteral("03")};
    if (s.Clouds < 85)
        return {803, QStringLiteral("broken clouds"), QStringLiteral("04")};
    return {804, QStringLiteral("overcast clouds"), QStringLiteral("04")};
}

double Round1(double value)
{
    return std::round(value * 10) / 10;
}

} // namespace

TSample SampleAt(const TFakeCity &city, const QDateTime &utc)
{
    TSample s;
    s.TempC = Round1(TemperatureC(city, utc));
    s.Clouds = std::round(Noise(city.Id, chClouds, utc) * 100);
    const double rain = Noise(city.Id, chRain, utc);
    s.PrecipMm = s.Clouds > 70 && rain > 0.5 ? Round1((rain - 0.5) * 8) : 0;
    s.PrecipType = s.PrecipMm > 0 ? (s.TempC <= 0.5 ? QStringLiteral("snow") : QStringLiteral("rain")) : QString();
    s.Humidity = std::round(45 + Noise(city.Id, chHumidity, utc) * 40 + s.Clouds * 0.15);
    s.PressureHpa = std::round(995 + Noise(city.Id, chPressure, utc) * 35);
    s.WindMps = Round1(Noise(city.Id, chWind, utc) * 11);
    s.WindDeg = std::round(Noise(city.Id, chWindDir, utc) * 359);
    s.Condition = ConditionOf(s, Noise(city.Id, chStorm, utc));
    return s;
}

TSunTimes SunTimes(const TFakeCity &city, const QDate &utcDate)
{
    const double declination =
        qDegreesToRadians(-kAxialTiltDeg) * std::cos(2 * M_PI * (utcDate.dayOfYear() + 10) / 365.0);
    const double latitude = qDegreesToRadians(city.Lat);
    double cosHour = (std::sin(qDegreesToRadians(kSunAltitudeAtRiseDeg))
                      - std::sin(latitude) * std::sin(declination))
                     / (std::cos(latitude) * std::cos(declination));
    cosHour = std::clamp(cosHour, -0.99, 0.99);
    const double halfDayHours = qRadiansToDegrees(std::acos(cosHour)) / 15.0;
    const double noonHours = 12.0 - city.Lon / 15.0;
    const QDateTime midnight(utcDate, QTime(0, 0), Qt::UTC);
    return {midnight.addSecs(static_cast<qint64>((noonHours - halfDayHours) * 3600)),
            midnight.addSecs(static_cast<qint64>((noonHours + halfDayHours) * 3600))};
}

QString IconCode(const TFakeCity &city, const TSample &sample, const QDateTime &utc)
{
    // The sun times of the city's own day, which may differ from the UTC day.
    const QDate localDay = utc.addSecs(static_cast<qint64>(city.Lon / 15.0 * 3600)).date();
    const TSunTimes sun = SunTimes(city, localDay);
    const bool day = utc >= sun.Rise && utc < sun.Set;
    return sample.Condition.IconBase + (day ? QLatin1Char('d') : QLatin1Char('n'));
}

QString WindSpeedName(double mps)
{
    struct TStep {
        double UpTo;
        const char *Name;
    };
    static const TStep steps[] = {{0.5, "Calm"},          {1.5, "Light air"},     {3.3, "Light breeze"},
                                  {5.5, "Gentle Breeze"}, {7.9, "Moderate breeze"}, {10.7, "Fresh Breeze"},
                                  {13.8, "Strong breeze"}};
    for (const TStep &step : steps)
        if (mps < step.UpTo)
            return QString::fromLatin1(step.Name);
    return QStringLiteral("High wind, near gale");
}

namespace {

int CompassPoint(double deg)
{
    return static_cast<int>(std::lround(std::fmod(deg + 360.0, 360.0) / 22.5)) % 16;
}

} // namespace

QString DirectionCode(double deg)
{
    static const char *codes[] = {"N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE",
                                  "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW"};
    return QString::fromLatin1(codes[CompassPoint(deg)]);
}

QString DirectionName(double deg)
{
    static const char *names[] = {"North", "North-northeast", "NorthEast", "East-northeast",
                                  "East", "East-southeast", "SouthEast", "South-southeast",
                                  "South", "South-southwest", "Southwest", "West-southwest",
                                  "West", "West-northwest", "Northwest", "North-northwest"};
    return QString::fromLatin1(names[CompassPoint(deg)]);
}
