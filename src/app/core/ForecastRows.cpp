#include "ForecastRows.h"

#include "ClockLine.h"
#include "DateTimeConv.h"
#include "DayDetail.h"
#include "DayNames.h"
#include "LangConsts.h"
#include "LangMan.h"
#include "LanguageChoice.h"
#include "MoonTable.h"
#include "PanelTexts.h"
#include "UnitRules.h"
#include "WeatherIcons.h"
#include "sun.h"

#include <QDateTime>
#include <QTime>
#include <QTimeZone>

#include <cmath>
#include <exception>

namespace {

constexpr double kMaxLatitude = 90.0;
constexpr double kMaxLongitude = 180.0;
constexpr int kSaturday = 6;
constexpr int kSunday = 7;

const QString kLineFeed = QStringLiteral("\n");
const QString kTwoLineFeeds = QStringLiteral("\n\n");

// A trailing blank (empty units, no wind direction) is never seen and only
// spoils the tooltip.
QString TrimEnd(QString text)
{
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    return text;
}

// Universal time as a time value, and back; invalid dates give NaN or an
// invalid QDateTime.
TDateTime UniversalValue(const QDateTime &value)
{
    if (!value.isValid())
        return std::nan("");
    const QDateTime utc = value.toUTC();
    return static_cast<double>(DateTimeEpoch().daysTo(utc.date()))
           + utc.time().msecsSinceStartOfDay() / kMSecsPerDay;
}

QDateTime FromUniversalValue(TDateTime value)
{
    if (!std::isfinite(value))
        return {};
    const double day = std::floor(value);
    const int msecs = static_cast<int>(std::lround((value - day) * kMSecsPerDay));
    return QDateTime(DateTimeEpoch().addDays(static_cast<qint64>(day)), QTime(0, 0), QTimeZone::utc())
        .addMSecs(msecs);
}

using TSunEventFunction = TDateTime (*)(long double, long double, TDateTime);

// The event of `compute` inside [start, end) (universal time), searching each
// universal day that overlaps the range; false when none lies there.
bool FindEvent(TSunEventFunction compute, double westLongitude, double latitude, TDateTime start,
               TDateTime end, TDateTime &found)
{
    for (double day = std::floor(start); day < end; day += 1.0) {
        try {
            const TDateTime event = compute(westLongitude, latitude, day);
            if (std::isfinite(event) && event >= start && event < end) {
                found = event;
                return true;
            }
        } catch (const std::exception &) {
            // No rise or set on that universal day; another may still have one.
        }
    }
    return false;
}

bool IsFinite(double value)
{
    return std::isfinite(value);
}

} // namespace

TSunTimes SunTimesOnLocalDate(double latitude, double eastLongitude, const QDate &localDate)
{
    TSunTimes sun;
    if (!localDate.isValid() || !IsFinite(latitude) || !IsFinite(eastLongitude)
        || std::fabs(latitude) > kMaxLatitude || std::fabs(eastLongitude) > kMaxLongitude)
        return sun;
    const TDateTime start = UniversalValue(QDateTime(localDate, QTime(0, 0)));
    const TDateTime end = UniversalValue(QDateTime(localDate.addDays(1), QTime(0, 0)));
    if (!IsFinite(start) || !IsFinite(end) || end <= start)
        return sun;
    // The astronomy counts longitude positive to the west.
    const double westLongitude = -eastLongitude;
    TDateTime event = 0;
    if (FindEvent(&SunRise, westLongitude, latitude, start, end, event)) {
        sun.HasRise = true;
        sun.Rise = DateTimeFromQDateTime(FromUniversalValue(event));
    }
    if (FindEvent(&SunSet, westLongitude, latitude, start, end, event)) {
        sun.HasSet = true;
        sun.Set = DateTimeFromQDateTime(FromUniversalValue(event));
    }
    return sun;
}

QString RowDateText(const QDate &date, const QStringList &dayNames, const QLocale &locale)
{
    const QString format = UsableDateFormat(lc_ShortDateFormat, QString::fromLatin1(kEnglishShortDateFormat));
    return kLineFeed + locale.dayName(date.dayOfWeek(), QLocale::LongFormat) + kLineFeed
           + locale.toString(date, format) + kTwoLineFeeds + DayNames(dayNames, date, true);
}

QString RowPressureText(const TWeatherRecord &record, const QLocale &locale)
{
    // Inches of mercury need two decimals to say as much as hectopascals with one.
    const int decimals = record.Pressure.Units == QLatin1String(kInchesOfMercury) ? kTwoDecimals : kOneDecimal;
    return TrimEnd(FormatNumber(record.Pressure.Value, decimals, locale) + QLatin1Char(' ')
                   + record.Pressure.Units);
}

QString RowRangeText(const TWeatherRecord &record, const QLocale &locale)
{
    const TValue &temp = record.Temp.Value;
    // The fold's start values mean that the day had no temperature at all.
    const bool noRange = temp.Max <= kFoldNoHighestMax || temp.Min >= kFoldNoLowestMin;
    const QString range = noRange ? QString::fromUtf16(kNoNumber)
                                  : FormatNumber(temp.Max, kNoDecimals, locale) + QLatin1Char('/')
                                        + FormatNumber(temp.Min, kNoDecimals, locale);
    return TrimEnd(range + QLatin1Char(' ') + temp.Units);
}

QString RowDescriptionText(const TWeatherRecord &record, const QLocale &locale, const TLanguageManager &app,
                           const TLanguageManager &reference)
{
    const QString humidity = Labelled(lc_Humidity, FormatNumber(record.Humidity.Value, kNoDecimals, locale)
                                                       + QLatin1Char(' ') + record.Humidity.Units);
    const QString wind = Labelled(lc_Wind, FormatNumber(record.Wind.Speed.Value, kTwoDecimals, locale)
                                               + QLatin1Char(' ') + record.Wind.Speed.Units + QLatin1Char(' ')
                                               + WindDirectionText(record.Wind.Direction.Code, app));
    const QString precipitationUnits =
        record.Precipitation.Units.isEmpty() ? QLatin1String(kMillimetres) : record.Precipitation.Units;
    const QString precipitation =
        Labelled(lc_Precipitations, FormatNumber(record.Precipitation.Value, kTwoDecimals, locale) + QLatin1Char(' ')
                                        + precipitationUnits);
    return DescriptionText(record, app, reference) + kTwoLineFeeds + TrimEnd(humidity) + kLineFeed
           + TrimEnd(wind) + kLineFeed + precipitation;
}

QString RowMoonSunText(const TWeatherRecord &record, const TMoonDay &moon, const TSunTimes &sun,
                       const QLocale &locale)
{
    const bool phaseDay = moon.Phase >= 0 && moon.Phase < kMoonPhaseCount;
    QString text = phaseDay ? Labelled(lc_Moon, MoonPhaseTexts[moon.Phase])
                            : Labelled(lc_Moon, QString::number(moon.Illuminated) + QLatin1Char('%'));
    text += kTwoLineFeeds;
    // Without a sunrise nothing of the sun is shown; without a sunset only the
    // sunrise line.
    if (sun.HasRise) {
        text += Labelled(lc_Sunrise, ClockTimeText(QDateTimeFromDateTime(sun.Rise).time(), locale)) + kLineFeed;
        if (sun.HasSet)
            text += Labelled(lc_Sunset, ClockTimeText(QDateTimeFromDateTime(sun.Set).time(), locale));
    }
    return text + kTwoLineFeeds
           + Labelled(lc_CloudCover, FormatNumber(record.Clouds.Value, kNoDecimals, locale) + QStringLiteral(" %"));
}

TForecastSunTimes ForecastSunTimes(const TWeatherData &forecast)
{
    TForecastSunTimes times(forecast.size());
    for (int i = 0; i < forecast.size(); ++i) {
        const TWeatherRecord &record = forecast[i];
        if (!IsFinite(record.TimeStamp) || record.TimeStamp <= kNoDateTime)
            continue;
        const QDateTime stamp = QDateTimeFromDateTime(record.TimeStamp);
        if (stamp.isValid())
            times[i] = SunTimesOnLocalDate(record.City.Lat, record.City.Lon, stamp.date());
    }
    return times;
}

TForecastRows BuildForecastRows(const TWeatherData &forecast, const QString &dataFolder,
                                const QStringList &dayNames, const QLocale &locale,
                                const TLanguageManager &app, const TLanguageManager &reference,
                                const TForecastSunTimes &sunTimes, const TMoonDays &moonDays)
{
    const bool sunGiven = sunTimes.size() == forecast.size();
    const TMoonDays moon = moonDays.size() == forecast.size() || forecast.isEmpty()
                               ? moonDays
                               : ForecastMoonDays(forecast, BuildMoonTable(forecast.constFirst().TimeStamp));
    // Weekday and month names in the program's language, numbers as the user's locale writes them.
    const QLocale dateLocale = LanguageLocale(app.LanguageCode(), locale);
    TForecastRows rows;
    rows.reserve(forecast.size());
    for (int i = 0; i < forecast.size(); ++i) {
        const TWeatherRecord &record = forecast[i];
        if (!IsFinite(record.TimeStamp) || record.TimeStamp <= kNoDateTime)
            continue;
        const QDateTime stamp = QDateTimeFromDateTime(record.TimeStamp);
        if (!stamp.isValid())
            continue;
        TForecastRow row;
        row.Index = i;
        row.IconPath = record.Weather.Icon.isEmpty() ? QString() : IconFilePath(dataFolder, record.Weather.Icon);
        row.Icon = record.Weather.Icon;
        row.Date = stamp.date();
        row.Weekend = row.Date.dayOfWeek() == kSaturday || row.Date.dayOfWeek() == kSunday;
        row.MoonTime = UniversalValue(stamp);
        row.MoonUpsideDown = MoonSeenUpsideDown(record.City.Lat);
        row.Sun = sunGiven ? sunTimes[i] : SunTimesOnLocalDate(record.City.Lat, record.City.Lon, row.Date);
        row.DateText = RowDateText(row.Date, dayNames, dateLocale);
        row.PressureText = RowPressureText(record, locale);
        row.RangeText = RowRangeText(record, locale);
        row.DescriptionText = RowDescriptionText(record, locale, app, reference);
        row.MoonSunText = RowMoonSunText(record, moon.value(i), row.Sun, locale);
        row.DetailText = DayDetailText(record, row.Sun, moon.value(i), locale, app, reference);
        rows.append(row);
    }
    return rows;
}
