#include "WindowSystem.h"

bool ProgramPlacesWindows(const QString &platformName)
{
    // "wayland", "wayland-egl", "wayland-brcm", ...
    return !platformName.startsWith(QLatin1String("wayland"), Qt::CaseInsensitive);
}
