// Where the settings file lives: the user's configuration folder, or beside the
// executable when it runs from a portable drive.
#pragma once

#include <QString>

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config, with a trailing
// '/'. Empty when not even a home folder is known; names built on it are then
// relative to the current folder.
QString UserConfigFolder();

// Portable: <executable's folder>/<executable's base name>.ini; otherwise
// <UserConfigFolder>Zelto/Nimbrel/<executable's base name>.ini. The base name is
// the file name with its last extension dropped ("nimbrel" and "nimbrel.bin" both
// give "nimbrel.ini").
QString SettingsFileName(const QString &executablePath, bool portable);
