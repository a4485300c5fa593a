// The fetch unit with the real client against a loopback service: what one
// refresh asks in which order, what it hands over, the pictures that follow,
// and how it ends when the program closes.
#include "Fixture.h"
#include "FetchStandIn.h"
#include "LoopbackServer.h"
#include "WaitFor.h"
#include "WeatherFetch.h"
#include "Zelto_OWM.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThreadPool>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

TCancelFlag NewCancelFlag(std::shared_ptr<std::atomic<bool>> &flag)
{
    flag = std::make_shared<std::atomic<bool>>(false);
    return flag;
}

} // namespace

TEST(FetchWeather, CurrentForecastAstronomyAndThePicturesStillMissing)
{
    StandInService service;
    ASSERT_TRUE(service.Started());
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString dataFolder = folder.path() + QLatin1Char('/');

    const TWeatherResult result = FetchWeather(service.Client(), PaidRequest(), dataFolder);
    ASSERT_TRUE(result.Ok()) << result.Request.Failure.Message.toStdString();
    EXPECT_EQ(result.Current.City.Name, QStringLiteral("Prague"));
    EXPECT_EQ(result.Forecast.size(), 2);
    EXPECT_GT(result.Astronomy.MoonTable[0].Time, result.Forecast[0].TimeStamp);
    EXPECT_EQ(result.Astronomy.Moon.size(), result.Forecast.size());
    EXPECT_EQ(result.Astronomy.Sun.size(), result.Forecast.size());
    // The pictures are named, not fetched: the weather does not wait for them.
    EXPECT_TRUE(result.MissingPictures.contains(QStringLiteral("13n.png")));
    EXPECT_TRUE(result.MissingPictures.contains(QStringLiteral("10d.png")));
    EXPECT_EQ(service.Paths(),
              (QStringList{QStringLiteral("/data/2.5/weather"), QStringLiteral("/data/2.5/forecast/daily")}));
}

TEST(FetchWeather, TheForecastIsAskedOnlyAfterTheCurrentWeather)
{
    StandInService service;
    ASSERT_TRUE(service.Started());
    service.current = QByteArrayLiteral("{\"cod\":401, \"message\": \"Invalid API key. Please see the FAQ.\"}");
    QTemporaryDir folder;
    const TWeatherResult result = FetchWeather(service.Client(), PaidRequest(), folder.path());
    EXPECT_FALSE(result.Ok());
    EXPECT_EQ(result.Request.Failure.Kind, TFailureKind::InvalidKey);
    EXPECT_EQ(result.Request.Failure.Message, QStringLiteral("Invalid API key"));
    EXPECT_EQ(service.Paths(), QStringList{QStringLiteral("/data/2.5/weather")});
}

TEST(FetchWeather, AFailedForecastDropsTheCurrentWeatherToo)
{
    StandInService service;
    ASSERT_TRUE(service.Started());
    service.forecast.clear();
    QTemporaryDir folder;
    const TWeatherResult result = FetchWeather(service.Client(), PaidRequest(), folder.path());
    EXPECT_FALSE(result.Ok());
    EXPECT_EQ(result.Request.Failure.Kind, TFailureKind::NoAnswer);
    EXPECT_TRUE(result.Current.City.Name.isEmpty());
    EXPECT_TRUE(result.Forecast.isEmpty());
    EXPECT_TRUE(result.MissingPictures.isEmpty());
}

TEST(FetchWeather, AMalformedValueIsABadDocumentWithItsMessage)
{
    StandInService service;
    ASSERT_TRUE(service.Started());
    service.current.replace("number=\"600\" ", "");
    QTemporaryDir folder;
    TWeatherResult result;
    EXPECT_NO_THROW(result = FetchWeather(service.Client(), PaidRequest(), folder.path()));
    EXPECT_EQ(result.Request.Failure.Kind, TFailureKind::BadDocument);
    EXPECT_EQ(result.Request.Failure.Message, QStringLiteral("The condition has no number"));
    EXPECT_EQ(service.Paths(), QStringList{QStringLiteral("/data/2.5/weather")});
}

// A start without a key: the service is not asked, and the failure says so.
TEST(FetchWeather, WithoutAKeyNothingIsAsked)
{
    StandInService service;
    ASSERT_TRUE(service.Started());
    QTemporaryDir folder;
    for (const QString &key : {QString(), QStringLiteral("   ")}) {
        TRequestRecord request = PaidRequest();
        request.Key = key;
        const TWeatherResult result = FetchWeather(service.Client(), request, folder.path());
        EXPECT_EQ(result.Request.Failure.Kind, TFailureKind::NoKey);
    }
    EXPECT_TRUE(service.Paths().isEmpty());
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
// cancel flag ends the fetch, which then fails as cancelled. Without it the
// peer's late answer would make the refresh succeed.
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

    std::shared_ptr<std::atomic<bool>> flag;
    const TCancelFlag cancel = NewCancelFlag(flag);
    const TOwmClient client(slow.BaseUrl(), slow.BaseUrl());
    QTemporaryDir folder;
    TWeatherResult result;
    std::atomic<bool> ended{false};
    std::thread worker([&] {
        result = FetchWeather(client, PaidRequest(), folder.path(), cancel);
        ended = true;
    });
    {
        std::unique_lock<std::mutex> lock(mutex);
        released.wait(lock, [&] { return asked; });
    }
    flag->store(true); // the program closes
    // The fetch ends while the service still holds its answer.
    for (int i = 0; i < 500 && !ended; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(ended.load());
    {
        std::lock_guard<std::mutex> lock(mutex);
        release = true;
    }
    released.notify_all();
    worker.join();
    EXPECT_EQ(result.Request.Failure.Kind, TFailureKind::Cancelled);
}

namespace {

// A fetch unit against the stand-in with a folder of its own, recording what
// it hands over and which pictures it announces.
class WeatherFetchPictures : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(service.Started());
        ASSERT_TRUE(folder.isValid());
        QObject::connect(fetch.get(), &TWeatherFetch::Finished,
                         [this](const TWeatherResult &result) { finished << result; });
    }
    bool Start() { return fetch->Start(PaidRequest(), cancel); }

    StandInService service;
    QTemporaryDir folder;
    const QString dataFolder = folder.path() + QLatin1Char('/');
    std::shared_ptr<std::atomic<bool>> flag;
    const TCancelFlag cancel = NewCancelFlag(flag);
    std::unique_ptr<TWeatherFetch> fetch = std::make_unique<TWeatherFetch>(service.Clients(), dataFolder);
    QList<TWeatherResult> finished;
    QSignalSpy arrived{fetch.get(), &TWeatherFetch::PictureArrived};
};

} // namespace

// The unit hands over the weather before any picture arrives; the pictures
// follow one by one. A stalled picture host holds up neither the weather nor
// the next fetch, and the pictures it owes are not asked twice meanwhile.
TEST_F(WeatherFetchPictures, TheWeatherComesFirstAndEachPictureWhenItArrives)
{
    service.HoldPictures();
    ASSERT_TRUE(Start());
    EXPECT_FALSE(Start()); // one at a time
    ASSERT_TRUE(EventuallyEq([&] { return finished.size(); }, 1));
    ASSERT_TRUE(finished[0].Ok());
    EXPECT_FALSE(fetch->Running());
    ASSERT_TRUE(EventuallyEq([&] { return service.PicturesAsked(); }, 3));
    EXPECT_EQ(arrived.count(), 0);

    // The next refresh runs while the pictures still stall, and asks none again.
    ASSERT_TRUE(Start());
    ASSERT_TRUE(EventuallyEq([&] { return finished.size(); }, 2));
    EXPECT_EQ(service.PicturesAsked(), 3);

    service.ReleasePictures();
    ASSERT_TRUE(EventuallyEq([&] { return arrived.count(); }, 3));
    QStringList names;
    for (const QList<QVariant> &signal : arrived)
        names << signal.at(0).toString();
    names.sort();
    EXPECT_EQ(names, (QStringList{QStringLiteral("01d.png"), QStringLiteral("10d.png"), QStringLiteral("13n.png")}));
    EXPECT_TRUE(QFile::exists(dataFolder + QStringLiteral("13n.png")));
    EXPECT_TRUE(QFile::exists(dataFolder + QStringLiteral("10d.png")));
    ASSERT_TRUE(Eventually([&] { return fetch->PicturesInFlight().isEmpty(); }));

    // Pictures in the folder are not asked for again.
    ASSERT_TRUE(Start());
    ASSERT_TRUE(EventuallyEq([&] { return finished.size(); }, 3));
    EXPECT_TRUE(finished[2].MissingPictures.isEmpty());
    EXPECT_EQ(service.PicturesAsked(), 3);
}

// Closing while the pictures stall: they end at once, write nothing, and
// nothing reaches an object that is gone.
TEST_F(WeatherFetchPictures, CancelEndsStalledPicturesAndTheObjectMayGoFirst)
{
    service.HoldPictures();
    ASSERT_TRUE(Start());
    ASSERT_TRUE(EventuallyEq([&] { return finished.size(); }, 1));
    ASSERT_TRUE(EventuallyEq([&] { return service.PicturesAsked(); }, 3));

    flag->store(true);
    fetch.reset();
    // The workers end without the service letting go of the pictures.
    QThreadPool::globalInstance()->waitForDone();
    WaitForPictureDownloads();
    EXPECT_TRUE(QDir(dataFolder).entryList({QStringLiteral("*.png")}, QDir::Files).isEmpty());
}

// With the program's own pictures the refresh names no picture missing and
// fetches none; pictures still on their way when the choice changed are not
// announced, so they cannot replace the drawings.
TEST_F(WeatherFetchPictures, OwnPicturesFetchNoneAndAnnounceNoLateArrival)
{
    fetch->SetServicePictures(false);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(EventuallyEq([&] { return finished.size(); }, 1));
    ASSERT_TRUE(finished[0].Ok());
    EXPECT_TRUE(finished[0].MissingPictures.isEmpty());
    // Pictures are asked for as the result is handed over, or not at all.
    EXPECT_TRUE(fetch->PicturesInFlight().isEmpty());

    service.HoldPictures();
    fetch->SetServicePictures(true);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(EventuallyEq([&] { return finished.size(); }, 2));
    EXPECT_EQ(finished[1].MissingPictures.size(), 3);
    ASSERT_TRUE(EventuallyEq([&] { return service.PicturesAsked(); }, 3));
    fetch->SetServicePictures(false);
    service.ReleasePictures();
    ASSERT_TRUE(Eventually([&] { return fetch->PicturesInFlight().isEmpty(); }));
    EXPECT_EQ(arrived.count(), 0);
    EXPECT_EQ(service.PicturesAsked(), 3);
}
