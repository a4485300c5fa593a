// The window's update checks as it sets them up, against the stand-in's update
// page named in the settings file; the question box is answered here.
#include "AppletUpdates.h"

#include "LayoutManagerINIStorage.h"
#include "UpdateStandIn.h"
#include "UpdateAddress.h"
#include "WaitFor.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

namespace {

const QString kTitle = QStringLiteral("Nimbrel");

TUpdateQuestionTexts EnglishTexts()
{
    return {QStringLiteral("New version %s is available."), QStringLiteral("Do you want to download it?")};
}

// A settings file with the given [Service] section text.
class TSettingsFile
{
public:
    explicit TSettingsFile(const QString &serviceSection)
    {
        QFile file(FileName());
        if (file.open(QIODevice::WriteOnly))
            file.write("[Service]\n" + serviceSection.toUtf8() + "\n");
    }
    QString FileName() const { return FDir.filePath(QStringLiteral("Nimbrel.ini")); }

private:
    QTemporaryDir FDir;
};

// Answers every question box that opens, and remembers what it said.
class TBoxAnswerer
{
public:
    explicit TBoxAnswerer(QMessageBox::StandardButton answer)
    {
        FPoll.setInterval(10);
        QObject::connect(&FPoll, &QTimer::timeout, [this, answer] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            titles << box->windowTitle();
            texts << box->text();
            box->button(answer)->click();
        });
        FPoll.start();
    }
    QStringList titles;
    QStringList texts;

private:
    QTimer FPoll;
};

TEST(AppletUpdates, TheStandInsNewerVersionIsAskedAboutOnce)
{
    TUpdateStandIn standIn(QStringLiteral("99.0"));
    ASSERT_TRUE(standIn.Started());
    const struct {
        QMessageBox::StandardButton answer;
        bool opens;
    } cases[] = {{QMessageBox::Yes, true}, {QMessageBox::No, false}};
    for (const auto &c : cases) {
        TSettingsFile settings(QStringLiteral("UpdateUrl=") + standIn.PageUrl());
        TLayoutManagerINIStorage storage(settings.FileName());
        QWidget window;
        window.show();
        QList<QUrl> opened;
        // The texts are read when the question is asked, so a language chosen
        // after the set-up counts.
        TUpdateQuestionTexts texts{QStringLiteral("Verze %s"), QStringLiteral("?")};
        TUpdateSchedule *schedule = CreateAppletUpdates(
            &window, storage, kTitle, [&texts] { return texts; },
            [&opened](const QUrl &url) {
                opened << url;
                return true;
            },
            {1, 1});
        texts = EnglishTexts();
        TBoxAnswerer answerer(c.answer);
        schedule->SetEnabled(true);
        ASSERT_TRUE(EventuallyEq([&] { return answerer.texts.size(); }, 1));
        EXPECT_EQ(answerer.titles.value(0), kTitle);
        EXPECT_EQ(answerer.texts.value(0), QStringLiteral("New version 99.0 is available.\nDo you want to download it?"));
        EXPECT_FALSE(schedule->TimerActive());
        QTest::qWait(30); // the schedule, stopped, asks no more
        EXPECT_EQ(answerer.texts.size(), 1);
        if (c.opens) {
            ASSERT_EQ(opened.size(), 1);
            EXPECT_EQ(opened.at(0).toString(), standIn.PageUrl().replace(QStringLiteral("webupdate"), QStringLiteral("nimbrel")));
        } else {
            EXPECT_TRUE(opened.isEmpty());
        }
    }
}

TEST(AppletUpdates, WithoutAnAddressTheTimerNeverStarts)
{
    for (const QString &service : {QString(), QStringLiteral("UpdateUrl="), QStringLiteral("UpdateUrl=file:///etc/passwd")}) {
        TSettingsFile settings(service);
        TLayoutManagerINIStorage storage(settings.FileName());
        QObject owner;
        TUpdateSchedule *schedule = CreateAppletUpdates(&owner, storage, kTitle, EnglishTexts);
        schedule->SetEnabled(true);
        // A build with an update page of its own checks it instead.
        EXPECT_EQ(schedule->TimerActive(), !BuiltUpdatePageUrl().isEmpty()) << service.toStdString();
    }
}

} // namespace
