#include "WmoCondition.h"

namespace {

struct TWmoEntry {
    int Wmo;
    int Code;
    const char *Picture; // without the day or night letter
};

// Each documented code to the closest condition text the language files have.
constexpr TWmoEntry kWmoTable[] = {
    {0, 800, "01"},  // clear sky
    {1, 801, "02"},  // mainly clear
    {2, 802, "03"},  // partly cloudy
    {3, 804, "04"},  // overcast
    {45, 741, "50"}, // fog
    {48, 741, "50"}, // depositing rime fog
    {51, 300, "09"}, // drizzle: light, moderate, dense
    {53, 301, "09"},
    {55, 302, "09"},
    {56, 511, "13"}, // freezing drizzle: light, dense
    {57, 511, "13"},
    {61, 500, "10"}, // rain: slight, moderate, heavy
    {63, 501, "10"},
    {65, 502, "10"},
    {66, 511, "13"}, // freezing rain: light, heavy
    {67, 511, "13"},
    {71, 600, "13"}, // snow fall: slight, moderate, heavy
    {73, 601, "13"},
    {75, 602, "13"},
    {77, 600, "13"}, // snow grains
    {80, 520, "09"}, // rain showers: slight, moderate, violent
    {81, 521, "09"},
    {82, 522, "09"},
    {85, 620, "13"}, // snow showers: slight, heavy
    {86, 622, "13"},
    {95, 211, "11"}, // thunderstorm: slight or moderate
    {96, 201, "11"}, // thunderstorm with slight, heavy hail
    {99, 202, "11"},
};

// The mildest member of each WMO group, for codes the service may add.
constexpr int kWmoGroupSize = 10;
constexpr TWmoEntry kWmoGroups[] = {
    {40, 741, "50"},
    {50, 301, "09"},
    {60, 501, "10"},
    {70, 601, "13"},
    {80, 521, "09"},
    {90, 211, "11"},
};

TWmoCondition Condition(const TWmoEntry &entry, bool day)
{
    return TWmoCondition{entry.Code, QLatin1String(entry.Picture) + QLatin1Char(day ? 'd' : 'n')};
}

} // namespace

TWmoCondition WmoCondition(int wmoCode, bool day)
{
    for (const TWmoEntry &entry : kWmoTable) {
        if (entry.Wmo == wmoCode)
            return Condition(entry, day);
    }
    for (const TWmoEntry &group : kWmoGroups) {
        if (wmoCode >= group.Wmo && wmoCode < group.Wmo + kWmoGroupSize)
            return Condition(group, day);
    }
    return TWmoCondition();
}
