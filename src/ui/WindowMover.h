// Moving a window (or a child widget) with the pointer: the window system moves
// windows where it can; otherwise, and for child widgets, the widget follows the
// pointer until the button is released.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>

class TWindowMover
{
public:
    // Starts moving `target` from a press at `pressGlobal`; the pointer is now at
    // `globalPos`. False when there is nothing to move.
    bool Start(QWidget *target, const QPoint &pressGlobal, const QPoint &globalPos);
    // True while the widget follows the pointer by hand.
    bool Following() const { return !FTarget.isNull(); }
    void Follow(const QPoint &globalPos);
    void Stop() { FTarget = nullptr; }

private:
    QPointer<QWidget> FTarget;
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
    bool FPending = false;
    QPoint FPressGlobal;
};
