// The credit a service's terms ask for where its data are shown: Open-Meteo's
// data are under CC BY 4.0; OpenWeatherMap asks for none beyond its logo.
#pragma once

#include "WeatherRecords.h"

#include <QString>

inline constexpr char kOpenMeteoSite[] = "https://open-meteo.com/";
inline constexpr char kOpenMeteoName[] = "Open-Meteo";
inline constexpr char kOwmName[] = "OpenWeatherMap";

// "Weather data by Open-Meteo.com" in the current language; empty for a
// service that asks for no credit.
QString ServiceAttribution(TWeatherService service);

// The site the credit links to; empty for a service without one.
QString AttributionSite(TWeatherService service);

// The service's name as its logo writes it.
QString ServiceDisplayName(TWeatherService service);

// `hint` with the credit and its address as a line of its own; `hint` alone
// for a service that asks for no credit.
QString HintWithAttribution(const QString &hint, TWeatherService service);
