// The main window includes the weather client and the astronomy together: their
// shared types must be one and the same.
#include "DateTimeConv.h"
#include "LangConsts.h"
#include "WeatherRecords.h"
#include "XmlValues.h"
#include "Zelto_OWM.h"
#include "astro_math.h"
#include "astro_types.h"
#include "time_scales.h"

#include <gtest/gtest.h>

#include <QDateTime>

#include <functional>
#include <string>

namespace {

TEST(SharedTypes, OneConversionErrorForNumbersAndDates)
{
    const std::function<void()> throwers[] = {
        [] { StrictNumber(QStringLiteral("12,5")); },
        [] { StrictCityId(QStringLiteral("2147483648")); },
        [] { EncodeDateTime(2023, 2, 29); },
        [] { CalendarToJulian(1582, 10, 10); },
    };
    for (const auto &thrower : throwers) {
        std::string caught;
        try {
            thrower();
        } catch (const EConvertError &e) {
            caught = e.what();
        }
        EXPECT_FALSE(caught.empty());
    }
}

TEST(SharedTypes, WeatherTimesAndAstronomyCountTheSameDays)
{
    const struct {
        int y, m, d, h, mi;
        TDateTime value;
    } cases[] = {
        {1899, 12, 30, 0, 0, 0.0},
        {1900, 3, 1, 18, 0, 61.75},
        {2000, 1, 1, 12, 0, 36526.5},
        {2026, 12, 9, 18, 0, 46365.75},
    };
    for (const auto &c : cases) {
        const TDateTime weather = DateTimeFromQDateTime(QDateTime(QDate(c.y, c.m, c.d), QTime(c.h, c.mi)));
        const TDateTime astro = EncodeDateTime(c.y, c.m, c.d, c.h, c.mi);
        EXPECT_DOUBLE_EQ(weather, c.value) << c.y;
        EXPECT_DOUBLE_EQ(astro, c.value) << c.y;
    }
    TWeatherRecord record;
    record.TimeStamp = EncodeDateTime(2000, 1, 1, 12);
    EXPECT_DOUBLE_EQ(static_cast<double>(JulianDate(record.TimeStamp)), 2451545.0);
}

} // namespace
