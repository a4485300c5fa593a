#include "TrayWatch.h"

#include "TrayIcon.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QGuiApplication>

namespace {

// The name a panel registers when it hosts icons over D-Bus.
const char kTrayHostService[] = "org.kde.StatusNotifierWatcher";
// The one platform whose panels may embed icons without the bus.
const char kX11Platform[] = "xcb";

} // namespace

TTrayWatch::TTrayWatch(bool availableNow, QObject *parent)
    : QObject(parent)
    , FAvailable(availableNow)
    , FSilentTrays(QGuiApplication::platformName() == QLatin1String(kX11Platform))
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

void TTrayWatch::SetSilentTrays(bool possible)
{
    FSilentTrays = possible;
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
// program with its panel wakes for nothing; any other state is asked about
// where a tray can come silently.
void TTrayWatch::FollowPolling()
{
    if (!FSilentTrays) {
        FPoll.stop(); // the bus says all, so it need not be asked either
        return;
    }
    const QDBusConnectionInterface *bus =
        FBusName.isEmpty() ? nullptr : QDBusConnection(FBusName).interface();
    const bool announced = FAvailable && bus != nullptr && bus->isServiceRegistered(QLatin1String(kTrayHostService));
    if (announced)
        FPoll.stop();
    else if (!FPoll.isActive())
        FPoll.start();
}
