#include "PanelTexts.h"
#include "TrayReading.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

TWeatherRecord At(double value, const char *units = "°C")
{
    TWeatherRecord record;
    record.Temp.Value.Value = value;
    record.Temp.Value.Units = QString::fromUtf8(units);
    return record;
}

} // namespace

// The tray rounds what the panel shows (one decimal) to whole degrees, so the
// two never disagree; a shown 0 has no sign, and no number shows no reading.
TEST(TrayReading, RoundsAsThePanelShows)
{
    struct Case {
        double value;
        bool valid;
        bool negative;
        const char *digits;
    };
    const Case cases[] = {
        {3.2, true, false, "3"},      {3.5, true, false, "4"},     {-3.5, true, true, "4"},
        {-0.46, true, true, "1"},     // the panel shows -0.5
        {-0.44, true, false, "0"},    // the panel shows -0.4
        {-0.04, true, false, "0"},    {0.0, true, false, "0"},     {99.96, true, false, "100"},
        {-40.0, true, true, "40"},    {999.0, true, false, "999"},  {-999.4, true, true, "999"},
        {1000.0, false, false, ""},   {kNaN, false, false, ""},
    };
    for (const Case &c : cases) {
        const TTrayReading reading = TrayReadingOf(At(c.value), false, kEnglish);
        EXPECT_EQ(reading.Valid, c.valid) << c.value;
        EXPECT_EQ(reading.Negative, c.negative) << c.value;
        EXPECT_EQ(reading.Digits, QString::fromLatin1(c.digits)) << c.value;
    }
    // A record without a temperature at all.
    EXPECT_FALSE(TrayReadingOf(TWeatherRecord(), false, kEnglish).Valid);
}

TEST(TrayReading, UnitAndColourAsThePanel)
{
    const TTrayReading warm = TrayReadingOf(At(59.0, "°F"), true, kEnglish);
    EXPECT_EQ(warm.Unit, QStringLiteral("°F"));
    EXPECT_EQ(warm.Colour, kWarmColour);
    EXPECT_EQ(TrayReadingOf(At(-2.0), false, kEnglish).Colour, kColdColour);
    EXPECT_EQ(TrayReadingOf(At(7.0), false, kEnglish).Colour, kMildColour);
    // The digits as the user's locale writes them, without group separators.
    const TTrayReading arabic = TrayReadingOf(At(12.0), false, QLocale(QLocale::Arabic, QLocale::Egypt));
    EXPECT_EQ(arabic.Digits, QLocale(QLocale::Arabic, QLocale::Egypt).toString(12));
}

TEST(TrayReading, HintSaysPlaceConditionAndTemperature)
{
    TPanelTexts texts;
    texts.Loc = QStringLiteral("Prague, CZ");
    texts.Desc = QStringLiteral("Light snow, gentle breeze");
    texts.Temp = QStringLiteral("-1.5°C");
    texts.Pres = QStringLiteral("Pressure: 1021.00 hPa");
    EXPECT_EQ(TrayWeatherHint(texts), QStringLiteral("Prague, CZ\nLight snow, gentle breeze\n-1.5°C"));
    texts.Desc.clear();
    EXPECT_EQ(TrayWeatherHint(texts), QStringLiteral("Prague, CZ\n-1.5°C"));
}
