#include "UnitRules.h"

#include <cmath>

namespace {

constexpr double kKmhPerMps = 3.6;
constexpr double kInHgPerHpa = 0.029529983071445; // 1 inHg = 33.8638866667 hPa
constexpr double kMillimetresPerInch = 25.4;
constexpr qsizetype kIconCodeLength = 3;

} // namespace

bool IsMetric(const QString &units)
{
    return units.compare(QLatin1String("metric"), Qt::CaseInsensitive) == 0;
}

QString TemperatureUnit(const QString &units)
{
    return IsMetric(units) ? QStringLiteral("°C") : QStringLiteral("°F");
}

void SetWindSpeed(TValue &speed, double serviceValue, const QString &units)
{
    if (IsMetric(units)) {
        speed.Units = QStringLiteral("km/h");
        speed.Value = serviceValue * kKmhPerMps;
    } else {
        // Asked for imperial units the service sends miles per hour already.
        speed.Units = QStringLiteral("mph");
        speed.Value = serviceValue;
    }
    // A huge speed overflows in the conversion; it counts as not given.
    if (!std::isfinite(speed.Value))
        speed.Value = 0;
}

void SetPressure(TValue &pressure, double serviceValue, const QString &serviceUnit, const QString &units)
{
    const bool inHectopascals =
        serviceUnit.isEmpty() || serviceUnit.compare(QLatin1String("hPa"), Qt::CaseInsensitive) == 0;
    if (IsMetric(units) || !inHectopascals) {
        pressure.Value = serviceValue;
        pressure.Units = serviceUnit;
        return;
    }
    pressure.Value = serviceValue * kInHgPerHpa;
    pressure.Units = QLatin1String(kInchesOfMercury);
}

void SetPrecipitation(TValue &precipitation, double millimetres, const QString &units)
{
    if (IsMetric(units)) {
        precipitation.Value = millimetres;
        precipitation.Units = QLatin1String(kMillimetres);
    } else {
        precipitation.Value = millimetres / kMillimetresPerInch;
        precipitation.Units = QLatin1String(kInches);
    }
}

QString IconFileName(const QString &iconCode)
{
    return iconCode.left(kIconCodeLength) + QStringLiteral(".png");
}
