#include "ClockControl.h"

#include <gtest/gtest.h>

TEST(ClockControl, TicksOnlyWhileTheWindowCanBeSeenAndAtOnceWhenItCanAgain)
{
    TClockControl clock;
    int ticks = 0;
    QObject::connect(&clock, &TClockControl::Tick, [&] { ++ticks; });
    EXPECT_FALSE(clock.Running()); // not yet shown

    const struct {
        const char *name;
        TClockView view;
        bool running;
        int ticks; // so far, counting the one on each return
    } steps[] = {
        {"shown", {true, false, true}, true, 1},
        {"shown again", {true, false, true}, true, 1},
        {"hidden to the tray", {false, false, false}, false, 1},
        {"back", {true, false, true}, true, 2},
        {"minimised", {true, true, false}, false, 2},
        {"restored", {true, false, true}, true, 3},
        {"unmapped: on another desktop or covered by the session", {true, false, false}, false, 3},
        {"mapped again", {true, false, true}, true, 4},
    };
    for (const auto &step : steps) {
        clock.SetView(step.view);
        EXPECT_EQ(clock.Running(), step.running) << step.name;
        EXPECT_EQ(ticks, step.ticks) << step.name;
        // Never more often than once a second.
        EXPECT_GE(clock.IntervalMs(), 1000) << step.name;
    }
}
