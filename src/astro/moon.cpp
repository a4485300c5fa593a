#include "moon.h"

#include "astro_math.h"
#include "astro_tables.h"
#include "coordinates.h"
#include "rise_set.h"
#include "sun.h"
#include "time_scales.h"

#include <cmath>

namespace {

constexpr long double kMoonParallaxFactor = 0.7275L;
constexpr long double kMoonRiseOffset = -0.5667L;
constexpr long double kMoonMeanDistance = 385000.56L; // km
constexpr long double kMoonTermUnit = 1.0e-6L;         // degrees
constexpr long double kMoonDistanceUnit = 0.001L;      // km
constexpr long double kEarthRadiusKm = 6378.14L;

struct MoonArguments {
    long double Lp, D, M, Mp, F; // degrees in [0, 360)
    long double A1, A2, A3;
    long double E;
};

MoonArguments moonArguments(long double T)
{
    const long double T2 = T * T;
    const long double T3 = T2 * T;
    const long double T4 = T3 * T;
    MoonArguments a;
    a.Lp = PutIn360(218.3164591L + 481267.88134236L * T - 0.0013268L * T2 + T3 / 538841.0L - T4 / 65194000.0L);
    a.D = PutIn360(297.8502042L + 445267.1115168L * T - 0.00163L * T2 + T3 / 545868.0L - T4 / 113065000.0L);
    a.M = PutIn360(357.5291092L + 35999.0502909L * T - 0.0001536L * T2 + T3 / 24490000.0L);
    a.Mp = PutIn360(134.9634114L + 477198.8676313L * T + 0.008997L * T2 + T3 / 69699.0L - T4 / 14712000.0L);
    a.F = PutIn360(93.2720993L + 483202.0175273L * T - 0.0034029L * T2 - T3 / 3526000.0L + T4 / 863310000.0L);
    a.A1 = PutIn360(119.75L + 131.849L * T);
    a.A2 = PutIn360(53.09L + 479264.29L * T);
    a.A3 = PutIn360(313.45L + 481266.484L * T);
    a.E = 1 - 0.002516L * T - 0.0000074L * T2;
    return a;
}

// E or E² for a term whose multiplier of M is ±1 or ±2.
long double eccentricityFactor(int mMultiplier, long double E)
{
    const int m = mMultiplier < 0 ? -mMultiplier : mMultiplier;
    if (m == 1)
        return E;
    if (m == 2)
        return E * E;
    return 1;
}

long double lunarArgument(const MoonArguments &a, int d, int m, int mp, int f)
{
    return DegToRad(d * a.D + m * a.M + mp * a.Mp + f * a.F);
}

long double moonLongitudeSum(const MoonArguments &a)
{
    long double sigmaL = 0;
    for (const astro_tables::LunarLRRow &row : astro_tables::kLunarLR) {
        if (row.sigmaL == 0)
            continue;
        sigmaL += row.sigmaL * eccentricityFactor(row.M, a.E) *
                  SeriesSin(lunarArgument(a, row.D, row.M, row.Mp, row.F));
    }
    return sigmaL + 3958 * SeriesSinD(a.A1) + 1962 * SeriesSinD(a.Lp - a.F) + 318 * SeriesSinD(a.A2);
}

// Geocentric longitude of the moon without nutation, degrees (not reduced).
long double moonMeanFrameLongitude(TDateTime t)
{
    const MoonArguments a = moonArguments(CenturiesSinceJ2000(t));
    return a.Lp + moonLongitudeSum(a) * kMoonTermUnit;
}

// --- phases -----------------------------------------------------------------

constexpr long double kLunationsPerCentury = 1236.85L;
constexpr long double kHalfSynodicMonth = kSynodicMonth / 2;
constexpr long double kAgeTolerance = 0.0000001L; // days
constexpr int kMaxAgeIterations = 100;
constexpr int kPhasesPerLunation = 8;
constexpr long double kNextPhaseStep = 28.0L; // days, less than one lunation
// From t − 28 the loop reaches a time after t in at most three steps; more
// means that t is beyond what the arithmetic can resolve.
constexpr int kMaxNextPhaseSteps = 8;

long double polynomial(long double k, long double T, long double c0, long double ck, long double c2,
                       long double c3, long double c4)
{
    return c0 + ck * k + T * T * (c2 + T * (c3 + T * c4));
}

// Every phase term with M carries E, one with 2M carries E², the smallest
// terms included (the printed list leaves E off some of those).
long double phaseEccentricityFactor(int mMultiplier, long double E)
{
    if (mMultiplier == 0)
        return 1;
    if (mMultiplier == 2 || mMultiplier == -2)
        return E * E;
    return E;
}

// True time of a principal phase (new moon, quarters, full moon) of the
// lunation nearest t, as a Julian ephemeris day.
long double truePhaseJDE(TMoonPhase phase, TDateTime t)
{
    if (phase % 2 != 0)
        throw EOutOfAlgorithmRange("Invalid TMoonPhase");
    const long double lunation =
        std::nearbyint((static_cast<long double>(t) - Date2000) / kDaysPerJulianCentury * kLunationsPerCentury);
    const long double k = lunation + static_cast<long double>(phase) / kPhasesPerLunation;
    const long double T = k / kLunationsPerCentury;
    // E is taken at the lunation's own time, so the result depends on k alone:
    // asking again from any time in the same lunation gives the same instant.
    const long double E = 1 - 0.002516L * T - 0.0000074L * T * T;

    const long double jdeMean = polynomial(k, T, 2451550.09765L, 29.530588853L, 0.0001337L, -0.000000150L, 0.00000000073L);
    const long double M = polynomial(k, T, 2.5534L, 29.10535669L, -0.0000218L, -0.00000011L, 0);
    const long double Mp = polynomial(k, T, 201.5643L, 385.81693528L, 0.0107438L, 0.00001239L, -0.000000058L);
    const long double F = polynomial(k, T, 160.7108L, 390.67050274L, -0.0016341L, -0.00000227L, 0.000000011L);
    const long double Om = polynomial(k, T, 124.7746L, -1.5637558L, 0.0020691L, 0.00000215L, 0);

    const astro_tables::PhaseTerm *terms = astro_tables::kQuarterTerms;
    if (phase == Newmoon)
        terms = astro_tables::kNewMoonTerms;
    else if (phase == Fullmoon)
        terms = astro_tables::kFullMoonTerms;

    long double correction = 0;
    for (int i = 0; i < astro_tables::kPhaseTerms; ++i) {
        const astro_tables::PhaseTerm &term = terms[i];
        correction += term.coef * phaseEccentricityFactor(term.M, E) *
                      SeriesSinD(term.M * M + term.Mp * Mp + term.F * F + term.Om * Om);
    }
    if (phase == FirstQuarter || phase == LastQuarter) {
        long double W = 0;
        for (const astro_tables::PhaseWTerm &term : astro_tables::kQuarterW) {
            long double factor = 1;
            for (int p = 0; p < term.ePower; ++p)
                factor *= E;
            W += term.isConstant ? term.coef : term.coef * factor * SeriesCosD(term.M * M + term.Mp * Mp + term.F * F);
        }
        correction += phase == FirstQuarter ? W : -W;
    }
    for (const astro_tables::PlanetaryTerm &term : astro_tables::kPlanetary)
        correction += term.coef * SeriesSinD(term.c0 + term.ck * k + term.cT2 * T * T);
    return jdeMean + correction;
}

// Crescent and gibbous phases: the time at which the moon's age reaches the
// phase's share of the synodic month, found by stepping the time by the error.
TDateTime agePhaseTime(TMoonPhase phase, TDateTime t)
{
    const long double target = static_cast<long double>(phase) * kSynodicMonth / kPhasesPerLunation;
    long double x = t;
    for (int i = 0; i < kMaxAgeIterations; ++i) {
        long double e = MoonAge(static_cast<TDateTime>(x)) - target;
        if (e > kHalfSynodicMonth)
            e -= kSynodicMonth;
        x -= e;
        if (std::fabs(e) < kAgeTolerance)
            break;
    }
    return static_cast<TDateTime>(x);
}

TDateTime moonEvent(TRiseSetEvent kind, long double longitude, long double latitude, TDateTime t)
{
    const long double D = DayOf(t);
    TCoord positions[3];
    PositionsAround(D, MoonPosition, positions);
    const long double parallax = ArcSinD(kEarthRadiusKm / positions[1].radius);
    const long double h0 = kMoonParallaxFactor * parallax + kMoonRiseOffset;
    return RiseSetTransit(kind, h0, positions, longitude, latitude, D);
}

} // namespace

TDateTime MoonRise(long double longitude, long double latitude, TDateTime t)
{
    return moonEvent(TRiseSetEvent::Rise, longitude, latitude, t);
}

TDateTime MoonSet(long double longitude, long double latitude, TDateTime t)
{
    return moonEvent(TRiseSetEvent::Set, longitude, latitude, t);
}

TDateTime MoonTransit(long double longitude, long double latitude, TDateTime t)
{
    return moonEvent(TRiseSetEvent::Transit, longitude, latitude, t);
}

TCoord MoonPosition(TDateTime t)
{
    const MoonArguments a = moonArguments(CenturiesSinceJ2000(t));
    long double sigmaL = 0;
    long double sigmaR = 0;
    for (const astro_tables::LunarLRRow &row : astro_tables::kLunarLR) {
        const long double arg = lunarArgument(a, row.D, row.M, row.Mp, row.F);
        const long double e = eccentricityFactor(row.M, a.E);
        sigmaL += row.sigmaL * e * SeriesSin(arg);
        sigmaR += row.sigmaR * e * SeriesCos(arg);
    }
    long double sigmaB = 0;
    for (const astro_tables::LunarBRow &row : astro_tables::kLunarB)
        sigmaB += row.sigmaB * eccentricityFactor(row.M, a.E) * SeriesSin(lunarArgument(a, row.D, row.M, row.Mp, row.F));

    sigmaL += 3958 * SeriesSinD(a.A1) + 1962 * SeriesSinD(a.Lp - a.F) + 318 * SeriesSinD(a.A2);
    sigmaB += -2235 * SeriesSinD(a.Lp) + 382 * SeriesSinD(a.A3) + 175 * SeriesSinD(a.A1 - a.F) +
              175 * SeriesSinD(a.A1 + a.F) + 127 * SeriesSinD(a.Lp - a.Mp) - 115 * SeriesSinD(a.Lp + a.Mp);

    TCoord c;
    c.longitude = a.Lp + sigmaL * kMoonTermUnit;
    c.latitude = sigmaB * kMoonTermUnit;
    c.radius = kMoonMeanDistance + sigmaR * kMoonDistanceUnit;
    EclipticToEquatorial(c, t);
    return c;
}

long double MoonPhaseAngle(TDateTime t)
{
    const TCoord sun = SunPosition(t);
    const TCoord moon = MoonPosition(t);
    const long double psi = ArcCosD(CosD(moon.latitude) * CosD(moon.longitude - sun.longitude));
    long double i = ArcTanD(sun.radius * SinD(psi) / (moon.radius - sun.radius * CosD(psi)));
    if (i < 0)
        i += kHalfCircle;
    return PutIn360(moon.longitude - sun.longitude) <= kHalfCircle ? i : -i;
}

long double MoonIlluminated(TDateTime t)
{
    return (1 + CosD(MoonPhaseAngle(t))) / 2;
}

long double MoonAge(TDateTime t)
{
    // The nutation in longitude shifts both bodies alike, so the elongation is
    // taken without it; the sun's latitude plays no part either.
    const long double sunLambda = SunEcliptic(t, false).lambda;
    const long double moonLambda = moonMeanFrameLongitude(t);
    return PutIn360(moonLambda - sunLambda) / kFullCircle * kSynodicMonth;
}

TDateTime PhaseTime(TMoonPhase phase, TDateTime t)
{
    if (phase < Newmoon || phase > WaningCrescent)
        return 0;
    if (phase % 2 != 0)
        return agePhaseTime(phase, t);
    return static_cast<TDateTime>(DateFromJulian(truePhaseJDE(phase, t)));
}

TDateTime NextPhase(TMoonPhase phase, TDateTime t)
{
    TDateTime c = t - kNextPhaseStep;
    // So far from the epoch that a step of days vanishes, no phase can be told apart.
    if (c == t)
        throw EOutOfAlgorithmRange("No TDateTime possible");
    for (int step = 0; step < kMaxNextPhaseSteps; ++step) {
        const TDateTime d = PhaseTime(phase, c);
        if (d == 0)
            break;
        if (d >= t)
            return d;
        c += kNextPhaseStep;
    }
    throw EOutOfAlgorithmRange("No TDateTime possible");
}