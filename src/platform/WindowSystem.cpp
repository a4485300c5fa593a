#include "WindowSystem.h"

#include <QtGlobal>

bool ProgramPlacesWindows(const QString &platformName)
{
    // "wayland", "wayland-egl", "wayland-brcm", ...
    return !platformName.startsWith(QLatin1String("wayland"), Qt::CaseInsensitive);
}

void PreferSocketDrawing()
{
    static const char kNoSharedMemory[] = "QT_XCB_NO_MITSHM";
    if (!qEnvironmentVariableIsSet(kNoSharedMemory))
        qputenv(kNoSharedMemory, "1");
}
