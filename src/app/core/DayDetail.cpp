#include "DayDetail.h"

#include "ClockLine.h"
#include "DateTimeConv.h"
#include "Forecast.h"
#include "LangConsts.h"
#include "PanelTexts.h"
#include "UnitRules.h"

#include <QStringList>

#include <cmath>

namespace {

const QString kDegree = QStringLiteral("\u00b0");

// Lines of one group; empty groups leave no blank line behind.
class TDetailLines
{
public:
    void Add(const QString &label, double value, int decimals, const QString &units, const QLocale &locale)
    {
        if (!std::isfinite(value))
            return;
        FLines << Labelled(label, WithUnits(FormatNumber(value, decimals, locale), units));
    }
    void AddLine(const QString &line) { FLines << line; }
    void EndGroup()
    {
        if (FLines.isEmpty())
            return;
        FGroups << FLines.join(QLatin1Char('\n'));
        FLines.clear();
    }
    QString Text()
    {
        EndGroup();
        return FGroups.join(QStringLiteral("\n\n"));
    }

private:
    QStringList FLines;
    QStringList FGroups;
};

// The service sends the parts of the day with the daily forecast only; a
// record without them holds zeros in all three.
bool HasDayParts(const TTemperature &temp)
{
    return temp.Morn != 0 || temp.Eve != 0 || temp.Night != 0;
}

void AddTemperatures(TDetailLines &lines, const TWeatherRecord &record, const QLocale &locale)
{
    const TTemperature &temp = record.Temp;
    const QString &units = temp.Value.Units;
    if (!units.isEmpty()) {
        // The fold's start values: the day had no temperature at all.
        if (temp.Value.Min < kFoldNoLowestMin)
            lines.Add(lc_Low, temp.Value.Min, kOneDecimal, units, locale);
        if (temp.Value.Max > kFoldNoHighestMax)
            lines.Add(lc_High, temp.Value.Max, kOneDecimal, units, locale);
        if (HasDayParts(temp)) {
            lines.Add(lc_Morning, temp.Morn, kOneDecimal, units, locale);
            lines.Add(lc_Daytime, temp.Value.Value, kOneDecimal, units, locale);
            lines.Add(lc_Evening, temp.Eve, kOneDecimal, units, locale);
            lines.Add(lc_Night, temp.Night, kOneDecimal, units, locale);
        }
    }
    const QString feels = FeelsLikeText(temp, locale);
    if (!feels.isEmpty())
        lines.AddLine(feels);
    lines.EndGroup();
}

void AddAirAndWind(TDetailLines &lines, const TWeatherRecord &record, const QLocale &locale,
                   const TLanguageManager &app)
{
    if (!record.Humidity.Units.isEmpty())
        lines.Add(lc_Humidity, record.Humidity.Value, kNoDecimals, record.Humidity.Units, locale);
    // A pressure of 0 is none; its unit may be missing where the value is not.
    if (!record.Pressure.Units.isEmpty() || record.Pressure.Value != 0) {
        const int decimals = record.Pressure.Units == QLatin1String(kInchesOfMercury) ? kTwoDecimals : kOneDecimal;
        lines.Add(lc_Pressure, record.Pressure.Value, decimals, record.Pressure.Units, locale);
    }
    const TWind &wind = record.Wind;
    if (!wind.Speed.Units.isEmpty() && std::isfinite(wind.Speed.Value)) {
        QString speed = FormatNumber(wind.Speed.Value, kTwoDecimals, locale) + QLatin1Char(' ') + wind.Speed.Units;
        if (!wind.Direction.Code.isEmpty()) {
            speed += QLatin1Char(' ') + WindDirectionText(wind.Direction.Code, app);
            if (std::isfinite(wind.Direction.Value))
                speed += QStringLiteral(" (") + FormatNumber(wind.Direction.Value, kNoDecimals, locale) + kDegree
                         + QLatin1Char(')');
        }
        lines.AddLine(Labelled(lc_Wind, speed));
    }
    if (!record.Clouds.Units.isEmpty())
        lines.Add(lc_CloudCover, record.Clouds.Value, kNoDecimals, record.Clouds.Units, locale);
    if (!record.Visibility.Units.isEmpty())
        lines.Add(lc_Visibility, record.Visibility.Value, kNoDecimals, record.Visibility.Units, locale);
    lines.EndGroup();
}

void AddPrecipitation(TDetailLines &lines, const TWeatherRecord &record, const QLocale &locale)
{
    if (!record.Precipitation.Units.isEmpty())
        lines.Add(lc_Precipitations, record.Precipitation.Value, kTwoDecimals, record.Precipitation.Units, locale);
    const double chance = record.PrecipitationChance;
    if (std::isfinite(chance) && chance >= 0 && chance <= 1)
        lines.Add(lc_PrecipChance, chance * kPercent, kNoDecimals, QStringLiteral("%"), locale);
    lines.EndGroup();
}

void AddSunAndMoon(TDetailLines &lines, const TSunTimes &sun, const TMoonDay &moon, const QLocale &locale)
{
    if (sun.HasRise)
        lines.AddLine(Labelled(lc_Sunrise, ClockTimeText(QDateTimeFromDateTime(sun.Rise).time(), locale)));
    if (sun.HasSet)
        lines.AddLine(Labelled(lc_Sunset, ClockTimeText(QDateTimeFromDateTime(sun.Set).time(), locale)));
    const bool phaseDay = moon.Phase >= 0 && moon.Phase < kMoonPhaseCount;
    lines.AddLine(Labelled(lc_Moon, phaseDay ? MoonPhaseTexts[moon.Phase]
                                             : QString::number(moon.Illuminated) + QLatin1Char('%')));
    lines.EndGroup();
}

} // namespace

QString DayDetailText(const TWeatherRecord &record, const TSunTimes &sun, const TMoonDay &moon,
                      const QLocale &locale, const TLanguageManager &app, const TLanguageManager &reference)
{
    TDetailLines lines;
    const QString description = DescriptionText(record, app, reference);
    if (!description.isEmpty()) {
        lines.AddLine(description);
        lines.EndGroup();
    }
    AddTemperatures(lines, record, locale);
    AddAirAndWind(lines, record, locale, app);
    AddPrecipitation(lines, record, locale);
    AddSunAndMoon(lines, sun, moon, locale);
    return lines.Text();
}
