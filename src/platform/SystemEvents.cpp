#include "SystemEvents.h"

namespace {

// The login manager announces suspend with true and the wake with false.
constexpr char kLoginService[] = "org.freedesktop.login1";
constexpr char kLoginPath[] = "/org/freedesktop/login1";
constexpr char kLoginInterface[] = "org.freedesktop.login1.Manager";
constexpr char kPrepareForSleep[] = "PrepareForSleep";

} // namespace

TSystemEvents::TSystemEvents(QObject *parent) : TSystemEvents(QDBusConnection::systemBus(), parent) {}

TSystemEvents::TSystemEvents(const QDBusConnection &bus, QObject *parent) : QObject(parent)
{
    WatchSleep(bus);
}

void TSystemEvents::WatchSleep(QDBusConnection bus)
{
    if (!bus.isConnected())
        return;
    // Only the owner of the login manager's name is listened to, so no other
    // program on the bus can make us fetch.
    FWatchingSleep = bus.connect(QString::fromLatin1(kLoginService), QString::fromLatin1(kLoginPath),
                                 QString::fromLatin1(kLoginInterface), QString::fromLatin1(kPrepareForSleep), this,
                                 SLOT(PrepareForSleep(bool)));
}

void TSystemEvents::WatchNetwork()
{
    if (FNetworkAsked)
        return;
    FNetworkAsked = true;
    if (!QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability))
        return;
    QNetworkInformation *information = QNetworkInformation::instance();
    if (information == nullptr)
        return;
    FReachability = information->reachability();
    connect(information, &QNetworkInformation::reachabilityChanged, this, &TSystemEvents::ReachabilityChanged);
    FWatchingNetwork = true;
}

void TSystemEvents::PrepareForSleep(bool goingToSleep)
{
    if (!goingToSleep)
        emit Woke();
}

void TSystemEvents::ReachabilityChanged(QNetworkInformation::Reachability reachability)
{
    const bool wasOnline = FReachability == QNetworkInformation::Reachability::Online;
    FReachability = reachability;
    if (reachability == QNetworkInformation::Reachability::Online && !wasOnline)
        emit NetworkOnline();
}
