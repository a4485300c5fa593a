// Start at logon through the desktop's autostart folder:
// <UserConfigFolder>autostart/nimbrel.desktop. Failures answer false; the caller
// may ignore them.
#pragma once

#include <QString>

// Empty when no configuration folder is known.
QString AutostartEntryPath();

// The desktop entry that starts `executablePath` (made absolute) under `name`,
// its path quoted and escaped so that launchers run exactly that file. A
// non-empty `iconName` (the icon theme's name of the program's icon) lets the
// desktop's list of programs started at logon show the program's picture.
QString AutostartEntryText(const QString &name, const QString &executablePath,
                           const QString &iconName = QString());

// Writes the entry atomically, replacing the one there. False on any failure,
// and for an executable path no desktop entry can carry (control characters).
bool WriteAutostartEntry(const QString &name, const QString &executablePath,
                         const QString &iconName = QString());

// True when no entry is left.
bool RemoveAutostartEntry();
