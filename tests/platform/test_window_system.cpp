#include "WindowSystem.h"

#include <gtest/gtest.h>

TEST(WindowSystem, OnlyWaylandSessionsPlaceWindowsThemselves)
{
    for (const char *name : {"wayland", "wayland-egl", "Wayland"})
        EXPECT_FALSE(ProgramPlacesWindows(QLatin1String(name))) << name;
    for (const char *name : {"xcb", "offscreen", "minimal", ""})
        EXPECT_TRUE(ProgramPlacesWindows(QLatin1String(name))) << name;
}
