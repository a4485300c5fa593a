// The program's date-time value: days since 1899-12-30 00:00, the fraction being
// the time of day. Before that day the whole part counts back and the fraction
// still is the time of day: -1.25 is 1899-12-29 06:00. Free of Qt so that the
// astronomy shares it.
#pragma once

using TDateTime = double;

// 0 stands for "no time given" in the weather records.
constexpr TDateTime kNoDateTime = 0.0;
constexpr double kHoursPerDay = 24.0;
constexpr double kMinutesPerDay = 24.0 * 60.0;
constexpr double kSecondsPerDay = 24.0 * 60.0 * 60.0;
constexpr double kMSecsPerDay = kSecondsPerDay * 1000.0;
