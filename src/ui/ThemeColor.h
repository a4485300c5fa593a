// Theme colours as stored: 32-bit values with red in the lowest byte, a high
// byte of 0xFF naming a system colour, and one reserved value for "no colour".
// They become QColor only for painting.
#pragma once

#include "ColorAdjustLuma.h"

#include <QColor>

#include <cstdint>

using TColor = std::uint32_t;

constexpr TColor kColorNone = 0x1FFFFFFF;
constexpr TColor kSystemColorFlag = 0xFF000000;

// System colours by their classic index; each is looked up in the application palette.
constexpr TColor kSysWindow = kSystemColorFlag | 5;
constexpr TColor kSysWindowText = kSystemColorFlag | 8;
constexpr TColor kSysHighlight = kSystemColorFlag | 13;
constexpr TColor kSysHighlightText = kSystemColorFlag | 14;
constexpr TColor kSysButtonFace = kSystemColorFlag | 15;
constexpr TColor kSysButtonShadow = kSystemColorFlag | 16;
constexpr TColor kSysGrayText = kSystemColorFlag | 17;
constexpr TColor kSysButtonText = kSystemColorFlag | 18;

// #RRGGBB as written in texts to the stored layout.
constexpr TColor ColorFromHex(std::uint32_t rrggbb)
{
    return RgbColor(int(rrggbb >> 16), int(rrggbb >> 8), int(rrggbb));
}

constexpr bool IsSystemColor(TColor c) { return (c & 0xFF000000u) == kSystemColorFlag; }

// RGB value of a colour, system colours resolved; "none" stays as it is.
TColor ColorToRGB(TColor c);
// Painting colour; "none" gives an invalid QColor.
QColor ToQColor(TColor c);
TColor FromQColor(const QColor &c);
// "#RRGGBB" (system colours resolved), or "none".
QString ColorName(TColor c);
