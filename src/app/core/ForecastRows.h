// What each row of the forecast list shows, built once per refresh from the
// forecast records: the texts of its columns, its icon, the sun times of its
// day and whether it is a weekend day. Painting only reads these.
#pragma once

#include "MoonTable.h"
#include "Forecast.h"
#include "TDateTime.h"
#include "WeatherRecords.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVector>

class TLanguageManager;

// Sunrise and sunset of one local date, in local time.
struct TSunTimes {
    bool HasRise = false;
    bool HasSet = false;
    TDateTime Rise = 0;
    TDateTime Set = 0;
};

struct TForecastRow {
    int Index = -1;          // of the forecast record
    QString IconPath;        // the condition picture's file
    QString Icon;            // the condition picture's name ("10d.png"), for the own drawings
    QDate Date;              // the record's local date
    bool Weekend = false;
    TDateTime MoonTime = 0;  // universal time of the record, for the moon picture
    bool MoonUpsideDown = false; // south of the equator: the picture turned by 180 degrees
    TSunTimes Sun;
    QString DateText;        // column 0
    QString PressureText;    // column 1, top
    QString RangeText;       // column 1, bottom
    QString DescriptionText; // column 2
    QString MoonSunText;     // column 3
    QString DetailText;      // the row's tooltip: the day's whole detail (DayDetailText)
};
using TForecastRows = QVector<TForecastRow>;

// The sunrise and sunset falling on `localDate` at a place (east longitude
// positive, as the service gives it): the universal-time days that overlap the
// local date are searched, so a place far from Greenwich gets its own day's
// events. A date without a rise or a set (polar day or night, or the day the
// sun stops setting) lacks that event.
TSunTimes SunTimesOnLocalDate(double latitude, double eastLongitude, const QDate &localDate);

// Per record, the sunrise and sunset of its local date (none for a record
// without a time stamp). Astronomy alone, so the fetch's worker thread does it.
using TForecastSunTimes = QVector<TSunTimes>;
TForecastSunTimes ForecastSunTimes(const TWeatherData &forecast);

// One row per record with a time stamp, in order. `dayNames` are the lines of
// the day-names calendar. Numbers are written in `locale`, dates in the
// language of `app` (LanguageLocale). `sunTimes` and `moonDays`, when they have
// one entry per record, are those of ForecastSunTimes() and ForecastMoonDays();
// otherwise they are worked out here.
TForecastRows BuildForecastRows(const TWeatherData &forecast, const QString &dataFolder,
                                const QStringList &dayNames, const QLocale &locale,
                                const TLanguageManager &app, const TLanguageManager &reference,
                                const TForecastSunTimes &sunTimes = TForecastSunTimes(),
                                const TMoonDays &moonDays = TMoonDays());

// The column texts of one record, exposed for the tests and the benchmark.
QString RowDateText(const QDate &date, const QStringList &dayNames, const QLocale &locale);
QString RowPressureText(const TWeatherRecord &record, const QLocale &locale);
QString RowRangeText(const TWeatherRecord &record, const QLocale &locale);
QString RowDescriptionText(const TWeatherRecord &record, const QLocale &locale, const TLanguageManager &app,
                           const TLanguageManager &reference);
QString RowMoonSunText(const TWeatherRecord &record, const TMoonDay &moon, const TSunTimes &sun,
                       const QLocale &locale);
