#include "ProgramVersion.h"

#ifndef NIMBREL_VERSION
#error "NIMBREL_VERSION comes from the project's version in CMake"
#endif

const char kMakerWebSite[] = "https://nimbrel.zelto.example/";

const TVersionRecord &ProgramVersion()
{
    static const TVersionRecord record{
        QStringLiteral("Zelto"),
        QStringLiteral("Nimbrel"),
        QStringLiteral(NIMBREL_VERSION),
        QStringLiteral("Copyright \u00A9 2026 Zelto. All rights reserved."),
    };
    return record;
}
