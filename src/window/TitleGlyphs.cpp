#include "TitleGlyphs.h"

#include "ImageList.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QtMath>

namespace {

// Proportions on a 16-unit grid; the painter is scaled to the picture's size.
constexpr qreal kGrid = 16.0;
constexpr qreal kStroke = 1.6;
constexpr qreal kHaloStroke = 3.2;
constexpr int kHaloAlpha = 110;
constexpr int kGearTeeth = 8;
constexpr qreal kGearOuter = 6.6;
constexpr qreal kGearInner = 4.6;
constexpr qreal kGearHole = 2.0;
constexpr qreal kRefreshRadius = 5.0;
// Clockwise from the right side, round the bottom and over the top to the head,
// leaving a gap at the upper right.
constexpr qreal kRefreshStartDeg = -10.0;
constexpr qreal kRefreshSpanDeg = -285.0;
constexpr qreal kArrowHead = 3.4;

QPainterPath Chevron(bool down)
{
    QPainterPath path;
    const qreal tip = down ? 10.5 : 5.5, wing = down ? 5.5 : 10.5;
    path.moveTo(3.5, wing);
    path.lineTo(8.0, tip);
    path.lineTo(12.5, wing);
    return path;
}

QPainterPath Gear()
{
    QPainterPath path;
    const QPointF centre(8.0, 8.0);
    const int points = kGearTeeth * 4;
    for (int i = 0; i < points; ++i) {
        // Each tooth: two points on the outer circle, two on the inner one.
        const bool outer = (i % 4) == 1 || (i % 4) == 2;
        const qreal radius = outer ? kGearOuter : kGearInner;
        const qreal angle = 2.0 * M_PI * i / points;
        const QPointF point = centre + QPointF(radius * qCos(angle), radius * qSin(angle));
        if (i == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    path.closeSubpath();
    path.addEllipse(centre, kGearHole, kGearHole);
    return path;
}

QPainterPath RefreshArc()
{
    QPainterPath path;
    const QRectF circle(8.0 - kRefreshRadius, 8.0 - kRefreshRadius, 2 * kRefreshRadius, 2 * kRefreshRadius);
    path.arcMoveTo(circle, kRefreshStartDeg);
    path.arcTo(circle, kRefreshStartDeg, kRefreshSpanDeg);
    return path;
}

// The head at the arc's end, pointing along the direction of travel.
QPainterPath RefreshHead()
{
    const qreal end = qDegreesToRadians(kRefreshStartDeg + kRefreshSpanDeg);
    const QPointF tip(8.0 + kRefreshRadius * qCos(end), 8.0 - kRefreshRadius * qSin(end));
    // Clockwise travel on screen (y down): tangent (sin, cos).
    const QPointF along(qSin(end), qCos(end));
    const QPointF across(along.y(), -along.x());
    QPainterPath head;
    head.moveTo(tip + along * (kArrowHead * 0.6));
    head.lineTo(tip - along * (kArrowHead * 0.5) + across * (kArrowHead * 0.7));
    head.lineTo(tip - along * (kArrowHead * 0.5) - across * (kArrowHead * 0.7));
    head.closeSubpath();
    return head;
}

void StrokeWithHalo(QPainter &painter, const QPainterPath &path, const QColor &color)
{
    QColor halo(Qt::black);
    halo.setAlpha(kHaloAlpha);
    painter.strokePath(path, QPen(halo, kHaloStroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.strokePath(path, QPen(color, kStroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void FillWithHalo(QPainter &painter, const QPainterPath &path, const QColor &color)
{
    QColor halo(Qt::black);
    halo.setAlpha(kHaloAlpha);
    painter.strokePath(path, QPen(halo, kHaloStroke - kStroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(path, color);
}

void DrawRefresh(QPainter &painter, const QColor &color)
{
    // Both halos first, so the head's does not cut into the arc.
    QColor halo(Qt::black);
    halo.setAlpha(kHaloAlpha);
    const QPainterPath arc = RefreshArc(), head = RefreshHead();
    QPainterPath both = QPainterPathStroker(QPen(halo, kStroke, Qt::SolidLine, Qt::RoundCap)).createStroke(arc);
    both = both.united(head);
    painter.strokePath(both, QPen(halo, kHaloStroke - kStroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(both, color);
}

void DrawTheme(QPainter &painter, const QColor &color)
{
    // A disc half filled: light and dark, the colours of a theme.
    const QRectF disc(2.5, 2.5, 11.0, 11.0);
    QPainterPath outline;
    outline.addEllipse(disc);
    QPainterPath half;
    half.moveTo(8.0, 2.5);
    half.arcTo(disc, 90.0, 180.0);
    half.closeSubpath();
    StrokeWithHalo(painter, outline, color);
    painter.fillPath(half, color);
}

} // namespace

QImage DrawTitleGlyph(TTitleGlyph glyph, int size, const QColor &color)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kGrid, size / kGrid);
    switch (glyph) {
    case tgRollDown:
        StrokeWithHalo(painter, Chevron(true), color);
        break;
    case tgRollUp:
        StrokeWithHalo(painter, Chevron(false), color);
        break;
    case tgTheme:
        DrawTheme(painter, color);
        break;
    case tgRefresh:
        DrawRefresh(painter, color);
        break;
    case tgSettings: {
        QPainterPath gear = Gear();
        gear.setFillRule(Qt::OddEvenFill);
        FillWithHalo(painter, gear, color);
        break;
    }
    }
    return image;
}

void AddTitleGlyphs(TImageList &images, const QColor &color)
{
    // Drawn for the densest screen, so they stay sharp at 1.5x and 2x.
    const qreal ratio = qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0;
    for (int glyph = 0; glyph < kTitleGlyphCount; ++glyph) {
        QImage picture = DrawTitleGlyph(static_cast<TTitleGlyph>(glyph), qRound(images.Width() * ratio), color);
        picture.setDevicePixelRatio(ratio);
        images.Add(picture);
    }
}
