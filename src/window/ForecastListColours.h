// The colours the forecast list paints with: its own until the first theme
// change, then the ones the theme's title bar and header give it.
#pragma once

#include "ThemeColor.h"

#include <QColor>

#include <array>
#include <vector>

inline constexpr int kForecastColumnCount = 4;
// The selected row: the selection colour blended over it at this opacity (of
// 255), so the row stays readable under it.
inline constexpr int kSelectionAlpha = 96;
// The least contrast of any text against the colour it is drawn on.
inline constexpr double kLeastTextContrast = 4.5;
// How far apart (the sum of the channels' differences) the weekend's text
// colour stays from the weekdays'.
inline constexpr int kWeekendApart = 60;

struct TForecastListColours {
    QColor Background{68, 68, 68};
    QColor Text{255, 255, 255};
    QColor Grid{128, 128, 128};
    std::array<QColor, kForecastColumnCount> Columns{
        QColor(78, 77, 73), QColor(38, 38, 36), QColor(38, 38, 36), QColor(78, 77, 73)};
    // The selected row: a rectangle of this colour blended over it, and its border.
    QColor Selection{51, 153, 255};
    QColor SelectionBorder{51, 153, 255};
    // Saturdays and Sundays; in italics where no colour both reads on every
    // column and differs from the weekdays'.
    QColor Weekend{255, 255, 255};
    bool WeekendItalic = false;
};

// The weekend colour from the header bar's painted colour: its luminance
// raised by half the way to white.
QColor WeekendColour(TColor headerPainted);

// The contrast of two colours, from 1 (the same lightness) to 21 (black on
// white), from their relative luminance as the accessibility guidelines count.
double ContrastRatio(const QColor &a, const QColor &b);

// Every colour the list's texts are drawn on: each column, plain and under
// the selection.
std::vector<QColor> TextBackgrounds(const TForecastListColours &colours);

// `preferred` when it reads at kLeastTextContrast on every background; else
// the least changed colour that does, made lighter or darker.
QColor ReadableOn(const QColor &preferred, const std::vector<QColor> &backgrounds);

// The sum of the differences of two colours' channels.
int ColourDistance(const QColor &a, const QColor &b);

// `colours` after a theme change: the selection and the picture and
// description columns take the title bar's painted colour, the date and moon
// columns the theme's control colour; the weekend follows the header. The
// texts, white and the weekend's colour, are then made readable on every
// column: lighter or darker where a theme's colours are too close to them.
// Where that leaves the weekend too close to the weekdays, it takes the
// header's own colour, else a blue, else black or white, made readable the
// same way.
TForecastListColours ThemedListColours(TForecastListColours colours, TColor titleBarPainted,
                                       TColor controlColour, TColor headerPainted);
