#include "ForecastListColours.h"

#include "ColorAdjustLuma.h"

namespace {

constexpr int kWeekendLuma = 500; // thousandths, scaled to the distance to white

enum TColumn { cDate, cPicture, cDescription, cMoon };

} // namespace

QColor WeekendColour(TColor headerPainted)
{
    const TColor rgb = ColorToRGB(headerPainted);
    if (rgb == kColorNone)
        return QColor(255, 255, 255);
    return ToQColor(ColorAdjustLuma(rgb, kWeekendLuma, true));
}

TForecastListColours ThemedListColours(TForecastListColours colours, TColor titleBarPainted,
                                       TColor controlColour, TColor headerPainted)
{
    const QColor title = ToQColor(titleBarPainted);
    const QColor control = ToQColor(controlColour);
    // A look without a colour leaves what the list had.
    if (title.isValid()) {
        colours.Selection = title;
        colours.SelectionBorder = title;
        colours.Columns[cPicture] = title;
        colours.Columns[cDescription] = title;
    }
    if (control.isValid()) {
        colours.Columns[cDate] = control;
        colours.Columns[cMoon] = control;
    }
    if (ToQColor(headerPainted).isValid())
        colours.Weekend = WeekendColour(headerPainted);
    return colours;
}
