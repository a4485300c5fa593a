// A notification area that comes after the program (a race at logon) or goes:
// the icon follows it, and so do the window's task-bar button and minimising.
#include "PrivateBus.h"
#include "TrayIcon.h"
#include "TrayWatch.h"
#include "WaitFor.h"
#include "WindowRun.h"

#include <gtest/gtest.h>

#include <QDBusConnection>

namespace {

// A port nobody listens on: these tests need the window, not the weather.
const QString kDeadService = QStringLiteral("http://127.0.0.1:1");

bool HasTaskBarButton(const QWidget &window)
{
    return !window.windowFlags().testFlag(Qt::Tool);
}

} // namespace

TEST(WindowTray, ALateTrayGetsTheIconAndTheWindowFollowsItsComingAndGoing)
{
    TWindowRun run;
    run.WriteSettings(kDeadService, QStringLiteral("k"));
    Twnd_nb_Main &window = run.Open(); // started without a tray
    ASSERT_TRUE(run.WaitForRefreshEnd());
    EXPECT_EQ(window.Tray(), nullptr);
    EXPECT_TRUE(HasTaskBarButton(window));
    bool tray = true;
    window.TrayWatch()->SetProbe([&] { return tray; });

    const QRect place = window.geometry();
    window.TrayWatch()->Check();
    ASSERT_NE(window.Tray(), nullptr);
    EXPECT_TRUE(window.Tray()->Visible());
    EXPECT_FALSE(HasTaskBarButton(window));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.geometry(), place);

    // With a tray, minimising puts the window there; its icon brings it back.
    window.showMinimized();
    ASSERT_TRUE(Eventually([&] { return !window.isVisible() && !window.isMinimized(); }));
    emit window.Tray()->RaiseRequested();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());

    // Hidden in a tray that goes: the window comes back with its task-bar button.
    window.showMinimized();
    ASSERT_TRUE(Eventually([&] { return !window.isVisible() && !window.isMinimized(); }));
    tray = false;
    window.TrayWatch()->Check();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(HasTaskBarButton(window));
    EXPECT_FALSE(window.Tray()->Visible());

    // Without a tray, minimising is plain minimising.
    window.showMinimized();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.isMinimized());
}

// A panel that hosts icons over D-Bus says when it comes and goes: while it is
// there nothing is asked, so an idle program does not wake for the tray.
TEST(WindowTray, ATrayOnTheBusIsFollowedWithoutAsking)
{
    PrivateBus bus;
    ASSERT_TRUE(bus.Running()) << "dbus-daemon did not start";
    bool tray = false;
    TTrayWatch watch(false);
    watch.SetProbe([&] { return tray; });
    watch.WatchBus(bus.Connect(QStringLiteral("watch")));
    EXPECT_TRUE(watch.Polling());

    QDBusConnection panel = bus.Connect(QStringLiteral("panel"));
    const QString host = QStringLiteral("org.kde.StatusNotifierWatcher");
    tray = true;
    ASSERT_TRUE(panel.registerService(host));
    ASSERT_TRUE(Eventually([&] { return watch.Available(); }));
    EXPECT_FALSE(watch.Polling());

    tray = false;
    ASSERT_TRUE(panel.unregisterService(host));
    ASSERT_TRUE(Eventually([&] { return !watch.Available(); }));
    EXPECT_TRUE(watch.Polling());
}
