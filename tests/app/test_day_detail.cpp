#include "DayDetail.h"
#include "Forecast.h"
#include "LangConsts.h"
#include "LangMan.h"

#include <gtest/gtest.h>

#include <QDateTime>

#include "DateTimeConv.h"

#include <limits>

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

struct Languages {
    TLanguageManager app;
    TLanguageManager reference;
    Languages() { ResetTexts(); }
};

// A paid key's day: everything the daily forecast sends.
TWeatherRecord FullDay()
{
    TWeatherRecord r;
    r.Temp.Value.Value = 4.3;
    r.Temp.Value.Min = -1.5;
    r.Temp.Value.Max = 6.0;
    r.Temp.Value.Units = QStringLiteral("°C");
    r.Temp.Morn = 0.0;
    r.Temp.Eve = 3.5;
    r.Temp.Night = -0.8;
    r.Temp.HasFeelsLike = true;
    r.Temp.FeelsLike = 1.6;
    r.Humidity.Value = 86;
    r.Humidity.Units = QStringLiteral("%");
    r.Pressure.Value = 1021;
    r.Pressure.Units = QStringLiteral("hPa");
    r.Wind.Speed.Value = 14.4;
    r.Wind.Speed.Units = QStringLiteral("km/h");
    r.Wind.Direction.Code = QStringLiteral("WNW");
    r.Wind.Direction.Value = 290;
    r.Clouds.Value = 0;
    r.Clouds.Units = QStringLiteral("%");
    r.Visibility.Value = 10000;
    r.Visibility.Units = QStringLiteral("m");
    r.Precipitation.Value = 0;
    r.Precipitation.Units = QStringLiteral("mm");
    r.PrecipitationChance = 0.35;
    r.Weather.Value = 600;
    return r;
}

TSunTimes Sun()
{
    TSunTimes sun;
    sun.HasRise = sun.HasSet = true;
    sun.Rise = DateTimeFromQDateTime(QDateTime(QDate(2026, 12, 11), QTime(7, 45)));
    sun.Set = DateTimeFromQDateTime(QDateTime(QDate(2026, 12, 11), QTime(16, 1)));
    return sun;
}

} // namespace

// Every value with its unit, in groups; a 0 the service sent (no clouds, no
// rain, a morning at 0 °C) is a value like any other.
TEST(DayDetail, EveryValueTheServiceSent)
{
    Languages languages;
    TMoonDay moon;
    moon.Phase = 4;
    EXPECT_EQ(DayDetailText(FullDay(), Sun(), moon, kEnglish, languages.app, languages.reference),
              QStringLiteral("Light snow\n"
                             "\n"
                             "Low: -1.5 °C\nHigh: 6.0 °C\nMorning: 0.0 °C\nDay: 4.3 °C\nEvening: 3.5 °C\n"
                             "Night: -0.8 °C\nFeels like 2°C\n"
                             "\n"
                             "Humidity: 86 %\nPressure: 1021.0 hPa\nWind: 14.40 km/h WNW (290°)\n"
                             "Cloud Coverage: 0 %\nVisibility: 10000 m\n"
                             "\n"
                             "Precipitations: 0.00 mm\nChance of precipitation: 35 %\n"
                             "\n"
                             "Sunrise: 7:45:00 AM\nSunset: 4:01:00 PM\nMoon: Full Moon"));
}

// What the service did not send is left out, never shown as 0: a free key's
// folded day has no parts of the day, no felt temperature, no chance, no
// visibility; a day with no temperature at all keeps no range.
TEST(DayDetail, AbsentValuesAreLeftOut)
{
    Languages languages;
    TWeatherRecord folded = FullDay();
    folded.Temp.Morn = folded.Temp.Eve = folded.Temp.Night = 0;
    folded.Temp.HasFeelsLike = false;
    folded.PrecipitationChance = kNoPrecipitationChance;
    folded.Visibility = TValue();
    folded.Wind.Direction = TValue();
    TMoonDay moon;
    moon.Illuminated = 63;
    TSunTimes polarNight;
    EXPECT_EQ(DayDetailText(folded, polarNight, moon, kEnglish, languages.app, languages.reference),
              QStringLiteral("Light snow\n\nLow: -1.5 °C\nHigh: 6.0 °C\n\n"
                             "Humidity: 86 %\nPressure: 1021.0 hPa\nWind: 14.40 km/h\nCloud Coverage: 0 %\n\n"
                             "Precipitations: 0.00 mm\n\nMoon: 63%"));

    // A record with almost nothing: no empty groups, no stray labels.
    TWeatherRecord bare;
    bare.Temp.Value.Units = QStringLiteral("°C");
    bare.Temp.Value.Max = kFoldNoHighestMax;
    bare.Temp.Value.Min = kFoldNoLowestMin;
    bare.Humidity.Value = std::numeric_limits<double>::quiet_NaN();
    bare.Humidity.Units = QStringLiteral("%");
    bare.PrecipitationChance = 1.5; // no chance at all
    bare.Weather.Value = -1;
    EXPECT_EQ(DayDetailText(bare, polarNight, TMoonDay(), kEnglish, languages.app, languages.reference),
              QStringLiteral("Moon: 0%"));
}
