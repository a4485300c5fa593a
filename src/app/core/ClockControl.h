// The title bar's clock ticks only while someone can see it: a hidden,
// minimised or unexposed window costs no wake-up a second.
#pragma once

#include <QObject>
#include <QTimer>

inline constexpr int kClockIntervalMs = 1000;

// What the window knows about being seen.
struct TClockView {
    bool Visible = false;   // shown (not hidden to the tray)
    bool Minimized = false;
    bool Exposed = false;   // mapped with something of it on screen
};

// The clock runs when the window is shown, not minimised and exposed. A
// rolled-up window still shows its title bar, so its clock runs.
bool ClockShouldRun(const TClockView &view);

class TClockControl : public QObject
{
    Q_OBJECT
public:
    explicit TClockControl(QObject *parent = nullptr);

    // The window's state changed. When the clock comes back it ticks at once,
    // so the time shown is right the moment the window is.
    void SetView(const TClockView &view);
    bool Running() const { return FTimer.isActive(); }
    int IntervalMs() const { return FTimer.interval(); }

signals:
    void Tick();

private:
    QTimer FTimer;
};
