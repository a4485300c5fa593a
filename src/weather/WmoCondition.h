// The WMO weather codes Open-Meteo reports, as the program's condition codes
// (whose texts are the language files' wth_NNN keys) and picture names.
#pragma once

#include <QString>

struct TWmoCondition {
    int Code = 0;    // the program's condition code; 0 when the WMO code means nothing known
    QString Picture; // "01d" .. "50n"; empty when Code is 0
};

// The condition of a WMO code, with the day or the night picture. An
// undocumented code takes the condition of its WMO group (40s fog, 50s
// drizzle, 60s rain, 70s snow, 80s showers, 90s thunderstorm); any other
// gives Code 0 and no picture.
TWmoCondition WmoCondition(int wmoCode, bool day);
