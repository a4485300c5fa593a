#include "mooncomp.h"

#include "DateTimeConv.h"
#include "astro_math.h"
#include "moon.h"
#include "time_scales.h"
#include "moon_geometry.h"

#include <QBitmap>
#include <QDateTime>
#include <QHash>
#include <QMutex>
#include <QPixmap>
#include <QString>

#include <algorithm>
#include <cmath>

namespace {

constexpr QRgb kShadow = 0xFF000000;  // the default pen: black
constexpr QRgb kApolloDot = 0xFFFF0000; // pure red

QSize gIconSize(32, 32);

const char *const kClassicNames[] = {"MOON_LARGE", "MOON_SMALL", "MOON_TINY"};
const char *const kColorNames[] = {"MOON_COLOR_LARGE", "MOON_COLOR_SMALL", "MOON_COLOR_TINY"};
const char *const kMaskNames[] = {"MOON_BW_LARGE", "MOON_BW_SMALL", "MOON_BW_TINY"};

// Decoded once per process: a list of sixteen days draws dozens of moons per
// refresh. Callers get shared copies and detach when they paint on them.
QImage stockImage(const char *name)
{
    static QMutex lock;
    static QHash<QByteArray, QImage> decoded;
    const QMutexLocker locker(&lock);
    auto found = decoded.constFind(QByteArray(name));
    if (found == decoded.constEnd())
        found = decoded.insert(QByteArray(name), QImage(QStringLiteral(":/moon/") + QString::fromLatin1(name)));
    return *found;
}

// The disc's mask as a one-bit image with 1 for the opaque pixels, whatever
// order the file's palette has; made once per size.
QImage opaqueMask(TMoonSize size)
{
    static QMutex lock;
    static QHash<int, QImage> made;
    const QMutexLocker locker(&lock);
    auto found = made.constFind(size);
    if (found == made.constEnd()) {
        QImage mask = stockImage(kMaskNames[size]).convertToFormat(QImage::Format_Mono);
        if (qGray(mask.color(0)) < qGray(mask.color(1)))
            mask.invertPixels();
        found = made.insert(size, mask);
    }
    return *found;
}

QImage stockPicture(TMoonStyle style, TMoonSize size)
{
    const char *const *names = style == msColor ? kColorNames : kClassicNames;
    return stockImage(names[size]).convertToFormat(QImage::Format_RGB32);
}

void setPixelIfInside(QImage &img, int x, int y, QRgb colour)
{
    if (x >= 0 && y >= 0 && x < img.width() && y < img.height())
        img.setPixel(x, y, colour);
}

// A one-pixel horizontal line from x1 towards x2, x2 itself excluded.
void drawRowSegment(QImage &img, int y, int x1, int x2)
{
    if (x1 == x2 || y < 0 || y >= img.height())
        return;
    // Whole pixels on the line, by its scan line: a list of sixteen days draws
    // dozens of these shadows a refresh.
    const int from = std::max(std::min(x1, x2 + 1), 0);
    const int to = std::min(std::max(x1, x2 - 1), img.width() - 1);
    if (from > to)
        return;
    if (img.depth() == 32) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        std::fill(line + from, line + to + 1, kShadow);
        return;
    }
    for (int x = from; x <= to; ++x)
        img.setPixel(x, y, kShadow);
}

int roundHalfEven(long double v)
{
    return static_cast<int>(std::nearbyint(v));
}

void drawShadow(QImage &img, const moon_geometry::Row &row, long double angle)
{
    // A picture for a time without a phase shows the plain disc.
    if (!std::isfinite(angle))
        return;
    const long double f = CosD(angle);
    const bool waxing = angle < kHalfCircle;
    const int r = row.radius;
    for (int g = 0; g <= r; ++g) {
        const long double h = std::sqrt(static_cast<long double>(r * r - g * g));
        const int l = roundHalfEven(h);
        const int s = roundHalfEven(f * h);
        int x1 = 0;
        int x2 = 0;
        if (waxing) {
            x1 = row.centreX - s;
            x2 = row.centreX - l - 1;
        } else {
            x1 = row.centreX + s;
            x2 = row.centreX + l + 1;
        }
        drawRowSegment(img, row.centreY + g, x1, x2);
        drawRowSegment(img, row.centreY - g, x1, x2);
    }
}

// Paints the unlit part of the disc black, then the landing-site dot red.
// The dot goes on top: the site lies within half a pixel of the terminator at
// the landing (lunar morning), and drawn first it would vanish under the
// rounded shadow at every picture size although the site was in sunlight.
void drawShading(QImage &img, const moon_geometry::Row &row, long double angle, bool apollo)
{
    drawShadow(img, row, angle);
    if (apollo)
        setPixelIfInside(img, row.dotX, row.dotY, kApolloDot);
}

// setPixel takes an index for palette images and a colour otherwise.
uint pixelValue(const QImage &img, int x, int y)
{
    return img.colorCount() > 0 ? static_cast<uint>(img.pixelIndex(x, y)) : img.pixel(x, y);
}

QImage rotated(const QImage &src, TRotate rotation)
{
    const int w = src.width();
    const int h = src.height();
    switch (rotation) {
    case rot_none:
        break;
    case rot_90: { // a quarter turn counter-clockwise
        QImage dst(h, w, src.format());
        dst.setColorTable(src.colorTable());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                dst.setPixel(y, w - 1 - x, pixelValue(src, x, y));
        return dst;
    }
    case rot_180:
        return src.mirrored(true, true);
    case rot_270: { // a quarter turn clockwise
        QImage dst(h, w, src.format());
        dst.setColorTable(src.colorTable());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                dst.setPixel(h - 1 - y, x, pixelValue(src, x, y));
        return dst;
    }
    }
    return src;
}

// Copies src into dst at the top-left corner, unscaled.
void copyTopLeft(QImage &dst, const QImage &src)
{
    const int w = std::min(dst.width(), src.width());
    const int h = std::min(dst.height(), src.height());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            dst.setPixel(x, y, pixelValue(src, x, y));
}

TMoonSize sizeForIcon(QSize size)
{
    if (size == QSize(16, 16))
        return ms16;
    if (size == QSize(64, 64))
        return ms64;
    return ms32;
}

} // namespace

// The pictures live in this static library; nothing else references their
// initialiser, so it is called here rather than left to the linker.
static void initMoonPictures()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(moon_pictures);
        return true;
    }();
    (void)done;
}

TMoon::TMoon(QObject *owner) : QObject(owner)
{
    initMoonPictures();
    FApolloDate = EncodeDateTime(1969, 7, 20, 20, 17, 43);
    FApollo = true;
    SetMoonSize(ms64);
    SetDate(DateTimeFromQDateTime(QDateTime::currentDateTime()));
    FDateChanged = false;
}

TMoon::~TMoon() = default;

void TMoon::SetMoonSize(TMoonSize value)
{
    FMoonSize = value;
    FMaxHeight = moon_geometry::kRows[value].height;
    FMaxWidth = moon_geometry::kRows[value].width;
    Redraw();
}

void TMoon::SetDate(TDateTime value)
{
    FDate = value;
    FAngle = PutIn360(MoonPhaseAngle(value));
    Redraw();
    FDateChanged = true;
}

void TMoon::SetRotation(TRotate value)
{
    if (value == FRotate)
        return;
    FRotate = value;
    Redraw();
}

void TMoon::SetShowApollo11(bool value)
{
    // Redrawn so that the picture never shows a stale dot.
    if (value == FApollo)
        return;
    FApollo = value;
    Redraw();
}

void TMoon::SetMoonStyle(TMoonStyle value)
{
    if (value == FStyle)
        return;
    FStyle = value;
    Redraw();
}

void TMoon::Redraw()
{
    QImage picture = stockPicture(FStyle, FMoonSize);
    drawShading(picture, moon_geometry::kRows[FMoonSize], FAngle, FApollo && FDate > FApolloDate);
    FBMP = rotated(picture, FRotate);
    emit PictureChanged();
}

QIcon TMoon::Icon()
{
    const QSize size = IconSize();
    const TMoonSize index = sizeForIcon(size);

    QImage mask(size, QImage::Format_Mono);
    mask.setColor(0, qRgb(255, 255, 255)); // transparent
    mask.setColor(1, qRgb(0, 0, 0));       // opaque
    mask.fill(0);
    copyTopLeft(mask, opaqueMask(index));

    QImage colour(size, QImage::Format_RGB32);
    colour.fill(Qt::black);
    copyTopLeft(colour, stockPicture(FStyle, index));
    drawShading(colour, moon_geometry::kRows[index], FAngle, FApollo && FDate > FApolloDate);

    QPixmap pixmap = QPixmap::fromImage(rotated(colour, FRotate));
    pixmap.setMask(QBitmap::fromImage(rotated(mask, FRotate)));
    FIcon = QIcon(pixmap);
    return FIcon;
}

QImage TMoon::MaskedPicture(TMoonSize size) const
{
    const moon_geometry::Row &row = moon_geometry::kRows[size];
    QImage colour = stockPicture(FStyle, size);
    drawShading(colour, row, FAngle, FApollo && FDate > FApolloDate);
    const QImage mask = opaqueMask(size);
    QImage result(row.width, row.height, QImage::Format_ARGB32);
    result.fill(Qt::transparent);
    const int w = std::min({result.width(), colour.width(), mask.width()});
    const int h = std::min({result.height(), colour.height(), mask.height()});
    // By scan line: a list of sixteen days asks for dozens of these a refresh.
    for (int y = 0; y < h; ++y) {
        const uchar *bits = mask.constScanLine(y); // one bit a pixel, the first in the high bit
        const auto *from = reinterpret_cast<const QRgb *>(colour.constScanLine(y));
        auto *to = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < w; ++x)
            if ((bits[x >> 3] >> (7 - (x & 7))) & 1)
                to[x] = from[x] | 0xFF000000u;
    }
    return rotated(result, FRotate);
}

QSize TMoon::IconSize()
{
    return gIconSize;
}

void TMoon::SetIconSize(QSize size)
{
    gIconSize = size;
}
