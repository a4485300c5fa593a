// The refresh cycle with the fetch unit, wired as the window wires them: the
// cycle starts a fetch, the fetch's end goes back to the cycle.
#include "FailureAdvice.h"
#include "RefreshCycle.h"
#include "WeatherFetch.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <QtTest/QTest>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace {

constexpr int kWaitMs = 5000;
constexpr int kCancelLookMs = 10;

// A fetch that holds until the test opens it, and records what it was asked.
class FakeService
{
public:
    TWeatherFetch::TFetchFunction Fetch()
    {
        return [this](const TRequestRecord &request, const TCancelFlag &cancel) { return Answer(request, cancel); };
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
    void SetFailing(bool failing) { FFailure = failing ? TFailureKind::NoAnswer : TFailureKind::None; }
    void SetFailure(TFailureKind kind) { FFailure = kind; }
    void SetThrowing(bool throwing) { FThrowing = throwing; }

    int Calls() const { return FCalls; }
    int Running() const { return FRunning; }
    QStringList Locations() const
    {
        std::lock_guard<std::mutex> lock(FMutex);
        return FLocations;
    }
    bool RanOffTheUiThread() const { return FOffUiThread; }
    // The cancel flag the last fetch held, as that fetch saw it when it ended.
    bool SawCancel() const { return FSawCancel; }

private:
    TWeatherResult Answer(const TRequestRecord &request, const TCancelFlag &cancel)
    {
        ++FRunning;
        FOffUiThread = FOffUiThread && QThread::currentThread() != QCoreApplication::instance()->thread();
        std::unique_lock<std::mutex> lock(FMutex);
        FLocations << request.LocationName;
        // A cancel ends the wait as it ends a transfer: nobody signals the
        // flag, so it is looked at in short steps, as the transport does.
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
        while (!FOpen && !(cancel && cancel->load()) && std::chrono::steady_clock::now() < giveUp)
            FOpened.wait_for(lock, std::chrono::milliseconds(kCancelLookMs));
        lock.unlock();
        FSawCancel = cancel && cancel->load();
        ++FCalls;
        --FRunning;
        if (FThrowing)
            throw std::runtime_error("broken answer");
        TWeatherResult result;
        result.Request = request;
        if (FSawCancel)
            result.Request.Failure = MakeFailure(TFailureKind::Cancelled, QStringLiteral("No data received"));
        else if (FFailure != TFailureKind::None)
            result.Request.Failure = MakeFailure(FFailure, QStringLiteral("No data received"));
        else
            result.Current.City.Name = request.LocationName;
        return result;
    }

    mutable std::mutex FMutex;
    std::condition_variable FOpened;
    bool FOpen = true;
    std::atomic<TFailureKind> FFailure{TFailureKind::None};
    std::atomic<bool> FThrowing{false};
    std::atomic<bool> FSawCancel{false};
    std::atomic<int> FCalls{0};
    std::atomic<int> FRunning{0};
    std::atomic<bool> FOffUiThread{true};
    QStringList FLocations;
};

// The cycle and the fetch with a fake service, the place the settings hold,
// and what the window would have been told.
struct CycleFixture {
    FakeService service;
    QString location = QStringLiteral("Prague, CZ");
    std::unique_ptr<TWeatherFetch> fetch;
    std::unique_ptr<TRefreshCycle> cycle;
    QList<TWeatherResult> finished;
    int started = 0;
    bool finishedOnUiThread = true;

    CycleFixture()
    {
        fetch = std::make_unique<TWeatherFetch>(service.Fetch(), TWeatherFetch::TPicturesFunction());
        cycle = std::make_unique<TRefreshCycle>([this](const TCancelFlag &cancel) {
            TRequestRecord request;
            request.LocationName = location;
            fetch->Start(request, cancel);
        });
        QObject::connect(cycle.get(), &TRefreshCycle::RefreshStarted, [this] { ++started; });
        QObject::connect(fetch.get(), &TWeatherFetch::Finished, [this](const TWeatherResult &result) {
            finishedOnUiThread = finishedOnUiThread && QThread::currentThread() == QCoreApplication::instance()->thread();
            if (cycle)
                cycle->FetchEnded(result.Request.Failure.Kind);
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
    EXPECT_TRUE(f.finished[0].Ok());
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
    EXPECT_FALSE(f.finished[0].Ok());
    EXPECT_EQ(f.finished[0].Request.Failure.Kind, TFailureKind::NoAnswer);
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
    EXPECT_TRUE(f.finished[1].Ok());
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
    EXPECT_FALSE(f.finished[0].Ok());
    EXPECT_EQ(f.finished[0].Request.Failure.Kind, TFailureKind::BadDocument);
    EXPECT_EQ(f.finished[0].Request.Failure.Message, QStringLiteral("broken answer"));
    EXPECT_EQ(f.finished[0].Request.LocationName, QStringLiteral("Prague, CZ"));
    EXPECT_EQ(f.cycle->TimerIntervalMs(), kRetryIntervalMs);

    f.service.SetThrowing(false);
    f.cycle->Refresh();
    ASSERT_TRUE(f.WaitFinished(2));
    EXPECT_TRUE(f.finished[1].Ok());
}

TEST(RefreshCycle, GoingAwayDuringAFetchIsSafe)
{
    CycleFixture f;
    f.service.Hold();
    f.cycle->Refresh();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.service.Running() == 1; }, kWaitMs));
    f.cycle.reset();
    f.fetch.reset();
    // The fetch still running heard that it is not wanted any more.
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.service.Calls() == 1; }, kWaitMs));
    EXPECT_TRUE(f.service.SawCancel());
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
            EXPECT_EQ(RetryIntervalMs(static_cast<int>(i) + 1, c.configuredMs, TRetry::Soon), c.waitsSeconds[i] * 1000)
                << "interval " << c.configuredMs << " ms, failure " << i + 1;
    }
    // However long the failures last, the wait stays at the cap.
    EXPECT_EQ(RetryIntervalMs(1000000, 0, TRetry::Soon), kRetryCapWithoutIntervalMs);
    // What is never retried has no wait.
    EXPECT_EQ(RetryIntervalMs(1, 60 * 60 * 1000, TRetry::Never), 0);
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

// Each kind's back-off as the cycle applies it after a first failure, with
// an interval of an hour and with none.
TEST(RefreshBackOff, TheKindOfFailureChoosesTheWait)
{
    const struct {
        TFailureKind kind;
        int waitWithIntervalMs; // 0: no timer
        int waitWithoutIntervalMs;
    } cases[] = {
        {TFailureKind::TimedOut, kRetryIntervalMs, kRetryIntervalMs},
        {TFailureKind::HttpStatus, kRetryIntervalMs, kRetryIntervalMs},
        {TFailureKind::InvalidKey, kRetryIntervalMs, kRetryIntervalMs},
        // Nothing to ask until a key is set: the interval goes on as configured.
        {TFailureKind::NoKey, 3600000, 0},
    };
    for (const auto &c : cases) {
        for (const int minutes : {60, 0}) {
            SCOPED_TRACE(::testing::Message() << AdviceFor(c.kind).LogName << ", interval " << minutes);
            CycleFixture f;
            f.cycle->SetIntervalMinutes(minutes);
            f.service.SetFailure(c.kind);
            f.cycle->Refresh();
            ASSERT_TRUE(f.WaitFinished(1));
            const int expected = minutes > 0 ? c.waitWithIntervalMs : c.waitWithoutIntervalMs;
            EXPECT_EQ(f.cycle->TimerActive(), expected > 0);
            if (expected > 0) {
                EXPECT_EQ(f.cycle->TimerIntervalMs(), expected);
            }
        }
    }
}

// Closing the program: the fetch under way hears it at once, nothing is
// shown or scheduled after it, and no trigger starts another.
TEST(RefreshCycle, CancelEndsTheRunningFetchAndStartsNoOther)
{
    CycleFixture f;
    f.cycle->SetIntervalMinutes(60);
    f.service.Hold();
    f.cycle->Refresh();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.service.Running() == 1; }, kWaitMs));
    f.cycle->Cancel();
    EXPECT_TRUE(f.cycle->CancelFlag()->load());
    ASSERT_TRUE(f.WaitFinished(1));
    EXPECT_TRUE(f.service.SawCancel());
    EXPECT_EQ(f.finished[0].Request.Failure.Kind, TFailureKind::Cancelled);
    EXPECT_FALSE(f.cycle->IsRefreshing());
    EXPECT_FALSE(f.cycle->TimerActive());
    EXPECT_FALSE(f.cycle->LastFailed());

    f.cycle->Refresh();
    f.cycle->TimerTick();
    f.cycle->SetIntervalMinutes(30);
    EXPECT_EQ(f.started, 1);
    EXPECT_FALSE(f.cycle->TimerActive());
}
