#include "WindowSizing.h"

int UnrolledHeight(int workAreaHeight, int forecastDays)
{
    int full = kHeaderHeight + kTitleBarHeight + kUnrolledMargin;
    for (int day = 0; day < forecastDays && full < workAreaHeight - kForecastRowHeight; ++day)
        full += kForecastRowHeight;
    return full;
}

int RolledUpHeight()
{
    return kHeaderHeight + kTitleBarHeight + kRolledUpMargin;
}

bool IsRolledUp(int height)
{
    return height <= RolledUpHeight();
}
