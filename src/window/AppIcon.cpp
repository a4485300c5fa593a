#include "AppIcon.h"

#include <QApplication>
#include <QHash>
#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QStyle>
#include <QStyleOption>
#include <QtMath>

#include <algorithm>

namespace {

// The installed icon's drawing (data/desktop), on a grid of a quarter of its
// 256 units, so that the window, the tray and the menu show the same picture.
constexpr qreal kGrid = 64.0;
constexpr int kRays = 8;
constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128};

const QColor kSunRim(0xe0, 0x7b, 0x00);
const QColor kRay(0xf3, 0x92, 0x00);
const QColor kSunCentre(0xff, 0xf3, 0xa0);
const QColor kSunMiddle(0xff, 0xc9, 0x28);
const QColor kSunEdge(0xf3, 0x92, 0x00);
const QColor kCloudTop(0xff, 0xff, 0xff);
const QColor kCloudBottom(0xd9, 0xe2, 0xee);
const QColor kCloudRim(0x5b, 0x6b, 0x88);
const QColor kCloudShadow(0x4d, 0x5d, 0x7a, 89); // 35 % opaque
const QColor kMoonLight(0xf4, 0xf7, 0xff);
const QColor kMoonDark(0xb9, 0xc6, 0xe4);
const QColor kMoonRim(0x6f, 0x7f, 0xa6);

// The cloud's three puffs and its base, its rim's outer edge included.
QPainterPath CloudShape()
{
    QPainterPath puffs[4];
    puffs[0].addEllipse(QPointF(26.5, 42.5), 9.5, 9.5);
    puffs[1].addEllipse(QPointF(38.0, 36.5), 12.0, 12.0);
    puffs[2].addEllipse(QPointF(49.5, 44.0), 8.0, 8.0);
    puffs[3].addRoundedRect(QRectF(14.5, 42.5, 43.0, 12.0), 6.0, 6.0);
    return puffs[0].united(puffs[1]).united(puffs[2]).united(puffs[3]);
}

void DrawMoon(QPainter &painter)
{
    // The evening's crescent: a disc with a smaller one taken out of it.
    QPainterPath disc, bite;
    disc.addEllipse(QPointF(50.0, 14.5), 6.5, 6.5);
    bite.addEllipse(QPointF(52.8, 12.46), 5.5, 5.5);
    const QPainterPath crescent = disc.subtracted(bite);
    const QRectF bounds = crescent.boundingRect();
    QLinearGradient fill(bounds.topLeft(), bounds.bottomRight());
    fill.setColorAt(0.0, kMoonLight);
    fill.setColorAt(1.0, kMoonDark);
    painter.setPen(QPen(kMoonRim, 0.75, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(fill);
    painter.drawPath(crescent);
}

void DrawSun(QPainter &painter)
{
    const QPointF sun(25.0, 25.0);
    painter.setPen(QPen(kRay, 3.0, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < kRays; ++i) {
        const qreal angle = 2.0 * M_PI * i / kRays;
        const QPointF direction(qCos(angle), qSin(angle));
        painter.drawLine(sun + direction * 15.5, sun + direction * 20.5);
    }
    constexpr qreal kRadius = 12.5;
    // The light's centre and reach as fractions of the disc's bounding square.
    const QRectF box(sun.x() - kRadius, sun.y() - kRadius, 2 * kRadius, 2 * kRadius);
    QRadialGradient fill(QPointF(box.left() + 0.42 * box.width(), box.top() + 0.38 * box.height()),
                         0.7 * box.width());
    fill.setColorAt(0.0, kSunCentre);
    fill.setColorAt(0.55, kSunMiddle);
    fill.setColorAt(1.0, kSunEdge);
    painter.setPen(QPen(kSunRim, 1.0));
    painter.setBrush(fill);
    painter.drawEllipse(sun, kRadius, kRadius);
}

void DrawCloud(QPainter &painter)
{
    const QPainterPath rimmed = CloudShape();
    painter.setPen(Qt::NoPen);
    painter.setBrush(kCloudShadow);
    painter.drawPath(rimmed.translated(1.0, 2.0));
    QLinearGradient fill(QPointF(0.0, 24.5), QPointF(0.0, 54.5));
    fill.setColorAt(0.0, kCloudTop);
    fill.setColorAt(1.0, kCloudBottom);
    painter.setPen(QPen(kCloudRim, 1.0));
    painter.setBrush(fill);
    painter.drawPath(rimmed);
}

} // namespace

QImage DrawApplicationPicture(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kGrid, size / kGrid);
    DrawMoon(painter);
    DrawSun(painter);
    DrawCloud(painter);
    return image;
}

namespace {

// Draws the picture at a size when it is first asked for: a session that asks
// for none (the window's icon under Wayland, no tray) draws none at start, and
// a size between the usual ones is drawn sharp rather than scaled.
class TApplicationIconEngine : public QIconEngine
{
public:
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        const int side = std::min(size.width(), size.height());
        if (side <= 0)
            return QPixmap();
        auto found = FPixmaps.constFind(side);
        if (found == FPixmaps.constEnd())
            found = FPixmaps.insert(side, QPixmap::fromImage(DrawApplicationPicture(side)));
        if (mode == QIcon::Normal || mode == QIcon::Active)
            return *found;
        Q_UNUSED(state);
        QStyleOption option;
        return QApplication::style()->generatedIconPixmap(mode, *found, &option);
    }
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap picture = pixmap(rect.size() * ratio, mode, state);
        picture.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect.topLeft(), picture);
    }
    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int side = std::min(size.width(), size.height());
        return QSize(side, side);
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (const int side : kIconSizes)
            sizes << QSize(side, side);
        return sizes;
    }
    QIconEngine *clone() const override { return new TApplicationIconEngine(*this); }

private:
    QHash<int, QPixmap> FPixmaps;
};

} // namespace

QIcon ApplicationIcon()
{
    return QIcon(new TApplicationIconEngine);
}
