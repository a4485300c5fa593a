// nimbrel: the weather applet.
#include "StartUp.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    return RunNimbrel(app);
}
