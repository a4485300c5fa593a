// The program's date-time value: days since 1899-12-30 00:00, the fraction being
// the time of day. Kept free of Qt so that the astronomy can share it.
#pragma once

using TDateTime = double;

// 0 stands for "no time given" in the weather records.
constexpr TDateTime kNoDateTime = 0.0;
constexpr double kHoursPerDay = 24.0;
constexpr double kMinutesPerDay = 24.0 * 60.0;
constexpr double kSecondsPerDay = 24.0 * 60.0 * 60.0;
constexpr double kMSecsPerDay = kSecondsPerDay * 1000.0;
