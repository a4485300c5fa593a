#include "Icons.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

constexpr int kSize = 50;

const QColor kSun(255, 196, 0);
const QColor kMoon(236, 236, 200);
const QColor kLightCloud(238, 242, 246);
const QColor kGreyCloud(176, 184, 192);
const QColor kDarkCloud(112, 120, 132);
const QColor kRain(64, 132, 230);
const QColor kSnow(250, 250, 255);
const QColor kBolt(255, 214, 32);
const QColor kMist(200, 204, 210);

void DrawSun(QPainter &p, QPointF centre, qreal radius)
{
    p.setPen(QPen(kSun, 2.5, Qt::SolidLine, Qt::RoundCap));
    for (int ray = 0; ray < 8; ++ray) {
        const qreal angle = ray * M_PI / 4;
        const QPointF direction(qCos(angle), qSin(angle));
        p.drawLine(centre + direction * radius * 1.35, centre + direction * radius * 1.8);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(kSun);
    p.drawEllipse(centre, radius, radius);
}

void DrawMoon(QPainter &p, QPointF centre, qreal radius)
{
    QPainterPath disc;
    disc.addEllipse(centre, radius, radius);
    QPainterPath shadow;
    shadow.addEllipse(centre + QPointF(radius * 0.55, -radius * 0.3), radius * 0.9, radius * 0.9);
    p.setPen(Qt::NoPen);
    p.setBrush(kMoon);
    p.drawPath(disc.subtracted(shadow));
}

void DrawSky(QPainter &p, bool day, QPointF centre, qreal radius)
{
    if (day)
        DrawSun(p, centre, radius);
    else
        DrawMoon(p, centre, radius);
}

// A cloud filling `box`: three puffs on a flat base.
void DrawCloud(QPainter &p, const QRectF &box, const QColor &colour)
{
    const qreal w = box.width();
    const qreal h = box.height();
    QPainterPath cloud;
    cloud.setFillRule(Qt::WindingFill); // the puffs overlap; their union is the cloud
    cloud.addRoundedRect(QRectF(box.left(), box.top() + h * 0.45, w, h * 0.55), h * 0.27, h * 0.27);
    cloud.addEllipse(QRectF(box.left() + w * 0.1, box.top() + h * 0.25, w * 0.4, h * 0.6));
    cloud.addEllipse(QRectF(box.left() + w * 0.35, box.top(), w * 0.5, h * 0.8));
    p.setPen(QPen(colour.darker(125), 1));
    p.setBrush(colour);
    p.drawPath(cloud.simplified());
}

void DrawRain(QPainter &p, int drops, qreal top)
{
    p.setPen(QPen(kRain, 2.2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < drops; ++i) {
        const qreal x = 14 + i * (24.0 / qMax(1, drops - 1));
        p.drawLine(QPointF(x, top), QPointF(x - 3, top + 8));
    }
}

void DrawSnow(QPainter &p, qreal top)
{
    p.setPen(QPen(kSnow.darker(115), 1.6, Qt::SolidLine, Qt::RoundCap));
    for (const QPointF centre : {QPointF(15, top + 5), QPointF(25, top + 9), QPointF(35, top + 4)}) {
        for (int arm = 0; arm < 3; ++arm) {
            const qreal angle = arm * M_PI / 3;
            const QPointF d(qCos(angle) * 4, qSin(angle) * 4);
            p.drawLine(centre - d, centre + d);
        }
    }
}

void DrawBolt(QPainter &p)
{
    const QPointF bolt[] = {{27, 30}, {19, 41}, {25, 41}, {21, 49}, {33, 36}, {27, 36}, {31, 30}};
    p.setPen(QPen(kBolt.darker(130), 1));
    p.setBrush(kBolt);
    p.drawPolygon(bolt, 7);
}

void DrawMist(QPainter &p)
{
    p.setPen(QPen(kMist, 3.5, Qt::SolidLine, Qt::RoundCap));
    for (int line = 0; line < 5; ++line) {
        const qreal y = 12 + line * 6.5;
        const qreal inset = (line % 2) * 5;
        p.drawLine(QPointF(8 + inset, y), QPointF(42 - inset, y));
    }
}

void Draw(QPainter &p, const QString &kind, bool day)
{
    const QRectF cloudBox(7, 14, 36, 22);
    if (kind == QLatin1String("01")) {
        DrawSky(p, day, QPointF(25, 25), 10);
    } else if (kind == QLatin1String("02")) {
        DrawSky(p, day, QPointF(19, 18), 8);
        DrawCloud(p, QRectF(14, 22, 30, 18), kLightCloud);
    } else if (kind == QLatin1String("03")) {
        DrawCloud(p, cloudBox, kLightCloud);
    } else if (kind == QLatin1String("04")) {
        DrawCloud(p, QRectF(14, 8, 32, 20), kDarkCloud);
        DrawCloud(p, QRectF(5, 18, 34, 21), kGreyCloud);
    } else if (kind == QLatin1String("09")) {
        DrawCloud(p, QRectF(7, 6, 36, 22), kGreyCloud);
        DrawRain(p, 4, 32);
    } else if (kind == QLatin1String("10")) {
        DrawSky(p, day, QPointF(33, 13), 7);
        DrawCloud(p, QRectF(6, 10, 34, 20), kLightCloud);
        DrawRain(p, 3, 34);
    } else if (kind == QLatin1String("11")) {
        DrawCloud(p, QRectF(7, 6, 36, 22), kDarkCloud);
        DrawBolt(p);
    } else if (kind == QLatin1String("13")) {
        DrawCloud(p, QRectF(7, 6, 36, 22), kLightCloud);
        DrawSnow(p, 32);
    } else {
        DrawMist(p);
    }
}

QByteArray Png(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

QMap<QString, QByteArray> DrawIcons()
{
    static const char *kinds[] = {"01", "02", "03", "04", "09", "10", "11", "13", "50"};
    QMap<QString, QByteArray> icons;
    for (const char *kind : kinds) {
        for (const bool day : {true, false}) {
            QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            {
                QPainter painter(&image);
                painter.setRenderHint(QPainter::Antialiasing);
                Draw(painter, QString::fromLatin1(kind), day);
            }
            icons.insert(QString::fromLatin1(kind) + (day ? QLatin1Char('d') : QLatin1Char('n')), Png(image));
        }
    }
    return icons;
}
