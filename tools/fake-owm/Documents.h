// The stand-in service's XML answers, built around the current time. `units` is
// the request's unit system: "metric", "imperial" or anything else (kelvin, m/s).
#pragma once

#include "Cities.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

QByteArray CurrentDocument(const TFakeCity &city, const QString &units, const QDateTime &now);

// `count` 3-hour slots from the first 3-hour UTC boundary not before `now`.
QByteArray ForecastDocument(const TFakeCity &city, const QString &units, const QDateTime &now, int count);

// `count` days from the UTC day of `now`.
QByteArray DailyDocument(const TFakeCity &city, const QString &units, const QDateTime &now, int count);

QByteArray FindDocument(const QVector<const TFakeCity *> &cities, const QString &units, const QDateTime &now);
