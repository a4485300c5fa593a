#include "coordinates.h"
#include "time_scales.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr double kArcSecond = 1.0 / 3600.0;

TEST(TimeScale, JulianDayOfJ2000AndOffsets)
{
    EXPECT_DOUBLE_EQ(Date2000, 36526.0);
    EXPECT_DOUBLE_EQ(Date1999, 36161.0);
    EXPECT_DOUBLE_EQ(static_cast<double>(JulianOffset), 2415018.5);
    EXPECT_DOUBLE_EQ(static_cast<double>(JulianDate(EncodeDateTime(2000, 1, 1, 12))), 2451545.0);
    EXPECT_DOUBLE_EQ(static_cast<double>(DateFromJulian(2451545.0L)), 36526.5);
}

TEST(CalendarToJulian, PublishedDatesOnBothCalendars)
{
    struct Case {
        int y, m, d;
        double jd;
    };
    const Case cases[] = {
        {2000, 1, 1, 2451544.5},   {1957, 10, 4, 2436115.5}, {1987, 1, 27, 2446822.5},
        {1988, 6, 19, 2447331.5},  {1900, 1, 1, 2415020.5},  {1600, 1, 1, 2305447.5},
        {1600, 12, 31, 2305812.5}, {837, 4, 10, 2026871.5},  {333, 1, 27, 1842712.5},
        {1582, 10, 4, 2299159.5},  {1582, 10, 15, 2299160.5}, {1500, 2, 29, 2268991.5},
        {2000, 2, 29, 2451603.5},
    };
    for (const Case &c : cases)
        EXPECT_DOUBLE_EQ(static_cast<double>(CalendarToJulian(c.y, c.m, c.d)), c.jd)
            << c.y << "-" << c.m << "-" << c.d;
    EXPECT_DOUBLE_EQ(static_cast<double>(CalendarToJulian(1582, 10, 15) - CalendarToJulian(1582, 10, 4)), 1.0);
}

TEST(CalendarToJulian, RejectsInvalidDatesWithTheirTexts)
{
    struct Case {
        int y, m, d;
        const char *message;
    };
    const Case cases[] = {
        {0, 1, 1, "Invalid year"},      {10000, 1, 1, "Invalid year"},  {-5, 6, 1, "Invalid year"},
        {2000, 0, 1, "Invalid month"},  {2000, 13, 1, "Invalid month"}, {2000, 4, 31, "Invalid day"},
        {2001, 2, 29, "Invalid day"},   {1900, 2, 29, "Invalid day"},   {2000, 1, 0, "Invalid day"},
        {2000, 12, 32, "Invalid day"},  {1582, 10, 5, "Date invalid due to calendar change"},
        {1582, 10, 10, "Date invalid due to calendar change"},
        {1582, 10, 14, "Date invalid due to calendar change"},
    };
    for (const Case &c : cases) {
        try {
            CalendarToJulian(c.y, c.m, c.d);
            ADD_FAILURE() << c.y << "-" << c.m << "-" << c.d << " was accepted";
        } catch (const EConvertError &e) {
            EXPECT_EQ(std::string(e.what()), c.message) << c.y << "-" << c.m << "-" << c.d;
        }
    }
}

TEST(EncodeDateTime, CountsDaysFromTheZeroDate)
{
    EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 30), 0.0);
    // Continuous before the zero date: 18:00 of the day before is -0.25.
    EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 29, 18), -0.25);
    EXPECT_DOUBLE_EQ(EncodeDateTime(1969, 7, 20, 20, 17, 43), 25404.0 + (20 * 3600 + 17 * 60 + 43) / 86400.0);
    EXPECT_THROW(EncodeDateTime(2023, 2, 29), EConvertError);
    EXPECT_THROW(EncodeDateTime(2024, 1, 1, 24), EConvertError);
}

TEST(Nutation, WorkedExample1987)
{
    // 1987 April 10, 0h TD. The published figures come from the complete table;
    // with its first 31 rows Δψ is -3.7909" and ε 23°26'36.849".
    const TNutation n = Nutation(DateFromJulian(2446895.5L));
    EXPECT_NEAR(static_cast<double>(n.deltaPsi) / kArcSecond, -3.788, 0.005);
    EXPECT_NEAR(static_cast<double>(n.epsilon), 23 + 26 / 60.0 + 36.850 / 3600, 0.005 * kArcSecond);
}

TEST(SiderealTime, WorkedExample1987)
{
    // Apparent sidereal time at Greenwich, 1987 April 10, 0h: 13h10m46.1351s.
    const double want = (13 + 10 / 60.0 + 46.1351 / 3600) * 15;
    EXPECT_NEAR(static_cast<double>(SiderealTime(DateFromJulian(2446895.5L))), want, 0.001 * 15 * kArcSecond);
}

TEST(Interpolate, AnglesAcrossZero)
{
    struct Case {
        long double n, y1, y2, y3, want;
    };
    const Case cases[] = {
        {0, 10, 20, 30, 20},    {0.5L, 10, 20, 30, 25},   {-0.5L, 10, 20, 30, 15},
        {0.5L, 358, 359, 0, 359.5L}, // right ascension crossing 0
        {0.5L, 359, 0.5L, 2, 1.25L}, {-0.5L, 2, 0, 358, 1},
        {0.25L, 1, 4, 9, 4 + 0.125L * (3 + 5 + 0.25L * 2)},
    };
    for (const Case &c : cases)
        EXPECT_NEAR(static_cast<double>(Interpolate(c.n, c.y1, c.y2, c.y3)), static_cast<double>(c.want), 1e-12)
            << "n=" << static_cast<double>(c.n) << " y=" << static_cast<double>(c.y1) << ","
            << static_cast<double>(c.y2) << "," << static_cast<double>(c.y3);
}

TEST(EclipticToEquatorial, AddsNutationAndConverts)
{
    // A point on the ecliptic at λ = 90° lies at α = 90°, δ = ε.
    const double t = EncodeDateTime(2010, 5, 1);
    const TNutation n = Nutation(t);
    TCoord c;
    c.longitude = 90 - n.deltaPsi;
    EclipticToEquatorial(c, t);
    EXPECT_NEAR(static_cast<double>(c.longitude), 90.0, 1e-12);
    EXPECT_NEAR(static_cast<double>(c.rightAscension), 90.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(c.declination), static_cast<double>(n.epsilon), 1e-12);
}

} // namespace
