#include "GradientFill.h"

#include <QPainter>

#include <algorithm>

namespace {

int Step(int from, int to, int band, int bands)
{
    return from + band * (to - from) / bands;
}

} // namespace

void FillGradient(QPainter &painter, const QRect &rect, TColor color, TColor endColor,
                  const TGradientLook &gradient)
{
    if (rect.isEmpty() || color == kColorNone)
        return;
    if (!gradient.Enabled() || gradient.ColorCount() <= 1 || endColor == kColorNone) {
        painter.fillRect(rect, ToQColor(color));
        return;
    }
    const TGradientDirection direction = gradient.Direction();
    const bool vertical = direction == gdTopToBottom || direction == gdBottomToTop;
    const bool forward = direction == gdTopToBottom || direction == gdLeftToRight;
    const int extent = vertical ? rect.height() : rect.width();
    const TColor from = ColorToRGB(forward ? color : endColor);
    const TColor to = ColorToRGB(forward ? endColor : color);
    const int bands = from == to ? 1 : std::max(2, std::min<int>(gradient.ColorCount(), extent));

    auto bandStart = [&](int band) { return (2 * band * extent + bands) / (2 * bands); };
    for (int band = 0; band < bands; ++band) {
        const int start = bandStart(band);
        const int end = std::min(extent, bandStart(band + 1) + 1);
        const QColor shade(Step(RedOf(from), RedOf(to), band, bands), Step(GreenOf(from), GreenOf(to), band, bands),
                           Step(BlueOf(from), BlueOf(to), band, bands));
        const QRect part = vertical ? QRect(rect.left(), rect.top() + start, rect.width(), end - start)
                                    : QRect(rect.left() + start, rect.top(), end - start, rect.height());
        painter.fillRect(part, shade);
    }
}
