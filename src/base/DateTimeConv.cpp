#include "DateTimeConv.h"

#include <cmath>

QDate DateTimeEpoch()
{
    return QDate(1899, 12, 30);
}

TDateTime DateTimeFromQDateTime(const QDateTime &value)
{
    const QDateTime local = value.toLocalTime();
    const double days = static_cast<double>(DateTimeEpoch().daysTo(local.date()));
    const double fraction = local.time().msecsSinceStartOfDay() / kMSecsPerDay;
    // Before the epoch the time of day is counted away from zero: -1.25 is
    // 1899-12-29 06:00, so the fraction keeps its meaning on both sides.
    return days >= 0 ? days + fraction : days - fraction;
}

QDateTime QDateTimeFromDateTime(TDateTime value)
{
    if (!std::isfinite(value))
        return {};
    const double whole = std::trunc(value);
    if (std::fabs(whole) > 3.0e6) // beyond year 9999 either way
        return {};
    const double fraction = std::fabs(value - whole);
    qint64 msecs = std::llround(fraction * kMSecsPerDay);
    qint64 days = static_cast<qint64>(whole);
    // Rounded up to midnight: that is the start of the next calendar day, which
    // is one day later on both sides of the epoch.
    if (msecs >= static_cast<qint64>(kMSecsPerDay)) {
        msecs = 0;
        days += 1;
    }
    const QDate date = DateTimeEpoch().addDays(days);
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(msecs)));
}

TDateTime DateOf(TDateTime value)
{
    return std::trunc(value);
}
