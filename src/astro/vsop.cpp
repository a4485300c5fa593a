#include "vsop.h"

#include "astro_math.h"
#include "time_scales.h"

#include <cmath>

namespace {

constexpr long double kDaysPerMillennium = 365250.0L;
constexpr long double kNoonOffset = 0.5L;          // J2000.0 is noon of 2000-01-01
constexpr long double kAmplitudeScale = 1.0e-8L;   // amplitudes are stored times 1e8
// FK5 conversion of the dynamical frame (degrees and arc-seconds).
constexpr long double kFk5Rate1 = -1.397L;
constexpr long double kFk5Rate2 = -0.00031L;
constexpr long double kFk5Tilt = 0.03916L;
constexpr long double kFk5Shift = -0.09033L;
constexpr int kCenturiesPerMillennium = 10;

const astro_tables::VsopSeries &earthSeries(TVsopCoordinate coord, int power)
{
    switch (coord) {
    case TVsopCoordinate::Longitude:
        return astro_tables::kEarthLongitude[power];
    case TVsopCoordinate::Latitude:
        return astro_tables::kEarthLatitude[power];
    case TVsopCoordinate::Radius:
        break;
    }
    return astro_tables::kEarthRadius[power];
}

TVSOP::TTerm earthTerm(TVsopCoordinate coord, int power, int index)
{
    if (power < 0 || power >= astro_tables::kVsopPowers || index < 0)
        return {0, 0, 0};
    const astro_tables::VsopSeries &s = earthSeries(coord, power);
    if (index >= s.count)
        return {0, 0, 0};
    return s.terms[index];
}

// Cosine in double for the fast series sum. Cody-Waite reduction by π/2 in
// three 33-bit parts keeps the reduced argument exact to ~1e-16 for |x| below
// 2^20·π/2; a Taylor polynomial on [−π/4, π/4] is then exact to a few ulp.
// Branch-free, so the compiler can run it over several terms at once.
inline double reducedCos(double x)
{
    constexpr double kTwoOverPi = 0.63661977236758134308;
    constexpr double kPio2Part1 = 1.57079632673412561417e+00;
    constexpr double kPio2Part2 = 6.07710050630396597660e-11;
    constexpr double kPio2Part3 = 2.02226624871116645580e-21;
    constexpr double kRoundMagic = 6755399441055744.0; // 1.5·2^52: adding it rounds to an integer
    const double n = (x * kTwoOverPi + kRoundMagic) - kRoundMagic;
    const int quadrant = static_cast<int>(n) & 3;
    const double r = ((x - n * kPio2Part1) - n * kPio2Part2) - n * kPio2Part3;
    const double r2 = r * r;
    const double c =
        1.0 + r2 * (-1.0 / 2 + r2 * (1.0 / 24 + r2 * (-1.0 / 720 + r2 * (1.0 / 40320 + r2 * (-1.0 / 3628800 + r2 * (1.0 / 479001600 + r2 * (-1.0 / 87178291200.0 + r2 * (1.0 / 20922789888000.0))))))));
    const double s =
        r * (1.0 + r2 * (-1.0 / 6 + r2 * (1.0 / 120 + r2 * (-1.0 / 5040 + r2 * (1.0 / 362880 + r2 * (-1.0 / 39916800 + r2 * (1.0 / 6227020800.0 + r2 * (-1.0 / 1307674368000.0 + r2 * (1.0 / 355687428096000.0)))))))));
    // Quadrant 0: c, 1: −s, 2: −c, 3: s; chosen by arithmetic so the loop has no branch.
    const double pickSine = static_cast<double>(quadrant & 1);
    const double sign = 1.0 - 2.0 * static_cast<double>(((quadrant + 1) >> 1) & 1);
    return sign * (c + pickSine * (s - c));
}

// An AVX2 copy of the sum next to the baseline one, picked when the program
// loads by what the processor has; only x86 with the loader's indirect
// functions (glibc) can do that, elsewhere the baseline copy alone is built.
#if (defined(__x86_64__) || defined(__i386__)) && defined(__ELF__) && defined(__GLIBC__)
#define NIMBREL_SERIES_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define NIMBREL_SERIES_CLONES
#endif

// Sum of A·cos(B + C·τ) over the terms [first, count) in double.
NIMBREL_SERIES_CLONES double
fastTermSum(const double *__restrict a, const double *__restrict b, const double *__restrict c,
            int first, int count, double tau)
{
    constexpr int kBlock = 128;
    constexpr int kLanes = 4;
    double values[kBlock];
    // Independent partial sums; the leading (largest) term is not among them,
    // so they stay small and lose nothing that matters.
    double acc[kLanes] = {0, 0, 0, 0};
    for (int start = first; start < count; start += kBlock) {
        const int n = count - start < kBlock ? count - start : kBlock;
        for (int i = 0; i < n; ++i)
            values[i] = a[start + i] * reducedCos(b[start + i] + c[start + i] * tau);
        int i = 0;
        for (; i + kLanes <= n; i += kLanes)
            for (int k = 0; k < kLanes; ++k)
                acc[k] += values[i + k];
        for (; i < n; ++i)
            acc[0] += values[i];
    }
    return (acc[0] + acc[1]) + (acc[2] + acc[3]);
}

} // namespace

long double TVSOP::Tau() const
{
    return (static_cast<long double>(FDate) - Date2000 - kNoonOffset) / kDaysPerMillennium;
}

long double TVSOP::SeriesSum(TVsopCoordinate coord, int power) const
{
    const long double tau = Tau();
    long double sum = 0;
    for (int i = 0;; ++i) {
        TTerm t{0, 0, 0};
        switch (coord) {
        case TVsopCoordinate::Longitude:
            t = LongitudeTerm(power, i);
            break;
        case TVsopCoordinate::Latitude:
            t = LatitudeTerm(power, i);
            break;
        case TVsopCoordinate::Radius:
            t = RadiusTerm(power, i);
            break;
        }
        // The zero term past the end stops the sum even when τ is not a number.
        const long double v = t.A * std::cos(t.B + t.C * tau);
        if (v == 0 || t.A == 0)
            break;
        sum += v;
    }
    return sum;
}

long double TVSOP::Evaluate(TVsopCoordinate coord) const
{
    const long double tau = Tau();
    long double value = 0;
    for (int power = astro_tables::kVsopPowers - 1; power >= 0; --power)
        value = value * tau + SeriesSum(coord, power);
    return value * kAmplitudeScale;
}

long double TVSOP::GetLongitude() const
{
    return Evaluate(TVsopCoordinate::Longitude);
}

long double TVSOP::GetLatitude() const
{
    return Evaluate(TVsopCoordinate::Latitude);
}

long double TVSOP::GetRadius() const
{
    return Evaluate(TVsopCoordinate::Radius);
}

void TVSOP::DynamicToFK5(long double &L, long double &B) const
{
    const long double T = kCenturiesPerMillennium * Tau();
    const long double lambdaPrime = L + DegToRad(kFk5Rate1 * T + kFk5Rate2 * T * T);
    const long double dL = kFk5Tilt * (std::cos(lambdaPrime) + std::sin(lambdaPrime)) * std::tan(B) + kFk5Shift;
    const long double dB = kFk5Tilt * (std::cos(lambdaPrime) - std::sin(lambdaPrime));
    L += DegToRad(dL * kArcSecond);
    B += DegToRad(dB * kArcSecond);
}

TVSOP::TTerm TVSOPEarth::LongitudeTerm(int power, int index) const
{
    return earthTerm(TVsopCoordinate::Longitude, power, index);
}

TVSOP::TTerm TVSOPEarth::LatitudeTerm(int power, int index) const
{
    return earthTerm(TVsopCoordinate::Latitude, power, index);
}

TVSOP::TTerm TVSOPEarth::RadiusTerm(int power, int index) const
{
    return earthTerm(TVsopCoordinate::Radius, power, index);
}

long double TVSOPEarth::SeriesSum(TVsopCoordinate coord, int power) const
{
    if (power < 0 || power >= astro_tables::kVsopPowers)
        return 0;
    const astro_tables::VsopSeries &s = earthSeries(coord, power);
    if (s.count == 0)
        return 0;
    const long double tau = Tau();
    const TTerm &lead = s.terms[0];
    const long double head = lead.A * SeriesCos(lead.B + lead.C * tau);
    return head + fastTermSum(s.columns.A, s.columns.B, s.columns.C, 1, s.count, static_cast<double>(tau));
}

namespace {

THeliocentric readPosition(TVSOP &theory, TDateTime t, bool toFK5)
{
    theory.SetDate(t);
    THeliocentric p;
    p.R = theory.GetRadius();
    long double L = theory.GetLongitude();
    long double B = theory.GetLatitude();
    if (toFK5)
        theory.DynamicToFK5(L, B);
    p.L = PutIn360(RadToDeg(L));
    p.B = RadToDeg(B);
    return p;
}

} // namespace

THeliocentric HeliocentricPosition(TVSOP &theory, TDateTime t)
{
    return readPosition(theory, t, true);
}

THeliocentric DynamicalHeliocentricPosition(TVSOP &theory, TDateTime t)
{
    return readPosition(theory, t, false);
}
