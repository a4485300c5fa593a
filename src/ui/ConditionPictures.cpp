#include "ConditionPictures.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>

#include <cmath>

// The drawings live in this static library; nothing else references their
// initialiser, so it is called here rather than left to the linker.
static void InitResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(condition_pictures);
        return true;
    }();
    (void)done;
}

namespace {

constexpr char kResourceFolder[] = ":/conditions/";
constexpr char kDrawingSuffix[] = ".svg";
constexpr char kPictureSuffix[] = ".png";
constexpr qsizetype kGroupLength = 2; // "10" of "10d"

// Larger than any picture the window shows at any density: a bigger request is
// refused rather than allocating a huge image.
constexpr int kLargestSide = 1024;

QString ResourcePath(const QString &drawing)
{
    return QLatin1String(kResourceFolder) + drawing + QLatin1String(kDrawingSuffix);
}

bool HasDrawing(const QString &drawing)
{
    InitResources();
    static const QRegularExpression rule(QRegularExpression::anchoredPattern(QStringLiteral("[0-9]{2}[dn]")));
    return rule.match(drawing).hasMatch() && QFile::exists(ResourcePath(drawing));
}

struct TCache {
    QMutex Mutex;
    QHash<QString, QImage> Images;
};

TCache &Cache()
{
    static TCache cache;
    return cache;
}

// One text per name, size and ratio; the ratio to a thousandth, which tells
// every density a screen reports apart.
QString CacheKey(const QString &drawing, int logicalSize, qreal ratio)
{
    constexpr qreal kRatioSteps = 1000.0;
    return drawing + QLatin1Char('/') + QString::number(logicalSize) + QLatin1Char('/')
           + QString::number(std::llround(ratio * kRatioSteps));
}

QImage Render(const QString &drawing, int side, qreal ratio)
{
    QSvgRenderer renderer(ResourcePath(drawing));
    if (!renderer.isValid())
        return {};
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, side, side));
    }
    image.setDevicePixelRatio(ratio);
    return image;
}

} // namespace

QString ConditionDrawingName(const QString &icon)
{
    QString name = icon;
    if (name.endsWith(QLatin1String(kPictureSuffix)))
        name.chop(static_cast<qsizetype>(sizeof(kPictureSuffix) - 1));
    if (HasDrawing(name))
        return name;
    const QString dayDrawing = name.left(kGroupLength) + QLatin1Char('d');
    return name.size() == kGroupLength + 1 && HasDrawing(dayDrawing) ? dayDrawing : QString();
}

QImage RenderConditionPicture(const QString &icon, int logicalSize, qreal ratio)
{
    if (logicalSize < 1 || !std::isfinite(ratio) || ratio <= 0)
        return {};
    const QString drawing = ConditionDrawingName(icon);
    const long long side = std::llround(logicalSize * ratio);
    if (drawing.isEmpty() || side < 1 || side > kLargestSide)
        return {};
    const QString key = CacheKey(drawing, logicalSize, ratio);
    TCache &cache = Cache();
    {
        QMutexLocker lock(&cache.Mutex);
        const auto found = cache.Images.constFind(key);
        if (found != cache.Images.constEnd())
            return *found;
    }
    const QImage image = Render(drawing, static_cast<int>(side), ratio);
    QMutexLocker lock(&cache.Mutex);
    cache.Images.insert(key, image);
    return image;
}
