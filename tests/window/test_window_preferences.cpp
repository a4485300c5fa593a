// The preferences dialog from the window: the settings button and the menu
// open it, OK writes the settings, applies them and refreshes once, a start
// without a key opens it with the key field focused, and a language chosen
// there applies at once.
#include "ForecastList.h"
#include "HeaderPanel.h"
#include "LangController.h"
#include "LocationSelector.h"
#include "MainMenu.h"
#include "OmniBar.h"
#include "PrefsDialog.h"
#include "StandIn.h"
#include "TitleBar.h"
#include "WindowRun.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTimer>

#include <functional>
#include <string>

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
            dialog.FIntervalSpin->setValue(15);
            QTest::keyClick(dialog.FIntervalSpin, Qt::Key_Return);
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
            dialog.FIntervalSpin->setValue(20);
            QTest::keyClick(dialog.FIntervalSpin, Qt::Key_Escape);
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
            QTest::keyClicks(dialog.FKeyEdit, QStringLiteral("demo-key"));
            QTest::keyClick(dialog.FKeyEdit, Qt::Key_Return);
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
        dialog.FLocationEdit->setText(QStringLiteral("Vienna"));
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

// A language picked in the preferences is stored and applied at once, without
// a restart: the window's texts, its menu, the dates of the title bar and of
// the rows, the panel's hint after a failure, Qt's own texts and a dialog open
// at the time. "System" goes back to the environment's language; chosen while
// the window is hidden, it leaves the clock stopped.
TEST(WindowPreferences, AChosenLanguageIsStoredAndAppliedAtOnce)
{
    TStandIn service;
    ASSERT_TRUE(service.WaitUntilListening());
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); // the environment speaks English
    const QLocale german(QLocale::German, QLocale::Germany);
    const struct {
        const char *name;
        const char *key;
    } cases[] = {{"weather shown", "demo-key"}, {"a failure shown", "bad"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TWindowRun run;
        run.WriteSettings(service.Base(), QString::fromLatin1(c.key));
        Twnd_nb_Main &window = run.Open();
        ASSERT_TRUE(run.WaitForRefreshEnd());
        const bool weather = window.HasWeather();
        ASSERT_EQ(weather, c.key == std::string("demo-key"));
        Tdld_nb_LS selector(TCities{});
        selector.show();
        ASSERT_EQ(selector.windowTitle(), QStringLiteral("Location Selector"));

        auto choose = [&](const char *language) {
            TPrefsDriver driver([&](Tdlg_nb_Prefs &dialog) {
                dialog.FLanguageCombo->setCurrentIndex(dialog.FLanguageCombo->findData(QString::fromLatin1(language)));
                QTest::mouseClick(dialog.FOkButton, Qt::LeftButton);
            });
            emit window.Menu()->PrefsChosen();
            EXPECT_EQ(driver.Shown(), 1);
        };

        choose("de");
        EXPECT_EQ(run.StoredText(QStringLiteral("Settings"), QStringLiteral("LNG")), QStringLiteral("de"));
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Wettervorhersage"));
        EXPECT_EQ(window.Menu()->PrefsAction()->text(), QStringLiteral("Einstellungen..."));
        EXPECT_EQ(selector.windowTitle(), QStringLiteral("Ortsauswahl"));
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
        EXPECT_EQ(MessageBoxCaptions().confirmation, QStringLiteral("Bestätigung"));
        const QDate today = QDate::currentDate();
        EXPECT_TRUE(window.TitleBar()->DateLabel()->text().startsWith(
            german.toString(today, QStringLiteral("dddd, d. MMMM yyyy"))))
            << window.TitleBar()->DateLabel()->text().toStdString();
        if (weather) {
            ASSERT_GT(window.ForecastList()->RowCount(), 0);
            const TForecastRow &row = window.ForecastList()->Rows().at(0);
            EXPECT_TRUE(row.DateText.contains(german.dayName(row.Date.dayOfWeek()) + QLatin1Char('\n')
                                              + row.Date.toString(QStringLiteral("d.M.yyyy"))))
                << row.DateText.toStdString();
            EXPECT_TRUE(row.DescriptionText.contains(QStringLiteral("Luftfeuchtigkeit")));
        } else {
            ASSERT_TRUE(run.WaitForRefreshEnd());
            EXPECT_TRUE(window.Header()->ErrorIcon()->toolTip().startsWith(
                QStringLiteral("Laden der Daten fehlgeschlagen")))
                << window.Header()->ErrorIcon()->toolTip().toStdString();
        }

        window.hide();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window.TitleBar()->ClockRunning(); }, TWindowRun::kWaitMs));
        choose("");
        EXPECT_EQ(run.StoredText(QStringLiteral("Settings"), QStringLiteral("LNG")), QString());
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Weather Forecast"));
        EXPECT_EQ(window.Menu()->PrefsAction()->text(), QStringLiteral("Preferences..."));
        EXPECT_EQ(selector.windowTitle(), QStringLiteral("Location Selector"));
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
        EXPECT_EQ(MessageBoxCaptions().confirmation, QStringLiteral("Confirmation"));
        EXPECT_FALSE(window.TitleBar()->ClockRunning());
    }
    QLocale::setDefault(saved);
}
