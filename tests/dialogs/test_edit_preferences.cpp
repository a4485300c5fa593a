// The whole round as the main window runs it: the dialog over the window's
// settings, then the settings written to the INI file and applied once.
#include "EditPreferences.h"
#include "LayoutManager.h"
#include "LayoutManagerINIStorage.h"
#include "PrefsTestSupport.h"
#include "WaitFor.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

namespace {

const QString kStoredKey = QStringLiteral("stored-key-1234");

class EditPreferencesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        layout = OpenLayout();
        host.Layout = layout.get();
        host.Search = [](TRequestRecord &, TCities &, const TCancelFlag &) { return true; };
        host.OpenUrl = [](const QUrl &) {};
        host.SetStayOnTop = [this](bool onTop) { events.append(onTop ? "on top" : "normal"); };
        host.ApplySettings = [this] { events.append("apply"); };
        QObject::connect(layout.get(), &TLayoutManager::OnBeforeSave, [this] { events.append("save"); });
    }

    QString IniFile() const { return dir.filePath(QStringLiteral("Nimbrel.ini")); }

    // A layout manager over the INI file with the nine values, as a start makes it.
    std::unique_ptr<TLayoutManager> OpenLayout() const
    {
        auto manager = std::make_unique<TLayoutManager>();
        manager->SetStorage(std::make_shared<TLayoutManagerINIStorage>(IniFile()));
        RegisterDefaults(manager->StoredValues());
        manager->Restore();
        return manager;
    }

    // The settings as the next start reads them back from the file.
    TAppSettings Reread() const { return ReadSettings(OpenLayout()->StoredValues()); }

    QByteArray FileBytes() const
    {
        QFile file(IniFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Runs EditPreferences; `drive` works the shown dialog and ends it.
    bool Edit(std::function<void(Tdlg_nb_Prefs &)> drive, TPrefsFocus focus = TPrefsFocus::Location)
    {
        host.OnShow = [drive](Tdlg_nb_Prefs &dialog) {
            QTimer::singleShot(0, &dialog, [&dialog, drive] {
                drive(dialog);
                if (dialog.isVisible())
                    dialog.reject(); // a failed step must not leave the dialog open
            });
        };
        return focus == TPrefsFocus::ApiKey ? OfferPreferencesWithoutKey(host) : EditPreferences(host, focus);
    }

    QTemporaryDir dir;
    std::unique_ptr<TLayoutManager> layout;
    TPreferencesHost host;
    QStringList events;
};

TEST_F(EditPreferencesTest, OkWritesEveryValueAndAppliesOnce)
{
    layout->StoredValues().SetValueByName(QLatin1String(kApiKeyName), kStoredKey);
    const bool confirmed = Edit([](Tdlg_nb_Prefs &dialog) {
        TypeLocation(dialog, QStringLiteral("Brno,CZ"));
        ClickButton(dialog.FImperialRadio);
        dialog.FIntervalSpin->setValue(15);
        ClickButton(dialog.FPaidCheck);
        dialog.FDaysSpin->setValue(9);
        ClickButton(dialog.FOnTopCheck);
        ClickButton(dialog.FStartupCheck);
        ClickButton(dialog.FUpdatesCheck);
        ClickButton(dialog.FOwnPicturesCheck);
        EXPECT_FALSE(dialog.FTrayTempCheck->isChecked()); // off unless asked for
        ClickButton(dialog.FTrayTempCheck);
        dialog.FKeyEdit->setText(QStringLiteral("new-key-5678"));
        QTest::mouseClick(dialog.FOkButton, Qt::LeftButton);
    });
    ASSERT_TRUE(confirmed);
    EXPECT_EQ(events, (QStringList{"on top", "save", "apply"}));
    EXPECT_TRUE(host.StayOnTop);

    const TAppSettings stored = Reread();
    EXPECT_EQ(stored.Units, 1);
    EXPECT_EQ(stored.Location, QStringLiteral("Brno,CZ")); 
    EXPECT_EQ(stored.LocationId, -1);                         // never searched: kept
    EXPECT_EQ(stored.RefreshMinutes, 15);
    EXPECT_EQ(stored.ForecastDays, 9);
    EXPECT_FALSE(stored.RunAtStartup);
    EXPECT_FALSE(stored.CheckForUpdates);
    EXPECT_FALSE(stored.OwnPictures);
    EXPECT_TRUE(stored.TrayTemperature);
    EXPECT_EQ(stored.ApiKey, QStringLiteral("new-key-5678"));
    EXPECT_TRUE(stored.Paid);
    // The key reaches the file enciphered only.
    EXPECT_FALSE(FileBytes().contains("new-key-5678"));
}

TEST_F(EditPreferencesTest, WhatOkKeepsFromTheStoredValues)
{
    TLayoutManagerValues &values = layout->StoredValues();
    values.SetValueByName(QLatin1String(kApiKeyName), kStoredKey);
    values.SetValueByName(QLatin1String(kForecastDaysName), 12);
    values.SetValueByName(QLatin1String(kRefreshIntervalName), 0); // automatic refresh off
    ASSERT_TRUE(layout->Save());
    events.clear();

    QString shownInterval;
    ASSERT_TRUE(Edit([&shownInterval](Tdlg_nb_Prefs &dialog) {
        shownInterval = dialog.FIntervalSpin->text();
        QTest::mouseClick(dialog.FOkButton, Qt::LeftButton);
    }));
    EXPECT_EQ(shownInterval, QStringLiteral("off"));
    const TAppSettings stored = Reread();
    EXPECT_EQ(stored.ForecastDays, 5); // a free key stores 5 whatever was stored
    EXPECT_EQ(stored.RefreshMinutes, 0);
    EXPECT_EQ(stored.ApiKey, kStoredKey);
    EXPECT_EQ(events, (QStringList{"normal", "save", "apply"}));

    ASSERT_TRUE(Edit([](Tdlg_nb_Prefs &dialog) {
        dialog.FIntervalSpin->setValue(30);
        QTest::mouseClick(dialog.FOkButton, Qt::LeftButton);
    }));
    EXPECT_EQ(Reread().RefreshMinutes, 30);
}

// The temperature in the tray is shown as stored and stored as left, both ways.
TEST_F(EditPreferencesTest, TrayTemperatureRoundTrips)
{
    layout->StoredValues().SetValueByName(QLatin1String(kApiKeyName), kStoredKey);
    for (const bool stored : {true, false}) {
        layout->StoredValues().SetValueByName(QLatin1String(kTrayTemperatureName), stored);
        ASSERT_TRUE(layout->Save());
        bool shown = !stored;
        ASSERT_TRUE(Edit([&shown](Tdlg_nb_Prefs &dialog) {
            shown = dialog.FTrayTempCheck->isChecked();
            ClickButton(dialog.FTrayTempCheck);
            QTest::mouseClick(dialog.FOkButton, Qt::LeftButton);
        }));
        EXPECT_EQ(shown, stored);
        EXPECT_EQ(Reread().TrayTemperature, !stored);
    }
}

// A build without an update page hides the check box and keeps the stored choice.
TEST_F(EditPreferencesTest, UpdateChecksHiddenWithoutAnUpdatePageKeepTheirSetting)
{
    layout->StoredValues().SetValueByName(QLatin1String(kApiKeyName), kStoredKey);
    for (const bool offered : {true, false}) {
        host.OfferUpdateChecks = offered;
        bool shown = !offered;
        ASSERT_TRUE(Edit([&shown](Tdlg_nb_Prefs &dialog) {
            shown = dialog.FUpdatesCheck->isVisible();
            QTest::mouseClick(dialog.FOkButton, Qt::LeftButton);
        }));
        EXPECT_EQ(shown, offered);
        EXPECT_TRUE(Reread().CheckForUpdates) << offered;
    }
}

TEST_F(EditPreferencesTest, LocationAndIdOnOk)
{
    TCity berlin;
    berlin.ID = 2950159;
    berlin.Name = QStringLiteral("Berlin");
    berlin.Country = QStringLiteral("DE");
    host.Search = [berlin](TRequestRecord &, TCities &cities, const TCancelFlag &) {
        cities = {berlin};
        return true;
    };
    struct {
        const char *name;
        const char *typed; // null: the location is not touched
        bool pick;         // search and pick the one match
        const char *location;
        qint64 id;
    } cases[] = {
        {"untouched", nullptr, false, "Vienna, AT", 2761369},
        {"an empty text keeps both", "  ", false, "Vienna, AT", 2761369},
        {"a picked place with its id", "berl", true, "Berlin, DE", 2950159},
        // The old id would bring Vienna's weather and its name over the typed one.
        {"a typed place is asked for by name", "Graz", false, "Graz", -1},
    };
    for (const auto &c : cases) {
        TLayoutManagerValues &values = layout->StoredValues();
        values.SetValueByName(QLatin1String(kApiKeyName), kStoredKey);
        values.SetValueByName(QLatin1String(kLocationName), QStringLiteral("Vienna, AT"));
        values.SetValueByName(QLatin1String(kLocationIdName), static_cast<qlonglong>(2761369));
        ASSERT_TRUE(layout->Save());
        ASSERT_TRUE(Edit([&c](Tdlg_nb_Prefs &dialog) {
            if (c.typed)
                TypeLocation(dialog, QString::fromUtf8(c.typed));
            if (c.pick) {
                QTest::keyClick(dialog.FLocationEdit, Qt::Key_Return);
                ASSERT_TRUE(Eventually([&] { return dialog.Selector() && dialog.Selector()->isVisible(); }));
                QTest::keyClick(dialog.Selector()->LocList(), Qt::Key_Return);
                ASSERT_TRUE(Eventually([&] { return dialog.Selector() == nullptr; }));
            }
            QTest::mouseClick(dialog.FOkButton, Qt::LeftButton);
        })) << c.name;
        const TAppSettings stored = Reread();
        EXPECT_EQ(stored.Location, QString::fromUtf8(c.location)) << c.name;
        EXPECT_EQ(stored.LocationId, c.id) << c.name;
    }
}

TEST_F(EditPreferencesTest, CancelChangesNothing)
{
    layout->StoredValues().SetValueByName(QLatin1String(kApiKeyName), kStoredKey);
    ASSERT_TRUE(layout->Save());
    const QByteArray before = FileBytes();
    events.clear();
    EXPECT_FALSE(Edit([](Tdlg_nb_Prefs &dialog) {
        TypeLocation(dialog, QStringLiteral("Oslo"));
        dialog.FIntervalSpin->setValue(20);
        QTest::keyClick(dialog.FIntervalSpin, Qt::Key_Escape);
    }));
    EXPECT_TRUE(events.isEmpty());
    EXPECT_EQ(FileBytes(), before);
    EXPECT_EQ(ReadSettings(layout->StoredValues()).RefreshMinutes, 60);
}

TEST_F(EditPreferencesTest, AStartWithoutAKeyOffersTheDialogWithTheKeyFocused)
{
    QString focused;
    EXPECT_TRUE(ApiKeyMissing(layout->StoredValues()));
    const bool confirmed = Edit(
        [&focused](Tdlg_nb_Prefs &dialog) {
            focused = dialog.focusWidget() ? dialog.focusWidget()->objectName() : QString();
            QTest::keyClicks(dialog.FKeyEdit, QStringLiteral("first-key"));
            QTest::keyClick(dialog.FKeyEdit, Qt::Key_Return);
        },
        TPrefsFocus::ApiKey);
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(focused, QStringLiteral("eOWMKey"));
    EXPECT_EQ(Reread().ApiKey, QStringLiteral("first-key"));
    EXPECT_EQ(events.count("apply"), 1);

    // With a key stored it does not open at all.
    events.clear();
    bool shown = false;
    host.OnShow = [&shown](Tdlg_nb_Prefs &) { shown = true; };
    EXPECT_FALSE(OfferPreferencesWithoutKey(host));
    EXPECT_FALSE(shown);
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(EditPreferencesTest, CancellingTheFirstStartLeavesTheKeyMissing)
{
    EXPECT_FALSE(Edit([](Tdlg_nb_Prefs &dialog) { dialog.reject(); }, TPrefsFocus::ApiKey));
    EXPECT_TRUE(events.isEmpty());
    EXPECT_TRUE(ApiKeyMissing(layout->StoredValues()));
    // Blanks are no key either.
    layout->StoredValues().SetValueByName(QLatin1String(kApiKeyName), QStringLiteral("  "));
    EXPECT_TRUE(ApiKeyMissing(layout->StoredValues()));
}

} // namespace
