// Moving a window with the pointer: a press, then a drag of more than the
// desktop's drag distance moves the window. The window system moves it where it
// can; otherwise the window follows the pointer until the button is released.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>

class TWindowMover
{
public:
    // The left button went down at `pressGlobal`: a drag from there moves.
    void Press(const QPoint &pressGlobal);
    // The pointer is at `globalPos`. Once it is far enough from the press,
    // `target` (a window) starts to move with it. True while the drag is under
    // way, so the event is the drag's and no click.
    bool Drag(QWidget *target, const QPoint &globalPos);
    // The button went up: no more moving.
    void Release();

    // Pressed, and the pointer not yet far enough to move.
    bool Pending() const { return FPending; }

private:
    bool FPending = false;
    QPointer<QWidget> FFollower; // moved by hand rather than by the window system
    QPoint FPressGlobal;
    QPoint FOrigin;
};

// Lets a press and drag on any watched widget (labels, pictures) move its window,
// as dragging a caption would.
class TWindowDragFilter : public QObject
{
    Q_OBJECT

public:
    explicit TWindowDragFilter(QObject *parent = nullptr) : QObject(parent) {}
    void Watch(QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TWindowMover FMover;
};
