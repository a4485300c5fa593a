// Whether the version an update page names is newer than the running one.
#pragma once

#include "UpdateTypes.h"

#include <QString>

// vfStandard compares dot-separated whole numbers from the left (a part that is
// no number counts as 0) as far as the current version has parts; parts the new
// version lacks count as 0. vfString compares by character codes. vfNumber
// compares two floating-point numbers and is never newer when either is none.
bool IsNewerVersion(const QString &currentVersion, const QString &newVersion, TVersionFormat format);
