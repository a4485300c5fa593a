#include "rise_set.h"

#include "astro_math.h"
#include "coordinates.h"

#include <cmath>

namespace {

constexpr long double kSiderealRate = 360.985647L; // degrees per day of the sidereal clock

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

} // namespace

TDateTime RiseSetTransit(TRiseSetEvent kind, long double h0, const TCoord (&positions)[3],
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
            throw ENoRiseSet();
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
        throw ENoRiseSet();
    return static_cast<TDateTime>(result);
}

long double DayOf(TDateTime t)
{
    return std::floor(static_cast<long double>(t));
}
