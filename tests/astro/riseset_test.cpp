#include "sun.h"
#include "time_scales.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

// Rise and set of the sun's centre at -0:50 (no refraction model, pressure 0),
// for the UT day, from an independent ephemeris program (PyEphem 4.1.4, Debian's
// python3-ephem), as fractions of that day:
//   o = ephem.Observer(); o.lat, o.lon = LAT, LON; o.pressure = 0; o.horizon = '-0:50'
//   o.date = DATE; rise = o.next_rising(ephem.Sun(), use_center=True) - ephem.Date(DATE)
//   o.date = DATE; set = o.next_setting(ephem.Sun(), use_center=True) - ephem.Date(DATE)
struct CityDay {
    const char *name;
    double latitude;      // north
    double eastLongitude; // as the weather service gives it
    int year, month, day;
    double rise, set;
};

const CityDay kCityDays[] = {
    {"London", 51.5074, -0.1278, 2024, 3, 20, 0.25160384, 0.75995529},
    {"London", 51.5074, -0.1278, 2024, 6, 21, 0.15500163, 0.84836204},
    {"London", 51.5074, -0.1278, 2024, 12, 21, 0.33610485, 0.66223291},
    {"New York", 40.7128, -74.0060, 2024, 6, 21, 0.39245330, 0.02127459}, // sets just after 0h UT
    {"New York", 40.7128, -74.0060, 2031, 9, 5, 0.43527748, 0.97354988},
    {"Sydney", -33.8688, 151.2093, 2024, 6, 21, 0.87518962, 0.28744510},
    {"Sydney", -33.8688, 151.2093, 2024, 12, 21, 0.77871814, 0.37891298},
    {"Tromso", 69.6492, 18.9553, 2024, 3, 20, 0.19564941, 0.71073986},
    {"Tromso", 69.6492, 18.9553, 2031, 9, 5, 0.13646265, 0.75465114},
    {"Quito", -0.1807, -78.4678, 2024, 12, 21, 0.46403408, 0.96967476},
    {"Tokyo", 35.6762, 139.6503, 2024, 3, 20, 0.86366202, 0.37021623},
};

constexpr double kTwoMinutes = 2.0 / (24 * 60);

TEST(SunRiseSet, AgreesWithIndependentEphemeris)
{
    for (const CityDay &c : kCityDays) {
        const TDateTime day = EncodeDateTime(c.year, c.month, c.day);
        // Longitudes count positive to the west here.
        EXPECT_NEAR(SunRise(-c.eastLongitude, c.latitude, day) - day, c.rise, kTwoMinutes)
            << c.name << " " << c.year << "-" << c.month << "-" << c.day;
        EXPECT_NEAR(SunSet(-c.eastLongitude, c.latitude, day) - day, c.set, kTwoMinutes)
            << c.name << " " << c.year << "-" << c.month << "-" << c.day;
    }
}

TEST(SunRiseSet, TimeInsideTheDayGivesThatDaysEvents)
{
    const CityDay &c = kCityDays[0];
    const TDateTime day = EncodeDateTime(c.year, c.month, c.day);
    const TDateTime rise = SunRise(-c.eastLongitude, c.latitude, day);
    const TDateTime set = SunSet(-c.eastLongitude, c.latitude, day);
    // Asked in the evening, after both events, the same day's events come back.
    for (double fraction : {0.0, 0.3, 0.8, 0.999}) {
        EXPECT_DOUBLE_EQ(SunRise(-c.eastLongitude, c.latitude, day + fraction), rise) << fraction;
        EXPECT_DOUBLE_EQ(SunSet(-c.eastLongitude, c.latitude, day + fraction), set) << fraction;
    }
}

TEST(SunRiseSet, PolarDayAndNightHaveNoEvents)
{
    struct Case {
        double latitude;
        int month, day;
    };
    const Case cases[] = {{80, 6, 21}, {80, 12, 21}, {-80, 6, 21}, {-80, 12, 21}, {89.9, 3, 30}};
    for (const Case &c : cases) {
        const TDateTime day = EncodeDateTime(2024, c.month, c.day);
        EXPECT_THROW(SunRise(-10, c.latitude, day), ENoRiseSet) << c.latitude << " " << c.month;
        EXPECT_THROW(SunSet(-10, c.latitude, day), ENoRiseSet) << c.latitude << " " << c.month;
    }
    try {
        SunRise(0, 80, EncodeDateTime(2024, 6, 21));
    } catch (const ENoRiseSet &e) {
        EXPECT_EQ(std::string(e.what()), "No rises or sets calculable");
    }
}

TEST(SunRiseSet, NotANumberIsNoEventRatherThanGarbage)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_THROW(SunRise(0, nan, EncodeDateTime(2024, 6, 21)), ENoRiseSet);
    EXPECT_THROW(SunSet(nan, 50, EncodeDateTime(2024, 6, 21)), ENoRiseSet);
}

TEST(SunEvents, TwilightAndTransitBracketRiseAndSet)
{
    const TDateTime day = EncodeDateTime(2024, 3, 20);
    const long double L = 0.1278L;
    const long double phi = 51.5074L;
    const TDateTime astro = SunEvent(TRiseSetEvent::AstronomicalTwilightBegin, L, phi, day);
    const TDateTime nautical = SunEvent(TRiseSetEvent::NauticalTwilightBegin, L, phi, day);
    const TDateTime civil = SunEvent(TRiseSetEvent::CivilTwilightBegin, L, phi, day);
    const TDateTime rise = SunRise(L, phi, day);
    const TDateTime transit = SunTransit(L, phi, day);
    const TDateTime set = SunSet(L, phi, day);
    const TDateTime civilEnd = SunEvent(TRiseSetEvent::CivilTwilightEnd, L, phi, day);
    const TDateTime astroEnd = SunEvent(TRiseSetEvent::AstronomicalTwilightEnd, L, phi, day);
    EXPECT_LT(astro, nautical);
    EXPECT_LT(nautical, civil);
    EXPECT_LT(civil, rise);
    EXPECT_LT(rise, transit);
    EXPECT_LT(transit, set);
    EXPECT_LT(set, civilEnd);
    EXPECT_LT(civilEnd, astroEnd);
    // Local noon in London near the equinox: 12:07 UT (equation of time).
    EXPECT_NEAR(transit - day, (12 + 7.5 / 60) / 24, 1.0 / (24 * 60));
}

} // namespace
