#include "TrayWatch.h"

#include "TrayIcon.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>

namespace {

// The name a panel registers when it hosts icons over D-Bus.
const char kTrayHostService[] = "org.kde.StatusNotifierWatcher";

} // namespace

TTrayWatch::TTrayWatch(bool availableNow, QObject *parent)
    : QObject(parent)
    , FAvailable(availableNow)
    , FProbe(&TTrayIcon::Available)
{
    FPoll.setInterval(kPollMs);
    connect(&FPoll, &QTimer::timeout, this, &TTrayWatch::Check);
    WatchBus(QDBusConnection::sessionBus());
}

void TTrayWatch::WatchBus(const QDBusConnection &bus)
{
    for (QDBusServiceWatcher *old : findChildren<QDBusServiceWatcher *>(QString(), Qt::FindDirectChildrenOnly))
        delete old;
    FBusName.clear();
    if (bus.isConnected()) {
        FBusName = bus.name();
        auto *watcher = new QDBusServiceWatcher(QLatin1String(kTrayHostService), bus,
                                                QDBusServiceWatcher::WatchForRegistration
                                                    | QDBusServiceWatcher::WatchForUnregistration,
                                                this);
        connect(watcher, &QDBusServiceWatcher::serviceRegistered, this, &TTrayWatch::Check);
        connect(watcher, &QDBusServiceWatcher::serviceUnregistered, this, &TTrayWatch::Check);
    }
    FollowPolling();
}

void TTrayWatch::Check()
{
    const bool available = FProbe && FProbe();
    if (available != FAvailable) {
        FAvailable = available;
        emit AvailabilityChanged(available);
    }
    FollowPolling();
}

// A tray that announced itself on the bus will say when it goes, so an idle
// program with its panel wakes for nothing; any other state is asked about.
void TTrayWatch::FollowPolling()
{
    const QDBusConnectionInterface *bus =
        FBusName.isEmpty() ? nullptr : QDBusConnection(FBusName).interface();
    const bool announced = FAvailable && bus != nullptr && bus->isServiceRegistered(QLatin1String(kTrayHostService));
    if (announced)
        FPoll.stop();
    else if (!FPoll.isActive())
        FPoll.start();
}
