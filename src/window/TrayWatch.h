// Whether the desktop has a notification area, followed for the program's
// whole life: a panel may start after the program (a race at logon) or go
// away. Qt reports neither, so the question is asked again now and then.
#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

class TTrayWatch : public QObject
{
    Q_OBJECT

public:
    // Seldom enough to cost nothing while the window is hidden, often enough
    // that an icon comes soon after the panel.
    static constexpr int kPollMs = 10000;

    TTrayWatch(bool availableNow, QObject *parent = nullptr);

    bool Available() const { return FAvailable; }
    // What is asked; the system's tray by default.
    void SetProbe(std::function<bool()> probe) { FProbe = std::move(probe); }
    // Asks again and reports a change.
    void Check();

signals:
    void AvailabilityChanged(bool available);

private:
    bool FAvailable;
    std::function<bool()> FProbe;
    QTimer FPoll;
};
