#include "UnitRules.h"

#include <cmath>

namespace {

constexpr double kKmhPerMps = 3.6;
// The service's imperial speed is divided by this factor before it is shown as mph.
constexpr double kImperialSpeedDivisor = 1.467;
constexpr qsizetype kIconCodeLength = 3;

} // namespace

bool IsMetric(const QString &units)
{
    return units.compare(QLatin1String("metric"), Qt::CaseInsensitive) == 0;
}

QString TemperatureUnit(const QString &units)
{
    return IsMetric(units) ? QStringLiteral("°C") : QStringLiteral("F");
}

void SetWindSpeed(TValue &speed, double serviceValue, const QString &units)
{
    if (IsMetric(units)) {
        speed.Units = QStringLiteral("km/h");
        speed.Value = serviceValue * kKmhPerMps;
    } else {
        speed.Units = QStringLiteral("mph");
        speed.Value = serviceValue / kImperialSpeedDivisor;
    }
    // A huge speed overflows in the conversion; it counts as not given.
    if (!std::isfinite(speed.Value))
        speed.Value = 0;
}

QString IconFileName(const QString &iconCode)
{
    return iconCode.left(kIconCodeLength) + QStringLiteral(".png");
}
