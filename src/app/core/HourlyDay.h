// What the hourly view shows for one forecast day, built when a day is opened
// from the records the refresh kept: the hours (1-hour records or 3-hour
// slots) that start on the day's local date, each with its texts, or the
// day's own detail where the service sent no hours. Painting only reads these.
#pragma once

#include "WeatherRecords.h"

#include <QLocale>
#include <QString>
#include <QVector>

class TLanguageManager;

// Per record of `days`, the indices into `hours` of the records that start
// on its local date, in their order. A record crossing midnight belongs to
// the day it starts in; an hour whose date no day has, or without a start, is
// left out. A day is dated as its row is: by the local date of its time stamp.
using THourGroups = QVector<QVector<int>>;
THourGroups GroupHoursByDay(const TWeatherData &days, const TWeatherData &hours);

struct THourCell {
    QString IconPath;          // the condition picture's file; empty when none
    QString Icon;              // the condition picture's name, for the program's own drawings
    QString TimeText;          // the start, as the locale writes a short time
    QString TemperatureText;
    double Temperature = 0;    // for the curve; not finite when there is none
    QString PrecipitationText; // the amount with its unit
    QString ChanceText;        // the chance of precipitation; empty when none was given
    QString WindText;          // the speed with its unit
    QString WindDirectionText; // the direction's letters in the language
    QString AccessibleText;    // everything of the hour in one line, its end time included
};

struct THourlyDay {
    QString Title;             // the day's weekday and date
    QVector<THourCell> Hours;  // in order; empty when the service sent none for the day
    QString DetailText;        // the day's values, one per line, for a day without hours
};

// The view of `day` with the `hours` that start on it (in order). Numbers are
// written in `locale`, the date in the language of `app`.
THourlyDay BuildHourlyDay(const TWeatherRecord &day, const TWeatherData &hours, const QString &dataFolder,
                          const QLocale &locale, const TLanguageManager &app, const TLanguageManager &reference);
