// nimbrel as it starts for a user, ending itself once the window has painted
// the panel filled from the service: what the start-up benchmark times.
#include "HeaderPanel.h"
#include "MainWindow.h"
#include "StartUp.h"

#include <QApplication>
#include <QEvent>

#include <cstdio>

namespace {

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
        if (event->type() == QEvent::Paint && FWindow.HasWeather()) {
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(&FWindow, &QWidget::close, Qt::QueuedConnection);
        }
        return false;
    }

private:
    Twnd_nb_Main &FWindow;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    bool filled = false;
    TRunHooks hooks;
    hooks.WindowCreated = [&filled](Twnd_nb_Main &window) {
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
