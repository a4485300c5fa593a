#include "ClockControl.h"

bool ClockShouldRun(const TClockView &view)
{
    return view.Visible && !view.Minimized && view.Exposed;
}

TClockControl::TClockControl(QObject *parent) : QObject(parent)
{
    FTimer.setInterval(kClockIntervalMs);
    connect(&FTimer, &QTimer::timeout, this, &TClockControl::Tick);
}

void TClockControl::SetView(const TClockView &view)
{
    const bool run = ClockShouldRun(view);
    if (run == FTimer.isActive())
        return;
    if (run) {
        emit Tick();
        FTimer.start();
    } else {
        FTimer.stop();
    }
}
