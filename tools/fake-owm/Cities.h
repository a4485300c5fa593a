// The cities the stand-in service knows.
#pragma once

#include <QString>
#include <QVector>

struct TFakeCity {
    qint64 Id;
    QString Name;
    QString Country; // two-letter code
    double Lat;
    double Lon;
    // What the keyless service's place search tells besides.
    QString CountryName;
    QString Admin1;   // the region; empty where the country has none
    QString TimeZone; // IANA name
    qint64 Population;
    double Elevation; // metres
};

const QVector<TFakeCity> &KnownCities();

// The city of that id, or null.
const TFakeCity *CityById(qint64 id);

// A query "name" or "name,CC" (any case): the city of exactly that name (and
// country), or null.
const TFakeCity *CityByQuery(const QString &query);

// Every city whose name contains the query's name part (any case), filtered
// by the query's country when it has one, in table order.
QVector<const TFakeCity *> CitiesLike(const QString &query);
