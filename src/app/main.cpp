// nimbrel: the weather applet.
#include "CommandLine.h"
#include "ProgramVersion.h"
#include "StartUp.h"
#include "WindowSystem.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // First of all: --help and --version need no display and touch no settings.
    int exitCode = 0;
    if (!HandleCommandLine(argc, argv, ProgramVersion().FileVersion, exitCode))
        return exitCode;
    PreferSocketDrawing();
    QApplication app(argc, argv);
    // Wayland desktops match the window with its menu entry and icon by this id.
    QGuiApplication::setDesktopFileName(QStringLiteral(NIMBREL_APP_ID));
    return RunNimbrel(app);
}
