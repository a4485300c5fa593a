#include "DateTimeConv.h"
#include "LangConsts.h"
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
        record._MoonPhase = -1;
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
    TWeatherData forecast = NoonRecords(QDate(2025, 9, 19), 5);
    FillMoonPhases(forecast, BuildMoonTable(forecast[0].TimeStamp));
    const QDate newMoonDay = kSeptember2025[2].utc.toLocalTime().date();
    for (const TWeatherRecord &record : forecast) {
        const QDate day = QDateTimeFromDateTime(record.TimeStamp).date();
        SCOPED_TRACE(day.toString(Qt::ISODate).toStdString());
        if (day == newMoonDay) {
            EXPECT_EQ(record._MoonPhaseText, QStringLiteral("New Moon"));
            EXPECT_EQ(QDateTimeFromDateTime(record._MoonPhaseTime).date(), day);
        } else {
            EXPECT_TRUE(record._MoonPhaseText.isEmpty());
            EXPECT_EQ(record._MoonPhaseTime, 0.0);
        }
        EXPECT_GE(record._MoonPhase, 0);
        EXPECT_LE(record._MoonPhase, 10); // around new moon little of the disc is lit
    }
}

TEST(ZonedMoonTable, PercentagesAndTranslatedNames)
{
    ResetTexts();
    MoonPhaseTexts[4] = QStringLiteral("Úplněk");
    TWeatherData forecast = NoonRecords(QDate(2025, 9, 6), 3);
    FillMoonPhases(forecast, BuildMoonTable(forecast[0].TimeStamp));
    const QDate fullMoonDay = kSeptember2025[0].utc.toLocalTime().date();
    int named = 0;
    for (const TWeatherRecord &record : forecast) {
        EXPECT_GE(record._MoonPhase, 93);
        EXPECT_LE(record._MoonPhase, 100);
        if (QDateTimeFromDateTime(record.TimeStamp).date() == fullMoonDay) {
            EXPECT_EQ(record._MoonPhaseText, QStringLiteral("Úplněk"));
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

    TWeatherData forecast = NoonRecords(QDate(2025, 9, 20), 3);
    forecast[0].TimeStamp = 0;   // a slot the service gave no time: no row
    forecast[1].TimeStamp = nan;
    FillMoonPhases(forecast, BuildMoonTable(forecast[2].TimeStamp));
    EXPECT_EQ(forecast[0]._MoonPhase, -1);
    EXPECT_TRUE(forecast[0]._MoonPhaseText.isEmpty());
    EXPECT_EQ(forecast[1]._MoonPhase, -1);
    EXPECT_GE(forecast[2]._MoonPhase, 0);

    // An empty table names no phase.
    TWeatherData rows = NoonRecords(QDate(2025, 9, 21), 2);
    FillMoonPhases(rows, TMoonTable{});
    for (const TWeatherRecord &record : rows)
        EXPECT_TRUE(record._MoonPhaseText.isEmpty());
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
