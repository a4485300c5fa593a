#include "WindowMover.h"

#include <QMouseEvent>
#include <QWindow>

bool TWindowMover::Start(QWidget *target, const QPoint &pressGlobal, const QPoint &globalPos)
{
    FTarget = nullptr;
    if (target == nullptr)
        return false;
    if (target->isWindow() && target->windowHandle() != nullptr && target->windowHandle()->startSystemMove())
        return true;
    FTarget = target;
    FPressGlobal = pressGlobal;
    FOrigin = target->pos();
    Follow(globalPos);
    return true;
}

void TWindowMover::Follow(const QPoint &globalPos)
{
    if (FTarget)
        FTarget->move(FOrigin + (globalPos - FPressGlobal));
}

void TWindowDragFilter::Watch(QWidget *widget)
{
    if (widget != nullptr)
        widget->installEventFilter(this);
}

bool TWindowDragFilter::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (widget == nullptr)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        FPending = true;
        FPressGlobal = mouse->globalPosition().toPoint();
        return true;
    }
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const QPoint global = mouse->globalPosition().toPoint();
        if (FMover.Following()) {
            FMover.Follow(global);
            return true;
        }
        if (FPending && global != FPressGlobal) {
            FPending = false;
            FMover.Start(widget->window(), FPressGlobal, global);
            return true;
        }
        return false;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
            return false;
        FPending = false;
        FMover.Stop();
        return false;
    default:
        return false;
    }
}
