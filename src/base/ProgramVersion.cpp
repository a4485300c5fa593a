#include "ProgramVersion.h"

#if !defined(NIMBREL_VERSION) || !defined(NIMBREL_WEB_SITE)
#error "NIMBREL_VERSION and NIMBREL_WEB_SITE come from the project's version and home page in CMake"
#endif

const char kMakerWebSite[] = NIMBREL_WEB_SITE;

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
