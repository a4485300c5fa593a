#include "DisabledBitmap.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kFlatGrey = 128;
constexpr int kChannelMax = 255;

} // namespace

QImage GreyedImage(const QImage &image, TColor background, const TDisabledBitmapFactors &factors)
{
    QImage result(image.size(), QImage::Format_RGB32);
    if (result.isNull())
        return result;
    result.setDevicePixelRatio(image.devicePixelRatio()); // pixel for pixel, at the picture's density
    QColor back = ToQColor(background);
    if (!back.isValid())
        back = Qt::white;
    result.fill(back);
    {
        QPainter painter(&result);
        painter.drawImage(0, 0, image);
    }
    const QRgb backRgb = back.rgb();
    for (int y = 0; y < result.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const QRgb pixel = line[x];
            if (pixel == backRgb)
                continue;
            int grey = kFlatGrey;
            if (factors.Enabled) {
                const double weighted = qRed(pixel) * factors.RedFactor + qGreen(pixel) * factors.GreenFactor
                                        + qBlue(pixel) * factors.BlueFactor;
                grey = std::clamp(int(std::lround(weighted)), 0, kChannelMax);
            }
            line[x] = qRgb(grey, grey, grey);
        }
    }
    return result;
}
