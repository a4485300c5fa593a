#include "LangConsts.h"
#include "LangMan.h"
#include "PanelTexts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);

// Both managers without a language: the program's English texts.
struct Languages {
    TLanguageManager app;
    TLanguageManager reference;
    Languages() { ResetTexts(); }
};

TWeatherRecord PragueInSnow()
{
    TWeatherRecord r;
    r.City.Name = QStringLiteral("Prague");
    r.City.Country = QStringLiteral("CZ");
    r.Temp.Value.Value = -1.5;
    r.Temp.Value.Units = QStringLiteral("°C");
    r.Humidity.Value = 86;
    r.Humidity.Units = QStringLiteral("%");
    r.Pressure.Value = 1021;
    r.Pressure.Units = QStringLiteral("hPa");
    r.Wind.Speed.Value = 4;
    r.Wind.Speed.Units = QStringLiteral("m/s");
    r.Wind.Speed.Name = QStringLiteral("Gentle Breeze");
    r.Wind.Direction.Code = QStringLiteral("WNW");
    r.Clouds.Value = 75;
    r.Precipitation.Value = 0.25;
    r.Weather.Value = 600;
    return r;
}

} // namespace

TEST(PanelTexts, TemperatureColours)
{
    struct Case {
        double value;
        bool imperial;
        QColor colour;
    };
    const Case cases[] = {
        {15.0, false, kWarmColour},  {14.9, false, kMildColour},  {0.0, false, kColdColour},
        {0.1, false, kMildColour},   {-0.1, false, kColdColour},  {35, false, kWarmColour},
        {59, true, kWarmColour},     {58.9, true, kMildColour},   {32, true, kColdColour},
        {32.5, true, kMildColour},   {kNaN, false, kMildColour},  {kNaN, true, kMildColour},
        {kInf, false, kMildColour},  {-kInf, false, kMildColour},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TemperatureColour(c.value, c.imperial), c.colour) << c.value << (c.imperial ? " F" : " C");
    EXPECT_EQ(kWarmColour, QColor(255, 154, 53));
    EXPECT_EQ(kColdColour, QColor(166, 202, 240));
    EXPECT_EQ(kMildColour, QColor(Qt::white));
}

TEST(PanelTexts, NumbersInTheUsersLocale)
{
    struct Case {
        double value;
        int decimals;
        QLocale locale;
        const char *text;
    };
    const Case cases[] = {
        {15.0, 1, kEnglish, "15.0"},     {15.0, 1, kGerman, "15,0"},       {1021, 2, kEnglish, "1021.00"},
        {1021, 2, kGerman, "1021,00"},   {3.14159, 2, kGerman, "3,14"},    {86.4, 0, kEnglish, "86"},
        {-0.04, 1, kEnglish, "0.0"},     {-0.6, 0, kEnglish, "-1"},        {-3.25, 1, kGerman, "-3,3"},
        {kNaN, 1, kEnglish, "\u2013"},   {kInf, 2, kGerman, "\u2013"},     {-kInf, 0, kEnglish, "\u2013"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FormatNumber(c.value, c.decimals, c.locale), QString::fromUtf8(c.text)) << c.value;
}

TEST(PanelTexts, EveryLabelOfASuccessfulRefresh)
{
    Languages languages;
    struct Case {
        QLocale locale;
        const char *temp, *wind, *prec, *hum, *cloud, *pres;
    };
    const Case cases[] = {
        {kEnglish, "-1.5°C", "4.00 m/s WNW", "Precipitations: 0.25 mm", "Humidity: 86 %",
         "Cloud Coverage: 75 %", "Pressure: 1021.00 hPa"},
        {kGerman, "-1,5°C", "4,00 m/s WNW", "Precipitations: 0,25 mm", "Humidity: 86 %",
         "Cloud Coverage: 75 %", "Pressure: 1021,00 hPa"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.locale.name().toStdString());
        const TPanelTexts texts = BuildPanelTexts(PragueInSnow(), false, c.locale, languages.app,
                                                  languages.reference);
        EXPECT_EQ(texts.Loc, QStringLiteral("Prague, CZ"));
        EXPECT_EQ(texts.Desc, QStringLiteral("Light snow, gentle breeze"));
        EXPECT_EQ(texts.Temp, QString::fromUtf8(c.temp));
        EXPECT_EQ(texts.TempColour, kColdColour);
        EXPECT_EQ(texts.Wind, QString::fromUtf8(c.wind));
        EXPECT_EQ(texts.Prec, QString::fromUtf8(c.prec));
        EXPECT_EQ(texts.Hum, QString::fromUtf8(c.hum));
        EXPECT_EQ(texts.Cloud, QString::fromUtf8(c.cloud));
        EXPECT_EQ(texts.Pres, QString::fromUtf8(c.pres));
        EXPECT_TRUE(texts.IconHint.isEmpty()); // no observation time given
    }
}

TEST(PanelTexts, ValuesThatAreNoNumbersShowADash)
{
    Languages languages;
    TWeatherRecord record = PragueInSnow();
    record.Temp.Value.Value = kNaN;
    record.Wind.Speed.Value = kInf;
    record.Pressure.Value = kNaN;
    record.Weather.Value = kNaN;
    record.Wind.Direction.Code.clear();
    record.TimeStamp = kNaN;
    const TPanelTexts texts = BuildPanelTexts(record, false, kEnglish, languages.app, languages.reference);
    EXPECT_EQ(texts.Temp, QStringLiteral("\u2013°C"));
    EXPECT_EQ(texts.TempColour, kMildColour);
    EXPECT_EQ(texts.Wind, QStringLiteral("\u2013 m/s"));
    EXPECT_EQ(texts.Pres, QStringLiteral("Pressure: \u2013 hPa"));
    EXPECT_EQ(texts.Desc, QStringLiteral("Gentle breeze"));
    EXPECT_TRUE(texts.IconHint.isEmpty());
}

// The felt temperature shows where the service gave it, in whole degrees of
// the temperature's unit; where it did not (or gave no number) nothing shows.
TEST(PanelTexts, FeelsLike)
{
    Languages languages;
    struct Case {
        bool given;
        double value;
        const QLocale &locale;
        const char *units;
        const char *expected;
    };
    const Case cases[] = {
        {true, -5.1, kEnglish, "°C", "Feels like -5°C"},
        {true, -0.4, kEnglish, "°C", "Feels like 0°C"}, // no sign on a shown 0
        {true, 71.6, kEnglish, "°F", "Feels like 72°F"},
        {true, -12.5, kGerman, "°C", "Feels like -13°C"},
        {false, -5.1, kEnglish, "°C", ""},
        {true, kNaN, kEnglish, "°C", ""},
        {true, kInf, kEnglish, "°C", ""},
    };
    for (const Case &c : cases) {
        TWeatherRecord record = PragueInSnow();
        record.Temp.HasFeelsLike = c.given;
        record.Temp.FeelsLike = c.value;
        record.Temp.Value.Units = QString::fromUtf8(c.units);
        const TPanelTexts texts = BuildPanelTexts(record, false, c.locale, languages.app, languages.reference);
        EXPECT_EQ(texts.Feel, QString::fromUtf8(c.expected)) << c.value;
    }
}

TEST(PanelTexts, Descriptions)
{
    Languages languages;
    struct Case {
        double code;
        const char *wind;
        const char *text;
    };
    const Case cases[] = {
        {600, "Gentle Breeze", "Light snow, gentle breeze"},
        {600, "Breezy", "Light snow"},           // a wind word naming no condition adds nothing
        {600, "", "Light snow"},
        {800.4, "Calm", "Clear/sunny, calm"},    // the code is rounded
        {799, "", ""},                           // a code without text
        {799, "Hurricane", "Hurricane"},
        {100, "light rain", "Light rain"},       // any condition word counts, first match wins
        {1e300, "", ""},
    };
    for (const Case &c : cases) {
        TWeatherRecord record;
        record.Weather.Value = c.code;
        record.Wind.Speed.Name = QString::fromUtf8(c.wind);
        EXPECT_EQ(DescriptionText(record, languages.app, languages.reference), QString::fromUtf8(c.text))
            << c.code << " " << c.wind;
    }
}

TEST(PanelTexts, ImperialUnits)
{
    Languages languages;
    TWeatherRecord record = PragueInSnow();
    record.Temp.Value.Value = 59;
    record.Temp.Value.Units = QStringLiteral("°F");
    record.Wind.Speed.Value = 11.18;
    record.Wind.Speed.Units = QStringLiteral("mph");
    record.Pressure.Value = 30.149;
    record.Pressure.Units = QStringLiteral("inHg");
    record.Precipitation.Value = 0.0098;
    record.Precipitation.Units = QStringLiteral("in");
    TPanelTexts texts = BuildPanelTexts(record, true, kEnglish, languages.app, languages.reference);
    EXPECT_EQ(texts.Temp, QStringLiteral("59.0°F"));
    EXPECT_EQ(texts.TempColour, kWarmColour);
    EXPECT_EQ(texts.Wind, QStringLiteral("11.18 mph WNW"));
    EXPECT_EQ(texts.Pres, QStringLiteral("Pressure: 30.15 inHg"));
    EXPECT_EQ(texts.Prec, QStringLiteral("Precipitations: 0.01 in"));

    // An answer without precipitation: none, in the user's unit.
    record.Precipitation = TValue();
    texts = BuildPanelTexts(record, true, kEnglish, languages.app, languages.reference);
    EXPECT_EQ(texts.Prec, QStringLiteral("Precipitations: 0.00 in"));
}

TEST(PanelTexts, FailureHints)
{
    ResetTexts();
    const std::pair<const char *, const char *> cases[] = {
        {"", "Data load failed"},
        {"  \n", "Data load failed"},
        {"No data received", "Data load failed: No data received"},
        {" Invalid API key\r\n", "Data load failed: Invalid API key"},
    };
    for (const auto &[message, hint] : cases)
        EXPECT_EQ(FailureHint(QString::fromLatin1(message)), QString::fromLatin1(hint)) << message;

    const TPanelTexts panel = FailurePanelTexts(QStringLiteral("Invalid API key"));
    EXPECT_EQ(panel.Desc, QStringLiteral("Data load failed: Invalid API key"));
    for (const QString &empty : {panel.Loc, panel.Temp, panel.Wind, panel.Pres, panel.Hum, panel.Cloud, panel.Prec})
        EXPECT_TRUE(empty.isEmpty());
}
