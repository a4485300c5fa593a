#include "AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

constexpr qreal kGrid = 64.0;
const QColor kSun(255, 196, 40);
const QColor kSunRim(214, 128, 0);
const QColor kCloud(246, 248, 252);
const QColor kCloudRim(96, 112, 136);
constexpr int kRays = 8;
constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128};

} // namespace

QImage DrawApplicationPicture(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kGrid, size / kGrid);

    const QPointF sun(24.0, 24.0);
    painter.setPen(QPen(kSunRim, 3.0, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < kRays; ++i) {
        const qreal angle = 2.0 * M_PI * i / kRays;
        const QPointF direction(qCos(angle), qSin(angle));
        painter.drawLine(sun + direction * 16.0, sun + direction * 22.0);
    }
    painter.setBrush(kSun);
    painter.drawEllipse(sun, 12.0, 12.0);

    QPainterPath left, top, right, base;
    left.addEllipse(QPointF(26.0, 44.0), 12.0, 10.0);
    top.addEllipse(QPointF(40.0, 36.0), 14.0, 14.0);
    right.addEllipse(QPointF(52.0, 46.0), 9.0, 8.0);
    base.addRoundedRect(QRectF(16.0, 42.0, 44.0, 12.0), 6.0, 6.0);
    const QPainterPath cloud = left.united(top).united(right).united(base);
    painter.setPen(QPen(kCloudRim, 2.5));
    painter.setBrush(kCloud);
    painter.drawPath(cloud);
    return image;
}

QIcon ApplicationIcon()
{
    QIcon icon;
    for (const int size : kIconSizes)
        icon.addPixmap(QPixmap::fromImage(DrawApplicationPicture(size)));
    return icon;
}
