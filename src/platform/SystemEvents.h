// What the system tells about the machine waking from suspend and the network
// coming back. Where the system bus or the network-information backend is
// missing, the matching signal simply never comes.
#pragma once

#include <QDBusConnection>
#include <QNetworkInformation>
#include <QObject>

class TSystemEvents : public QObject
{
    Q_OBJECT
public:
    // The login manager on the system bus and the default network backend.
    explicit TSystemEvents(QObject *parent = nullptr);
    // `bus` for the login manager's signal; the network backend only when
    // `watchNetwork`.
    TSystemEvents(const QDBusConnection &bus, bool watchNetwork, QObject *parent = nullptr);

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
    void WatchNetwork();

    bool FWatchingSleep = false;
    bool FWatchingNetwork = false;
    QNetworkInformation::Reachability FReachability = QNetworkInformation::Reachability::Unknown;
};
