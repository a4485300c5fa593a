// The whole of one forecast day for the row's tooltip: every value the service
// sent for it, with its unit, a value to a line in groups (temperatures, air
// and wind, precipitation, sun and moon). A value the service did not send,
// or sent as no number, is left out rather than shown as 0.
#pragma once

#include "ForecastRows.h"
#include "MoonTable.h"
#include "WeatherRecords.h"

#include <QLocale>
#include <QString>

class TLanguageManager;

QString DayDetailText(const TWeatherRecord &record, const TSunTimes &sun, const TMoonDay &moon,
                      const QLocale &locale, const TLanguageManager &app, const TLanguageManager &reference);
