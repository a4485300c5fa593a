// Whether the desktop has a notification area, followed for the program's
// whole life: a panel may start after the program (a race at logon) or go
// away. A panel that hosts icons over D-Bus says when it comes and goes; any
// other is asked about again now and then. Only an X11 panel can host icons
// without D-Bus, so elsewhere the bus alone is followed and nothing is asked.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class QDBusConnection;

class TTrayWatch : public QObject
{
    Q_OBJECT

public:
    // Seldom enough to cost little, often enough that an icon comes soon after
    // the panel; only while no tray has announced itself on the bus.
    static constexpr int kPollMs = 10000;

    TTrayWatch(bool availableNow, QObject *parent = nullptr);

    bool Available() const { return FAvailable; }
    // What is asked; the system's tray by default.
    void SetProbe(std::function<bool()> probe) { FProbe = std::move(probe); }
    // Follows the tray's announcements on `bus` (the session bus by default).
    void WatchBus(const QDBusConnection &bus);
    // Asks again and reports a change.
    void Check();
    // Asking again now and then, rather than being told.
    bool Polling() const { return FPoll.isActive(); }
    // Whether a tray can come without a word on the bus; by default, on X11 only.
    void SetSilentTrays(bool possible);

signals:
    void AvailabilityChanged(bool available);

private:
    void FollowPolling();

    bool FAvailable;
    bool FSilentTrays;
    std::function<bool()> FProbe;
    QTimer FPoll;
    QString FBusName; // the connection followed; empty: none
};
