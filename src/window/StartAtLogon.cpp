#include "StartAtLogon.h"

#include "AutostartEntry.h"

#include <QGuiApplication>

void ApplyStartAtLogon(bool runAtStartup, bool confirmed, const QString &title, const QString &executablePath)
{
    if (runAtStartup && !confirmed)
        return;
    if (runAtStartup)
        // The program's id is also its icon's name in the icon theme.
        WriteAutostartEntry(title, executablePath, QGuiApplication::desktopFileName());
    else
        RemoveAutostartEntry();
}
