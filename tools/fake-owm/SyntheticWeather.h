// Made-up but plausible weather: smooth in time, different per city, the same
// for the same city and instant every time it is asked for.
#pragma once

#include "Cities.h"

#include <QDate>
#include <QDateTime>
#include <QString>

struct TCondition {
    int Number;      // the service's condition number
    QString Name;    // its wording
    QString IconBase; // the two digits of its icon code
};

struct TSample {
    double TempC;
    double Humidity;    // percent
    double PressureHpa;
    double WindMps;
    double WindDeg;
    double Clouds;      // percent
    double PrecipMm;    // over three hours; 0 when dry
    QString PrecipType; // "rain" or "snow" when wet
    TCondition Condition;
};

TSample SampleAt(const TFakeCity &city, const QDateTime &utc);

struct TSunTimes {
    QDateTime Rise; // UTC
    QDateTime Set;  // UTC
};

// Sunrise and sunset on that UTC day; a polar day or night is clamped to the
// nearest ordinary one.
TSunTimes SunTimes(const TFakeCity &city, const QDate &utcDate);

// The icon code of the sample at that instant: "10d" by day, "10n" by night.
QString IconCode(const TFakeCity &city, const TSample &sample, const QDateTime &utc);

QString WindSpeedName(double mps);
QString DirectionCode(double deg);
QString DirectionName(double deg);
