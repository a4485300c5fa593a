#include "astro_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct AngleCase {
    long double in;
    long double want;
};

TEST(PutIn360, BringsAnglesIntoOneTurn)
{
    const AngleCase cases[] = {
        {-30, 330}, {540, 180}, {360, 0}, {0, 0}, {-360, 0}, {720.5L, 0.5L},
        {-719.25L, 0.75L}, {180, 180}, {-180, 180}, {359.999L, 359.999L}, {1e6L, 280},
    };
    for (const AngleCase &c : cases) {
        const long double r = PutIn360(c.in);
        EXPECT_NEAR(static_cast<double>(r), static_cast<double>(c.want), 1e-12) << "PutIn360(" << static_cast<double>(c.in) << ")";
        EXPECT_GE(r, 0.0L);
        EXPECT_LT(r, 360.0L);
    }
}

TEST(PutIn360, ExtremeAnglesStayInRangeAndReturn)
{
    for (long double x : {-1e-30L, 1e300L, -1e300L, 1e4000L}) {
        const long double r = PutIn360(x);
        EXPECT_GE(r, 0.0L) << static_cast<double>(x);
        EXPECT_LT(r, 360.0L) << static_cast<double>(x);
    }
    EXPECT_TRUE(std::isnan(PutIn360(std::numeric_limits<long double>::quiet_NaN())));
    EXPECT_TRUE(std::isnan(PutIn360(std::numeric_limits<long double>::infinity())));
}

TEST(ArcTan2D, AddsHalfTurnForNegativeAOnly)
{
    struct Case {
        long double a, b, want;
    };
    const Case cases[] = {
        {-1, 0, 180}, {1, -1, -45}, {1, 1, 45}, {-1, -1, 225}, {-1, 1, 135},
        {0, 1, 90}, {0, -1, -90}, {1, 0, 0},
    };
    for (const Case &c : cases)
        EXPECT_NEAR(static_cast<double>(ArcTan2D(c.a, c.b)), static_cast<double>(c.want), 1e-12)
            << "ArcTan2D(" << static_cast<double>(c.a) << ", " << static_cast<double>(c.b) << ")";
}

TEST(InverseTrig, DegreesIncludingTheEnds)
{
    struct Case {
        long double x, asin, acos;
    };
    const Case cases[] = {{0, 0, 90}, {0.5L, 30, 60}, {-0.5L, -30, 120}, {1, 90, 0}, {-1, -90, 180}};
    for (const Case &c : cases) {
        EXPECT_NEAR(static_cast<double>(ArcSinD(c.x)), static_cast<double>(c.asin), 1e-12);
        EXPECT_NEAR(static_cast<double>(ArcCosD(c.x)), static_cast<double>(c.acos), 1e-12);
    }
    EXPECT_NEAR(static_cast<double>(ArcTanD(1)), 45.0, 1e-12);
}

TEST(DegreeTrig, ReducesLargeAngles)
{
    EXPECT_NEAR(static_cast<double>(SinD(30 + 360 * 1000)), 0.5, 1e-15);
    EXPECT_NEAR(static_cast<double>(CosD(-60)), 0.5, 1e-15);
    EXPECT_NEAR(static_cast<double>(TanD(225)), 1.0, 1e-15);
    EXPECT_NEAR(static_cast<double>(RadToDeg(DegToRad(123.456L))), 123.456, 1e-15);
}

} // namespace
