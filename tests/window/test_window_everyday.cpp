// What users of the window meet every day: the last good weather at once at
// start, a refresh after a wake, failures that say what to do and wait longer
// each time, and a clock that stands still while nobody can see it.
#include "ClockControl.h"
#include "ForecastList.h"
#include "HeaderPanel.h"
#include "StandIn.h"
#include "SystemEvents.h"
#include "TitleBar.h"
#include "WaitFor.h"
#include "WeatherCache.h"
#include "WindowRoll.h"
#include "WindowRun.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QNetworkInformation>

#include <utility>

namespace {

QString Text(Twnd_nb_Main &window, const char *label)
{
    return window.Header()->FullText(window.Header()->Label(QLatin1String(label)));
}

QString CacheFile(TWindowRun &run, const char *name)
{
    return run.DataFolder() + QLatin1String(kWeatherCacheFolder) + QLatin1Char('/') + QLatin1String(name);
}

} // namespace

TEST(WindowEveryday, TheLastGoodWeatherIsShownBeforeTheServiceAnswers)
{
    TWindowRun run;
    {
        TStandIn service;
        ASSERT_TRUE(service.WaitUntilListening());
        run.WriteSettings(service.Base(), QStringLiteral("demo-key"));
        Twnd_nb_Main &window = run.Open();
        ASSERT_TRUE(run.WaitForRefreshEnd());
        ASSERT_TRUE(window.HasWeather());
        run.Close();
    }
    ASSERT_TRUE(QFile::exists(CacheFile(run, kCacheIndexFile)));

    // The next start, with a service that takes its time.
    TStandIn slow({QStringLiteral("--delay-ms"), QStringLiteral("2000")});
    ASSERT_TRUE(slow.WaitUntilListening());
    run.WriteSettings(slow.Base(), QStringLiteral("demo-key"));
    Twnd_nb_Main &window = run.Open();
    ASSERT_TRUE(window.RefreshCycle().IsRefreshing());
    EXPECT_TRUE(window.HasWeather());
    EXPECT_EQ(Text(window, "lLoc"), QStringLiteral("Prague, CZ"));
    EXPECT_FALSE(Text(window, "lTemp").isEmpty());
    const QString hint = window.Header()->WeatherIcon()->toolTip();
    EXPECT_TRUE(hint.startsWith(QStringLiteral("as of "))) << hint.toStdString();

    // The answer replaces it, with the observation time as the hint again.
    ASSERT_TRUE(run.WaitForRefreshEnd());
    EXPECT_TRUE(window.Header()->ErrorIcon()->isHidden());
    EXPECT_FALSE(window.Header()->WeatherIcon()->toolTip().startsWith(QStringLiteral("as of ")));
    run.Close();

    // A damaged cache is not shown, not even in part.
    QFile forecast(CacheFile(run, kCachedForecastFile));
    ASSERT_TRUE(forecast.open(QIODevice::Append));
    forecast.write("<!-- cut -->");
    forecast.close();
    Twnd_nb_Main &again = run.Open();
    ASSERT_TRUE(again.RefreshCycle().IsRefreshing());
    EXPECT_FALSE(again.HasWeather());
    EXPECT_TRUE(Text(again, "lTemp").isEmpty());
    ASSERT_TRUE(run.WaitForRefreshEnd());
    EXPECT_TRUE(again.HasWeather());
}

TEST(WindowEveryday, FailuresSayWhatToDoWaitLongerAndAManualRefreshStartsOver)
{
    TStandIn service;
    ASSERT_TRUE(service.WaitUntilListening());
    TWindowRun run;
    run.WriteSettings(service.Base(), QStringLiteral("bad")); // the stand-in rejects this key
    Twnd_nb_Main &window = run.Open();
    ASSERT_TRUE(run.WaitForRefreshEnd());
    const QStringList lines = window.Header()->ErrorIcon()->toolTip().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("Data load failed: The service refused the API key (Invalid API key)"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Check the API key in Preferences"))) << lines[1].toStdString();
    EXPECT_EQ(window.RefreshCycle().TimerIntervalMs(), 30000);

    // The retry fails as well and waits twice as long.
    window.RefreshCycle().TimerTick();
    ASSERT_TRUE(run.WaitForRefreshEnd());
    EXPECT_EQ(window.RefreshCycle().TimerIntervalMs(), 60000);

    // The refresh button starts over.
    QTest::mouseClick(window.TitleBar()->RefreshButton(), Qt::LeftButton);
    ASSERT_TRUE(run.WaitForRefreshEnd());
    EXPECT_EQ(window.RefreshCycle().TimerIntervalMs(), 30000);
}

TEST(WindowEveryday, AWakeRefreshesOnlyWhatIsStale)
{
    TStandIn service;
    ASSERT_TRUE(service.WaitUntilListening());
    TWindowRun run;
    run.WriteSettings(service.Base(), QStringLiteral("demo-key"));
    Twnd_nb_Main &window = run.Open();
    ASSERT_TRUE(run.WaitForRefreshEnd());
    ASSERT_TRUE(window.HasWeather());

    // Just refreshed: a wake changes nothing.
    emit window.SystemEvents()->Woke();
    EXPECT_FALSE(window.RefreshCycle().IsRefreshing());

    // The service went away and the last attempt failed: the wake tries again.
    service.Stop();
    window.RefreshWeather();
    ASSERT_TRUE(run.WaitForRefreshEnd());
    ASSERT_TRUE(window.RefreshCycle().LastFailed());
    emit window.SystemEvents()->Woke();
    EXPECT_TRUE(window.RefreshCycle().IsRefreshing());
    ASSERT_TRUE(run.WaitForRefreshEnd());
    // The network's return right after it waits for the 30 seconds to pass.
    emit window.SystemEvents()->NetworkOnline();
    EXPECT_FALSE(window.RefreshCycle().IsRefreshing());
}

// The network's return is followed from the end of the first refresh on: its
// backend is not loaded while the window starts.
TEST(WindowEveryday, TheNetworkIsFollowedOnceTheFirstRefreshHasEnded)
{
    TStandIn slow({QStringLiteral("--delay-ms"), QStringLiteral("500")});
    ASSERT_TRUE(slow.WaitUntilListening());
    TWindowRun run;
    run.WriteSettings(slow.Base(), QStringLiteral("demo-key"));
    Twnd_nb_Main &window = run.Open();
    ASSERT_TRUE(window.RefreshCycle().IsRefreshing());
    EXPECT_FALSE(window.SystemEvents()->WatchingNetwork());
    ASSERT_TRUE(run.WaitForRefreshEnd());
    // Where this machine has a backend at all.
    const bool backend = QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
    EXPECT_TRUE(EventuallyEq([&] { return window.SystemEvents()->WatchingNetwork(); }, backend));
}

TEST(WindowEveryday, TheClockStopsWhileHiddenAndShowsTheTimeAtOnceWhenShown)
{
    TWindowRun run;
    run.WriteSettings(QStringLiteral("http://127.0.0.1:1"), QStringLiteral("demo-key"));
    Twnd_nb_Main &window = run.Open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.TitleBar()->ClockRunning(); }, TWindowRun::kWaitMs));

    window.hide();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.TitleBar()->ClockRunning(); }, TWindowRun::kWaitMs));
    QLabel *clock = window.TitleBar()->TimeLabel();
    clock->setText(QString()); // what a stopped clock would show after a while
    QTest::qWait(1200);
    EXPECT_TRUE(clock->text().isEmpty()); // no tick while hidden

    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.TitleBar()->ClockRunning(); }, TWindowRun::kWaitMs));
    EXPECT_FALSE(clock->text().isEmpty());

    // Rolled up, the title bar and its clock are still in sight.
    window.Roll()->Toggle();
    ASSERT_TRUE(window.Roll()->RolledUp());
    QTest::qWait(50);
    EXPECT_TRUE(window.TitleBar()->ClockRunning());
}

// The place decides which way up the list's moon is drawn.
TEST(WindowEveryday, ASouthernPlaceTurnsTheListsMoon)
{
    TStandIn service;
    ASSERT_TRUE(service.WaitUntilListening());
    for (const auto &[place, upsideDown] : {std::pair{"Sydney,AU", true}, std::pair{"Prague,CZ", false}}) {
        TWindowRun run;
        run.WriteSettings(service.Base(), QStringLiteral("demo-key"), {{QStringLiteral("WL"), QLatin1String(place)}});
        Twnd_nb_Main &window = run.Open();
        ASSERT_TRUE(run.WaitForRefreshEnd());
        ASSERT_TRUE(window.HasWeather()) << place;
        ASSERT_GT(window.ForecastList()->RowCount(), 0) << place;
        for (const TForecastRow &row : window.ForecastList()->Rows())
            EXPECT_EQ(row.MoonUpsideDown, upsideDown) << place;
    }
}
