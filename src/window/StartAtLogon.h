// Start at logon as the setting says: the desktop's autostart entry for this
// executable is written (replacing one of the same name) or removed. It is
// written only once the settings are the user's (`confirmed`: a key is stored,
// or the user confirmed the preferences), so a first start that was cancelled
// does not make the program start at every logon. A failure changes nothing
// and is not reported; the program runs as before.
#pragma once

#include <QString>

void ApplyStartAtLogon(bool runAtStartup, bool confirmed, const QString &title, const QString &executablePath);
