#include "ScreenFit.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace {

qint64 OverlapArea(const QRect &a, const QRect &b)
{
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

} // namespace

QRect FitOnScreens(const QRect &window, const QSize &least, const QList<QRect> &workAreas, int primary)
{
    if (workAreas.isEmpty())
        return window;
    int chosen = -1;
    qint64 best = 0;
    for (int i = 0; i < workAreas.size(); ++i) {
        const qint64 overlap = OverlapArea(window, workAreas[i]);
        if (overlap > best) {
            best = overlap;
            chosen = i;
        }
    }
    if (chosen < 0)
        chosen = primary >= 0 && primary < workAreas.size() ? primary : 0;
    const QRect area = workAreas[chosen];

    const int width = std::min(std::max(window.width(), least.width()), area.width());
    const int height = std::min(std::max(window.height(), least.height()), area.height());
    const int left = std::clamp(window.left(), area.left(), area.left() + area.width() - width);
    const int top = std::clamp(window.top(), area.top(), area.top() + area.height() - height);
    return QRect(left, top, width, height);
}

QList<QRect> ScreenWorkAreas()
{
    QList<QRect> areas;
    for (const QScreen *screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}

int PrimaryScreenIndex()
{
    return static_cast<int>(QGuiApplication::screens().indexOf(QGuiApplication::primaryScreen()));
}
