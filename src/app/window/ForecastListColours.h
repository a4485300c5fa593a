// The colours the forecast list paints with: its own until the first theme
// change, then the ones the theme's title bar and header give it.
#pragma once

#include "ThemeColor.h"

#include <QColor>

#include <array>

inline constexpr int kForecastColumnCount = 4;

struct TForecastListColours {
    QColor Background{68, 68, 68};
    QColor Text{255, 255, 255};
    QColor Grid{128, 128, 128};
    std::array<QColor, kForecastColumnCount> Columns{
        QColor(78, 77, 73), QColor(38, 38, 36), QColor(38, 38, 36), QColor(78, 77, 73)};
    // The selected row: a rectangle of this colour blended over it, and its border.
    QColor Selection{51, 153, 255};
    QColor SelectionBorder{51, 153, 255};
    // Saturdays and Sundays.
    QColor Weekend{255, 255, 255};
};

// The weekend colour from the header bar's painted colour: its luminance
// raised by half the way to white.
QColor WeekendColour(TColor headerPainted);

// `colours` after a theme change: the selection and the picture and
// description columns take the title bar's painted colour, the date and moon
// columns the theme's control colour; the weekend follows the header.
TForecastListColours ThemedListColours(TForecastListColours colours, TColor titleBarPainted,
                                       TColor controlColour, TColor headerPainted);
