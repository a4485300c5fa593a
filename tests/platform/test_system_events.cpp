#include "SystemEvents.h"

#include "PrivateBus.h"
#include "WaitFor.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace {

const QString kLoginService = QStringLiteral("org.freedesktop.login1");
const QString kLoginPath = QStringLiteral("/org/freedesktop/login1");
const QString kLoginInterface = QStringLiteral("org.freedesktop.login1.Manager");

bool EmitPrepareForSleep(QDBusConnection &sender, bool goingToSleep)
{
    QDBusMessage signal = QDBusMessage::createSignal(kLoginPath, kLoginInterface, QStringLiteral("PrepareForSleep"));
    signal << goingToSleep;
    return sender.send(signal);
}

} // namespace

TEST(SystemEvents, TheLoginManagersWakeSignalAndOnlyItsWake)
{
    PrivateBus bus;
    ASSERT_TRUE(bus.Running()) << "dbus-daemon did not start";
    QDBusConnection listener = bus.Connect(QStringLiteral("listener"));
    QDBusConnection manager = bus.Connect(QStringLiteral("manager"));
    QDBusConnection stranger = bus.Connect(QStringLiteral("stranger"));
    ASSERT_TRUE(listener.isConnected() && manager.isConnected() && stranger.isConnected());
    ASSERT_TRUE(manager.registerService(kLoginService));

    TSystemEvents events(listener);
    EXPECT_TRUE(events.WatchingSleep());
    EXPECT_FALSE(events.WatchingNetwork());
    int woke = 0;
    QObject::connect(&events, &TSystemEvents::Woke, [&] { ++woke; });

    // Going to sleep is not a wake; another program's signal of the same name is
    // not the login manager's.
    ASSERT_TRUE(EmitPrepareForSleep(manager, true));
    ASSERT_TRUE(EmitPrepareForSleep(stranger, false));
    ASSERT_TRUE(EmitPrepareForSleep(manager, false));
    ASSERT_TRUE(EventuallyEq([&] { return woke; }, 1));
    // A moment for a wrongly taken signal to arrive.
    QTest::qWait(100);
    EXPECT_EQ(woke, 1);
}

TEST(SystemEvents, NoBusMeansNoWakes)
{
    const QDBusConnection none = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"),
                                                               QStringLiteral("none"));
    TSystemEvents events(none);
    EXPECT_FALSE(events.WatchingSleep());
    QDBusConnection::disconnectFromBus(QStringLiteral("none"));
}

TEST(SystemEvents, TheNetworkComingBackIsReportedOncePerReturn)
{
    const QDBusConnection none = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"),
                                                               QStringLiteral("none-net"));
    TSystemEvents events(none);
    int online = 0;
    QObject::connect(&events, &TSystemEvents::NetworkOnline, [&] { ++online; });
    using R = QNetworkInformation::Reachability;
    const struct {
        R reachability;
        int online;
    } steps[] = {
        {R::Online, 1},       // from unknown
        {R::Online, 1},       // no change
        {R::Disconnected, 1},
        {R::Local, 1},
        {R::Site, 1},
        {R::Online, 2},
        {R::Unknown, 2},
        {R::Online, 3},
    };
    for (const auto &step : steps) {
        events.ReachabilityChanged(step.reachability);
        EXPECT_EQ(online, step.online) << static_cast<int>(step.reachability);
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("none-net"));
}
