#include "ClockControl.h"

bool ClockShouldRun(const TClockView &view)
{
    return view.Visible && !view.Minimized && view.Exposed;
}

TClockControl::TClockControl(QObject *parent) : QObject(parent) {}

void TClockControl::SetView(const TClockView &view)
{
    const bool run = ClockShouldRun(view);
    if (run == FRunning)
        return;
    FRunning = run;
    emit RunningChanged(run);
}
