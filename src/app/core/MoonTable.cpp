#include "MoonTable.h"

#include "DateTimeConv.h"
#include "DeltaT.h"
#include "LangConsts.h"
#include "moon.h"

#include <QTimeZone>

#include <algorithm>
#include <cmath>
#include <exception>

namespace {

constexpr double kPercent = 100.0;

TDateTime FromUtcDateTime(const QDateTime &utc)
{
    const double days = static_cast<double>(DateTimeEpoch().daysTo(utc.date()));
    const double fraction = utc.time().msecsSinceStartOfDay() / kMSecsPerDay;
    return days >= 0 ? days + fraction : days - fraction;
}

// The astronomy counts time in universal time; the records hold local time.
// Without the conversion a phase near midnight lands on the wrong date.
// 0 when the value is no time the calendar knows.
TDateTime LocalToUniversal(TDateTime local)
{
    const QDateTime value = QDateTimeFromDateTime(local);
    if (!value.isValid())
        return 0;
    return FromUtcDateTime(value.toUTC());
}

TDateTime UniversalToLocal(TDateTime universal)
{
    const QDateTime asLocal = QDateTimeFromDateTime(universal);
    if (!asLocal.isValid())
        return 0;
    const QDateTime utc(asLocal.date(), asLocal.time(), QTimeZone::utc());
    return DateTimeFromQDateTime(utc);
}

bool SameLocalDate(TDateTime a, TDateTime b)
{
    const QDateTime x = QDateTimeFromDateTime(a);
    const QDateTime y = QDateTimeFromDateTime(b);
    return x.isValid() && y.isValid() && x.date() == y.date();
}

} // namespace

TMoonTable BuildMoonTable(TDateTime firstTimeStamp)
{
    TMoonTable table{};
    for (int phase = 0; phase < kMoonTablePhases; ++phase)
        table[phase].Phase = phase;
    if (!std::isfinite(firstTimeStamp) || firstTimeStamp == kNoDateTime)
        return table;
    const TDateTime universalStart = LocalToUniversal(firstTimeStamp);
    if (universalStart == 0)
        return table;
    // The phase times come in dynamical time, which runs about a minute ahead
    // of the clocks: searched and shown without the difference they would be
    // late by that much.
    const TDateTime start = UniversalToDynamical(universalStart);
    for (int phase = 0; phase < kMoonTablePhases; ++phase) {
        // One phase the astronomy cannot answer must not cost the others.
        try {
            const TDateTime next = NextPhase(static_cast<TMoonPhase>(phase), start);
            if (std::isfinite(next))
                table[phase].Time = UniversalToLocal(DynamicalToUniversal(next));
        } catch (const std::exception &) {
            table[phase].Time = 0;
        }
    }
    return table;
}

namespace {

bool HasTimeStamp(const TWeatherRecord &record)
{
    return std::isfinite(record.TimeStamp) && record.TimeStamp > kNoDateTime;
}

} // namespace

namespace {

std::int32_t IlluminatedPercent(TDateTime localTime)
{
    const TDateTime universal = LocalToUniversal(localTime);
    if (universal == 0)
        return 0;
    try {
        const double lit = static_cast<double>(MoonIlluminated(UniversalToDynamical(universal))) * kPercent;
        if (std::isfinite(lit))
            return static_cast<std::int32_t>(std::lround(std::clamp(lit, 0.0, kPercent)));
    } catch (const std::exception &) {
    }
    return 0;
}

} // namespace

TMoonDays ForecastMoonDays(const TWeatherData &forecast, const TMoonTable &table)
{
    TMoonDays days(forecast.size());
    for (int i = 0; i < forecast.size(); ++i) {
        const TWeatherRecord &record = forecast[i];
        if (!HasTimeStamp(record))
            continue;
        TMoonDay &day = days[i];
        day.Illuminated = IlluminatedPercent(record.TimeStamp);
        for (const TMoonTableEntry &entry : table) {
            if (entry.Time == 0 || entry.Phase < 0 || entry.Phase >= kMoonPhaseCount)
                continue;
            if (SameLocalDate(entry.Time, record.TimeStamp)) {
                day.Phase = entry.Phase;
                day.PhaseTime = entry.Time;
            }
        }
    }
    return days;
}

bool MoonSeenUpsideDown(double latitude)
{
    return latitude < 0;
}
