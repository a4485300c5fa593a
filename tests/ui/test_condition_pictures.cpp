#include "ConditionPictures.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Every picture name the OpenWeatherMap answers carry, as the parser keeps them.
const char *const kServiceIcons[] = {"01d.png", "01n.png", "02d.png", "02n.png", "03d.png", "03n.png",
                                     "04d.png", "04n.png", "09d.png", "09n.png", "10d.png", "10n.png",
                                     "11d.png", "11n.png", "13d.png", "13n.png", "50d.png", "50n.png"};

QString Name(const char *icon)
{
    return QString::fromLatin1(icon);
}

double Luminance(QRgb pixel)
{
    auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(pixel)) + 0.7152 * channel(qGreen(pixel)) + 0.0722 * channel(qBlue(pixel));
}

double Contrast(double a, double b)
{
    constexpr double kFlare = 0.05;
    return (std::max(a, b) + kFlare) / (std::min(a, b) + kFlare);
}

// The share of the picture's drawn area (by coverage) that stands out from
// `background` at a contrast of at least `least`, once laid over it.
double ShareStandingOut(const QImage &picture, QColor background, double least)
{
    QImage over(picture.size(), QImage::Format_ARGB32_Premultiplied);
    over.fill(background);
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32);
    const double backgroundLuminance = Luminance(background.rgb());
    double drawn = 0, standing = 0;
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const QRgb pixel = source.pixel(x, y);
            const double alpha = qAlpha(pixel) / 255.0;
            if (alpha == 0)
                continue;
            auto mix = [alpha](int fore, int back) { return qRound(fore * alpha + back * (1 - alpha)); };
            const QRgb seen = qRgb(mix(qRed(pixel), background.red()), mix(qGreen(pixel), background.green()),
                                   mix(qBlue(pixel), background.blue()));
            drawn += alpha;
            if (Contrast(Luminance(seen), backgroundLuminance) >= least)
                standing += alpha;
        }
    }
    return drawn > 0 ? standing / drawn : 0;
}

} // namespace

TEST(ConditionPictures, EveryServiceIconHasItsOwnDrawing)
{
    for (const char *icon : kServiceIcons) {
        SCOPED_TRACE(icon);
        // Its own, not the day drawing stood in for a missing night one.
        EXPECT_EQ(ConditionDrawingName(Name(icon)), Name(icon).left(3));
        EXPECT_EQ(ConditionDrawingName(Name(icon).left(3)), Name(icon).left(3));
    }
}

TEST(ConditionPictures, NamesWithoutADrawing)
{
    // An unknown time of day falls back to the day drawing of its group.
    EXPECT_EQ(ConditionDrawingName(QStringLiteral("10x.png")), QStringLiteral("10d"));
    EXPECT_EQ(ConditionDrawingName(QStringLiteral("01D.png")), QStringLiteral("01d"));
    for (const char *name : {"", "99d.png", "99d", "1d", "01dd", "../01d", "01d.svg", ":/conditions/01d",
                             "%01d", "0"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(ConditionDrawingName(Name(name)).isEmpty());
        EXPECT_TRUE(RenderConditionPicture(Name(name), 64, 1.0).isNull());
    }
}

TEST(ConditionPictures, RenderedAtTheDensity)
{
    for (const char *icon : kServiceIcons) {
        for (const int size : {16, 32, 50, 64}) {
            for (const qreal ratio : {1.0, 1.25, 1.5, 2.0, 3.0}) {
                SCOPED_TRACE(QStringLiteral("%1 at %2 × %3").arg(Name(icon)).arg(size).arg(ratio).toStdString());
                const QImage image = RenderConditionPicture(Name(icon), size, ratio);
                ASSERT_FALSE(image.isNull());
                const int side = qRound(size * ratio);
                EXPECT_EQ(image.size(), QSize(side, side));
                EXPECT_DOUBLE_EQ(image.devicePixelRatio(), ratio);
                EXPECT_EQ(image.deviceIndependentSize(), QSizeF(side / ratio, side / ratio));
                // Drawn, and not a filled square: its corners stay clear.
                EXPECT_GT(ShareStandingOut(image, Qt::white, 1.0), 0.0);
                EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
                EXPECT_EQ(qAlpha(image.pixel(side - 1, side - 1)), 0);
            }
        }
    }
}

TEST(ConditionPictures, DayAndNightDifferWhereTheSkyShows)
{
    for (const char *group : {"01", "02", "10"}) {
        SCOPED_TRACE(group);
        const QImage day = RenderConditionPicture(Name(group) + QLatin1Char('d'), 32, 1.0);
        const QImage night = RenderConditionPicture(Name(group) + QLatin1Char('n'), 32, 1.0);
        EXPECT_NE(day, night);
    }
}

TEST(ConditionPictures, ReadOnLightAndDarkThemes)
{
    // The lightest and the darkest a panel behind the pictures gets.
    for (const QColor background : {QColor(Qt::white), QColor(Qt::black), QColor(0x32, 0x39, 0x47)}) {
        for (const char *icon : kServiceIcons) {
            SCOPED_TRACE(QStringLiteral("%1 on %2").arg(Name(icon), background.name()).toStdString());
            const QImage image = RenderConditionPicture(Name(icon), 32, 1.0);
            // A graphic's least contrast (3:1) for its outlines at least, which
            // take a tenth of a small picture.
            EXPECT_GT(ShareStandingOut(image, background, 3.0), 0.1);
        }
    }
}

TEST(ConditionPictures, ImpossibleSizesAndRatiosGiveNoPicture)
{
    const QString icon = QStringLiteral("01d.png");
    for (const auto &[size, ratio] : std::initializer_list<std::pair<int, qreal>>{
             {0, 1.0},
             {-64, 1.0},
             {64, 0.0},
             {64, -2.0},
             {64, std::numeric_limits<qreal>::quiet_NaN()},
             {64, std::numeric_limits<qreal>::infinity()},
             {std::numeric_limits<int>::max(), 2.0},
             {1, 0.1}}) {
        SCOPED_TRACE(QStringLiteral("%1 × %2").arg(size).arg(ratio).toStdString());
        EXPECT_TRUE(RenderConditionPicture(icon, size, ratio).isNull());
    }
}

TEST(ConditionPictures, KeptOnceRendered)
{
    const QImage first = RenderConditionPicture(QStringLiteral("13n.png"), 64, 1.5);
    EXPECT_EQ(RenderConditionPicture(QStringLiteral("13n"), 64, 1.5).cacheKey(), first.cacheKey());
    EXPECT_NE(RenderConditionPicture(QStringLiteral("13n"), 64, 2.0).cacheKey(), first.cacheKey());
}
