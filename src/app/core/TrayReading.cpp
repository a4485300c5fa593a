#include "TrayReading.h"

#include <QStringList>

#include <cmath>

namespace {

// The tray's number never needs more: a temperature beyond it is no reading.
constexpr double kWidestDegrees = 999.0;
constexpr int kPanelDecimals = 1;

} // namespace

TTrayReading TrayReadingOf(const TWeatherRecord &current, bool imperial, const QLocale &locale)
{
    TTrayReading reading;
    const double value = current.Temp.Value.Value;
    if (!std::isfinite(value) || current.Temp.Value.Units.isEmpty())
        return reading;
    // The figure the panel shows, read back, so both say the same.
    const double shown = QLocale::c().toString(value, 'f', kPanelDecimals).toDouble();
    const double whole = std::round(shown);
    if (std::fabs(whole) > kWidestDegrees)
        return reading;
    reading.Valid = true;
    reading.Negative = whole < 0;
    QLocale plain = locale;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    reading.Digits = plain.toString(static_cast<int>(std::fabs(whole)));
    reading.Unit = current.Temp.Value.Units;
    reading.Colour = TemperatureColour(value, imperial);
    return reading;
}

QString TrayWeatherHint(const TPanelTexts &texts)
{
    QStringList lines;
    for (const QString &line : {texts.Loc, texts.Desc, texts.Temp}) {
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    }
    return lines.join(QLatin1Char('\n'));
}
