#include "DateTimeConv.h"

#include <gtest/gtest.h>

#include <QDateTime>

#include <cmath>

namespace {

QDateTime Local(int y, int m, int d, int h = 0, int mi = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, mi));
}

// Both ways, on both sides of 1899-12-30: before it the whole part counts back
// and the fraction still is the time of day.
TEST(DateTimeConv, CountsDaysFromTheEpochBothWays)
{
    struct {
        QDateTime local;
        double value;
    } const cases[] = {
        {Local(1899, 12, 30), 0.0},
        {Local(1899, 12, 30, 12), 0.5},
        {Local(1899, 12, 31, 6), 1.25},
        {Local(1900, 3, 1, 18), 61.75},
        {Local(2000, 1, 1), 36526.0},
        {Local(2026, 12, 9, 18), 46365.75},
        {Local(9999, 12, 31, 12), 2958465.5},
        {Local(1899, 12, 29), -1.0},
        {Local(1899, 12, 29, 6), -1.25},
        {Local(1899, 12, 29, 18), -1.75},
        {Local(1899, 12, 28, 12), -2.5},
        {Local(1800, 1, 1, 12), -36522.5},
        {Local(1, 1, 1, 6), -693593.25},
    };
    for (const auto &c : cases) {
        EXPECT_DOUBLE_EQ(DateTimeFromQDateTime(c.local), c.value) << c.local.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(QDateTimeFromDateTime(c.value), c.local) << c.value;
    }
}

TEST(DateTimeConv, ValuesWithoutAWholeDayAreTimesOfTheEpochDay)
{
    // -0.25 has no whole day to count back: it is 06:00 of the epoch day.
    EXPECT_EQ(QDateTimeFromDateTime(-0.25), Local(1899, 12, 30, 6));
    EXPECT_EQ(QDateTimeFromDateTime(0.25), Local(1899, 12, 30, 6));
}

TEST(DateTimeConv, ATimeRoundedUpToMidnightIsTheNextDay)
{
    const double almostADay = 1.0 - 1e-12;
    EXPECT_EQ(QDateTimeFromDateTime(almostADay), Local(1899, 12, 31));
    EXPECT_EQ(QDateTimeFromDateTime(46365.0 + almostADay), Local(2026, 12, 10));
    // 1899-12-29 at 23:59:59.999999: the next day is the epoch day, not 1899-12-28.
    EXPECT_EQ(QDateTimeFromDateTime(-1.0 - almostADay), Local(1899, 12, 30));
    EXPECT_EQ(QDateTimeFromDateTime(-2.0 - almostADay), Local(1899, 12, 29));
}

TEST(DateTimeConv, OtherZonesAreReadAsLocalTime)
{
    // The test runs under Asia/Tokyo (UTC+9, no daylight saving).
    const QDateTime utc(QDate(2026, 12, 9), QTime(9, 0), Qt::UTC);
    EXPECT_DOUBLE_EQ(DateTimeFromQDateTime(utc), 46365.75);
    const QDateTime beforeEpochUtc(QDate(1899, 12, 28), QTime(21, 0), Qt::UTC);
    EXPECT_DOUBLE_EQ(DateTimeFromQDateTime(beforeEpochUtc), -1.25);
}

TEST(DateTimeConv, UnrepresentableValuesAreInvalid)
{
    for (const double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL, 1e12, -1e12, 3.1e6, -3.1e6})
        EXPECT_FALSE(QDateTimeFromDateTime(bad).isValid()) << bad;
}

TEST(DateTimeConv, DateOfKeepsTheWholeDay)
{
    EXPECT_DOUBLE_EQ(DateOf(46365.75), 46365.0);
    EXPECT_DOUBLE_EQ(DateOf(-1.75), -1.0);
}

} // namespace
