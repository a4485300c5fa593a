#include "WindowSizing.h"

#include <gtest/gtest.h>

TEST(WindowSizing, RowsAreAddedWhileOneMoreFitsTheWorkArea)
{
    struct Case {
        int workArea, days, height;
    };
    const Case cases[] = {
        // 91 px of bars; the fifth row is added at 491 px, still below 520
        // (600 - 80), so the window ends at 571 and inside the work area.
        {600, 16, 571},
        {1080, 5, 491},
        {1080, 16, 1051},
        {2160, 16, 1371},
        {600, 3, 331},
        {170, 16, 91},
        {171, 16, 91},
        {172, 16, 171},
        {1080, 0, 91},
        {1080, -3, 91},
        {0, 5, 91},
    };
    for (const Case &c : cases) {
        const int height = UnrolledHeight(c.workArea, c.days);
        EXPECT_EQ(height, c.height) << c.workArea << " " << c.days;
        if (height > 91) {
            EXPECT_LT(height - kForecastRowHeight, c.workArea - kForecastRowHeight);
        }
    }
}

TEST(WindowSizing, RolledUp)
{
    EXPECT_EQ(RolledUpHeight(), 90);
    EXPECT_TRUE(IsRolledUp(90));
    EXPECT_FALSE(IsRolledUp(91));
    EXPECT_FALSE(IsRolledUp(UnrolledHeight(1080, 5)));
}
