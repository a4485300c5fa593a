#include "DialogPictures.h"

#include "ServiceAttribution.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kGlyphSize = 16;
const QColor kSearchGrey(128, 128, 128);
const QColor kFoundGreen(40, 160, 60);
const QColor kNotFoundRed(208, 32, 32);
const QColor kSunYellow(255, 196, 40);
const QColor kCloudWhite(240, 244, 250);
const QColor kServiceOrange(235, 110, 75);
const QColor kServiceText(72, 72, 76);
const QColor kOpenMeteoBlue(40, 120, 200);

QPixmap Blank(int width, int height)
{
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A magnifying glass: not searched yet.
void DrawLens(QPainter &painter)
{
    painter.setPen(QPen(kSearchGrey, 2.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(2, 2, 8.5, 8.5));
    painter.setPen(QPen(kSearchGrey, 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(10, 10), QPointF(14, 14));
}

void DrawCheck(QPainter &painter)
{
    painter.setPen(QPen(kFoundGreen, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath path(QPointF(3, 8.5));
    path.lineTo(6.5, 12);
    path.lineTo(13, 4);
    painter.drawPath(path);
}

void DrawCross(QPainter &painter)
{
    painter.setPen(QPen(kNotFoundRed, 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(4, 4), QPointF(12, 12));
    painter.drawLine(QPointF(12, 4), QPointF(4, 12));
}

} // namespace

QIcon LocationStateIcon(TLocationState state)
{
    QPixmap pixmap = Blank(kGlyphSize, kGlyphSize);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (state) {
    case lsFound:
        DrawCheck(painter);
        break;
    case lsNotFound:
        DrawCross(painter);
        break;
    default:
        DrawLens(painter);
        break;
    }
    return QIcon(pixmap);
}

QIcon ShowKeyIcon()
{
    QPixmap pixmap = Blank(kGlyphSize, kGlyphSize);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath eye(QPointF(1, 8));
    eye.quadTo(8, 1, 15, 8);
    eye.quadTo(8, 15, 1, 8);
    painter.setPen(QPen(kServiceText, 1.5));
    painter.drawPath(eye);
    painter.setBrush(kServiceText);
    painter.drawEllipse(QPointF(8, 8), 2.5, 2.5);
    return QIcon(pixmap);
}

QPixmap ProgramPicture(int size)
{
    QPixmap pixmap = Blank(size, size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kSunYellow);
    painter.drawEllipse(QRectF(size * 0.35, size * 0.08, size * 0.55, size * 0.55));
    painter.setBrush(kCloudWhite);
    painter.drawEllipse(QRectF(size * 0.08, size * 0.45, size * 0.45, size * 0.4));
    painter.drawEllipse(QRectF(size * 0.3, size * 0.35, size * 0.45, size * 0.5));
    painter.drawRoundedRect(QRectF(size * 0.08, size * 0.6, size * 0.8, size * 0.28), size * 0.14, size * 0.14);
    return pixmap;
}

QPixmap ServiceLogo(int height, TWeatherService service)
{
    const QString name = ServiceDisplayName(service);
    const QColor ring = service == wsOpenMeteo ? kOpenMeteoBlue : kServiceOrange;
    QFont font;
    font.setPixelSize(height / 2);
    font.setBold(true);
    const int mark = height;
    const int textWidth = QFontMetrics(font).horizontalAdvance(name);
    QPixmap pixmap = Blank(mark + height / 4 + textWidth, height);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // A ring with a cloud line through it.
    painter.setPen(QPen(ring, height / 8.0));
    painter.setBrush(Qt::NoBrush);
    const qreal inset = height / 6.0;
    painter.drawEllipse(QRectF(inset, inset, mark - 2 * inset, mark - 2 * inset));
    painter.setPen(QPen(kServiceText, height / 10.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(inset * 0.5, mark * 0.62), QPointF(mark - inset * 0.5, mark * 0.62));
    painter.setFont(font);
    painter.setPen(kServiceText);
    painter.drawText(QRect(mark + height / 4, 0, textWidth, height), Qt::AlignVCenter | Qt::AlignLeft, name);
    return pixmap;
}
