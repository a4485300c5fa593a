// Every text and colour of the current-conditions panel, from the current
// weather record, with numbers in the user's locale.
#pragma once

#include "WeatherRecords.h"

#include <QColor>
#include <QLocale>
#include <QString>

class TLanguageManager;

inline const QColor kWarmColour{255, 154, 53};   // 15 °C or more
inline const QColor kColdColour{166, 202, 240};  // 0 °C or less
inline const QColor kMildColour{255, 255, 255};  // in between, or no number
inline const QColor kDescriptionColour{223, 223, 0};
inline const QColor kDetailColour{192, 192, 192}; // pressure, humidity, clouds, rain
inline constexpr double kWarmFromCelsius = 15.0;
inline constexpr double kColdUpToCelsius = 0.0;

// Shown for a value that is not a finite number.
inline constexpr char16_t kNoNumber[] = u"\u2013";

struct TPanelTexts {
    QString Loc, Desc, Temp, Wind, Pres, Hum, Cloud, Prec, IconHint;
    QColor TempColour = kMildColour;
    // "Feels like -5°C" where the service gave the felt temperature; else empty.
    QString Feel;
};

// The colour of a temperature, judged in degrees Celsius.
QColor TemperatureColour(double value, bool imperial);

// The felt temperature's text, in whole degrees: a felt value is no finer.
QString FeelsLikeText(const TTemperature &temp, const QLocale &locale);

// The panel for a successful refresh.
TPanelTexts BuildPanelTexts(const TWeatherRecord &current, bool imperial, const QLocale &locale,
                            const TLanguageManager &app, const TLanguageManager &reference);

// The panel after a failure with no earlier data: the hint as description,
// every value empty.
TPanelTexts FailurePanelTexts(const QString &errorMessage);

// The error icon's hint: lc_ConnFail, then ": " and the message when there is one.
QString FailureHint(const QString &errorMessage);

// `decimals` fixed decimals with the locale's separator and no group
// separators; "–" when the value is not finite.
QString FormatNumber(double value, int decimals, const QLocale &locale);
inline constexpr int kNoDecimals = 0;
inline constexpr int kOneDecimal = 1;
inline constexpr int kTwoDecimals = 2;
inline constexpr double kPercent = 100.0; // a share of 1 as a percentage

// "label: value", as every value of the panel, the rows and the hours is shown.
QString Labelled(const QString &label, const QString &value);
// The number, then a space and the units where there are any.
QString WithUnits(const QString &number, const QString &units);

// The description: the condition text with its first letter in upper case,
// and ", " and the wind word's condition text when the service's wind word
// names one.
QString DescriptionText(const TWeatherRecord &record, const TLanguageManager &app,
                        const TLanguageManager &reference);
