// The temperature drawn as the tray's picture, judged by its pixels at the
// tray's sizes at 1x and 2x: the figures stand apart, stay inside the square,
// are large, and read on a light and on a dark panel. And the program's own
// picture, the tray's other one, at the sizes asked for.
#include "AppIcon.h"
#include "TrayPicture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>

#include <cmath>
#include <vector>

namespace {

// A light panel and a dark one, as desktops paint them.
const QColor kLightTray(0xef, 0xf0, 0xf1);
const QColor kDarkTray(0x23, 0x26, 0x29);
// What counts as readable against the panel: WCAG's contrast for large text.
constexpr double kReadableContrast = 3.0;
// Digits at least this share of the square's height.
constexpr double kLeastDigitShare = 0.5;

TTrayReading Reading(const char *digits, bool negative, const QColor &colour = kMildColour)
{
    TTrayReading reading;
    reading.Valid = true;
    reading.Negative = negative;
    reading.Digits = QString::fromLatin1(digits);
    reading.Unit = QStringLiteral("°C");
    reading.Colour = colour;
    return reading;
}

double Luminance(const QColor &colour)
{
    const auto channel = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) + 0.0722 * channel(colour.blueF());
}

double Contrast(const QColor &a, const QColor &b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The figures' light: mostly opaque and light, as the halo is dark.
bool IsLight(const QImage &image, int x, int y)
{
    const QColor colour = image.pixelColor(x, y);
    return colour.alphaF() >= 0.5 && Luminance(colour) >= 0.4;
}

// Columns holding light, in runs: one run per figure.
struct TRun {
    int Left = 0, Right = 0; // inclusive
    int Top = 0, Bottom = 0; // of the light, inclusive
    int Pixels = 0;          // light pixels
};

std::vector<TRun> LightRuns(const QImage &image)
{
    std::vector<TRun> runs;
    bool inRun = false;
    for (int x = 0; x < image.width(); ++x) {
        int pixels = 0, top = image.height(), bottom = -1;
        for (int y = 0; y < image.height(); ++y) {
            if (IsLight(image, x, y)) {
                ++pixels;
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
        if (pixels == 0) {
            inRun = false;
            continue;
        }
        if (!inRun)
            runs.push_back({x, x, top, bottom, 0});
        inRun = true;
        TRun &run = runs.back();
        run.Right = x;
        run.Top = std::min(run.Top, top);
        run.Bottom = std::max(run.Bottom, bottom);
        run.Pixels += pixels;
    }
    return runs;
}

QImage OnTray(const QImage &picture, const QColor &tray)
{
    QImage shown(picture.size(), QImage::Format_ARGB32);
    shown.fill(tray);
    QPainter painter(&shown);
    painter.drawImage(0, 0, picture);
    return shown;
}

// Pixels of the figure's columns that stand out from the panel.
int ReadablePixels(const QImage &shown, const TRun &run, const QColor &tray)
{
    int readable = 0;
    for (int x = std::max(0, run.Left - 1); x <= std::min(shown.width() - 1, run.Right + 1); ++x)
        for (int y = 0; y < shown.height(); ++y)
            if (Contrast(shown.pixelColor(x, y), tray) >= kReadableContrast)
                ++readable;
    return readable;
}

const int kTraySizes[] = {16, 22, 24, 32, 48};
constexpr int kDeviceRatios[] = {1, 2};

} // namespace

TEST(TrayPicture, FiguresApartInsideLargeAndReadableOnLightAndDark)
{
    const struct {
        const char *digits;
        bool negative;
        QColor colour;
    } readings[] = {
        {"0", false, kMildColour}, {"7", false, kMildColour}, {"12", false, kMildColour},
        {"1", true, kColdColour},  {"5", true, kColdColour},  {"12", true, kColdColour},
        {"40", true, kColdColour}, {"38", false, kWarmColour}, {"104", false, kWarmColour},
        {"11", false, kMildColour},
    };
    for (const auto &r : readings) {
        const TTrayReading reading = Reading(r.digits, r.negative, r.colour);
        for (const int size : kTraySizes) {
            for (const int ratio : kDeviceRatios) {
                const int pixels = size * ratio;
                const std::string name = std::string(r.negative ? "-" : "") + r.digits + " at " + std::to_string(size)
                                         + " px " + std::to_string(ratio) + "x";
                SCOPED_TRACE(name);
                const QImage picture = DrawTrayTemperature(reading, pixels);
                ASSERT_EQ(picture.size(), QSize(pixels, pixels));
                const bool unit = TrayPictureShowsUnit(reading, pixels);
                const int figures = (r.negative ? 1 : 0) + reading.Digits.size() + (unit ? 1 : 0);

                // Each figure's light stands apart from the next by a column
                // without light: no two figures touch.
                const std::vector<TRun> runs = LightRuns(picture);
                EXPECT_EQ(int(runs.size()), figures);
                if (int(runs.size()) != figures)
                    continue;

                // Nothing of the light is cut by the square's edge: the halo
                // is around it on every side.
                for (const TRun &run : runs) {
                    EXPECT_GT(run.Left, 0);
                    EXPECT_LT(run.Right, pixels - 1);
                    EXPECT_GT(run.Top, 0);
                    EXPECT_LT(run.Bottom, pixels - 1);
                }

                // Large digits: the digits' light spans at least half the height.
                const TRun &firstDigit = runs[r.negative ? 1 : 0];
                EXPECT_GE(firstDigit.Bottom - firstDigit.Top + 1, kLeastDigitShare * pixels);

                // The minus sign has light of its own, wider than tall, so it
                // is neither lost nor taken for a one.
                if (r.negative) {
                    const TRun &minus = runs.front();
                    EXPECT_GE(minus.Pixels, 2 * ratio);
                    EXPECT_GT(minus.Right - minus.Left, minus.Bottom - minus.Top);
                }

                // On either panel every figure stands out from it: on a dark
                // one by its light, on a light one by the halo, which traces it
                // on both sides over its whole height at least.
                for (const QColor &tray : {kLightTray, kDarkTray}) {
                    const QImage shown = OnTray(picture, tray);
                    for (size_t i = 0; i < runs.size(); ++i) {
                        const int least = tray == kDarkTray ? runs[i].Pixels : 2 * (runs[i].Bottom - runs[i].Top + 1);
                        EXPECT_GE(ReadablePixels(shown, runs[i], tray), least)
                            << "figure " << i << " on " << tray.name().toStdString();
                    }
                }
            }
        }
    }
}

// The degree sign is drawn only where the digits keep most of their size.
TEST(TrayPicture, TheDegreeSignGoesWhenSpaceIsShort)
{
    for (const int size : kTraySizes) {
        EXPECT_TRUE(TrayPictureShowsUnit(Reading("5", false), size)) << size;
        EXPECT_FALSE(TrayPictureShowsUnit(Reading("12", true), size)) << size;
    }
}

// The icon holds every size the tray may ask for, at 1x and 2x, so the tray
// takes the one of its size, also after its size changes.
TEST(TrayPicture, IconAtEverySizeAndNoneWithoutAReading)
{
    const QIcon icon = TrayTemperatureIcon(Reading("3", true));
    ASSERT_FALSE(icon.isNull());
    for (const int size : kTraySizes) {
        for (const int ratio : kDeviceRatios) {
            EXPECT_TRUE(icon.availableSizes().contains(QSize(size * ratio, size * ratio))) << size << " " << ratio;
            const QPixmap pixmap = icon.pixmap(QSize(size, size), ratio);
            EXPECT_EQ(pixmap.size(), QSize(size * ratio, size * ratio)) << size << " " << ratio;
        }
    }
    EXPECT_TRUE(TrayTemperatureIcon(TTrayReading()).isNull());
    const QImage empty = DrawTrayTemperature(TTrayReading(), 16);
    for (int y = 0; y < empty.height(); ++y)
        for (int x = 0; x < empty.width(); ++x)
            ASSERT_EQ(qAlpha(empty.pixel(x, y)), 0);
}

// NIMBREL_TRAY_PICTURES=<folder> writes the pictures shown in the README: a
// few readings at each tray size, on a light and on a dark panel, enlarged.
TEST(TrayPicture, SheetForTheReadme)
{
    const QString folder = qEnvironmentVariable("NIMBREL_TRAY_PICTURES");
    if (folder.isEmpty())
        GTEST_SKIP() << "NIMBREL_TRAY_PICTURES names no folder";
    const TTrayReading readings[] = {Reading("3", false), Reading("12", true, kColdColour),
                                     Reading("27", false, kWarmColour)};
    constexpr int kZoom = 4, kMargin = 8, kCell = 96 * kZoom / 2 + kMargin;
    for (const QColor &tray : {kLightTray, kDarkTray}) {
        QImage sheet(kMargin + std::size(kTraySizes) * kCell, kMargin + std::size(readings) * kCell,
                     QImage::Format_ARGB32);
        sheet.fill(tray);
        QPainter painter(&sheet);
        for (size_t row = 0; row < std::size(readings); ++row) {
            for (size_t column = 0; column < std::size(kTraySizes); ++column) {
                const int size = kTraySizes[column];
                const QImage picture = DrawTrayTemperature(readings[row], size);
                painter.drawImage(QRect(kMargin + column * kCell, kMargin + row * kCell, size * kZoom, size * kZoom),
                                  picture);
            }
        }
        painter.end();
        const QString name = tray == kLightTray ? QStringLiteral("tray-temperature-light.png")
                                                : QStringLiteral("tray-temperature-dark.png");
        ASSERT_TRUE(sheet.save(QDir(folder).filePath(name)));
    }
}

// The program's picture is drawn at whatever size a tray or panel asks for,
// in the usual sizes and between them, and is greyed where it is disabled.
TEST(ApplicationPicture, EverySizeAskedIsDrawnWhole)
{
    const QIcon icon = ApplicationIcon();
    EXPECT_FALSE(icon.availableSizes().isEmpty());
    for (const int side : {16, 20, 22, 44, 64, 128}) {
        const QImage image = icon.pixmap(QSize(side, side), 1.0).toImage();
        ASSERT_EQ(image.size(), QSize(side, side)) << side;
        int opaque = 0;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                opaque += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        // The sun and the cloud cover much of the square and leave its corners.
        EXPECT_GT(opaque, side * side / 4) << side;
        EXPECT_EQ(qAlpha(image.pixel(0, side - 1)), 0) << side;
    }
    EXPECT_NE(icon.pixmap(QSize(32, 32), 1.0, QIcon::Disabled).toImage(), icon.pixmap(QSize(32, 32), 1.0).toImage());
}
