// A notification area that comes after the program (a race at logon) or goes:
// the icon follows it, and so do the window's task-bar button and minimising.
#include "AppSettings.h"
#include "HeaderPanel.h"
#include "PrivateBus.h"
#include "StandIn.h"
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
    watch.SetSilentTrays(true); // as on X11
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

// Where every tray announces itself on the bus (Wayland), nothing is asked
// while none is there, and a tray that comes is still seen.
TEST(WindowTray, WithoutSilentTraysOnlyTheBusIsFollowed)
{
    PrivateBus bus;
    ASSERT_TRUE(bus.Running()) << "dbus-daemon did not start";
    bool tray = false;
    TTrayWatch watch(false);
    watch.SetProbe([&] { return tray; });
    watch.SetSilentTrays(false);
    watch.WatchBus(bus.Connect(QStringLiteral("watch")));
    EXPECT_FALSE(watch.Polling());

    QDBusConnection panel = bus.Connect(QStringLiteral("panel"));
    tray = true;
    ASSERT_TRUE(panel.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
    ASSERT_TRUE(Eventually([&] { return watch.Available(); }));
    EXPECT_FALSE(watch.Polling());
}

// With TT the tray shows the temperature and says place, condition and
// temperature; turned off in the settings it is the program's icon and hint
// again at once, and a window with it on but no weather shows the usual icon.
TEST(WindowTray, TheTemperatureInTheTrayFollowsTheWeatherAndTheSetting)
{
    TStandIn service;
    ASSERT_TRUE(service.WaitUntilListening());
    TWindowRun run;
    run.WriteSettings(service.Base(), QStringLiteral("demo-key"), {{QLatin1String(kTrayTemperatureName), "1"}});
    Twnd_nb_Main &window = run.Open();
    window.TrayWatch()->SetProbe([] { return true; });
    window.TrayWatch()->Check(); // the tray comes before the weather
    ASSERT_NE(window.Tray(), nullptr);
    ASSERT_TRUE(run.WaitForRefreshEnd());
    ASSERT_TRUE(window.HasWeather());

    THeaderPanel *panel = window.Header();
    const QString place = panel->LocationText();
    const QString condition = panel->FullText(panel->Label(QStringLiteral("lDesc")));
    const QString temperature = panel->FullText(panel->Label(QStringLiteral("lTemp")));
    EXPECT_TRUE(window.Tray()->ShowsTemperature());
    EXPECT_EQ(window.Tray()->Icon().toolTip(), place + QLatin1Char('\n') + condition + QLatin1Char('\n') + temperature);
    EXPECT_TRUE(window.Tray()->Icon().icon().availableSizes().contains(QSize(48, 48)));

    window.LayoutManager().StoredValues().SetValueByName(QLatin1String(kTrayTemperatureName), false);
    window.ApplySettings();
    EXPECT_FALSE(window.Tray()->ShowsTemperature());
    EXPECT_EQ(window.Tray()->Icon().toolTip(), TTrayIcon::kHint);
    ASSERT_TRUE(run.WaitForRefreshEnd());
    EXPECT_EQ(window.Tray()->Icon().toolTip(), TTrayIcon::kHint);

    // Back on: the temperature again, and stored so.
    window.LayoutManager().StoredValues().SetValueByName(QLatin1String(kTrayTemperatureName), true);
    window.ApplySettings();
    ASSERT_TRUE(run.WaitForRefreshEnd());
    EXPECT_TRUE(window.Tray()->ShowsTemperature());
    run.Close();
    EXPECT_EQ(run.StoredText(TLayoutManagerValues::kDefaultSection, QLatin1String(kTrayTemperatureName)),
              QStringLiteral("1"));

    TWindowRun dead;
    dead.WriteSettings(kDeadService, QStringLiteral("k"), {{QLatin1String(kTrayTemperatureName), "1"}});
    Twnd_nb_Main &without = dead.Open();
    without.TrayWatch()->SetProbe([] { return true; });
    without.TrayWatch()->Check();
    ASSERT_TRUE(dead.WaitForRefreshEnd());
    ASSERT_NE(without.Tray(), nullptr);
    EXPECT_FALSE(without.Tray()->ShowsTemperature());
    EXPECT_EQ(without.Tray()->Icon().toolTip(), TTrayIcon::kHint);
}
