// The title bar's clock ticks only while someone can see it: a hidden,
// minimised or unexposed window costs no wake-up a second.
#pragma once

#include <QObject>

// What the window knows about being seen.
struct TClockView {
    bool Visible = false;   // shown (not hidden to the tray)
    bool Minimized = false;
    bool Exposed = false;   // mapped, with something of it on screen
};

// The clock runs when the window is shown, not minimised and exposed. A
// rolled-up window still shows its title bar, so its clock runs.
bool ClockShouldRun(const TClockView &view);

class TClockControl : public QObject
{
    Q_OBJECT
public:
    explicit TClockControl(QObject *parent = nullptr);

    // The window's state changed; RunningChanged follows when that starts or
    // stops the clock.
    void SetView(const TClockView &view);
    bool Running() const { return FRunning; }

signals:
    // Stopped: the clock's timer stops. Running: the clock shows the time at
    // once (it may be minutes since it last did), then ticks again.
    void RunningChanged(bool running);

private:
    bool FRunning = false;
};
