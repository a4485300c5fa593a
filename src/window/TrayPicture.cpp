#include "TrayPicture.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QVector>

#include <algorithm>
#include <cmath>

namespace {

// Dark enough against every light colour of the digits and every light panel.
const QColor kHaloColour(0x12, 0x16, 0x1e);

// The size the digits' outlines are taken at before they are scaled.
constexpr int kReferencePixels = 200;
// The halo's width outside the figures, per pixel of the picture, and its least.
constexpr qreal kHaloPerPixel = 1.0 / 16.0;
constexpr qreal kMinHalo = 1.0;
// Whole dark pixel columns between the figures, so that the light of one never
// meets the next: one at the smallest sizes.
constexpr int kMinGap = 1;
constexpr qreal kGapPerPixel = 1.0 / 24.0;
// How narrow the digits may be drawn before they are made smaller instead.
constexpr qreal kMinSqueeze = 0.5;
constexpr qreal kSqueezeStep = 0.02;
// The minus bar, as a share of the digits' height, with its least in pixels.
constexpr qreal kMinusWidth = 0.45;
constexpr qreal kMinMinusWidth = 3.0;
constexpr qreal kMinusThickness = 0.16;
constexpr qreal kMinMinusThickness = 2.0;
// Where the bar's middle stands, from the digits' top: a little above their middle.
constexpr qreal kMinusHeight = 0.52;
// The degree sign: a ring at the digits' top.
constexpr qreal kRingDiameter = 0.42;
constexpr qreal kRingThickness = 0.14;
constexpr qreal kMinRingThickness = 1.2;
// The degree sign stays while the digits keep this share of the height they
// would have without it.
constexpr qreal kUnitKeepShare = 0.85;

QFont DigitFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Bold);
    font.setPixelSize(kReferencePixels);
    return font;
}

// The digits' outlines at the reference size, each with its ink's left at 0 and
// the top of the tallest at 0; Height is that of the tallest.
struct TDigitOutlines {
    QVector<QPainterPath> Paths;
    QVector<qreal> Widths;
    qreal Height = 0;
};

TDigitOutlines DigitOutlines(const QString &digits)
{
    const QFont font = DigitFont();
    TDigitOutlines outlines;
    QVector<QPainterPath> raw;
    QRectF all;
    for (const QChar c : digits) {
        QPainterPath path;
        path.addText(0, 0, font, QString(c));
        raw << path;
        all = all.united(path.boundingRect());
    }
    outlines.Height = all.height();
    for (const QPainterPath &path : raw) {
        const QRectF ink = path.boundingRect();
        outlines.Paths << path.translated(-ink.left(), -all.top());
        outlines.Widths << ink.width();
    }
    return outlines;
}

// The figures' sizes for one picture, in device pixels.
struct TFit {
    qreal DigitHeight = 0;
    qreal Squeeze = 1;
    bool Unit = false;
};

qreal Halo(int pixels)
{
    return std::max(kMinHalo, pixels * kHaloPerPixel);
}

int Gap(int pixels)
{
    return std::max(kMinGap, static_cast<int>(std::lround(pixels * kGapPerPixel)));
}

// Where each figure of these widths starts: on the first whole pixel after the
// one before, and the gap, so the dark columns between them are whole ones.
// The last entry is where the figures end.
QVector<qreal> FigurePlaces(const QVector<qreal> &widths, int gap)
{
    QVector<qreal> places;
    qreal x = 0;
    for (const qreal width : widths) {
        places << x;
        x = std::ceil(x + width) + gap;
    }
    places << (widths.isEmpty() ? 0 : places.back() + widths.back());
    return places;
}

qreal MinusWidth(qreal digitHeight, qreal squeeze)
{
    return std::max(kMinMinusWidth, kMinusWidth * digitHeight * squeeze);
}

qreal RingThickness(qreal digitHeight)
{
    return std::max(kMinRingThickness, kRingThickness * digitHeight);
}

qreal RingDiameter(qreal digitHeight)
{
    return std::max(kRingDiameter * digitHeight, 3 * RingThickness(digitHeight));
}

// The figures' widths at a digit height and squeeze, in their order.
QVector<qreal> FigureWidths(const TTrayReading &reading, const TDigitOutlines &outlines, bool unit, qreal height,
                            qreal squeeze)
{
    QVector<qreal> widths;
    if (reading.Negative)
        widths << std::round(MinusWidth(height, squeeze));
    for (const qreal width : outlines.Widths)
        widths << width * height / outlines.Height * squeeze;
    if (unit)
        widths << RingDiameter(height);
    return widths;
}

// The tallest digits whose figures fit `room` pixels wide and high, narrowed
// first as far as they may be.
TFit FitFigures(const TTrayReading &reading, const TDigitOutlines &outlines, bool unit, qreal room, int gap)
{
    TFit fit;
    fit.Unit = unit;
    for (fit.DigitHeight = std::floor(room); fit.DigitHeight > 1; fit.DigitHeight -= 1) {
        for (fit.Squeeze = 1.0; fit.Squeeze >= kMinSqueeze; fit.Squeeze -= kSqueezeStep) {
            if (FigurePlaces(FigureWidths(reading, outlines, unit, fit.DigitHeight, fit.Squeeze), gap).back() <= room)
                return fit;
        }
    }
    fit.Squeeze = kMinSqueeze;
    return fit;
}

qreal Room(int pixels)
{
    return pixels - 2 * Halo(pixels);
}

TFit ChooseFit(const TTrayReading &reading, const TDigitOutlines &outlines, int pixels)
{
    const qreal room = Room(pixels);
    const int gap = Gap(pixels);
    const TFit without = FitFigures(reading, outlines, false, room, gap);
    const TFit with = FitFigures(reading, outlines, true, room, gap);
    return with.DigitHeight >= kUnitKeepShare * without.DigitHeight ? with : without;
}

// The figures' outlines, placed in the picture.
QVector<QPainterPath> PlaceFigures(const TTrayReading &reading, const TDigitOutlines &outlines, const TFit &fit,
                                   int pixels)
{
    const qreal height = fit.DigitHeight;
    const qreal scale = height / outlines.Height;
    const QVector<qreal> widths = FigureWidths(reading, outlines, fit.Unit, height, fit.Squeeze);
    const QVector<qreal> places = FigurePlaces(widths, Gap(pixels));
    QVector<QPainterPath> figures;
    int figure = 0;
    if (reading.Negative) {
        const qreal thickness = std::max(kMinMinusThickness, std::round(kMinusThickness * height));
        const qreal y = std::round(kMinusHeight * height - thickness / 2);
        QPainterPath bar;
        bar.addRect(QRectF(places[figure], y, widths[figure], thickness));
        figures << bar;
        ++figure;
    }
    for (const QPainterPath &digit : outlines.Paths) {
        QTransform place;
        place.translate(places[figure], 0);
        place.scale(scale * fit.Squeeze, scale);
        figures << place.map(digit);
        ++figure;
    }
    if (fit.Unit) {
        const qreal x = places[figure];
        const qreal diameter = widths[figure], thickness = RingThickness(height);
        QPainterPath ring;
        ring.setFillRule(Qt::OddEvenFill);
        ring.addEllipse(QRectF(x, 0, diameter, diameter));
        ring.addEllipse(QRectF(x + thickness, thickness, diameter - 2 * thickness, diameter - 2 * thickness));
        figures << ring;
    }
    // Centred in the square, on whole pixels.
    const qreal left = std::floor((pixels - places.back()) / 2);
    const qreal top = std::floor((pixels - height) / 2);
    for (QPainterPath &path : figures)
        path.translate(left, top);
    return figures;
}

} // namespace

bool TrayPictureShowsUnit(const TTrayReading &reading, int pixels)
{
    return reading.Valid && ChooseFit(reading, DigitOutlines(reading.Digits), pixels).Unit;
}

QImage DrawTrayTemperature(const TTrayReading &reading, int pixels)
{
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (!reading.Valid || reading.Digits.isEmpty() || pixels <= 0)
        return image;
    const TDigitOutlines outlines = DigitOutlines(reading.Digits);
    const QVector<QPainterPath> figures = PlaceFigures(reading, outlines, ChooseFit(reading, outlines, pixels), pixels);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // All halos first: a figure's halo must never cover its neighbour's light.
    const QPen halo(kHaloColour, 2 * Halo(pixels), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    for (const QPainterPath &figure : figures)
        painter.strokePath(figure, halo);
    for (const QPainterPath &figure : figures)
        painter.fillPath(figure, reading.Colour);
    return image;
}

QIcon TrayTemperatureIcon(const TTrayReading &reading)
{
    if (!reading.Valid)
        return {};
    QIcon icon;
    for (const int size : kTrayPictureSizes)
        icon.addPixmap(QPixmap::fromImage(DrawTrayTemperature(reading, size)));
    return icon;
}
