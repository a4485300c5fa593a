#include "EventRefresh.h"
#include "RefreshCycle.h"

#include <gtest/gtest.h>

#include <QTimer>
#include <QtTest/QTest>

#include <atomic>
#include <memory>

namespace {

constexpr int kWaitMs = 5000;
const QDateTime kStart(QDate(2026, 12, 10), QTime(7, 0), Qt::UTC);

// A cycle on a fake clock whose fetch answers from the event loop, and the
// events' rule.
struct EventFixture {
    QDateTime now = kStart;
    bool failing = false;
    int fetches = 0;
    TRefreshCycle cycle{[this](const TCancelFlag &) {
        ++fetches;
        QTimer::singleShot(0, &cycle, [this] {
            cycle.FetchEnded(failing ? TFailureKind::NoAnswer : TFailureKind::None);
            ++finished;
        });
    }};
    TEventRefresh events{cycle};
    int finished = 0;

    EventFixture() { cycle.SetClock([this] { return now; }); }

    bool RefreshNow()
    {
        const int before = finished;
        cycle.Refresh();
        return QTest::qWaitFor([&] { return finished > before; }, kWaitMs);
    }
    // An event, and the refresh it may start run to its end.
    bool Event(bool (TEventRefresh::*event)())
    {
        const int before = finished;
        if (!(events.*event)())
            return false;
        EXPECT_TRUE(QTest::qWaitFor([&] { return finished > before; }, kWaitMs));
        return true;
    }
    void Advance(qint64 secs) { now = now.addSecs(secs); }
};

} // namespace

TEST(EventRefresh, WantedWhenStaleOrFailed)
{
    const struct {
        const char *name;
        qint64 ageSecs; // -1: no success yet
        bool lastFailed;
        int configuredMs;
        bool wanted;
    } cases[] = {
        {"fresh", 59 * 60, false, 3600000, false},
        {"as old as the interval", 60 * 60, false, 3600000, true},
        {"older than the interval", 5 * 3600, false, 3600000, true},
        {"fresh but the last attempt failed", 60, true, 3600000, true},
        {"never refreshed", -1, false, 3600000, true},
        {"automatic refresh off, old", 48 * 3600, false, 0, false},
        {"automatic refresh off, failed", 60, true, 0, true},
    };
    for (const auto &c : cases) {
        const QDateTime success = c.ageSecs < 0 ? QDateTime() : kStart.addSecs(-c.ageSecs);
        EXPECT_EQ(EventRefreshWanted(success, c.lastFailed, c.configuredMs, kStart), c.wanted) << c.name;
    }
}

TEST(EventRefresh, AWakeAndTheNetworkRefreshOnceWhenStaleNotWhenFresh)
{
    for (auto event : {&TEventRefresh::Woke, &TEventRefresh::NetworkOnline}) {
        EventFixture f;
        f.cycle.SetIntervalMinutes(60);
        ASSERT_TRUE(f.RefreshNow());
        f.Advance(10 * 60);
        EXPECT_FALSE(f.Event(event));
        EXPECT_EQ(f.fetches, 1);

        // Asleep for two hours: the data are stale.
        f.Advance(2 * 3600);
        EXPECT_TRUE(f.Event(event));
        EXPECT_EQ(f.fetches, 2);
        // Fresh again.
        f.Advance(60);
        EXPECT_FALSE(f.Event(event));
        EXPECT_EQ(f.fetches, 2);
    }
}

TEST(EventRefresh, AfterAFailureEventsRefreshAtMostOnceInThirtySeconds)
{
    EventFixture f;
    f.cycle.SetIntervalMinutes(60);
    f.failing = true;
    ASSERT_TRUE(f.RefreshNow());

    // The wake and the network coming back a moment later: one refresh.
    EXPECT_TRUE(f.Event(&TEventRefresh::Woke));
    f.Advance(3);
    EXPECT_FALSE(f.Event(&TEventRefresh::NetworkOnline));
    f.Advance(kEventRefreshGapSecs - 4);
    EXPECT_FALSE(f.Event(&TEventRefresh::NetworkOnline));
    EXPECT_EQ(f.fetches, 2);
    f.Advance(1);
    EXPECT_TRUE(f.Event(&TEventRefresh::NetworkOnline));
    EXPECT_EQ(f.fetches, 3);

    // A clock set back does not hold events off either.
    f.Advance(-3600);
    EXPECT_TRUE(f.Event(&TEventRefresh::Woke));
    EXPECT_EQ(f.fetches, 4);
}

TEST(EventRefresh, NothingWhileARefreshRuns)
{
    EventFixture f;
    f.cycle.Refresh(); // not waited for
    EXPECT_TRUE(f.cycle.IsRefreshing());
    EXPECT_FALSE(f.events.Woke());
    EXPECT_FALSE(f.cycle.IsRefreshPending());
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.finished == 1; }, kWaitMs));
    EXPECT_EQ(f.fetches, 1);
}
