#include "coordinates.h"

#include "astro_math.h"
#include "astro_tables.h"
#include "time_scales.h"

namespace {

constexpr long double kNutationUnit = 0.0001L; // table units, arc-seconds
constexpr long double kNutationRateDivisor = 10.0L;
constexpr long double kInterpolationWrap = 100.0L;

struct NutationArguments {
    long double D, M, Mp, F, Om; // radian
};

NutationArguments nutationArguments(long double T)
{
    const long double T2 = T * T;
    const long double T3 = T2 * T;
    NutationArguments a;
    a.D = DegToRad(PutIn360(297.85036L + 445267.111480L * T - 0.0019142L * T2 + T3 / 189474.0L));
    a.M = DegToRad(PutIn360(357.52772L + 35999.050340L * T - 0.0001603L * T2 - T3 / 300000.0L));
    a.Mp = DegToRad(PutIn360(134.96298L + 477198.867398L * T + 0.0086972L * T2 + T3 / 56250.0L));
    a.F = DegToRad(PutIn360(93.27191L + 483202.017538L * T - 0.0036825L * T2 + T3 / 327270.0L));
    a.Om = DegToRad(PutIn360(125.04452L - 1934.136261L * T + 0.0020708L * T2 + T3 / 450000.0L));
    return a;
}

// Mean obliquity of the ecliptic, arc-seconds.
long double meanObliquitySeconds(long double T)
{
    return 84381.448L - 46.8150L * T - 0.00059L * T * T + 0.001813L * T * T * T;
}

} // namespace

TNutation Nutation(long double t)
{
    const long double T = CenturiesSinceJ2000(t);
    const NutationArguments a = nutationArguments(T);
    long double sumPsi = 0;
    long double sumEps = 0;
    for (const astro_tables::NutationRow &row : astro_tables::kNutation) {
        const long double arg = row.D * a.D + row.M * a.M + row.Mp * a.Mp + row.F * a.F + row.Om * a.Om;
        sumPsi += (row.A + row.B * T / kNutationRateDivisor) * SeriesSin(arg);
        sumEps += (row.C + row.Dcoef * T / kNutationRateDivisor) * SeriesCos(arg);
    }
    TNutation n;
    n.deltaPsi = sumPsi * kNutationUnit * kArcSecond;
    n.epsilon = (meanObliquitySeconds(T) + sumEps * kNutationUnit) * kArcSecond;
    return n;
}

long double SiderealTime(long double t)
{
    const long double jd = JulianDate(t);
    const long double T = (jd - kJ2000) / kDaysPerJulianCentury;
    const long double theta0 =
        280.46061837L + 360.98564736629L * (jd - kJ2000) + 0.000387933L * T * T - T * T * T / 38710000.0L;
    const TNutation n = Nutation(t);
    return PutIn360(theta0 + n.deltaPsi * CosD(n.epsilon));
}

void EclipticToEquatorial(TCoord &coord, long double t)
{
    const TNutation n = Nutation(t);
    coord.longitude = PutIn360(coord.longitude + n.deltaPsi);
    const long double lambda = coord.longitude;
    const long double beta = coord.latitude;
    const long double eps = n.epsilon;
    coord.rightAscension = ArcTan2D(CosD(lambda), SinD(lambda) * CosD(eps) - TanD(beta) * SinD(eps));
    coord.declination = ArcSinD(SinD(beta) * CosD(eps) + CosD(beta) * SinD(eps) * SinD(lambda));
}

long double Interpolate(long double n, long double y1, long double y2, long double y3)
{
    auto unwrap = [](long double d) {
        if (d > kInterpolationWrap)
            d -= kFullCircle;
        if (d < -kInterpolationWrap)
            d += kFullCircle;
        return d;
    };
    const long double a = unwrap(y2 - y1);
    const long double b = unwrap(y3 - y2);
    return y2 + n / 2 * (a + b + n * (b - a));
}
