// The main window's height from the forecast days and the screen's work area.
#pragma once

inline constexpr int kWindowWidth = 470;
inline constexpr int kTitleBarHeight = 20;
inline constexpr int kHeaderHeight = 67;
inline constexpr int kForecastRowHeight = 80;
// Border and separator pixels below the bars.
inline constexpr int kUnrolledMargin = 4;
inline constexpr int kRolledUpMargin = 3;

// The bars and one row per forecast day, adding rows only while a further row
// still fits in the work area.
int UnrolledHeight(int workAreaHeight, int forecastDays);

// Only the title bar and the header.
int RolledUpHeight();

// A window no taller than its two bars counts as rolled up.
bool IsRolledUp(int height);
