#include "sun.h"

#include "astro_math.h"
#include "coordinates.h"
#include "time_scales.h"
#include "vsop.h"

namespace {

constexpr long double kFk5Rate1 = -1.397L; // degrees per century
constexpr long double kFk5Rate2 = -0.00031L;
constexpr long double kFk5Tilt = 0.03916L;   // arc-seconds
constexpr long double kFk5Shift = -0.09033L; // arc-seconds
constexpr long double kAberration = 20.4898L; // arc-seconds times AU
constexpr long double kKilometresPerAU = 149597869.0L;
constexpr long double kSunRiseAltitude = -0.8333L;
constexpr long double kCivilTwilightAltitude = -6.0L;
constexpr long double kNauticalTwilightAltitude = -12.0L;
constexpr long double kAstronomicalTwilightAltitude = -18.0L;

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

} // namespace

TSunEcliptic SunEcliptic(TDateTime t, bool withLatitude)
{
    // The series are read in the dynamical frame: the FK5 correction below is
    // the only one, as the longitude must not be shifted twice.
    TVSOPEarth earth;
    earth.SetDate(t);
    TSunEcliptic s;
    s.R = earth.GetRadius();
    const long double L = RadToDeg(earth.GetLongitude());
    long double theta = L + kHalfCircle;
    const long double T = CenturiesSinceJ2000(t);
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

TCoord SunPosition(TDateTime t)
{
    const TSunEcliptic s = SunEcliptic(t, true);
    TCoord c;
    c.longitude = s.lambda;
    c.latitude = s.beta;
    c.radius = s.R * kKilometresPerAU;
    EclipticToEquatorial(c, t);
    return c;
}

TDateTime SunEvent(TRiseSetEvent kind, long double longitude, long double latitude, TDateTime t)
{
    const long double D = DayOf(t);
    TCoord positions[3];
    PositionsAround(D, SunPosition, positions);
    return RiseSetTransit(kind, sunAltitude(kind), positions, longitude, latitude, D);
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
