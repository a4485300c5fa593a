#include "WindowMover.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWindow>

void TWindowMover::Press(const QPoint &pressGlobal)
{
    FPending = true;
    FFollower = nullptr;
    FPressGlobal = pressGlobal;
}

bool TWindowMover::Drag(QWidget *target, const QPoint &globalPos)
{
    if (FFollower) {
        FFollower->move(FOrigin + (globalPos - FPressGlobal));
        return true;
    }
    // A press that shakes a little is still a click.
    if (!FPending || (globalPos - FPressGlobal).manhattanLength() < QApplication::startDragDistance())
        return false;
    FPending = false;
    if (target == nullptr)
        return false;
    if (target->windowHandle() != nullptr && target->windowHandle()->startSystemMove())
        return true;
    FFollower = target;
    FOrigin = target->pos();
    FFollower->move(FOrigin + (globalPos - FPressGlobal));
    return true;
}

void TWindowMover::Release()
{
    FPending = false;
    FFollower = nullptr;
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
        FMover.Press(mouse->globalPosition().toPoint());
        return true;
    }
    case QEvent::MouseMove:
        return FMover.Drag(widget->window(), static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            FMover.Release();
        return false;
    default:
        return false;
    }
}
