#include "DateTimeConv.h"
#include "LangConsts.h"
#include "ForecastRows.h"
#include "MoonTable.h"

#include <gtest/gtest.h>

#include <QTimeZone>

#include <cmath>
#include <limits>

namespace {

constexpr double kSecond = 1.0 / (24 * 60 * 60);
// The phase series is good to some seconds; a phase time left in dynamical
// time would be more than a minute late.
constexpr double kPhaseTolerance = 20 * kSecond;

// Principal phases of September 2025 in universal time, from an independent
// ephemeris. The new moon falls on the 21st in America and on the 22nd in Japan.
struct KnownPhase {
    int phase;
    QDateTime utc;
};
const KnownPhase kSeptember2025[] = {
    {4, QDateTime(QDate(2025, 9, 7), QTime(18, 8, 49), QTimeZone::utc())},
    {6, QDateTime(QDate(2025, 9, 14), QTime(10, 32, 53), QTimeZone::utc())},
    {0, QDateTime(QDate(2025, 9, 21), QTime(19, 54, 4), QTimeZone::utc())},
    {2, QDateTime(QDate(2025, 9, 29), QTime(23, 53, 45), QTimeZone::utc())},
};

TDateTime Local(const QDate &date, const QTime &time)
{
    return DateTimeFromQDateTime(QDateTime(date, time));
}

// One record at local noon on each day from `first`.
TWeatherData NoonRecords(const QDate &first, int days)
{
    TWeatherData data;
    for (int i = 0; i < days; ++i) {
        TWeatherRecord record;
        record.TimeStamp = Local(first.addDays(i), QTime(12, 0));
        data << record;
    }
    return data;
}

} // namespace

TEST(ZonedMoonTable, NextPhasesInLocalTime)
{
    const TDateTime first = Local(QDate(2025, 9, 1), QTime(12, 0));
    const TMoonTable table = BuildMoonTable(first);
    for (int p = 0; p < kMoonTablePhases; ++p) {
        EXPECT_EQ(table[p].Phase, p);
        EXPECT_GE(table[p].Time, first) << p;
        EXPECT_LT(table[p].Time, first + 29.6) << p;
    }
    for (const KnownPhase &known : kSeptember2025) {
        const TDateTime want = DateTimeFromQDateTime(known.utc.toLocalTime());
        EXPECT_NEAR(table[known.phase].Time, want, kPhaseTolerance) << "phase " << known.phase;
    }
    // The crescents and gibbous phases lie between the principal ones around them.
    EXPECT_GT(table[5].Time, table[4].Time);
    EXPECT_LT(table[5].Time, table[6].Time);
    EXPECT_GT(table[7].Time, table[6].Time);
    EXPECT_LT(table[7].Time, table[0].Time);
    EXPECT_GT(table[1].Time, table[0].Time);
    EXPECT_LT(table[1].Time, table[2].Time);
}

TEST(ZonedMoonTable, ThePhaseNameGoesToTheRowOfItsLocalDate)
{
    ResetTexts();
    const TWeatherData forecast = NoonRecords(QDate(2025, 9, 19), 5);
    const TMoonDays moon = ForecastMoonDays(forecast, BuildMoonTable(forecast[0].TimeStamp));
    ASSERT_EQ(moon.size(), forecast.size());
    const QDate newMoonDay = kSeptember2025[2].utc.toLocalTime().date();
    for (int i = 0; i < forecast.size(); ++i) {
        const QDate day = QDateTimeFromDateTime(forecast[i].TimeStamp).date();
        SCOPED_TRACE(day.toString(Qt::ISODate).toStdString());
        if (day == newMoonDay) {
            EXPECT_EQ(moon[i].Phase, 0);
            EXPECT_EQ(QDateTimeFromDateTime(moon[i].PhaseTime).date(), day);
            EXPECT_TRUE(RowMoonSunText(forecast[i], moon[i], TSunTimes(), QLocale::c()).startsWith(QStringLiteral("Moon: New Moon")));
        } else {
            EXPECT_EQ(moon[i].Phase, -1);
            EXPECT_EQ(moon[i].PhaseTime, 0.0);
        }
        EXPECT_GE(moon[i].Illuminated, 0);
        EXPECT_LE(moon[i].Illuminated, 10); // around new moon little of the disc is lit
    }
}

TEST(ZonedMoonTable, PercentagesAndTranslatedNames)
{
    ResetTexts();
    MoonPhaseTexts[4] = QStringLiteral("Úplněk");
    const TWeatherData forecast = NoonRecords(QDate(2025, 9, 6), 3);
    const TMoonDays moon = ForecastMoonDays(forecast, BuildMoonTable(forecast[0].TimeStamp));
    const QDate fullMoonDay = kSeptember2025[0].utc.toLocalTime().date();
    int named = 0;
    for (int i = 0; i < forecast.size(); ++i) {
        EXPECT_GE(moon[i].Illuminated, 93);
        EXPECT_LE(moon[i].Illuminated, 100);
        if (QDateTimeFromDateTime(forecast[i].TimeStamp).date() == fullMoonDay) {
            // The name is the language's, chosen when the row is made.
            EXPECT_TRUE(RowMoonSunText(forecast[i], moon[i], TSunTimes(), QLocale::c())
                            .startsWith(QStringLiteral("Moon: Úplněk")));
            ++named;
        }
    }
    EXPECT_EQ(named, 1);
    ResetTexts();
}

TEST(MoonTable, RowsWithoutTimeAndTimesTheAstronomyCannotAnswer)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const TDateTime bad : {0.0, nan, std::numeric_limits<double>::infinity(), 1e12, -1e12}) {
        const TMoonTable table = BuildMoonTable(bad);
        for (const TMoonTableEntry &entry : table)
            EXPECT_EQ(entry.Time, 0.0) << bad;
    }

    TWeatherData forecast = NoonRecords(QDate(2025, 9, 5), 3);
    forecast[0].TimeStamp = 0;   // a slot the service gave no time: no row
    forecast[1].TimeStamp = nan;
    const TMoonDays moon = ForecastMoonDays(forecast, BuildMoonTable(forecast[2].TimeStamp));
    ASSERT_EQ(moon.size(), 3);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(moon[i].Illuminated, 0);
        EXPECT_EQ(moon[i].Phase, -1);
    }
    EXPECT_GT(moon[2].Illuminated, 90); // the day after full moon

    // An empty table names no phase.
    const TWeatherData rows = NoonRecords(QDate(2025, 9, 21), 2);
    for (const TMoonDay &day : ForecastMoonDays(rows, TMoonTable{}))
        EXPECT_EQ(day.Phase, -1);
}

TEST(MoonTable, TheMoonIsSeenUpsideDownSouthOfTheEquatorOnly)
{
    const struct {
        double latitude;
        bool upsideDown;
    } cases[] = {{50.09, false}, {0.0, false}, {-0.01, true}, {-33.87, true}, {-90.0, true}, {90.0, false}};
    for (const auto &c : cases)
        EXPECT_EQ(MoonSeenUpsideDown(c.latitude), c.upsideDown) << c.latitude;
}
