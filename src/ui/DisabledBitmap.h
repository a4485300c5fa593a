// Greying of a disabled control's picture.
#pragma once

#include "ThemeColor.h"

#include <QImage>

struct TDisabledBitmapFactors
{
    double RedFactor = 0.299;
    double GreenFactor = 0.587;
    double BlueFactor = 0.114;
    bool Enabled = true;

    void SetDefaults() { *this = TDisabledBitmapFactors(); }
};

// The picture drawn on an opaque background; every pixel that differs from the
// background becomes a grey weighted by the factors (a flat mid grey when the
// factors are off).
QImage GreyedImage(const QImage &image, TColor background, const TDisabledBitmapFactors &factors);
