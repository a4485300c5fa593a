#include "SystemEvents.h"

#include "WaitFor.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

const QString kLoginService = QStringLiteral("org.freedesktop.login1");
const QString kLoginPath = QStringLiteral("/org/freedesktop/login1");
const QString kLoginInterface = QStringLiteral("org.freedesktop.login1.Manager");

// A bus of our own, so the test neither needs nor disturbs the machine's.
class PrivateBus
{
public:
    PrivateBus()
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty() || !FDir.isValid())
            return;
        const QString config = FDir.filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly))
            return;
        file.write(QStringLiteral("<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                                  "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                  "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>")
                       .arg(FDir.path())
                       .toUtf8());
        file.close();
        FDaemon.start(daemon, {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                               QStringLiteral("--print-address=1")});
        if (!FDaemon.waitForStarted() || !FDaemon.waitForReadyRead(kDefaultWaitMs))
            return;
        FAddress = QString::fromUtf8(FDaemon.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        for (const QString &name : FNames)
            QDBusConnection::disconnectFromBus(name);
        FDaemon.kill();
        FDaemon.waitForFinished();
    }

    bool Running() const { return !FAddress.isEmpty(); }
    QDBusConnection Connect(const QString &name)
    {
        FNames << name;
        return QDBusConnection::connectToBus(FAddress, name);
    }

private:
    QTemporaryDir FDir;
    QProcess FDaemon;
    QString FAddress;
    QStringList FNames;
};

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

    TSystemEvents events(listener, false);
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
    TSystemEvents events(none, false);
    EXPECT_FALSE(events.WatchingSleep());
    QDBusConnection::disconnectFromBus(QStringLiteral("none"));
}

TEST(SystemEvents, TheNetworkComingBackIsReportedOncePerReturn)
{
    const QDBusConnection none = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"),
                                                               QStringLiteral("none-net"));
    TSystemEvents events(none, false);
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
