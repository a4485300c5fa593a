#include "BarTextColours.h"

#include "ForecastListColours.h"
#include "GradientFill.h"
#include "OmniBar.h"

#include <QLabel>
#include <QPalette>

std::vector<QColor> BarBackgrounds(const TOmniBar &bar)
{
    const TLookSet look = bar.PaintedLookSet();
    std::vector<QColor> backgrounds{ToQColor(look.Color)};
    const TGradientLook &gradient = bar.ControlLook().Gradient(giColor);
    if (gradient.Enabled() && gradient.ColorCount() > 1 && look.ColorEnd != kColorNone)
        backgrounds.push_back(ToQColor(look.ColorEnd));
    return backgrounds;
}

QColor ReadableOnBar(const QColor &preferred, const TOmniBar &bar)
{
    return ReadableOn(preferred, BarBackgrounds(bar));
}

void ColourLabelOnBar(QLabel &label, const QColor &preferred, const TOmniBar &bar)
{
    const QColor colour = ReadableOnBar(preferred, bar);
    QPalette palette = label.palette();
    if (palette.color(QPalette::WindowText) == colour)
        return;
    palette.setColor(QPalette::WindowText, colour);
    label.setPalette(palette);
}
