#include "HourlyDay.h"

#include "ClockLine.h"
#include "DateTimeConv.h"
#include "ForecastRows.h"
#include "LangConsts.h"
#include "LangMan.h"
#include "LanguageChoice.h"
#include "PanelTexts.h"
#include "UnitRules.h"
#include "WeatherIcons.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QRegularExpression>
#include <QtGlobal>
#include <QStringList>

#include <cmath>

namespace {

constexpr double kWholeWindFrom = 10.0;

const QString kLineFeed = QStringLiteral("\n");
const QString kListSeparator = QStringLiteral(", ");
const QString kTimeRange = QStringLiteral("\u2013"); // an en dash between two times

// The local date-time of a stored time; invalid for "no time" or a broken value.
QDateTime LocalTime(TDateTime value)
{
    if (!std::isfinite(value) || value <= kNoDateTime)
        return {};
    return QDateTimeFromDateTime(value);
}

// The local date of a stored time as a day number: the stored times are the
// local clock's already, so its whole part is the date, and no zone needs to
// be asked (a week of hourly values is hundreds of them). kNoDay for "no time".
constexpr qint64 kNoDay = -1;
constexpr double kLatestDay = 2958465; // 9999-12-31

qint64 LocalDayNumber(TDateTime value)
{
    if (!std::isfinite(value) || value <= kNoDateTime || value > kLatestDay)
        return kNoDay;
    return static_cast<qint64>(std::floor(value));
}

// When an hour starts: a slot's start, else (an hour given by one time) its stamp.
TDateTime StartOf(const TWeatherRecord &hour)
{
    return std::isfinite(hour.FromTime) && hour.FromTime > kNoDateTime ? hour.FromTime : hour.TimeStamp;
}

QString PrecipitationText(const TWeatherRecord &record, const QLocale &locale)
{
    // A record without an amount had none, in millimetres unless it says otherwise.
    const QString units =
        record.Precipitation.Units.isEmpty() ? QString::fromLatin1(kMillimetres) : record.Precipitation.Units;
    const int decimals = units == QLatin1String(kInches) ? kTwoDecimals : kOneDecimal;
    return WithUnits(FormatNumber(record.Precipitation.Value, decimals, locale), units);
}

QString ChanceText(const TWeatherRecord &record, const QLocale &locale)
{
    if (!std::isfinite(record.PrecipitationChance) || record.PrecipitationChance < 0)
        return {};
    return FormatNumber(record.PrecipitationChance * kPercent, kNoDecimals, locale) + QLatin1Char('%');
}

QString WindSpeedText(const TWeatherRecord &record, const QLocale &locale)
{
    // A tenth says nothing of a strong wind and would not fit an hour's column.
    const double speed = record.Wind.Speed.Value;
    const int decimals = std::isfinite(speed) && std::fabs(speed) >= kWholeWindFrom ? kNoDecimals : kOneDecimal;
    return WithUnits(FormatNumber(speed, decimals, locale), record.Wind.Speed.Units);
}

QString TemperatureText(double value, const QString &units, const QLocale &locale)
{
    return FormatNumber(value, kNoDecimals, locale) + units;
}

// To the minute: the hours start on the hour, and a locale whose short time
// has seconds (the C locale's "HH:mm:ss") would end every column in ":00".
QString ShortTime(const QDateTime &time, const QLocale &locale)
{
    static const QRegularExpression seconds(QStringLiteral("[:.]?s+"));
    QString format = locale.timeFormat(QLocale::ShortFormat);
    format.remove(seconds);
    return locale.toString(time.time(), format);
}

THourCell HourCell(const TWeatherRecord &hour, const QString &dataFolder, const QLocale &locale,
                   const TLanguageManager &app, const TLanguageManager &reference)
{
    THourCell cell;
    const QDateTime start = LocalTime(StartOf(hour));
    const QDateTime end = LocalTime(hour.ToTime);
    cell.IconPath = hour.Weather.Icon.isEmpty() ? QString() : IconFilePath(dataFolder, hour.Weather.Icon);
    cell.Icon = hour.Weather.Icon;
    cell.TimeText = start.isValid() ? ShortTime(start, locale) : QString::fromUtf16(kNoNumber);
    cell.Temperature = hour.Temp.Value.Value;
    cell.TemperatureText = TemperatureText(hour.Temp.Value.Value, hour.Temp.Value.Units, locale);
    cell.PrecipitationText = PrecipitationText(hour, locale);
    cell.ChanceText = ChanceText(hour, locale);
    cell.WindText = WindSpeedText(hour, locale);
    cell.WindDirectionText = WindDirectionText(hour.Wind.Direction.Code, app).trimmed();

    QString when = cell.TimeText;
    if (start.isValid() && end.isValid() && end > start)
        when += kTimeRange + ShortTime(end, locale);
    QStringList parts;
    const QString description = DescriptionText(hour, app, reference);
    if (!description.isEmpty())
        parts << description;
    parts << Labelled(lc_Temp, cell.TemperatureText) << Labelled(lc_Precipitations, cell.PrecipitationText);
    if (!cell.ChanceText.isEmpty())
        parts << Labelled(lc_PrecipChance, cell.ChanceText);
    parts << Labelled(lc_Wind, WithUnits(cell.WindText, cell.WindDirectionText));
    cell.AccessibleText = Labelled(when, parts.join(kListSeparator));
    return cell;
}

QString DetailText(const TWeatherRecord &day, const QLocale &locale, const TLanguageManager &app,
                   const TLanguageManager &reference)
{
    QStringList lines;
    const QString description = DescriptionText(day, app, reference);
    if (!description.isEmpty())
        lines << description;
    lines << Labelled(lc_Temp, RowRangeText(day, locale));
    QString precipitation = PrecipitationText(day, locale);
    const QString chance = ChanceText(day, locale);
    if (!chance.isEmpty())
        precipitation += kListSeparator + chance;
    lines << Labelled(lc_Precipitations, precipitation);
    lines << Labelled(lc_Wind, WithUnits(WindSpeedText(day, locale), WindDirectionText(day.Wind.Direction.Code, app))
                                   .trimmed());
    lines << Labelled(lc_Pressure, RowPressureText(day, locale));
    lines << Labelled(lc_Humidity, FormatNumber(day.Humidity.Value, kNoDecimals, locale) + QLatin1Char('%'));
    lines << Labelled(lc_CloudCover, FormatNumber(day.Clouds.Value, kNoDecimals, locale) + QLatin1Char('%'));
    lines << lc_NoHours;
    return lines.join(kLineFeed);
}

} // namespace

THourGroups GroupHoursByDay(const TWeatherData &days, const TWeatherData &hours)
{
    THourGroups groups(days.size());
    QHash<qint64, int> dayOfDate;
    for (int i = 0; i < days.size(); ++i) {
        const qint64 date = LocalDayNumber(days[i].TimeStamp);
        if (date != kNoDay && !dayOfDate.contains(date))
            dayOfDate.insert(date, i);
    }
    for (int i = 0; i < hours.size(); ++i) {
        const auto day = dayOfDate.constFind(LocalDayNumber(StartOf(hours[i])));
        if (day != dayOfDate.constEnd())
            groups[*day].append(i);
    }
    return groups;
}

THourlyDay BuildHourlyDay(const TWeatherRecord &day, const TWeatherData &hours, const QString &dataFolder,
                          const QLocale &locale, const TLanguageManager &app, const TLanguageManager &reference)
{
    THourlyDay view;
    const QDateTime stamp = LocalTime(day.TimeStamp);
    if (stamp.isValid()) {
        const QLocale dateLocale = LanguageLocale(app.LanguageCode(), locale);
        const QString format = UsableDateFormat(lc_ShortDateFormat, QString::fromLatin1(kEnglishShortDateFormat));
        view.Title = dateLocale.dayName(stamp.date().dayOfWeek(), QLocale::LongFormat) + QLatin1Char(' ')
                     + dateLocale.toString(stamp.date(), format);
    }
    view.Hours.reserve(hours.size());
    for (const TWeatherRecord &hour : hours)
        view.Hours.append(HourCell(hour, dataFolder, locale, app, reference));
    if (view.Hours.isEmpty())
        view.DetailText = DetailText(day, locale, app, reference);
    return view;
}
