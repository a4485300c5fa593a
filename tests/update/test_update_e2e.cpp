// The update check against the stand-in's update page, started as its own process.
#include "UpdateSchedule.h"

#include "UpdateStandIn.h"

#include "UpdateRun.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>

namespace {

TEST(UpdateEndToEnd, TheStandInsPageAsksAndItsDownloadVerifies)
{
    TUpdateStandIn standIn(QStringLiteral("99.0"));
    ASSERT_TRUE(standIn.Started());

    TUpdateSchedule schedule(standIn.PageUrl(), QStringLiteral("0.1.0"));
    QStringList versions;
    QList<QUrl> addresses;
    QObject::connect(&schedule, &TUpdateSchedule::NewVersionFound, [&](const QString &version, const QUrl &url) {
        versions << version;
        addresses << url;
    });
    schedule.SetEnabled(true);
    ScheduleCheckToTheEnd(schedule);
    EXPECT_EQ(versions, QStringList{QStringLiteral("99.0")});
    ASSERT_EQ(addresses.size(), 1);
    EXPECT_EQ(addresses.at(0).path(), QStringLiteral("/nimbrel.html"));
    EXPECT_FALSE(schedule.TimerActive());

    // Accepting the download gets the file the page's SHA256 names.
    QTemporaryDir target;
    TUpdateCheck check;
    check.ProductInfo.SetURL(standIn.PageUrl());
    check.ProductInfo.Version = QStringLiteral("0.1.0");
    check.TagInfo = AppletTagInfo();
    check.Options = TUpdateOptions();
    check.TargetFolder = target.path();
    ASSERT_TRUE(CheckToTheEnd(check)) << check.DownloadError().toStdString();
    EXPECT_TRUE(check.Verified());
    EXPECT_FALSE(check.Info().SHA256.isEmpty());
    QFile file(check.DownloadedFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex()),
              check.Info().SHA256);
}

TEST(UpdateEndToEnd, NoQuestionWhenTheStandInOffersNothingNewer)
{
    TUpdateStandIn standIn(QStringLiteral("0.1.0"));
    ASSERT_TRUE(standIn.Started());
    TUpdateSchedule schedule(standIn.PageUrl(), QStringLiteral("0.1.0"));
    int questions = 0;
    QObject::connect(&schedule, &TUpdateSchedule::NewVersionFound, [&] { ++questions; });
    schedule.SetEnabled(true);
    ScheduleCheckToTheEnd(schedule);
    EXPECT_EQ(questions, 0);
    EXPECT_EQ(schedule.TimerIntervalMs(), 5 * 60 * 60 * 1000);
    EXPECT_TRUE(schedule.Check().DownloadError().isEmpty());
}

} // namespace
