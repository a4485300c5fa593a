#include "ForecastListColours.h"

#include "ColorAdjustLuma.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

constexpr int kWeekendLuma = 500; // thousandths, scaled to the distance to white

enum TColumn { cDate, cPicture, cDescription, cMoon };

// Weekend colours for themes whose own colours are all too close to the
// weekdays' text: one for dark columns, one for light ones.
const QColor kLightWeekendBlue(150, 200, 255);
const QColor kDarkWeekendBlue(0, 64, 160);
constexpr int kReadableSteps = 50; // from the preferred colour to white or black
constexpr int kOpaque = 255;

// The sRGB channel's linear value, as the luminance formula wants it.
double Linear(double channel)
{
    return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double RelativeLuminance(const QColor &colour)
{
    return 0.2126 * Linear(colour.redF()) + 0.7152 * Linear(colour.greenF()) + 0.0722 * Linear(colour.blueF());
}

// `over` at `alpha` (of 255) painted on `base`.
QColor Blend(const QColor &base, const QColor &over, int alpha)
{
    auto channel = [alpha](int b, int o) { return (b * (kOpaque - alpha) + o * alpha + kOpaque / 2) / kOpaque; };
    return QColor(channel(base.red(), over.red()), channel(base.green(), over.green()),
                  channel(base.blue(), over.blue()));
}

double LeastContrast(const QColor &text, const std::vector<QColor> &backgrounds)
{
    double least = std::numeric_limits<double>::infinity();
    for (const QColor &background : backgrounds)
        least = std::min(least, ContrastRatio(text, background));
    return least;
}

} // namespace

double ContrastRatio(const QColor &a, const QColor &b)
{
    constexpr double kFlare = 0.05;
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + kFlare) / (std::min(la, lb) + kFlare);
}

int ColourDistance(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}

std::vector<QColor> TextBackgrounds(const TForecastListColours &colours)
{
    std::vector<QColor> backgrounds;
    for (const QColor &column : colours.Columns) {
        backgrounds.push_back(column);
        backgrounds.push_back(Blend(column, colours.Selection, kSelectionAlpha));
    }
    return backgrounds;
}

QColor ReadableOn(const QColor &preferred, const std::vector<QColor> &backgrounds)
{
    if (LeastContrast(preferred, backgrounds) >= kLeastTextContrast)
        return preferred;
    // Step by step toward white and toward black; the first that reads wins.
    for (int step = 1; step <= kReadableSteps; ++step) {
        const int alpha = kOpaque * step / kReadableSteps;
        for (const QColor &end : {QColor(Qt::white), QColor(Qt::black)}) {
            const QColor candidate = Blend(preferred, end, alpha);
            if (LeastContrast(candidate, backgrounds) >= kLeastTextContrast)
                return candidate;
        }
    }
    // Backgrounds too far apart for any one colour: the better of the two ends.
    return LeastContrast(Qt::white, backgrounds) >= LeastContrast(Qt::black, backgrounds) ? QColor(Qt::white)
                                                                                          : QColor(Qt::black);
}

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
    const std::vector<QColor> backgrounds = TextBackgrounds(colours);
    colours.Text = ReadableOn(QColor(Qt::white), backgrounds);
    const QColor header = ToQColor(headerPainted);
    std::vector<QColor> weekends{colours.Weekend};
    if (header.isValid())
        weekends.push_back(header);
    // Last, the other end of the scale from the weekdays' text: on a column
    // that only white (or black) reads on at all, the weekend takes the other.
    weekends.insert(weekends.end(), {kLightWeekendBlue, kDarkWeekendBlue, QColor(Qt::black), QColor(Qt::white)});
    for (const QColor &candidate : weekends) {
        colours.Weekend = ReadableOn(candidate, backgrounds);
        if (ColourDistance(colours.Weekend, colours.Text) >= kWeekendApart)
            break;
    }
    colours.WeekendItalic = ColourDistance(colours.Weekend, colours.Text) < kWeekendApart;
    return colours;
}
