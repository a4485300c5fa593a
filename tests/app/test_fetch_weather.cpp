#include "Fixture.h"
#include "FetchStandIn.h"
#include "LoopbackServer.h"
#include "RefreshCycle.h"
#include "Zelto_OWM.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

TEST(FetchWeather, CurrentForecastMissingIconsAndTheMoonTable)
{
    StandInService service;
    ASSERT_TRUE(service.Started());
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString dataFolder = folder.path() + QLatin1Char('/');

    const TRefreshResult result = FetchWeather(service.Client(), PaidRequest(), dataFolder);
    ASSERT_TRUE(result.Ok) << result.Request.ErrorMessage.toStdString();
    EXPECT_EQ(result.Current.City.Name, QStringLiteral("Prague"));
    EXPECT_EQ(result.Forecast.size(), 2);
    EXPECT_GT(result.MoonTable[0].Time, result.Forecast[0].TimeStamp);
    EXPECT_TRUE(QFile::exists(dataFolder + QStringLiteral("13n.png")));
    EXPECT_TRUE(QFile::exists(dataFolder + QStringLiteral("10d.png")));
    const QStringList first = service.Paths();
    EXPECT_EQ(first.mid(0, 2), (QStringList{QStringLiteral("/data/2.5/weather"), QStringLiteral("/data/2.5/forecast/daily")}));
    EXPECT_TRUE(first.contains(QStringLiteral("/img/w/13n.png")));

    // Icons already in the folder are not fetched again.
    service.ClearPaths();
    ASSERT_TRUE(FetchWeather(service.Client(), PaidRequest(), dataFolder).Ok);
    for (const QString &path : service.Paths())
        EXPECT_FALSE(path.startsWith(QStringLiteral("/img/"))) << path.toStdString();
}

TEST(FetchWeather, TheForecastIsAskedOnlyAfterTheCurrentWeather)
{
    StandInService service;
    ASSERT_TRUE(service.Started());
    service.current = QByteArrayLiteral("{\"cod\":401, \"message\": \"Invalid API key. Please see the FAQ.\"}");
    QTemporaryDir folder;
    const TRefreshResult result = FetchWeather(service.Client(), PaidRequest(), folder.path());
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.Request.ErrorMessage, QStringLiteral("Invalid API key"));
    EXPECT_EQ(service.Paths(), QStringList{QStringLiteral("/data/2.5/weather")});
}

TEST(FetchWeather, AFailedForecastDropsTheCurrentWeatherToo)
{
    StandInService service;
    ASSERT_TRUE(service.Started());
    service.forecast.clear();
    QTemporaryDir folder;
    const TRefreshResult result = FetchWeather(service.Client(), PaidRequest(), folder.path());
    EXPECT_FALSE(result.Ok);
    EXPECT_FALSE(result.Request.ErrorMessage.isEmpty());
    EXPECT_TRUE(result.Current.City.Name.isEmpty());
    EXPECT_TRUE(result.Forecast.isEmpty());
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files).isEmpty()); // no icons fetched
}

TEST(FetchWeather, AMalformedValueIsAFailureWithItsMessage)
{
    StandInService service;
    ASSERT_TRUE(service.Started());
    service.current.replace("number=\"600\" ", "");
    QTemporaryDir folder;
    TRefreshResult result;
    EXPECT_NO_THROW(result = FetchWeather(service.Client(), PaidRequest(), folder.path()));
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.Request.ErrorMessage, QStringLiteral("The condition has no number"));
    EXPECT_EQ(service.Paths(), QStringList{QStringLiteral("/data/2.5/weather")});
}

TEST(FetchWeather, MissingIconsAreListedOnce)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile present(folder.filePath(QStringLiteral("01d.png")));
    ASSERT_TRUE(present.open(QIODevice::WriteOnly));
    present.close();

    TWeatherRecord current;
    current.Weather.Icon = QStringLiteral("10d.png");
    TWeatherData forecast(4);
    forecast[0].Weather.Icon = QStringLiteral("01d.png");
    forecast[1].Weather.Icon = QStringLiteral("10d.png");
    forecast[2].Weather.Icon = QStringLiteral("13n.png");
    EXPECT_EQ(MissingIcons(current, forecast, folder.path()),
              (QStringList{QStringLiteral("10d.png"), QStringLiteral("13n.png")}));
}

// Closing the program during a refresh must not wait for a slow service: the
// cycle's cancel flag ends the fetch, which then fails. Without it the peer's
// late answer would make the refresh succeed.
TEST(FetchWeather, ACancelledFetchEndsWithoutWaitingForTheService)
{
    std::mutex mutex;
    std::condition_variable released;
    bool release = false;
    bool asked = false;
    LoopbackServer slow;
    slow.http.Get(".*", [&](const httplib::Request &, httplib::Response &response) {
        std::unique_lock<std::mutex> lock(mutex);
        asked = true;
        released.notify_all();
        released.wait_for(lock, std::chrono::seconds(10), [&] { return release; });
        response.set_content(ReadFixture(QStringLiteral("current.xml")).toStdString(), "text/xml");
    });
    ASSERT_TRUE(slow.Start());

    auto cancel = std::make_shared<std::atomic<bool>>(false);
    TOwmClient client(slow.BaseUrl(), slow.BaseUrl());
    client.HttpOptions().Cancel = cancel;
    QTemporaryDir folder;
    auto cycle = std::make_unique<TRefreshCycle>(
        [client, path = folder.path()](TRequestRecord request) { return FetchWeather(client, request, path); },
        [] { return PaidRequest(); });
    cycle->SetCancelFlag(cancel);

    TRefreshResult result;
    result.Ok = true;
    std::thread worker([&] { result = FetchWeather(client, PaidRequest(), folder.path()); });
    {
        std::unique_lock<std::mutex> lock(mutex);
        released.wait(lock, [&] { return asked; });
    }
    cycle.reset(); // the window goes away
    EXPECT_TRUE(cancel->load());
    worker.join();
    {
        std::lock_guard<std::mutex> lock(mutex);
        release = true;
    }
    released.notify_all();
    EXPECT_FALSE(result.Ok);
    EXPECT_FALSE(result.Request.ErrorMessage.isEmpty());
}
