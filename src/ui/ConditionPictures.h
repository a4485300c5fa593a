// The program's own condition pictures: drawings kept as SVG in the program's
// resources, one per picture name the services' conditions map to ("01d" …
// "50n"), rendered at the screen's density so they are sharp at any scale.
// Safe to use from any thread.
#pragma once

#include <QImage>
#include <QString>

// The drawing's name for a condition picture name: "10d.png" and "10d" both
// give "10d"; a name without a drawing gives the day drawing of its two-digit
// group when there is one ("10x" → "10d"), else an empty text.
QString ConditionDrawingName(const QString &icon);

// The drawing for `icon` (see ConditionDrawingName) on a square of
// `logicalSize` logical pixels at `ratio` device pixels per logical pixel: an
// image of logicalSize×ratio pixels (rounded) with that ratio set. Null for a
// name without a drawing, a size below one pixel or a ratio that is not a
// positive number. Images are kept once rendered, per name, size and ratio.
QImage RenderConditionPicture(const QString &icon, int logicalSize, qreal ratio);
