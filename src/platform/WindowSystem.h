// What the window system lets a program do with its own windows.
#pragma once

#include <QString>

// Whether the program may place its top-level windows itself, by the name of
// the Qt platform plugin in use. Wayland sessions place windows themselves and
// never tell a program where they are, so a position stored there means
// nothing and must not be written over.
bool ProgramPlacesWindows(const QString &platformName);

// Called before the application object exists. On X11, Qt hands painted
// pixels to the server through shared memory and then waits for the server's
// note that it has read them: two more wake-ups for every clock tick. For a
// window this small the plain socket copy costs less, so shared memory is
// turned off, unless the user's environment already decides it.
void PreferSocketDrawing();
