// Where a window lands so that all of it can be seen, on one screen or two.
#include "ScreenFit.h"

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QRect &rect, std::ostream *out)
{
    *out << "QRect(" << rect.x() << ", " << rect.y() << ", " << rect.width() << 'x' << rect.height() << ')';
}

namespace {

// A work area above a bottom panel, and a second screen to its right.
const QRect kLeftArea(0, 0, 1280, 994);
const QRect kRightArea(1280, 0, 1920, 1050);
const QSize kLeast(470, 90);

} // namespace

TEST(ScreenFit, WindowsEndWhollyOnOneScreenAtLeastTheirLeastSize)
{
    const struct {
        const char *name;
        QRect window;
        QList<QRect> areas;
        int primary;
        QRect expected;
    } cases[] = {
        {"on screen stays", {100, 100, 470, 491}, {kLeftArea}, 0, {100, 100, 470, 491}},
        {"below the edge moves up", {100, 800, 470, 491}, {kLeftArea}, 0, {100, 503, 470, 491}},
        {"left and above moves in", {-30, -10, 470, 491}, {kLeftArea}, 0, {0, 0, 470, 491}},
        {"taller than the area shrinks", {100, 50, 470, 1400}, {kLeftArea}, 0, {100, 0, 470, 994}},
        {"too small grows", {100, 100, 470, 1}, {kLeftArea}, 0, {100, 100, 470, 90}},
        {"off every screen goes to the primary", {-5000, 40000, 470, 491}, {kLeftArea, kRightArea}, 1,
         {1280, 1050 - 491, 470, 491}},
        {"a primary out of range means the first", {-5000, 40000, 470, 491}, {kLeftArea}, 3, {0, 503, 470, 491}},
        {"the screen it overlaps most keeps it", {1100, 100, 470, 491}, {kLeftArea, kRightArea}, 0,
         {1280, 100, 470, 491}},
        {"astride, mostly left", {1000, 100, 470, 491}, {kLeftArea, kRightArea}, 1, {810, 100, 470, 491}},
        {"no screens known: as it was", {-5000, 40000, 470, 1}, {}, 0, {-5000, 40000, 470, 1}},
        {"least larger than a tiny screen", {0, 0, 470, 491}, {QRect(0, 0, 320, 80)}, 0, {0, 0, 320, 80}},
    };
    for (const auto &c : cases) {
        const QRect fitted = FitOnScreens(c.window, kLeast, c.areas, c.primary);
        EXPECT_EQ(fitted, c.expected) << c.name;
    }
}
