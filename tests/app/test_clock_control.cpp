#include "ClockControl.h"

#include <gtest/gtest.h>

#include <vector>

TEST(ClockControl, RunsOnlyWhileTheWindowCanBeSeenAndSaysSoOncePerChange)
{
    TClockControl clock;
    std::vector<bool> changes;
    QObject::connect(&clock, &TClockControl::RunningChanged, [&](bool running) { changes.push_back(running); });
    EXPECT_FALSE(clock.Running()); // not yet shown

    const struct {
        const char *name;
        TClockView view;
        bool running;
        size_t changes; // so far
    } steps[] = {
        {"shown", {true, false, true}, true, 1},
        {"shown again", {true, false, true}, true, 1},
        {"hidden to the tray", {false, false, false}, false, 2},
        {"hidden, still mapped for a moment", {false, false, true}, false, 2},
        {"back", {true, false, true}, true, 3},
        {"minimised", {true, true, false}, false, 4},
        {"restored", {true, false, true}, true, 5},
        {"unmapped by the session", {true, false, false}, false, 6},
        {"mapped again", {true, false, true}, true, 7},
    };
    for (const auto &step : steps) {
        clock.SetView(step.view);
        EXPECT_EQ(clock.Running(), step.running) << step.name;
        ASSERT_EQ(changes.size(), step.changes) << step.name;
        EXPECT_EQ(changes.back(), step.running) << step.name;
    }
}
