// What the window system lets a program do with its own windows.
#pragma once

#include <QString>

// Whether the program may place its top-level windows itself, by the name of
// the Qt platform plugin in use. Wayland sessions place windows themselves and
// never tell a program where they are, so a position stored there means
// nothing and must not be written over.
bool ProgramPlacesWindows(const QString &platformName);
