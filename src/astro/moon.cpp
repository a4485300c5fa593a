#include "moon.h"

#include "astro_math.h"
#include "astro_tables.h"
#include "vsop.h"

#include <cmath>

namespace {

// --- calendar ---------------------------------------------------------------

constexpr int kMinYear = 1;
constexpr int kMaxYear = 9999;
constexpr int kMonthsPerYear = 12;
constexpr long double kJulianDayOf2000 = 2451544.5L; // 2000-01-01 00:00
constexpr long double kJ2000 = 2451545.0L;           // 2000-01-01 12:00
constexpr long double kDaysPerCentury = 36525.0L;
// Days from 0000-03-01 (proleptic Gregorian) to 1899-12-30, the zero of a time value.
constexpr long long kDayCountOfZeroDate = 693899;

bool isGregorianLeap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

bool isJulianLeap(int y)
{
    return y % 4 == 0;
}

int monthLength(int month, bool leap)
{
    switch (month) {
    case 2:
        return leap ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    default:
        return 31;
    }
}

// Days since 1899-12-30 of a proleptic Gregorian date (already validated).
long long gregorianDayNumber(int y, int m, int d)
{
    if (m <= 2) {
        y -= 1;
        m += kMonthsPerYear;
    }
    // Days from 0000-03-01 in whole 400-year cycles, then years, then months.
    const long long era = y / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m - 3) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - kDayCountOfZeroDate;
}

// --- nutation, sidereal time ------------------------------------------------

constexpr long double kArcSecond = 1.0L / 3600.0L;
constexpr long double kNutationUnit = 0.0001L; // table units, arc-seconds
constexpr long double kNutationRateDivisor = 10.0L;

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

long double centuriesSinceJ2000(long double t)
{
    return (JulianDate(t) - kJ2000) / kDaysPerCentury;
}

// --- sun ----------------------------------------------------------------------

constexpr long double kFk5Rate1 = -1.397L; // degrees per century
constexpr long double kFk5Rate2 = -0.00031L;
constexpr long double kFk5Tilt = 0.03916L;   // arc-seconds
constexpr long double kFk5Shift = -0.09033L; // arc-seconds
constexpr long double kAberration = 20.4898L; // arc-seconds times AU
constexpr long double kKilometresPerAU = 149597869.0L;
constexpr long double kHalfCircle = 180.0L;
constexpr long double kFullCircle = 360.0L;

// Geocentric longitude (FK5, with aberration, without nutation) and latitude
// of the sun, degrees, and its distance in AU.
struct SunEcliptic {
    long double lambda = 0;
    long double beta = 0;
    long double R = 0;
};

SunEcliptic sunEcliptic(TDateTime t, bool withLatitude)
{
    // The series are read in the dynamical frame: the FK5 correction below is
    // the only one, as the longitude must not be shifted twice.
    TVSOPEarth earth;
    earth.SetDate(t);
    SunEcliptic s;
    s.R = earth.GetRadius();
    const long double L = RadToDeg(earth.GetLongitude());
    long double theta = L + kHalfCircle;
    const long double T = centuriesSinceJ2000(t);
    const long double lambdaPrime = theta + kFk5Rate1 * T + kFk5Rate2 * T * T;
    theta += kFk5Shift * kArcSecond;
    if (withLatitude) {
        const long double beta = -RadToDeg(earth.GetLatitude());
        s.beta = beta + kFk5Tilt * (CosD(lambdaPrime) - SinD(lambdaPrime)) * kArcSecond;
    }
    theta -= kAberration / s.R * kArcSecond;
    s.lambda = PutIn360(theta);
    return s;
}

// --- rise, set and transit ------------------------------------------------

constexpr long double kSunRiseAltitude = -0.8333L;
constexpr long double kCivilTwilightAltitude = -6.0L;
constexpr long double kNauticalTwilightAltitude = -12.0L;
constexpr long double kAstronomicalTwilightAltitude = -18.0L;
constexpr long double kMoonParallaxFactor = 0.7275L;
constexpr long double kMoonRiseOffset = -0.5667L;
constexpr long double kSiderealRate = 360.985647L; // degrees per day of the sidereal clock
constexpr long double kInterpolationWrap = 100.0L;

long double sunAltitude(TRiseSetEvent kind)
{
    switch (kind) {
    case TRiseSetEvent::CivilTwilightBegin:
    case TRiseSetEvent::CivilTwilightEnd:
        return kCivilTwilightAltitude;
    case TRiseSetEvent::NauticalTwilightBegin:
    case TRiseSetEvent::NauticalTwilightEnd:
        return kNauticalTwilightAltitude;
    case TRiseSetEvent::AstronomicalTwilightBegin:
    case TRiseSetEvent::AstronomicalTwilightEnd:
        return kAstronomicalTwilightAltitude;
    default:
        return kSunRiseAltitude;
    }
}

bool isEvening(TRiseSetEvent kind)
{
    return kind == TRiseSetEvent::Set || kind == TRiseSetEvent::CivilTwilightEnd ||
           kind == TRiseSetEvent::NauticalTwilightEnd || kind == TRiseSetEvent::AstronomicalTwilightEnd;
}

long double fractionOfDay(long double m)
{
    m -= std::trunc(m);
    if (m < 0)
        m += 1;
    return m;
}

// The event of the given kind on day D for a body at positions[0..2] (at D−1,
// D, D+1) with standard altitude h0.
TDateTime riseSetTransit(TRiseSetEvent kind, long double h0, const TCoord (&positions)[3],
                         long double longitude, long double latitude, long double D)
{
    const long double theta0 = SiderealTime(D);
    const TCoord &mid = positions[1];
    const long double alpha2 = mid.rightAscension;
    long double m = (alpha2 + longitude - theta0) / kFullCircle;
    const bool transit = kind == TRiseSetEvent::Transit;
    if (!transit) {
        const long double cosH0 = (SinD(h0) - SinD(latitude) * SinD(mid.declination)) /
                                  (CosD(latitude) * CosD(mid.declination));
        // Written so that a NaN fails as well.
        if (!(cosH0 >= -1 && cosH0 <= 1))
            throw E_NoRiseSet();
        const long double H0 = ArcCosD(cosH0);
        m += (isEvening(kind) ? H0 : -H0) / kFullCircle;
    }
    m = fractionOfDay(m);

    const long double theta = theta0 + kSiderealRate * m;
    const long double alpha = Interpolate(m, positions[0].rightAscension, positions[1].rightAscension,
                                          positions[2].rightAscension);
    const long double delta =
        Interpolate(m, positions[0].declination, positions[1].declination, positions[2].declination);
    long double H = PutIn360(theta - longitude - alpha);
    if (H > kHalfCircle)
        H -= kFullCircle;
    if (transit) {
        m += -H / kFullCircle;
    } else {
        const long double h = ArcSinD(SinD(latitude) * SinD(delta) + CosD(latitude) * CosD(delta) * CosD(H));
        m += (h - h0) / (kFullCircle * CosD(delta) * CosD(latitude) * SinD(H));
    }
    const long double result = D + m;
    if (!std::isfinite(result))
        throw E_NoRiseSet();
    return static_cast<TDateTime>(result);
}

template <typename PositionOf>
void positionsAround(long double D, PositionOf positionOf, TCoord (&positions)[3])
{
    for (int i = 0; i < 3; ++i)
        positions[i] = positionOf(static_cast<TDateTime>(D + i - 1));
}

long double dayOf(TDateTime t)
{
    return std::floor(static_cast<long double>(t));
}

// --- moon -------------------------------------------------------------------

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
    const MoonArguments a = moonArguments(centuriesSinceJ2000(t));
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
        throw E_OutOfAlgorithmRange("Invalid TMoonPhase");
    const long double lunation =
        std::nearbyint((static_cast<long double>(t) - Date2000) / kDaysPerCentury * kLunationsPerCentury);
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

} // namespace

const TDateTime Date2000 = EncodeDateTime(2000, 1, 1);
const TDateTime Date1999 = EncodeDateTime(1999, 1, 1);
const long double JulianOffset = kJulianDayOf2000 - Date2000;

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, long double second)
{
    if (year < kMinYear || year > kMaxYear)
        throw EConvertError("Invalid year");
    if (month < 1 || month > kMonthsPerYear)
        throw EConvertError("Invalid month");
    if (day < 1 || day > monthLength(month, isGregorianLeap(year)))
        throw EConvertError("Invalid day");
    if (hour < 0 || hour >= kHoursPerDay || minute < 0 || minute >= 60 || !(second >= 0 && second < 60))
        throw EConvertError("Invalid time");
    const long double dayFraction = hour / static_cast<long double>(kHoursPerDay) +
                                    minute / static_cast<long double>(kMinutesPerDay) +
                                    second / static_cast<long double>(kSecondsPerDay);
    return static_cast<TDateTime>(gregorianDayNumber(year, month, day) + dayFraction);
}

long double JulianDate(long double t)
{
    return t + JulianOffset;
}

long double DateFromJulian(long double jd)
{
    return jd - JulianOffset;
}

long double CalendarToJulian(int year, int month, int day)
{
    constexpr long double kCalendarSwitch = 2299160.5L; // JD of 1582-10-15, the first Gregorian day
    if (year < kMinYear || year > kMaxYear)
        throw EConvertError("Invalid year");
    if (month < 1 || month > kMonthsPerYear)
        throw EConvertError("Invalid month");
    int y = year;
    int m = month;
    if (m <= 2) {
        m += kMonthsPerYear;
        y -= 1;
    }
    const long double julian = std::trunc(365.25L * (y + 4716)) + std::trunc(30.6001L * (m + 1)) + day - 1524.5L;
    if (julian < kCalendarSwitch) {
        if (day < 1 || day > monthLength(month, isJulianLeap(year)))
            throw EConvertError("Invalid day");
        return julian;
    }
    if (day < 1 || day > monthLength(month, isGregorianLeap(year)))
        throw EConvertError("Invalid day");
    const long double gregorian = julian + 2 - y / 100 + y / 400;
    if (gregorian < kCalendarSwitch)
        throw EConvertError("Date invalid due to calendar change");
    return gregorian;
}

TNutation Nutation(long double t)
{
    const long double T = centuriesSinceJ2000(t);
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
    const long double T = (jd - kJ2000) / kDaysPerCentury;
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

TCoord SunPosition(TDateTime t)
{
    const SunEcliptic s = sunEcliptic(t, true);
    TCoord c;
    c.longitude = s.lambda;
    c.latitude = s.beta;
    c.radius = s.R * kKilometresPerAU;
    EclipticToEquatorial(c, t);
    return c;
}

TDateTime SunEvent(TRiseSetEvent kind, long double longitude, long double latitude, TDateTime t)
{
    const long double D = dayOf(t);
    TCoord positions[3];
    positionsAround(D, SunPosition, positions);
    return riseSetTransit(kind, sunAltitude(kind), positions, longitude, latitude, D);
}

TDateTime SunRise(long double longitude, long double latitude, TDateTime t)
{
    return SunEvent(TRiseSetEvent::Rise, longitude, latitude, t);
}

TDateTime SunSet(long double longitude, long double latitude, TDateTime t)
{
    return SunEvent(TRiseSetEvent::Set, longitude, latitude, t);
}

TDateTime SunTransit(long double longitude, long double latitude, TDateTime t)
{
    return SunEvent(TRiseSetEvent::Transit, longitude, latitude, t);
}

namespace {

TDateTime moonEvent(TRiseSetEvent kind, long double longitude, long double latitude, TDateTime t)
{
    const long double D = dayOf(t);
    TCoord positions[3];
    positionsAround(D, MoonPosition, positions);
    const long double parallax = ArcSinD(kEarthRadiusKm / positions[1].radius);
    const long double h0 = kMoonParallaxFactor * parallax + kMoonRiseOffset;
    return riseSetTransit(kind, h0, positions, longitude, latitude, D);
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
    const MoonArguments a = moonArguments(centuriesSinceJ2000(t));
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
    const long double sunLambda = sunEcliptic(t, false).lambda;
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
        throw E_OutOfAlgorithmRange("No TDateTime possible");
    for (int step = 0; step < kMaxNextPhaseSteps; ++step) {
        const TDateTime d = PhaseTime(phase, c);
        if (d == 0)
            break;
        if (d >= t)
            return d;
        c += kNextPhaseStep;
    }
    throw E_OutOfAlgorithmRange("No TDateTime possible");
}
