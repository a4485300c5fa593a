#include "astro_math.h"
#include "sun.h"
#include "time_scales.h"
#include "vsop.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double kArcSecond = 1.0 / 3600.0;
constexpr double kTwoPi = 6.283185307179586476925286766559;
constexpr double kKilometresPerAU = 149597869.0;

// The Earth's series summed term by term in extended precision, as the
// reference for the faster evaluation.
class ExtendedEarth : public TVSOPEarth {
protected:
    long double SeriesSum(TVsopCoordinate coord, int power) const override
    {
        return TVSOP::SeriesSum(coord, power);
    }
};

// Exposes the term sources to check the transcribed series.
class EarthTerms : public TVSOPEarth {
public:
    TTerm Term(TVsopCoordinate coord, int power, int index) const
    {
        switch (coord) {
        case TVsopCoordinate::Longitude:
            return LongitudeTerm(power, index);
        case TVsopCoordinate::Latitude:
            return LatitudeTerm(power, index);
        case TVsopCoordinate::Radius:
            break;
        }
        return RadiusTerm(power, index);
    }
    int Count(TVsopCoordinate coord, int power) const
    {
        int n = 0;
        while (Term(coord, power, n).A != 0)
            ++n;
        return n;
    }
};

TEST(VsopEarth, TermCountsAndFirstTerms)
{
    const EarthTerms earth;
    const int longitude[] = {559, 341, 142, 22, 11, 5};
    const int latitude[] = {184, 99, 49, 11, 5, 0};
    const int radius[] = {526, 292, 139, 27, 10, 3};
    for (int p = 0; p < 6; ++p) {
        EXPECT_EQ(earth.Count(TVsopCoordinate::Longitude, p), longitude[p]) << "L" << p;
        EXPECT_EQ(earth.Count(TVsopCoordinate::Latitude, p), latitude[p]) << "B" << p;
        EXPECT_EQ(earth.Count(TVsopCoordinate::Radius, p), radius[p]) << "R" << p;
    }
    const TVSOP::TTerm first = earth.Term(TVsopCoordinate::Longitude, 0, 0);
    EXPECT_EQ(first.A, 175347045.673L);
    EXPECT_EQ(first.B, 0.0L);
    EXPECT_EQ(first.C, 0.0L);
    EXPECT_EQ(earth.Term(TVsopCoordinate::Longitude, 1, 0).A, 628331966747.491L);
    const TVSOP::TTerm second = earth.Term(TVsopCoordinate::Longitude, 0, 1);
    EXPECT_EQ(second.A, 3341656.456L);
    EXPECT_EQ(second.B, 4.66925680417L);
    EXPECT_EQ(second.C, 6283.07584999140L);
    // Past the end, and outside the powers, the source answers zero terms.
    EXPECT_EQ(earth.Term(TVsopCoordinate::Longitude, 0, 559).A, 0.0L);
    EXPECT_EQ(earth.Term(TVsopCoordinate::Latitude, 5, 0).A, 0.0L);
    EXPECT_EQ(earth.Term(TVsopCoordinate::Radius, 6, 0).A, 0.0L);
    EXPECT_EQ(earth.Term(TVsopCoordinate::Radius, -1, 0).A, 0.0L);
}

struct CheckValue {
    double jd, L, B, R;
};

std::vector<CheckValue> readCheckValues()
{
    std::ifstream in(std::string(NIMBREL_SOURCE_DIR) + "/data/astro/vsop87d_earth_check.csv");
    std::vector<CheckValue> values;
    std::string line;
    std::getline(in, line); // header
    while (std::getline(in, line)) {
        std::istringstream row(line);
        std::string cell[5];
        for (std::string &c : cell)
            std::getline(row, c, ',');
        values.push_back({std::stod(cell[0]), std::stod(cell[2]), std::stod(cell[3]), std::stod(cell[4])});
    }
    return values;
}

double angleDifference(long double a, long double b)
{
    return std::remainder(static_cast<double>(a - b), kTwoPi);
}

template <typename Theory>
void expectCheckValues()
{
    const std::vector<CheckValue> values = readCheckValues();
    ASSERT_EQ(values.size(), 10u);
    Theory earth;
    for (const CheckValue &v : values) {
        earth.SetDate(static_cast<TDateTime>(DateFromJulian(v.jd)));
        // The check file prints ten decimals.
        EXPECT_NEAR(angleDifference(earth.GetLongitude(), v.L), 0.0, 6e-11) << "JD " << v.jd;
        EXPECT_NEAR(static_cast<double>(earth.GetLatitude()), v.B, 6e-11) << "JD " << v.jd;
        EXPECT_NEAR(static_cast<double>(earth.GetRadius()), v.R, 6e-11) << "JD " << v.jd;
    }
}

TEST(VsopEarth, OfficialCheckValuesExtended)
{
    expectCheckValues<ExtendedEarth>();
}

TEST(VsopEarth, OfficialCheckValuesFast)
{
    expectCheckValues<TVSOPEarth>();
}

TEST(VsopEarth, FastSumAgreesWithExtendedSum)
{
    // Every 97.3 days over six centuries, plus two dates a millennium away.
    std::vector<double> jds;
    for (double jd = 2305447.5; jd < 2524593.5; jd += 97.3)
        jds.push_back(jd);
    jds.push_back(625307.5);
    jds.push_back(2816788.5);
    TVSOPEarth fast;
    ExtendedEarth extended;
    double worst = 0;
    for (double jd : jds) {
        const TDateTime t = static_cast<TDateTime>(DateFromJulian(jd));
        fast.SetDate(t);
        extended.SetDate(t);
        worst = std::max(worst, std::fabs(angleDifference(fast.GetLongitude(), extended.GetLongitude())));
        worst = std::max(worst, std::fabs(static_cast<double>(fast.GetLatitude() - extended.GetLatitude())));
        worst = std::max(worst, std::fabs(static_cast<double>(fast.GetRadius() - extended.GetRadius())));
    }
    EXPECT_LT(worst, 1e-12);
}

TEST(VsopEarth, TimeWithoutValueEndsTheSum)
{
    ExtendedEarth earth;
    earth.SetDate(std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(std::isnan(static_cast<double>(earth.GetLongitude())));
    TVSOPEarth fast;
    fast.SetDate(std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(std::isnan(static_cast<double>(fast.GetRadius())));
}

TEST(SunPosition, WorkedExample1992October13)
{
    // 1992 October 13.0 TD with the complete series.
    const TDateTime t = static_cast<TDateTime>(DateFromJulian(2448908.5L));
    TVSOPEarth earth;
    const THeliocentric geometric = DynamicalHeliocentricPosition(earth, t);
    EXPECT_NEAR(static_cast<double>(geometric.L), 19.907297, 1e-6);
    EXPECT_NEAR(static_cast<double>(geometric.B) / kArcSecond, -0.744, 0.001);
    EXPECT_NEAR(static_cast<double>(geometric.R), 0.99760852, 1e-8);

    const TCoord sun = SunPosition(t);
    EXPECT_NEAR(static_cast<double>(sun.longitude), 199 + 54 / 60.0 + 21.548 / 3600, 0.002 * kArcSecond);
    EXPECT_NEAR(static_cast<double>(sun.latitude) / kArcSecond, 0.721, 0.001);
    EXPECT_NEAR(static_cast<double>(sun.radius) / kKilometresPerAU, 0.99760852, 1e-8);
    EXPECT_NEAR(static_cast<double>(sun.rightAscension), (13 + 13 / 60.0 + 30.749 / 3600) * 15, 0.002 * 15 * kArcSecond);
    EXPECT_NEAR(static_cast<double>(sun.declination), -(7 + 47 / 60.0 + 1.741 / 3600), 0.002 * kArcSecond);
}

TEST(HeliocentricPosition, AppliesTheFk5CorrectionOnce)
{
    const TDateTime t = static_cast<TDateTime>(DateFromJulian(2448908.5L));
    TVSOPEarth earth;
    const THeliocentric dyn = DynamicalHeliocentricPosition(earth, t);
    const THeliocentric fk5 = HeliocentricPosition(earth, t);
    EXPECT_NEAR(static_cast<double>(fk5.L - dyn.L) / kArcSecond, -0.09033, 0.001);
    EXPECT_NEAR(static_cast<double>(fk5.B - dyn.B) / kArcSecond, 0.0235, 0.001);
    EXPECT_EQ(fk5.R, dyn.R);
}

} // namespace
