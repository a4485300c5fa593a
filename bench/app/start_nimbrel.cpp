// nimbrel as it starts for a user, ending itself once the window has painted
// the panel filled from the service: what the start-up benchmark times.
#include "HeaderPanel.h"
#include "MainWindow.h"
#include "ProcessMemory.h"
#include "StartUp.h"

#include <QApplication>
#include <QEvent>

#include <cstdio>
#include <cstdlib>

namespace {

// With NIMBREL_BENCH_PHASES set, the process's CPU time at each step of the
// start is printed to stderr: where a start's time goes.
void Phase(const char *name)
{
    if (std::getenv("NIMBREL_BENCH_PHASES") != nullptr)
        std::fprintf(stderr, "phase %-28s %7.2f ms CPU\n", name, OwnCpuMs());
}

// Quits at the first paint of the panel after it was filled.
class TFilledPaint : public QObject
{
public:
    explicit TFilledPaint(Twnd_nb_Main &window) : QObject(&window), FWindow(window)
    {
        window.Header()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !FFirstPaint) {
            FFirstPaint = true;
            Phase("first paint of the panel");
        }
        if (event->type() == QEvent::Paint && FWindow.HasWeather()) {
            Phase("paint with weather");
            watched->removeEventFilter(this);
            // After the first refresh, as a user's running applet holds it.
            ReportOwnMemory();
            QMetaObject::invokeMethod(&FWindow, &QWidget::close, Qt::QueuedConnection);
        }
        return false;
    }

private:
    Twnd_nb_Main &FWindow;
    bool FFirstPaint = false;
};

} // namespace

int main(int argc, char *argv[])
{
    Phase("main (libraries loaded)");
    QApplication app(argc, argv);
    Phase("application (platform plugin)");
    bool filled = false;
    TRunHooks hooks;
    hooks.WindowCreated = [&filled](Twnd_nb_Main &window) {
        Phase("window made (settings, texts)");
        new TFilledPaint(window);
        QObject::connect(&window, &Twnd_nb_Main::Closed, [&filled, &window] { filled = window.HasWeather(); });
    };
    const int code = RunNimbrel(app, hooks);
    if (code == 0 && !filled) {
        std::fprintf(stderr, "nimbrel (start-up benchmark): the panel was never filled\n");
        return 1;
    }
    return code;
}
