// The floor of the start-up benchmark: a bare Qt Widgets window of the
// applet's size with a tray icon, ending at its first paint.
#include "ProcessMemory.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QWidget>

namespace {

constexpr int kWidth = 470;
constexpr int kHeight = 491;
constexpr int kIconSize = 32;

class TFloorWindow : public QWidget
{
protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter(this).fillRect(rect(), Qt::black);
        if (!FPainted) {
            FPainted = true;
            ReportOwnMemory();
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        }
    }

private:
    bool FPainted = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QPixmap picture(kIconSize, kIconSize);
    picture.fill(Qt::yellow);
    QSystemTrayIcon tray{QIcon(picture)};
    tray.setToolTip(QStringLiteral("floor"));
    tray.show();
    TFloorWindow window;
    window.resize(kWidth, kHeight);
    window.show();
    return app.exec();
}
