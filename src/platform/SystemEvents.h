// What the system tells about the machine waking from suspend and the network
// coming back. Where the system bus or the network-information backend is
// missing, the matching signal simply never comes.
// The network is followed only once WatchNetwork() is called: loading its
// backend (a plugin, which may bring GIO or ask the system bus) costs more
// than building the whole window, and nothing needs it before the first
// refresh has ended.
#pragma once

#include <QDBusConnection>
#include <QNetworkInformation>
#include <QObject>

class TSystemEvents : public QObject
{
    Q_OBJECT
public:
    // The login manager on the system bus.
    explicit TSystemEvents(QObject *parent = nullptr);
    // `bus` for the login manager's signal.
    explicit TSystemEvents(const QDBusConnection &bus, QObject *parent = nullptr);

    // Starts following the default network backend; later calls do nothing.
    void WatchNetwork();

    bool WatchingSleep() const { return FWatchingSleep; }
    bool WatchingNetwork() const { return FWatchingNetwork; }

    // The backend's report; public so that a change can be fed by hand.
    void ReachabilityChanged(QNetworkInformation::Reachability reachability);

signals:
    void Woke();
    void NetworkOnline();

private slots:
    void PrepareForSleep(bool goingToSleep);

private:
    void WatchSleep(QDBusConnection bus);

    bool FWatchingSleep = false;
    bool FNetworkAsked = false;
    bool FWatchingNetwork = false;
    QNetworkInformation::Reachability FReachability = QNetworkInformation::Reachability::Unknown;
};
