// The window's update checks against the stand-in's update page named in the
// settings file: the first look after 15 minutes, then every 5 hours while
// nothing newer is offered, and the question when something is.
#include "LangConsts.h"
#include "StandIn.h"
#include "UpdateAddress.h"
#include "UpdateSchedule.h"
#include "WaitFor.h"
#include "WindowRun.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

constexpr int kFirstMs = 15 * 60 * 1000;
constexpr int kLaterMs = 5 * 60 * 60 * 1000;

// The window's run with [Service] UpdateUrl on the stand-in's update page.
Twnd_nb_Main &OpenWithUpdatePage(TWindowRun &run, const TStandIn &service,
                                 const QMap<QString, QString> &values = QMap<QString, QString>())
{
    run.WriteSettings(service.Base(), QStringLiteral("demo-key"), values);
    TLayoutManagerINIStorage storage(run.SettingsFile());
    storage.WriteString(QLatin1String(kUpdateSection), QLatin1String(kUpdateUrlKey),
                        service.Base() + QStringLiteral("/webupdate.html"));
    storage.Close();
    return run.Open();
}

} // namespace

TEST(WindowUpdates, NothingNewerWaitsFiveHoursANewerVersionIsAskedAbout)
{
    TStandIn current({QStringLiteral("--update-version"), QStringLiteral("0.0.1")});
    ASSERT_TRUE(current.WaitUntilListening());
    {
        TWindowRun run;
        Twnd_nb_Main &window = OpenWithUpdatePage(run, current);
        ASSERT_TRUE(run.WaitForRefreshEnd());
        ASSERT_NE(window.Updates(), nullptr);
        EXPECT_TRUE(window.Updates()->TimerActive());
        EXPECT_EQ(window.Updates()->TimerIntervalMs(), kFirstMs);
        window.Updates()->CheckNow(); // as the timer's tick
        ASSERT_TRUE(Eventually([&] { return !window.Updates()->Check().Active(); }));
        EXPECT_TRUE(window.Updates()->TimerActive());
        EXPECT_EQ(window.Updates()->TimerIntervalMs(), kLaterMs);
    }

    TStandIn newer({QStringLiteral("--update-version"), QStringLiteral("99.0")});
    ASSERT_TRUE(newer.WaitUntilListening());
    TWindowRun run;
    Twnd_nb_Main &window = OpenWithUpdatePage(run, newer);
    ASSERT_TRUE(run.WaitForRefreshEnd());
    QString title;
    QString text;
    // "No": a test must not start the desktop's browser.
    QTimer answer;
    answer.setInterval(10);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        title = box->windowTitle();
        text = box->text();
        box->button(QMessageBox::No)->click();
    });
    answer.start();
    window.Updates()->CheckNow();
    ASSERT_TRUE(Eventually([&] { return !title.isEmpty(); }));
    EXPECT_EQ(title, Twnd_nb_Main::kApplicationTitle);
    EXPECT_EQ(text, QStringLiteral("New version 99.0 is available.\nDo you want to download it?"));
    EXPECT_FALSE(window.Updates()->TimerActive());
    EXPECT_TRUE(window.Updates()->UpdateFound());
}

TEST(WindowUpdates, CheckingForUpdatesOffKeepsTheTimerStopped)
{
    TStandIn service;
    ASSERT_TRUE(service.WaitUntilListening());
    TWindowRun run;
    Twnd_nb_Main &window = OpenWithUpdatePage(run, service, {{QStringLiteral("CFU"), QStringLiteral("0")}});
    ASSERT_TRUE(run.WaitForRefreshEnd());
    EXPECT_FALSE(window.Updates()->TimerActive());
}
