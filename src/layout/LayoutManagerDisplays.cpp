#include "LayoutManagerDisplays.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

QString FormatDisplayTag(int width, int height, int dotsPerInch)
{
    return QStringLiteral("%1x%2x%3").arg(width).arg(height).arg(dotsPerInch);
}

int TScreenDisplays::MonitorCount() const
{
    return static_cast<int>(QGuiApplication::screens().size());
}

int TScreenDisplays::PrimaryMonitor() const
{
    const int index = static_cast<int>(QGuiApplication::screens().indexOf(QGuiApplication::primaryScreen()));
    return index < 0 ? 0 : index;
}

int TScreenDisplays::MonitorOf(const QWidget *window) const
{
    if (window == nullptr)
        return -1;
    const QScreen *screen = QGuiApplication::screenAt(window->frameGeometry().center());
    if (screen == nullptr)
        screen = window->screen();
    return static_cast<int>(QGuiApplication::screens().indexOf(const_cast<QScreen *>(screen)));
}

QString TScreenDisplays::DisplayTag(int monitor) const
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    QScreen *screen = monitor >= 0 && monitor < screens.size() ? screens[monitor] : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return FormatDisplayTag(0, 0, 0);
    const QSize desktop = screen->virtualSize();
    return FormatDisplayTag(desktop.width(), desktop.height(),
                            static_cast<int>(std::lround(screen->logicalDotsPerInch())));
}
