// Start at logon as the setting says: the desktop's autostart entry for this
// executable is written (replacing one of the same name) or removed. A failure
// changes nothing and is not reported; the program runs as before.
#pragma once

#include <QString>

void ApplyStartAtLogon(bool runAtStartup, const QString &title, const QString &executablePath);
