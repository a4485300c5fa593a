// The preferences dialog from the window: the settings button and the menu
// open it, OK writes the settings, applies them and refreshes once, and a
// start without a key opens it with the key field focused.
#include "HeaderPanel.h"
#include "MainMenu.h"
#include "OmniBar.h"
#include "PrefsDialog.h"
#include "StandIn.h"
#include "TitleBar.h"
#include "WindowRun.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTimer>

#include <functional>

namespace {

// Works the preferences dialog once it is shown modally (the window's call
// does not return until it closes), then stops looking.
class TPrefsDriver : public QObject
{
public:
    explicit TPrefsDriver(std::function<void(Tdlg_nb_Prefs &)> drive)
        : FDrive(std::move(drive))
    {
        connect(&FTimer, &QTimer::timeout, this, [this] {
            auto *dialog = qobject_cast<Tdlg_nb_Prefs *>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            FTimer.stop();
            ++FShown;
            FDrive(*dialog);
            if (dialog->isVisible())
                dialog->reject(); // a failed step must not leave it open
        });
        FTimer.start(kPollMs);
    }
    int Shown() const { return FShown; }

private:
    static constexpr int kPollMs = 20;
    std::function<void(Tdlg_nb_Prefs &)> FDrive;
    QTimer FTimer;
    int FShown = 0;
};

} // namespace

TEST(WindowPreferences, SettingsButtonAndMenuOpenTheDialogOkWritesAppliesAndRefreshesOnce)
{
    TStandIn service;
    ASSERT_TRUE(service.WaitUntilListening());
    TWindowRun run;
    run.WriteSettings(service.Base(), QStringLiteral("demo-key"));
    Twnd_nb_Main &window = run.Open();
    ASSERT_TRUE(run.WaitForRefreshEnd());
    QSignalSpy refreshes(&window.RefreshCycle(), &TRefreshCycle::RefreshStarted);

    {
        TPrefsDriver driver([](Tdlg_nb_Prefs &dialog) {
            dialog.seWRI->setValue(15);
            QTest::keyClick(dialog.seWRI, Qt::Key_Return);
        });
        emit window.TitleBar()->PrefsButton()->OnClick(window.TitleBar()->PrefsButton());
        EXPECT_EQ(driver.Shown(), 1);
    }
    EXPECT_EQ(run.StoredText(QStringLiteral("Settings"), QStringLiteral("WRI")), QStringLiteral("15"));
    EXPECT_EQ(refreshes.count(), 1);
    ASSERT_TRUE(run.WaitForRefreshEnd());
    EXPECT_EQ(window.RefreshCycle().TimerIntervalMs(), 15 * 60 * 1000);

    // "Preferences..." of the menu; Escape changes nothing and refreshes nothing.
    {
        TPrefsDriver driver([](Tdlg_nb_Prefs &dialog) {
            dialog.seWRI->setValue(20);
            QTest::keyClick(dialog.seWRI, Qt::Key_Escape);
        });
        emit window.Menu()->PrefsChosen();
        EXPECT_EQ(driver.Shown(), 1);
    }
    EXPECT_EQ(run.StoredText(QStringLiteral("Settings"), QStringLiteral("WRI")), QStringLiteral("15"));
    EXPECT_EQ(refreshes.count(), 1);
    EXPECT_TRUE(window.isVisible());
}

TEST(WindowPreferences, AStartWithoutAKeyOpensTheDialogOnceWithTheKeyFocused)
{
    TStandIn service;
    ASSERT_TRUE(service.WaitUntilListening());
    struct {
        const char *name;
        bool enterKey;
    } cases[] = {{"a key entered", true}, {"cancelled", false}};
    for (const auto &c : cases) {
        TWindowRun run;
        run.WriteSettings(service.Base(), QString());
        QString focused;
        TPrefsDriver driver([&](Tdlg_nb_Prefs &dialog) {
            focused = dialog.focusWidget() ? dialog.focusWidget()->objectName() : QString();
            if (!c.enterKey) {
                dialog.reject();
                return;
            }
            QTest::keyClicks(dialog.eOWMKey, QStringLiteral("demo-key"));
            QTest::keyClick(dialog.eOWMKey, Qt::Key_Return);
        });
        Twnd_nb_Main &window = run.Open();
        ASSERT_TRUE(QTest::qWaitFor([&] { return driver.Shown() == 1; }, TWindowRun::kWaitMs)) << c.name;
        EXPECT_EQ(focused, QStringLiteral("eOWMKey")) << c.name;
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window.RefreshCycle().IsRefreshing(); }, TWindowRun::kWaitMs));
        if (c.enterKey) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return window.HasWeather(); }, TWindowRun::kWaitMs)) << c.name;
            EXPECT_TRUE(window.Header()->ErrorIcon()->isHidden()) << c.name;
        } else {
            EXPECT_FALSE(window.Header()->ErrorIcon()->isHidden()) << c.name;
            // No key was set, so the service was not asked: the first line says
            // so, the second where the key goes, and nothing retries by itself.
            const QString hint = window.Header()->ErrorIcon()->toolTip();
            EXPECT_EQ(hint.section(QLatin1Char('\n'), 0, 0), QStringLiteral("Data load failed: No API key is set"))
                << c.name;
            EXPECT_TRUE(hint.section(QLatin1Char('\n'), 1).startsWith(QStringLiteral("Enter your API key in Preferences")))
                << hint.toStdString();
        }
        // Start at logon (on by default) is the user's choice only once confirmed.
        EXPECT_EQ(QFileInfo::exists(run.AutostartFile()), c.enterKey) << c.name;
        // Once per start: it does not come back by itself.
        QTest::qWait(100);
        EXPECT_EQ(driver.Shown(), 1) << c.name;
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << c.name;
    }
}

// A refresh for the old place that ends after the user confirmed a new one:
// the old place's name must not replace the new one (the next refresh would
// then ask for the old place again); and a refresh that ends while the dialog
// is open does not change what the dialog saves.
TEST(WindowPreferences, ARefreshForTheOldPlaceDoesNotOverwriteTheConfirmedOne)
{
    TStandIn service({QStringLiteral("--delay-ms"), QStringLiteral("400")});
    ASSERT_TRUE(service.WaitUntilListening());
    TWindowRun run;
    run.WriteSettings(service.Base(), QStringLiteral("demo-key"));
    Twnd_nb_Main &window = run.Open();
    ASSERT_TRUE(run.WaitForRefreshEnd());
    ASSERT_TRUE(window.HasWeather());
    EXPECT_EQ(run.Window().LayoutManager().StoredValues().GetValueByName(QStringLiteral("WL")).toString(),
              QStringLiteral("Prague, CZ"));

    TPrefsDriver driver([&](Tdlg_nb_Prefs &dialog) {
        // One refresh ends while the dialog is open, another is still under
        // way when it is confirmed.
        window.RefreshWeather();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window.RefreshCycle().IsRefreshing(); }, TWindowRun::kWaitMs));
        window.RefreshWeather();
        dialog.eLoc->setText(QStringLiteral("Vienna"));
        dialog.accept();
    });
    emit window.TitleBar()->PrefsClicked();
    ASSERT_EQ(driver.Shown(), 1);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !window.RefreshCycle().IsRefreshing() && !window.RefreshCycle().IsRefreshPending(); },
        TWindowRun::kWaitMs));
    EXPECT_EQ(window.LayoutManager().StoredValues().GetValueByName(QStringLiteral("WL")).toString(),
              QStringLiteral("Vienna, AT"));
    EXPECT_EQ(window.Header()->LocationText(), QStringLiteral("Vienna, AT"));
}
