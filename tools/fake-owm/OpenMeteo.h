// The stand-in's answers in the shapes of the keyless service (Open-Meteo):
// the forecast by coordinates and the place search, with the same made-up
// weather as the other paths serve for the same city and instant.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QString>

// A request's parameters, by name.
using TQueryParams = QMap<QString, QString>;

struct TOpenMeteoAnswer {
    int Status = 200;
    QByteArray Body; // JSON
};

// GET /v1/forecast. Bad parameters give 400 with {"error":true,"reason":"…"}.
TOpenMeteoAnswer OpenMeteoForecast(const TQueryParams &params, const QDateTime &now);

// GET /v1/search. No match gives an answer without "results".
TOpenMeteoAnswer OpenMeteoSearch(const TQueryParams &params);

// A good forecast answer for the first known city, for the faults to break.
QByteArray OpenMeteoSampleDocument();

// The service's JSON answer to too many requests.
QByteArray OpenMeteoLimitDocument();
