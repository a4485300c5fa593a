#include "StartAtLogon.h"

#include "AutostartEntry.h"

void ApplyStartAtLogon(bool runAtStartup, const QString &title, const QString &executablePath)
{
    if (runAtStartup)
        WriteAutostartEntry(title, executablePath);
    else
        RemoveAutostartEntry();
}
