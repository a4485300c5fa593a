// The floor of the idle measurement: a bare Qt Widgets window of the applet's
// size whose one label shows the time, set once a second at the second's turn
// as the applet's clock is. What such a window costs a tick on this machine and
// display is what no clock of ours can go below.
#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QTime>
#include <QTimer>
#include <QWidget>

namespace {

constexpr int kWidth = 470;
constexpr int kHeight = 491;
constexpr int kMsPerSecond = 1000;
constexpr int kTickSlackMs = 15; // just after the turn, as the applet ticks

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(kWidth, kHeight);
    QLabel clock(&window);
    clock.setGeometry(kWidth / 2, 0, kWidth / 2, clock.sizeHint().height());
    QTimer tick;
    tick.setSingleShot(true);
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const QTime now = QTime::currentTime();
        clock.setText(QLocale().toString(now, QLocale::LongFormat));
        tick.start(kMsPerSecond - now.msec() + kTickSlackMs);
    });
    tick.start(0);
    window.show();
    return app.exec();
}
