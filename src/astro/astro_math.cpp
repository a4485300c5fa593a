#include "astro_math.h"

#include <cmath>

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;
constexpr long double kRightAngle = 90.0L;

} // namespace

long double DegToRad(long double x)
{
    return x * kPi / kHalfCircle;
}

long double RadToDeg(long double x)
{
    return x * kHalfCircle / kPi;
}

long double PutIn360(long double x)
{
    // fmod is exact, so even angles far beyond one turn reduce correctly; the
    // remainder keeps the sign of x and is lifted once into [0, 360).
    long double r = std::fmod(x, kFullCircle);
    if (r < 0)
        r += kFullCircle;
    // A tiny negative remainder plus 360 can round up to 360 itself.
    if (r >= kFullCircle)
        r -= kFullCircle;
    return r;
}

long double SinD(long double x)
{
    return std::sin(DegToRad(PutIn360(x)));
}

long double CosD(long double x)
{
    return std::cos(DegToRad(PutIn360(x)));
}

long double TanD(long double x)
{
    return std::tan(DegToRad(PutIn360(x)));
}

long double ArcTan2D(long double a, long double b)
{
    if (a == 0) {
        // arctan(b/0): the limit ±90 degrees (0 when b is 0 as well).
        if (b == 0)
            return 0;
        return b > 0 ? kRightAngle : -kRightAngle;
    }
    long double r = RadToDeg(std::atan(b / a));
    if (a < 0)
        r += kHalfCircle;
    return r;
}

long double ArcSinD(long double x)
{
    // arctan(x/√(1−x²)) is undefined at |x| = 1; the limit is ±90.
    const long double c = 1 - x * x;
    if (c <= 0)
        return x > 0 ? kRightAngle : -kRightAngle;
    return RadToDeg(std::atan(x / std::sqrt(c)));
}

long double ArcCosD(long double x)
{
    return kRightAngle - ArcSinD(x);
}

long double ArcTanD(long double x)
{
    return RadToDeg(std::atan(x));
}

namespace {

bool gExtendedSeriesTrig = false;
constexpr long double kTwoPi = 2 * kPi;

// Into [−π, π] without losing the extended-precision bits of a large angle.
long double reduceRadians(long double x)
{
    if (x > kPi || x < -kPi)
        x = std::remainder(x, kTwoPi);
    return x;
}

} // namespace

long double SeriesSin(long double radians)
{
    const long double r = reduceRadians(radians);
    if (gExtendedSeriesTrig)
        return std::sin(r);
    return std::sin(static_cast<double>(r));
}

long double SeriesCos(long double radians)
{
    const long double r = reduceRadians(radians);
    if (gExtendedSeriesTrig)
        return std::cos(r);
    return std::cos(static_cast<double>(r));
}

long double SeriesSinD(long double degrees)
{
    return SeriesSin(DegToRad(PutIn360(degrees)));
}

long double SeriesCosD(long double degrees)
{
    return SeriesCos(DegToRad(PutIn360(degrees)));
}

void SetExtendedSeriesTrig(bool extended)
{
    gExtendedSeriesTrig = extended;
}

bool ExtendedSeriesTrig()
{
    return gExtendedSeriesTrig;
}
