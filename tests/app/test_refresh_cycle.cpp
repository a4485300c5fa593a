#include "RefreshCycle.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <QtTest/QTest>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace {

constexpr int kWaitMs = 5000;

// A fetch that holds until the test opens it, and records what it was asked.
class FakeService
{
public:
    TFetchFunction Fetch()
    {
        return [this](TRequestRecord request) { return Answer(request); };
    }

    void Hold() { std::lock_guard<std::mutex> lock(FMutex); FOpen = false; }
    void Open()
    {
        {
            std::lock_guard<std::mutex> lock(FMutex);
            FOpen = true;
        }
        FOpened.notify_all();
    }
    void SetFailing(bool failing) { FFailing = failing; }
    void SetThrowing(bool throwing) { FThrowing = throwing; }

    int Calls() const { return FCalls; }
    int Running() const { return FRunning; }
    QStringList Locations() const
    {
        std::lock_guard<std::mutex> lock(FMutex);
        return FLocations;
    }
    bool RanOffTheUiThread() const { return FOffUiThread; }

private:
    TRefreshResult Answer(const TRequestRecord &request)
    {
        ++FRunning;
        FOffUiThread = FOffUiThread && QThread::currentThread() != QCoreApplication::instance()->thread();
        std::unique_lock<std::mutex> lock(FMutex);
        FLocations << request.LocationName;
        FOpened.wait(lock, [this] { return FOpen; });
        lock.unlock();
        ++FCalls;
        --FRunning;
        if (FThrowing)
            throw std::runtime_error("broken answer");
        TRefreshResult result;
        result.Request = request;
        result.Ok = !FFailing;
        if (FFailing)
            result.Request.ErrorMessage = QStringLiteral("No data received");
        else
            result.Current.City.Name = request.LocationName;
        return result;
    }

    mutable std::mutex FMutex;
    std::condition_variable FOpened;
    bool FOpen = true;
    std::atomic<bool> FFailing{false};
    std::atomic<bool> FThrowing{false};
    std::atomic<int> FCalls{0};
    std::atomic<int> FRunning{0};
    std::atomic<bool> FOffUiThread{true};
    QStringList FLocations;
};

// The cycle with a fake service, the place the settings hold, and what the
// window would have been told.
struct CycleFixture {
    FakeService service;
    QString location = QStringLiteral("Prague, CZ");
    std::unique_ptr<TRefreshCycle> cycle;
    QList<TRefreshResult> finished;
    int started = 0;
    bool finishedOnUiThread = true;

    CycleFixture()
    {
        cycle = std::make_unique<TRefreshCycle>(service.Fetch(), [this] {
            TRequestRecord request;
            request.LocationName = location;
            return request;
        });
        QObject::connect(cycle.get(), &TRefreshCycle::RefreshStarted, [this] { ++started; });
        QObject::connect(cycle.get(), &TRefreshCycle::RefreshFinished, [this](const TRefreshResult &result) {
            finishedOnUiThread = finishedOnUiThread && QThread::currentThread() == QCoreApplication::instance()->thread();
            finished << result;
        });
    }

    ~CycleFixture()
    {
        service.Open();
        QThreadPool::globalInstance()->waitForDone();
    }

    bool WaitFinished(int count)
    {
        return QTest::qWaitFor([&] { return finished.size() >= count; }, kWaitMs);
    }
};

} // namespace

TEST(RefreshCycle, TheUiThreadRunsWhileTheServiceIsAsked)
{
    CycleFixture f;
    f.service.Hold();
    f.cycle->Refresh();
    EXPECT_TRUE(f.cycle->IsRefreshing());
    EXPECT_EQ(f.started, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.service.Running() == 1; }, kWaitMs));

    // A timer of the UI thread fires while the fetch is still held.
    bool ticked = false;
    QTimer::singleShot(10, [&] { ticked = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticked; }, kWaitMs));
    EXPECT_TRUE(f.cycle->IsRefreshing());
    EXPECT_TRUE(f.finished.isEmpty());

    f.service.Open();
    ASSERT_TRUE(f.WaitFinished(1));
    EXPECT_FALSE(f.cycle->IsRefreshing());
    EXPECT_TRUE(f.finished[0].Ok);
    EXPECT_TRUE(f.finishedOnUiThread);
    EXPECT_TRUE(f.service.RanOffTheUiThread());
}

TEST(RefreshCycle, TriggersDuringARefreshFoldIntoOneMoreWithTheNewSettings)
{
    CycleFixture f;
    f.service.Hold();
    f.cycle->Refresh();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.service.Running() == 1; }, kWaitMs));
    f.location = QStringLiteral("Brno, CZ");
    f.cycle->Refresh();
    f.cycle->Refresh();
    f.cycle->TimerTick();
    EXPECT_TRUE(f.cycle->IsRefreshPending());
    EXPECT_EQ(f.started, 1);

    f.service.Open();
    ASSERT_TRUE(f.WaitFinished(2));
    // Give a wrongly queued third refresh the chance to show itself.
    QTest::qWait(50);
    EXPECT_EQ(f.service.Calls(), 2);
    EXPECT_EQ(f.finished.size(), 2);
    EXPECT_EQ(f.started, 2);
    EXPECT_EQ(f.service.Locations(), (QStringList{QStringLiteral("Prague, CZ"), QStringLiteral("Brno, CZ")}));
    EXPECT_EQ(f.finished[1].Current.City.Name, QStringLiteral("Brno, CZ"));
    EXPECT_FALSE(f.cycle->IsRefreshing());
    EXPECT_FALSE(f.cycle->IsRefreshPending());
}

TEST(RefreshCycle, AFailureRetriesAfterThirtySecondsThenTheIntervalComesBack)
{
    CycleFixture f;
    f.cycle->SetIntervalMinutes(60);
    EXPECT_TRUE(f.cycle->TimerActive());
    EXPECT_EQ(f.cycle->TimerIntervalMs(), 3600000);

    f.service.SetFailing(true);
    f.cycle->Refresh();
    ASSERT_TRUE(f.WaitFinished(1));
    EXPECT_FALSE(f.finished[0].Ok);
    EXPECT_EQ(f.finished[0].Request.ErrorMessage, QStringLiteral("No data received"));
    EXPECT_TRUE(f.cycle->TimerActive());
    EXPECT_EQ(f.cycle->TimerIntervalMs(), kRetryIntervalMs);

    // A manual refresh that succeeds meanwhile leaves the retry as it is.
    f.service.SetFailing(false);
    f.cycle->Refresh();
    ASSERT_TRUE(f.WaitFinished(2));
    EXPECT_EQ(f.cycle->TimerIntervalMs(), kRetryIntervalMs);

    f.cycle->TimerTick();
    EXPECT_TRUE(f.cycle->IsRefreshing());
    EXPECT_TRUE(f.cycle->TimerActive());
    EXPECT_EQ(f.cycle->TimerIntervalMs(), 3600000);
    ASSERT_TRUE(f.WaitFinished(3));
    EXPECT_EQ(f.cycle->TimerIntervalMs(), 3600000);
}

TEST(RefreshCycle, WithoutAnIntervalAFailureStillRetriesOnce)
{
    CycleFixture f;
    f.cycle->SetIntervalMinutes(0);
    EXPECT_FALSE(f.cycle->TimerActive());

    f.service.SetFailing(true);
    f.cycle->Refresh();
    ASSERT_TRUE(f.WaitFinished(1));
    EXPECT_TRUE(f.cycle->TimerActive());
    EXPECT_EQ(f.cycle->TimerIntervalMs(), kRetryIntervalMs);

    // The retry succeeds: no timer afterwards.
    f.service.SetFailing(false);
    f.cycle->TimerTick();
    EXPECT_FALSE(f.cycle->TimerActive());
    ASSERT_TRUE(f.WaitFinished(2));
    EXPECT_TRUE(f.finished[1].Ok);
    EXPECT_FALSE(f.cycle->TimerActive());
}

TEST(RefreshCycle, ChangedIntervalsAndIntervalsSwitchedOff)
{
    CycleFixture f;
    f.cycle->SetIntervalMinutes(10);
    EXPECT_EQ(f.cycle->TimerIntervalMs(), 600000);
    EXPECT_TRUE(f.cycle->TimerActive());
    f.cycle->SetIntervalMinutes(-1);
    EXPECT_FALSE(f.cycle->TimerActive());
    EXPECT_EQ(f.cycle->ConfiguredIntervalMs(), 0);
    EXPECT_EQ(f.started, 0); // setting an interval does not refresh by itself
}

TEST(RefreshCycle, AnExceptionOfTheFetchIsAFailureWithItsMessage)
{
    CycleFixture f;
    f.service.SetThrowing(true);
    f.cycle->Refresh();
    ASSERT_TRUE(f.WaitFinished(1));
    EXPECT_FALSE(f.finished[0].Ok);
    EXPECT_EQ(f.finished[0].Request.ErrorMessage, QStringLiteral("broken answer"));
    EXPECT_EQ(f.finished[0].Request.LocationName, QStringLiteral("Prague, CZ"));
    EXPECT_EQ(f.cycle->TimerIntervalMs(), kRetryIntervalMs);

    f.service.SetThrowing(false);
    f.cycle->Refresh();
    ASSERT_TRUE(f.WaitFinished(2));
    EXPECT_TRUE(f.finished[1].Ok);
}

TEST(RefreshCycle, GoingAwayDuringAFetchIsSafe)
{
    CycleFixture f;
    f.service.Hold();
    f.cycle->Refresh();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.service.Running() == 1; }, kWaitMs));
    f.cycle.reset();
    f.service.Open();
    QThreadPool::globalInstance()->waitForDone();
    QTest::qWait(20);
    EXPECT_TRUE(f.finished.isEmpty());
    EXPECT_EQ(f.service.Calls(), 1);
}

TEST(RefreshBackOff, TheWaitDoublesUpToTheIntervalOrHalfAnHourWithoutOne)
{
    const struct {
        int configuredMs;
        std::vector<int> waitsSeconds; // after the 1st, 2nd, ... failure in a row
    } cases[] = {
        {60 * 60 * 1000, {30, 60, 120, 240, 480, 960, 1920, 3600, 3600}},
        {0, {30, 60, 120, 240, 480, 960, 1800, 1800}},
        {1 * 60 * 1000, {30, 60, 60}},
        {10 * 60 * 1000, {30, 60, 120, 240, 480, 600, 600}},
    };
    for (const auto &c : cases) {
        for (size_t i = 0; i < c.waitsSeconds.size(); ++i)
            EXPECT_EQ(RetryIntervalMs(static_cast<int>(i) + 1, c.configuredMs), c.waitsSeconds[i] * 1000)
                << "interval " << c.configuredMs << " ms, failure " << i + 1;
    }
    // However long the failures last, the wait stays at the cap.
    EXPECT_EQ(RetryIntervalMs(1000000, 0), kRetryCapWithoutIntervalMs);
}

TEST(RefreshBackOff, FailuresInARowWaitLongerUntilASuccess)
{
    CycleFixture f;
    f.cycle->SetIntervalMinutes(60);
    f.service.SetFailing(true);
    f.cycle->Refresh();
    ASSERT_TRUE(f.WaitFinished(1));
    EXPECT_EQ(f.cycle->TimerIntervalMs(), 30000);
    // Each retry that fails again waits twice as long.
    for (int expected : {60000, 120000, 240000}) {
        f.cycle->TimerTick();
        ASSERT_TRUE(f.WaitFinished(f.finished.size() + 1));
        EXPECT_EQ(f.cycle->TimerIntervalMs(), expected);
        EXPECT_TRUE(f.cycle->TimerActive());
    }
    EXPECT_EQ(f.cycle->FailuresInRow(), 4);

    // A success brings the interval back and the next failure starts over.
    f.service.SetFailing(false);
    f.cycle->TimerTick();
    ASSERT_TRUE(f.WaitFinished(5));
    EXPECT_EQ(f.cycle->TimerIntervalMs(), 3600000);
    EXPECT_EQ(f.cycle->FailuresInRow(), 0);
    f.service.SetFailing(true);
    f.cycle->TimerTick();
    ASSERT_TRUE(f.WaitFinished(6));
    EXPECT_EQ(f.cycle->TimerIntervalMs(), 30000);
}

TEST(RefreshBackOff, AManualRefreshOrConfirmedPreferencesStartOver)
{
    CycleFixture f;
    f.cycle->SetIntervalMinutes(60);
    f.service.SetFailing(true);
    for (int i = 1; i <= 3; ++i) {
        f.cycle->Refresh();
        ASSERT_TRUE(f.WaitFinished(i));
    }
    EXPECT_EQ(f.cycle->TimerIntervalMs(), 120000);

    f.cycle->ManualRefresh();
    ASSERT_TRUE(f.WaitFinished(4));
    EXPECT_EQ(f.cycle->TimerIntervalMs(), 30000);

    f.cycle->Refresh();
    ASSERT_TRUE(f.WaitFinished(5));
    EXPECT_EQ(f.cycle->TimerIntervalMs(), 60000);
    f.cycle->ResetBackOff(); // the preferences dialog was confirmed
    f.cycle->SetIntervalMinutes(60);
    f.cycle->Refresh();
    ASSERT_TRUE(f.WaitFinished(6));
    EXPECT_EQ(f.cycle->TimerIntervalMs(), 30000);
}

// With automatic refresh off, each failure still schedules its one retry, later
// each time; the first success stops the timer.
TEST(RefreshBackOff, WithoutAnIntervalRetriesBackOffAndStopAfterASuccess)
{
    CycleFixture f;
    f.cycle->SetIntervalMinutes(0);
    f.service.SetFailing(true);
    f.cycle->Refresh();
    ASSERT_TRUE(f.WaitFinished(1));
    for (int expected : {60000, 120000}) {
        f.cycle->TimerTick();
        EXPECT_FALSE(f.cycle->TimerActive()); // nothing but the retry runs it
        ASSERT_TRUE(f.WaitFinished(f.finished.size() + 1));
        EXPECT_TRUE(f.cycle->TimerActive());
        EXPECT_EQ(f.cycle->TimerIntervalMs(), expected);
    }
    f.service.SetFailing(false);
    f.cycle->TimerTick();
    ASSERT_TRUE(f.WaitFinished(4));
    EXPECT_FALSE(f.cycle->TimerActive());
    EXPECT_FALSE(f.cycle->NextAttempt().isValid());
}

TEST(RefreshCycle, TheLastOutcomeAndTheNextAttemptFollowTheClock)
{
    CycleFixture f;
    QDateTime now(QDate(2026, 12, 10), QTime(8, 0), Qt::UTC);
    f.cycle->SetClock([&] { return now; });
    f.cycle->SetIntervalMinutes(60);
    EXPECT_FALSE(f.cycle->LastSuccess().isValid());
    EXPECT_FALSE(f.cycle->LastFailed());

    f.cycle->Refresh();
    ASSERT_TRUE(f.WaitFinished(1));
    EXPECT_EQ(f.cycle->LastSuccess(), now);
    EXPECT_FALSE(f.cycle->LastFailed());

    now = now.addSecs(600);
    f.service.SetFailing(true);
    f.cycle->Refresh();
    ASSERT_TRUE(f.WaitFinished(2));
    EXPECT_EQ(f.cycle->LastSuccess(), now.addSecs(-600));
    EXPECT_TRUE(f.cycle->LastFailed());
    EXPECT_EQ(f.cycle->NextAttempt(), now.addSecs(30));
    f.cycle->TimerTick();
    EXPECT_EQ(f.cycle->NextAttempt(), now.addSecs(3600));

    // Weather read back from the data folder counts as a success of its time,
    // never as a later one than the last real success.
    f.cycle->NoteCachedSuccess(now.addSecs(-3600));
    EXPECT_EQ(f.cycle->LastSuccess(), now.addSecs(-600));
}
