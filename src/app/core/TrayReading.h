// What the tray shows of the current weather when the temperature is asked
// for there: the whole degrees to draw and the hint beside them.
#pragma once

#include "PanelTexts.h"
#include "WeatherRecords.h"

#include <QColor>
#include <QLocale>
#include <QString>

struct TTrayReading {
    bool Valid = false;    // the weather gave a temperature to show
    bool Negative = false; // below zero once rounded; a shown 0 has no sign
    QString Digits;        // the whole degrees without sign, in the locale's digits
    QString Unit;          // "°C" or "°F"
    QColor Colour = kMildColour; // as the panel colours the temperature
};

// The temperature rounded as the panel shows it (one decimal), then to whole
// degrees, halves away from zero: the panel's -0.46 reads -0.5 there, so -1 here.
TTrayReading TrayReadingOf(const TWeatherRecord &current, bool imperial, const QLocale &locale);

// The hint of a tray that shows the temperature: place, condition and
// temperature, one to a line, leaving out what the panel has not.
QString TrayWeatherHint(const TPanelTexts &texts);
