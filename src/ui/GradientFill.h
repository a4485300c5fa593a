// Banded fills of a rectangle from a colour to an end colour.
#pragma once

#include "ControlLook.h"

#include <QRect>

class QPainter;

// Fills with `color` alone when the gradient is off or has a single colour;
// otherwise in bands whose colours step from one end to the other.
void FillGradient(QPainter &painter, const QRect &rect, TColor color, TColor endColor,
                  const TGradientLook &gradient);
