// Colours and fonts of the main window's bars and labels, named once.
#pragma once

#include <QColor>
#include <QFont>

class QLabel;

namespace WindowLook {

inline const QColor kCream(255, 251, 240);
inline const QColor kWhite(255, 255, 255);
inline const QColor kBackground(0, 0, 0);

inline constexpr int kLabelPoints = 8;
inline constexpr int kLocationPoints = 11;

// The desktop's default family at a point size, so the layout holds on any
// desktop and at any scale.
QFont Font(int points, bool bold);

// A transparent label on a bar: text colour, font, no frame, no fill.
void StyleLabel(QLabel &label, const QColor &color, int points, bool bold);

} // namespace WindowLook
