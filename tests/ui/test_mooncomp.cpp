#include "moon.h"
#include "moon_geometry.h"
#include "mooncomp.h"
#include "time_scales.h"

#include <QSignalSpy>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>

namespace {

constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kRed = 0xFFFF0000;
constexpr double kOneSecond = 1.0 / 86400;

const TMoonSize kSizes[] = {ms64, ms32, ms16};
const TMoonStyle kStyles[] = {msClassic, msColor};

QImage stock(TMoonStyle style, TMoonSize size)
{
    static const char *classic[] = {"MOON_LARGE", "MOON_SMALL", "MOON_TINY"};
    static const char *colour[] = {"MOON_COLOR_LARGE", "MOON_COLOR_SMALL", "MOON_COLOR_TINY"};
    const char *name = style == msColor ? colour[size] : classic[size];
    return QImage(QStringLiteral(":/moon/") + QString::fromLatin1(name)).convertToFormat(QImage::Format_RGB32);
}

// Every pixel of the disc, with its offset from the centre column.
void forEachDiscPixel(TMoonSize size, const std::function<void(int x, int y, int dx)> &f)
{
    const moon_geometry::Row &row = moon_geometry::kRows[size];
    for (int y = 0; y < row.height; ++y)
        for (int x = 0; x < row.width; ++x)
            if (moon_geometry::insideDisc(row, x, y))
                f(x, y, x - row.centreX);
}

TDateTime newMoon()
{
    return NextPhase(Newmoon, EncodeDateTime(2024, 1, 1));
}

TDateTime firstQuarter()
{
    return NextPhase(FirstQuarter, EncodeDateTime(2024, 1, 1));
}

// The full moon of a total eclipse: the phase angle comes close to 0 only when
// the moon is near the ecliptic; at other full moons its latitude leaves a few
// degrees, and rightly a dark pixel here and there on the limb.
TDateTime fullMoon()
{
    return NextPhase(Fullmoon, EncodeDateTime(2025, 9, 1));
}

TEST(MoonPicture, StockPicturesMatchTheGeometry)
{
    for (TMoonSize size : kSizes) {
        const moon_geometry::Row &row = moon_geometry::kRows[size];
        for (TMoonStyle style : kStyles) {
            const QImage img = stock(style, size);
            ASSERT_EQ(img.size(), QSize(row.width, row.height));
            int lit = 0;
            forEachDiscPixel(size, [&](int x, int y, int) { lit += img.pixel(x, y) != kBlack; });
            int discPixels = 0;
            forEachDiscPixel(size, [&](int, int, int) { ++discPixels; });
            EXPECT_EQ(lit, discPixels) << "size " << size << " style " << style;
        }
    }
}

TEST(MoonPicture, NewMoonIsBlackInsideTheDisc)
{
    for (TMoonSize size : kSizes)
        for (TMoonStyle style : kStyles) {
            TMoon moon;
            moon.SetShowApollo11(false);
            moon.SetMoonStyle(style);
            moon.SetMoonSize(size);
            moon.SetDate(newMoon());
            EXPECT_NEAR(static_cast<double>(moon.Angle()), 180.0, 6.0); // the moon's latitude
            const QImage &img = moon.Picture();
            int lit = 0;
            forEachDiscPixel(size, [&](int x, int y, int) { lit += img.pixel(x, y) != kBlack; });
            EXPECT_EQ(lit, 0) << "size " << size << " style " << style;
        }
}

TEST(MoonPicture, FullMoonIsTheStockPicture)
{
    for (TMoonSize size : kSizes) {
        TMoon moon;
        moon.SetShowApollo11(false);
        moon.SetMoonStyle(msColor);
        moon.SetMoonSize(size);
        for (double offset : {-0.01, 0.01}) { // waxing and waning side
            moon.SetDate(fullMoon() + offset);
            EXPECT_LT(std::min(moon.Angle(), 360 - moon.Angle()), 1.0L);
            EXPECT_EQ(moon.Picture().convertToFormat(QImage::Format_RGB32), stock(msColor, size))
                << "size " << size << " offset " << offset;
        }
    }
}

TEST(MoonPicture, FirstQuarterDarkensTheLeftHalf)
{
    for (TMoonSize size : kSizes) {
        TMoon moon;
        moon.SetShowApollo11(false);
        moon.SetMoonSize(size);
        moon.SetDate(firstQuarter());
        EXPECT_NEAR(static_cast<double>(moon.Angle()), 90.0, 1.0);
        const QImage &img = moon.Picture();
        int litLeft = 0;
        int darkRight = 0;
        forEachDiscPixel(size, [&](int x, int y, int dx) {
            if (dx < 0)
                litLeft += img.pixel(x, y) != kBlack;
            if (dx > 0)
                darkRight += img.pixel(x, y) == kBlack;
        });
        EXPECT_EQ(litLeft, 0) << "size " << size;
        EXPECT_EQ(darkRight, 0) << "size " << size;
    }
}

TEST(MoonPicture, RotationsMovePixelsByQuarterTurns)
{
    struct Case {
        TRotate rotation;
        // Where source pixel (x, y) of a W×H picture lands.
        std::function<QPoint(int x, int y, int w, int h)> to;
    };
    const Case cases[] = {
        {rot_90, [](int x, int y, int, int h) { return QPoint(y, h - 1 - x); }},
        {rot_180, [](int x, int y, int w, int h) { return QPoint(w - 1 - x, h - 1 - y); }},
        {rot_270, [](int x, int y, int w, int) { return QPoint(w - 1 - y, x); }},
    };
    for (TMoonSize size : kSizes) {
        TMoon moon;
        moon.SetMoonSize(size);
        moon.SetDate(firstQuarter());
        const QImage upright = moon.Picture();
        for (const Case &c : cases) {
            moon.SetRotation(c.rotation);
            const QImage &turned = moon.Picture();
            ASSERT_EQ(turned.size(), upright.size().transposed().transposed());
            int wrong = 0;
            for (int y = 0; y < upright.height(); ++y)
                for (int x = 0; x < upright.width(); ++x) {
                    const QPoint p = c.to(x, y, upright.width(), upright.height());
                    wrong += turned.pixel(p) != upright.pixel(x, y);
                }
            EXPECT_EQ(wrong, 0) << "size " << size << " rotation " << c.rotation;
        }
    }
    // Turned half a turn, the first quarter's dark half is on the right.
    TMoon moon;
    moon.SetShowApollo11(false);
    moon.SetDate(firstQuarter());
    moon.SetRotation(rot_180);
    const QImage &img = moon.Picture();
    int litRight = 0;
    forEachDiscPixel(ms64, [&](int x, int y, int dx) {
        if (dx < 0) // the mirror of a left pixel is on the right
            litRight += img.pixel(img.width() - 1 - x, img.height() - 1 - y) != kBlack;
    });
    EXPECT_EQ(litRight, 0);
}

TEST(MoonPicture, ApolloDotOnlyAfterTheLanding)
{
    const TDateTime landing = EncodeDateTime(1969, 7, 20, 20, 17, 43);
    struct Case {
        TMoonSize size;
        TDateTime date;
        bool show;
        bool dot;
    };
    // At the landing the site lay within half a pixel of the terminator; the
    // dot is drawn over the shadow so it shows from the first second on.
    const Case cases[] = {
        {ms64, landing - kOneSecond, true, false}, {ms64, landing, true, false},
        {ms64, landing + kOneSecond, true, true},  {ms64, landing + kOneSecond, false, false},
        {ms32, landing - kOneSecond, true, false}, {ms32, landing + kOneSecond, true, true},
        {ms16, landing - kOneSecond, true, false}, {ms16, landing + kOneSecond, true, true},
        {ms64, landing - 10, true, false}, // ten days before
        {ms64, NextPhase(Newmoon, landing), true, true},
        {ms64, NextPhase(Fullmoon, landing), false, false},
    };
    for (const Case &c : cases) {
        const moon_geometry::Row &row = moon_geometry::kRows[c.size];
        TMoon moon;
        moon.SetMoonSize(c.size);
        moon.SetShowApollo11(c.show);
        moon.SetDate(c.date);
        EXPECT_EQ(moon.Picture().pixel(row.dotX, row.dotY) == kRed, c.dot)
            << "size " << c.size << " at landing " << (c.date - landing) * 86400 << " s, show " << c.show;
    }
    // Switching the dot off redraws the picture without it.
    TMoon moon;
    moon.SetDate(landing + 1);
    ASSERT_EQ(moon.Picture().pixel(41, 29), kRed);
    moon.SetShowApollo11(false);
    EXPECT_NE(moon.Picture().pixel(41, 29), kRed);
}

TEST(MoonPicture, TimeWithoutValueShowsThePlainDisc)
{
    TMoon moon;
    moon.SetMoonStyle(msColor);
    moon.SetDate(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(moon.Picture().convertToFormat(QImage::Format_RGB32), stock(msColor, ms64));
}

TEST(MoonPicture, SettingTheCurrentValueDoesNotRedraw)
{
    TMoon moon;
    QSignalSpy redraws(&moon, &TMoon::PictureChanged);
    moon.SetMoonStyle(moon.MoonStyle());
    moon.SetRotation(moon.Rotation());
    moon.SetShowApollo11(moon.ShowApollo11());
    EXPECT_EQ(redraws.count(), 0);
    moon.SetMoonStyle(moon.MoonStyle() == msColor ? msClassic : msColor);
    EXPECT_EQ(redraws.count(), 1);
    moon.SetRotation(rot_90);
    EXPECT_EQ(redraws.count(), 2);
}

TEST(MoonPicture, CreatedForNowAtLargeSize)
{
    TMoon moon;
    EXPECT_EQ(moon.MoonSize(), ms64);
    EXPECT_EQ(moon.Picture().size(), QSize(64, 64));
    EXPECT_TRUE(moon.ShowApollo11());
    EXPECT_FALSE(moon.DateChanged());
    EXPECT_GT(moon.Date(), EncodeDateTime(2024, 1, 1));
    moon.SetDate(fullMoon());
    EXPECT_TRUE(moon.DateChanged());
    moon.SetMoonSize(ms16);
    EXPECT_EQ(moon.Width(), 16);
    EXPECT_EQ(moon.Height(), 16);
}

TEST(MoonIcon, TakesThePicturesOfTheIconSize)
{
    struct Case {
        QSize iconSize;
        TMoonSize pictures;
    };
    const Case cases[] = {{QSize(32, 32), ms32}, {QSize(16, 16), ms16}, {QSize(64, 64), ms64}, {QSize(24, 24), ms32}};
    const QSize before = TMoon::IconSize();
    for (const Case &c : cases) {
        TMoon::SetIconSize(c.iconSize);
        TMoon moon;
        moon.SetShowApollo11(false);
        moon.SetMoonStyle(msColor);
        moon.SetMoonSize(c.pictures == ms64 ? ms16 : ms64); // whatever the picture's own size
        moon.SetDate(fullMoon() + 0.01);
        const QImage icon = moon.Icon().pixmap(c.iconSize).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(icon.size(), c.iconSize);
        const QImage want = stock(msColor, c.pictures);
        int wrong = 0;
        int opaqueOutside = 0;
        for (int y = 0; y < icon.height(); ++y)
            for (int x = 0; x < icon.width(); ++x) {
                const bool inside = x < want.width() && y < want.height() &&
                                    moon_geometry::insideDisc(moon_geometry::kRows[c.pictures], x, y);
                if (inside)
                    wrong += (icon.pixel(x, y) | 0xFF000000) != want.pixel(x, y) || qAlpha(icon.pixel(x, y)) != 255;
                else
                    opaqueOutside += qAlpha(icon.pixel(x, y)) != 0;
            }
        EXPECT_EQ(wrong, 0) << c.iconSize.width();
        EXPECT_EQ(opaqueOutside, 0) << c.iconSize.width();
    }
    TMoon::SetIconSize(before);
}

TEST(MoonIcon, ShadedAndTurnedLikeThePicture)
{
    const QSize before = TMoon::IconSize();
    TMoon::SetIconSize(QSize(64, 64));
    TMoon moon;
    moon.SetShowApollo11(false);
    moon.SetDate(firstQuarter());
    moon.SetRotation(rot_270);
    const QImage icon = moon.Icon().pixmap(QSize(64, 64)).toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage &picture = moon.Picture();
    int wrong = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            if (qAlpha(icon.pixel(x, y)) == 255)
                wrong += (icon.pixel(x, y) | 0xFF000000) != (picture.pixel(x, y) | 0xFF000000);
    EXPECT_EQ(wrong, 0);
    TMoon::SetIconSize(before);
}

// The masked picture a host draws at higher densities is the icon of that size,
// pixel for pixel, transparency included.
TEST(MoonIcon, MaskedPictureIsTheIconOfEachSize)
{
    const QSize before = TMoon::IconSize();
    const std::pair<QSize, TMoonSize> sizes[] = {{QSize(16, 16), ms16}, {QSize(32, 32), ms32}, {QSize(64, 64), ms64}};
    for (const auto &[iconSize, size] : sizes) {
        TMoon::SetIconSize(iconSize);
        TMoon moon;
        moon.SetMoonStyle(msColor);
        moon.SetRotation(rot_90);
        moon.SetDate(firstQuarter());
        const QImage icon = moon.Icon().pixmap(iconSize).toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage masked = moon.MaskedPicture(size);
        ASSERT_EQ(masked.size(), iconSize);
        int wrong = 0;
        for (int y = 0; y < iconSize.height(); ++y)
            for (int x = 0; x < iconSize.width(); ++x) {
                const QRgb a = icon.pixel(x, y);
                const QRgb b = masked.pixel(x, y);
                wrong += qAlpha(a) != qAlpha(b) || (qAlpha(a) == 255 && a != b);
            }
        EXPECT_EQ(wrong, 0) << iconSize.width();
    }
    TMoon::SetIconSize(before);
}

} // namespace
