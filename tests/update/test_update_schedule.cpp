#include "UpdateSchedule.h"

#include "LoopbackServer.h"
#include "RefusingPort.h"
#include "UpdatePeers.h"
#include "UpdateRun.h"
#include "WaitFor.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <atomic>

namespace {

constexpr int kFirstMs = 15 * 60 * 1000;
constexpr int kLaterMs = 5 * 60 * 60 * 1000;

class UpdateSchedules : public ::testing::Test
{
protected:
    void SetUp() override
    {
        server.http.Get("/webupdate.html", [this](const httplib::Request &, httplib::Response &response) {
            ++pageHits;
            response.set_content(MetaPage({{"NBName", "Nimbrel"},
                                           {"NBVersion", version},
                                           {"NBDownload", "setup.tar.gz"},
                                           {"NBPage", page}}),
                                 "text/html");
        });
        server.http.Get("/setup.tar.gz", [this](const httplib::Request &, httplib::Response &response) {
            ++downloadHits;
            response.set_content("bytes", "application/gzip");
        });
        ASSERT_TRUE(server.Start());
    }

    QString PageUrl() const { return server.BaseUrl() + QStringLiteral("/webupdate.html"); }

    LoopbackServer server;
    std::atomic<int> pageHits{0};
    std::atomic<int> downloadHits{0};
    std::string version = "1.0";
    std::string page = "https://maker.example/nimbrel";
};

struct Questions {
    explicit Questions(TUpdateSchedule &schedule)
    {
        QObject::connect(&schedule, &TUpdateSchedule::NewVersionFound, [this](const QString &version, const QUrl &url) {
            versions << version;
            addresses << url;
        });
    }
    QStringList versions;
    QList<QUrl> addresses;
};

TEST_F(UpdateSchedules, FifteenMinutesFirstThenFiveHoursUntilAnUpdate)
{
    TUpdateSchedule schedule(PageUrl(), QStringLiteral("1.0"));
    Questions questions(schedule);
    EXPECT_FALSE(schedule.TimerActive());
    schedule.SetEnabled(true);
    EXPECT_TRUE(schedule.TimerActive());
    EXPECT_EQ(schedule.TimerIntervalMs(), kFirstMs);

    ScheduleCheckToTheEnd(schedule); // the page names the running version
    EXPECT_EQ(pageHits, 1);
    EXPECT_TRUE(schedule.TimerActive());
    EXPECT_EQ(schedule.TimerIntervalMs(), kLaterMs);

    version = "1.1";
    ScheduleCheckToTheEnd(schedule);
    EXPECT_FALSE(schedule.TimerActive());
    EXPECT_TRUE(schedule.UpdateFound());
    EXPECT_EQ(downloadHits, 0); // the automatic download is declined
    EXPECT_EQ(questions.versions, QStringList{QStringLiteral("1.1")});
    EXPECT_EQ(questions.addresses, QList<QUrl>{QUrl(QStringLiteral("https://maker.example/nimbrel"))});

    // Once asked, the schedule stays stopped, also when the settings are applied again.
    schedule.SetEnabled(true);
    ScheduleCheckToTheEnd(schedule);
    EXPECT_FALSE(schedule.TimerActive());
    EXPECT_EQ(pageHits, 2);
    EXPECT_EQ(questions.versions.size(), 1);
}

TEST_F(UpdateSchedules, AFailedCheckAlsoWaitsFiveHours)
{
    const RefusingPort refusing;
    ASSERT_NE(refusing.Port(), 0);
    TUpdateSchedule schedule(refusing.BaseUrl() + QStringLiteral("/webupdate.html"), QStringLiteral("1.0"));
    Questions questions(schedule);
    int ended = 0;
    QObject::connect(&schedule, &TUpdateSchedule::CheckEnded, [&] { ++ended; });
    schedule.SetEnabled(true);
    ScheduleCheckToTheEnd(schedule);
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(schedule.TimerActive());
    EXPECT_EQ(schedule.TimerIntervalMs(), kLaterMs);
    EXPECT_FALSE(schedule.Check().DownloadError().isEmpty());
    EXPECT_TRUE(questions.versions.isEmpty());
}

TEST_F(UpdateSchedules, NoAddressOrNoWishNeverChecks)
{
    const struct {
        const char *name;
        bool withAddress;
        bool checkForUpdates;
    } cases[] = {
        {"no address", false, true},
        {"address, but the user does not want checks", true, false},
    };
    for (const auto &c : cases) {
        TUpdateSchedule schedule(c.withAddress ? PageUrl() : QString(), QStringLiteral("1.0"), {1, 1});
        schedule.SetEnabled(c.checkForUpdates);
        EXPECT_FALSE(schedule.TimerActive()) << c.name;
        QTest::qWait(20);
        if (!c.withAddress)
            ScheduleCheckToTheEnd(schedule);
        EXPECT_EQ(pageHits, 0) << c.name;
    }
}

TEST_F(UpdateSchedules, TheTimerStartsTheChecks)
{
    version = "2.0";
    TUpdateSchedule schedule(PageUrl(), QStringLiteral("1.0"), {1, 1});
    Questions questions(schedule);
    schedule.SetEnabled(true);
    ASSERT_TRUE(EventuallyEq([&] { return questions.versions.size(); }, 1));
    EXPECT_FALSE(schedule.TimerActive());
    EXPECT_EQ(pageHits, 1);

    // Turned off before its time, it never looks.
    TUpdateSchedule off(PageUrl(), QStringLiteral("1.0"), {1, 1});
    off.SetEnabled(true);
    off.SetEnabled(false);
    QTest::qWait(20);
    EXPECT_EQ(pageHits, 1);
}

TEST_F(UpdateSchedules, WhatYesOpens)
{
    version = "2.0";
    const struct {
        const char *page;
        QString opens;
    } cases[] = {
        {"https://maker.example/nimbrel", QStringLiteral("https://maker.example/nimbrel")},
        // The page's information address must be a web address; else the download's.
        {"file:///usr/bin/something", server.BaseUrl() + QStringLiteral("/setup.tar.gz")},
        {"javascript:alert(1)", server.BaseUrl() + QStringLiteral("/setup.tar.gz")},
        {"", server.BaseUrl() + QStringLiteral("/setup.tar.gz")},
    };
    for (const auto &c : cases) {
        page = c.page;
        TUpdateSchedule schedule(PageUrl(), QStringLiteral("1.0"));
        Questions questions(schedule);
        ScheduleCheckToTheEnd(schedule);
        EXPECT_EQ(questions.addresses, QList<QUrl>{QUrl(c.opens)}) << c.page;
    }
}

} // namespace

namespace {

TEST(UpdateScheduleLifetime, DestroyedWhileItsCheckWaitsForThePage)
{
    LoopbackServer server;
    Gate gate;
    server.http.Get("/webupdate.html", [&gate](const httplib::Request &, httplib::Response &response) {
        gate.Wait();
        response.set_content(MetaPage({{"NBName", "Nimbrel"}, {"NBVersion", "2.0"}}), "text/html");
    });
    ASSERT_TRUE(server.Start());
    auto *schedule = new TUpdateSchedule(server.BaseUrl() + QStringLiteral("/webupdate.html"), QStringLiteral("1.0"));
    QTimer::singleShot(0, [&] {
        delete schedule;
        schedule = nullptr;
    });
    schedule->CheckNow();
    EXPECT_TRUE(Eventually([&] { return schedule == nullptr; }));
    gate.Open();
}

} // namespace
