// The preferences dialog against the stand-in service: opening from the
// settings, the search and its outcomes, the worker thread, and keyboard use.
#include "FakeService.h"
#include "LangConsts.h"
#include "LocationSelector.h"
#include "LoopbackServer.h"
#include "Mnemonic.h"
#include "PrefsTestSupport.h"
#include "WaitFor.h"
#include "OpenMeteoClient.h"
#include "Zelto_OWM.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QThreadPool>
#include <QToolButton>
#include <QTreeWidget>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace {

const QString kKey = QStringLiteral("demo");

class PrefsDialogTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { service_ = std::make_unique<TFakeService>(); }
    static void TearDownTestSuite() { service_.reset(); }

    void SetUp() override
    {
        ASSERT_FALSE(service_->Base().isEmpty()) << "the stand-in service did not start";
        settings.Set(kApiKeyName, kKey);
    }

    static TLocationSearch ServiceSearch(const QString &base = service_->Base())
    {
        return ClientLocationSearch(TOwmClient(base, base), TOpenMeteoClient(base, base));
    }

    // A dialog opened on `settings` and shown.
    std::unique_ptr<Tdlg_nb_Prefs> Open(TLocationSearch search = ServiceSearch(), bool stayOnTop = false)
    {
        auto dialog = std::make_unique<Tdlg_nb_Prefs>(std::move(search));
        dialog->SetOpenUrl([this](const QUrl &url) { opened.append(url); });
        dialog->LoadValues(settings.Values, stayOnTop);
        dialog->show();
        return dialog;
    }

    // Searches `text` and waits for the selector or the message.
    static void SearchFor(Tdlg_nb_Prefs &dialog, const QString &text)
    {
        TypeLocation(dialog, text);
        QTest::keyClick(dialog.FLocationEdit, Qt::Key_Return);
        ASSERT_TRUE(Eventually([&] { return !dialog.Searching(); }));
    }

    static inline std::unique_ptr<TFakeService> service_;
    TSettingsValues settings;
    QList<QUrl> opened;
};

// What a screen reader says of a caption with its mnemonic.
TEST(Mnemonic, TheMarkersGoTheWordsStay)
{
    const struct {
        const char *caption;
        const char *said;
    } cases[] = {
        {"&Search", "Search"},      {"Ru&n at startup", "Run at startup"}, {"Salt && &Pepper", "Salt & Pepper"},
        {"設定(&S)", "設定"},       {"場所(&L):", "場所:"},                {"Trailing &", "Trailing "},
        {"No marker", "No marker"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(WithoutMnemonic(QString::fromUtf8(c.caption)), QString::fromUtf8(c.said)) << c.caption;
}

TEST_F(PrefsDialogTest, OpensWithTheStoredValues)
{
    struct {
        const char *name;
        bool paid;
        int storedDays;
        int shownDays;
        qint64 id;
        TLocationState state;
        int units;
        bool imperial;
    } cases[] = {
        {"a free key shows 5 days whatever is stored", false, 12, 5, -1, lsNotSearched, 0, false},
        {"a paid key shows the stored days", true, 12, 12, 0, lsFound, 2, true},
        {"paid days below the spin edit's range", true, 1, 3, 3067696, lsFound, 1, true},
    };
    for (const auto &c : cases) {
        settings.Set(kPaidName, c.paid);
        settings.Set(kForecastDaysName, c.storedDays);
        settings.Set(kLocationIdName, static_cast<qlonglong>(c.id));
        settings.Set(kUnitsName, c.units);
        settings.Set(kRefreshIntervalName, 90);
        settings.Set(kLocationName, QStringLiteral("Vienna, AT"));
        settings.Set(kOwnPicturesName, !c.paid);
        const auto dialog = Open(ServiceSearch(), c.paid);
        EXPECT_EQ(dialog->FDaysSpin->value(), c.shownDays) << c.name;
        EXPECT_EQ(dialog->FDaysSpin->isEnabled(), c.paid) << c.name;
        EXPECT_EQ(dialog->LocationState(), c.state) << c.name;
        EXPECT_EQ(dialog->LocationId(), c.id) << c.name;
        EXPECT_EQ(dialog->FImperialRadio->isChecked(), c.imperial) << c.name;
        EXPECT_EQ(dialog->FOnTopCheck->isChecked(), c.paid) << c.name;
        EXPECT_EQ(dialog->FOwnPicturesCheck->isChecked(), !c.paid) << c.name;
        EXPECT_EQ(dialog->FIntervalSpin->value(), 90) << c.name;
        EXPECT_EQ(dialog->FLocationEdit->text(), QStringLiteral("Vienna, AT")) << c.name;
        EXPECT_EQ(dialog->FKeyEdit->text(), kKey) << c.name;
    }
}

// "System" first, then each shipped language by its own name; the choice is
// stored as the language's code, and a stored text the list does not offer
// stays as it is until the user picks another entry.
TEST_F(PrefsDialogTest, TheLanguageChoiceOffersSystemAndTheShippedLanguages)
{
    {
        const auto dialog = Open();
        QStringList names;
        for (int i = 0; i < dialog->FLanguageCombo->count(); ++i)
            names << dialog->FLanguageCombo->itemText(i);
        EXPECT_EQ(names.value(0), QStringLiteral("System"));
        for (const char *name : {"English", "Deutsch", "Čeština"})
            EXPECT_TRUE(names.contains(QString::fromUtf8(name))) << name;
        EXPECT_EQ(dialog->FLanguageCombo->findData(QStringLiteral("de")), names.indexOf(QStringLiteral("Deutsch")));
    }
    const struct {
        const char *name;
        const char *stored;
        const char *shown;   // the entry's text
        const char *picked;  // the entry chosen before OK; none keeps the shown one
        const char *written;
    } cases[] = {
        {"nothing stored is System", "", "System", nullptr, ""},
        {"a shipped language", "de", "Deutsch", nullptr, "de"},
        {"letter case and blanks", " DE ", "Deutsch", nullptr, " DE "},
        {"System picked", "de", "Deutsch", "System", ""},
        {"a language picked", "", "System", "Deutsch", "de"},
        {"a language whose files are gone", "eo", "eo", nullptr, "eo"},
        {"a text that is no language", "../x*", "System", nullptr, "../x*"},
        {"garbage replaced by a pick", "../x*", "System", "English", "en"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        settings.Set(kLanguageName, QString::fromUtf8(c.stored));
        const auto dialog = Open();
        EXPECT_EQ(dialog->FLanguageCombo->currentText(), QString::fromUtf8(c.shown));
        if (c.picked)
            dialog->FLanguageCombo->setCurrentText(QString::fromUtf8(c.picked));
        bool onTop = false;
        dialog->StoreValues(settings.Values, onTop);
        EXPECT_EQ(settings.Get(kLanguageName).toString(), QString::fromUtf8(c.written));
    }
}

TEST_F(PrefsDialogTest, LimitsAndThePaidSwitch)
{
    const auto dialog = Open();
    EXPECT_EQ(dialog->FIntervalSpin->minimum(), 0); // "off"
    EXPECT_EQ(dialog->FIntervalSpin->maximum(), 1440);
    EXPECT_EQ(dialog->FDaysSpin->minimum(), 3);
    EXPECT_EQ(dialog->FDaysSpin->maximum(), 16);
    EXPECT_EQ(dialog->FLocationEdit->placeholderText(), QStringLiteral("Enter city name"));

    ClickButton(dialog->FPaidCheck);
    ASSERT_TRUE(dialog->FDaysSpin->isEnabled());
    dialog->FDaysSpin->setValue(14);
    ClickButton(dialog->FPaidCheck);
    EXPECT_FALSE(dialog->FDaysSpin->isEnabled());
    EXPECT_EQ(dialog->FDaysSpin->value(), 5);
}

// "off" is offered for no automatic refresh; a number outside 0 and 10 to
// 1440 stays as typed, is told, and keeps the dialog from confirming.
TEST_F(PrefsDialogTest, TheRefreshIntervalOffersOffAndTellsWrongNumbers)
{
    struct {
        const char *typed;
        bool valid;
        int value; // once confirmed
    } const cases[] = {
        {"1441", false, 0}, {"5", false, 0}, {"99999", false, 0}, {"0", true, 0},
        {"off", true, 0},   {"10", true, 10}, {"1440", true, 1440},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        const auto dialog = Open();
        dialog->FIntervalSpin->setFocus();
        dialog->FIntervalSpin->selectAll();
        QTest::keyClicks(dialog->FIntervalSpin, QString::fromLatin1(c.typed));
        EXPECT_EQ(dialog->FIntervalSpin->text(), QString::fromLatin1(c.typed)); // never cut to "144"
        EXPECT_EQ(dialog->RefreshMessage().isEmpty(), c.valid);
        // Leaving the field keeps what was typed.
        dialog->FKeyEdit->setFocus();
        EXPECT_EQ(dialog->FIntervalSpin->text(), QString::fromLatin1(c.typed));
        QTest::mouseClick(dialog->FOkButton, Qt::LeftButton);
        EXPECT_EQ(dialog->isVisible(), !c.valid);
        if (c.valid) {
            EXPECT_EQ(dialog->FIntervalSpin->value(), c.value);
        } else {
            EXPECT_FALSE(dialog->RefreshMessage().isEmpty());
        }
    }

    // The arrows step between "off" and the shortest interval.
    settings.Set(kRefreshIntervalName, 0);
    const auto dialog = Open();
    EXPECT_EQ(dialog->FIntervalSpin->text(), QStringLiteral("off"));
    dialog->FIntervalSpin->stepUp();
    EXPECT_EQ(dialog->FIntervalSpin->value(), 10);
    dialog->FIntervalSpin->stepDown();
    EXPECT_EQ(dialog->FIntervalSpin->text(), QStringLiteral("off"));
}

// Without an update page there is nothing to check: the box is not offered.
TEST_F(PrefsDialogTest, UpdateChecksAreOfferedOnlyWithAnUpdatePage)
{
    for (const bool offered : {true, false}) {
        const auto dialog = Open();
        dialog->SetUpdateChecksOffered(offered);
        EXPECT_EQ(dialog->FUpdatesCheck->isVisible(), offered);
    }
}

TEST_F(PrefsDialogTest, PickingAMatchSetsNameCountryGlyphAndId)
{
    const auto dialog = Open();
    SearchFor(*dialog, QStringLiteral("london"));
    ASSERT_TRUE(Eventually([&] { return dialog->Selector() && dialog->Selector()->isVisible(); }));
    Tdld_nb_LS *selector = dialog->Selector();
    QTreeWidget *list = selector->LocList();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("GB"));
    EXPECT_EQ(list->topLevelItem(1)->text(1), QStringLiteral("CA"));

    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(list->topLevelItem(1)).center());
    QTest::mouseClick(selector->OkButton(), Qt::LeftButton);
    ASSERT_TRUE(Eventually([&] { return dialog->Selector() == nullptr; }));
    EXPECT_EQ(dialog->FLocationEdit->text(), QStringLiteral("London, CA"));
    EXPECT_EQ(dialog->LocationState(), lsFound);
    EXPECT_EQ(dialog->LocationId(), 6058560);
    EXPECT_TRUE(dialog->LocationMessage().isEmpty());

    // Typing afterwards resets the glyph but keeps the id.
    QTest::keyClick(dialog->FLocationEdit, Qt::Key_Backspace);
    EXPECT_EQ(dialog->LocationState(), lsNotSearched);
    EXPECT_EQ(dialog->LocationId(), 6058560);
}

TEST_F(PrefsDialogTest, ACancelledSelectionChangesNothing)
{
    settings.Set(kLocationIdName, static_cast<qlonglong>(3067696));
    settings.Set(kLocationName, QStringLiteral("Prague, CZ"));
    const auto dialog = Open();
    // A search by the stored text: the glyph stays "found" until the user types.
    QTest::mouseClick(dialog->FSearchButton, Qt::LeftButton);
    ASSERT_TRUE(Eventually([&] { return dialog->Selector() && dialog->Selector()->isVisible(); }));
    QTest::keyClick(dialog->Selector()->LocList(), Qt::Key_Escape);
    ASSERT_TRUE(Eventually([&] { return dialog->Selector() == nullptr; }));
    EXPECT_EQ(dialog->FLocationEdit->text(), QStringLiteral("Prague, CZ"));
    EXPECT_EQ(dialog->LocationId(), 3067696);
    EXPECT_EQ(dialog->LocationState(), lsFound);
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(PrefsDialogTest, NothingFoundShowsWhyAndKeepsTheText)
{
    LoopbackServer notFound;
    notFound.http.Get("/data/2.5/find", [](const httplib::Request &, httplib::Response &response) {
        response.status = 404;
        response.set_content("{\"cod\":\"404\",\"message\":\"city not found\"}", "application/json");
    });
    ASSERT_TRUE(notFound.Start());
    // A city id that is no number makes the parser throw on the worker thread.
    LoopbackServer malformed;
    malformed.http.Get("/data/2.5/find", [](const httplib::Request &, httplib::Response &response) {
        response.set_content("<cities><list><item><city id=\"2643743\" name=\"London\"/></item>"
                             "<item><city id=\"x12\" name=\"Bad\"/></item></list></cities>",
                             "application/xml");
    });
    ASSERT_TRUE(malformed.Start());

    struct {
        const char *name;
        QString base;
        QString key;
        QString reason; // after lc_NoLocFound and a blank; empty for none
    } cases[] = {
        {"an empty result", service_->Base(), kKey, QString()},
        {"a rejected key", service_->Base(), QStringLiteral("bad"), QStringLiteral("Invalid API key")},
        {"city not found", notFound.BaseUrl(), kKey, QStringLiteral("city not found")},
        {"no key at all", service_->Base(), QString(), QStringLiteral("Invalid API key")},
        {"a malformed city id", malformed.BaseUrl(), kKey, QStringLiteral("'x12' is not a valid integer value")},
    };
    for (const auto &c : cases) {
        settings.Set(kApiKeyName, c.key);
        settings.Set(kLocationIdName, static_cast<qlonglong>(2643743));
        const auto dialog = Open(ServiceSearch(c.base));
        SearchFor(*dialog, QStringLiteral("Atlantis"));
        const QString expected = c.reason.isEmpty() ? lc_NoLocFound : lc_NoLocFound + u' ' + c.reason;
        EXPECT_EQ(dialog->LocationMessage(), expected) << c.name;
        EXPECT_EQ(dialog->LocationState(), lsNotFound) << c.name;
        EXPECT_EQ(dialog->FLocationEdit->text(), QStringLiteral("Atlantis")) << c.name;
        EXPECT_EQ(dialog->LocationId(), 2643743) << c.name;
        EXPECT_EQ(dialog->Selector(), nullptr) << c.name;
        // Typing clears the message.
        QTest::keyClicks(dialog->FLocationEdit, QStringLiteral("x"));
        EXPECT_TRUE(dialog->LocationMessage().isEmpty()) << c.name;
    }
}

TEST_F(PrefsDialogTest, AnEmptyLocationIsNotSearched)
{
    std::atomic<int> calls{0};
    const auto dialog = Open([&calls](TRequestRecord &, TCities &, const TCancelFlag &) {
        ++calls;
        return true;
    });
    TypeLocation(*dialog, QStringLiteral("   "));
    EXPECT_FALSE(dialog->Search());
    QTest::keyClick(dialog->FLocationEdit, Qt::Key_Return);
    EXPECT_FALSE(dialog->Searching());
    EXPECT_TRUE(dialog->isVisible()); // Enter in the location never confirms
    EXPECT_EQ(calls.load(), 0);
}

TEST_F(PrefsDialogTest, TheSearchAsksWithTheDialogsKeyAndKind)
{
    TRequestRecord seen;
    std::mutex lock;
    const auto dialog = Open([&](TRequestRecord &request, TCities &, const TCancelFlag &) {
        std::lock_guard<std::mutex> guard(lock);
        seen = request;
        return true;
    });
    dialog->FKeyEdit->setText(QStringLiteral("  typed-key "));
    ClickButton(dialog->FPaidCheck);
    TypeLocation(*dialog, QStringLiteral(" New York "));
    QTest::mouseClick(dialog->FSearchButton, Qt::LeftButton);
    ASSERT_TRUE(Eventually([&] { return !dialog->Searching(); }));
    std::lock_guard<std::mutex> guard(lock);
    EXPECT_EQ(seen.Key, QStringLiteral("typed-key"));
    EXPECT_EQ(seen.KeyType, ktPaid);
    EXPECT_EQ(seen.LocationName, QStringLiteral(" New York "));
}

// A search that waits until the test lets it go.
class TGate
{
public:
    TLocationSearch Search(TCities result)
    {
        return [this, result](TRequestRecord &, TCities &cities, const TCancelFlag &cancel) {
            ++FCalls;
            std::unique_lock<std::mutex> lock(FLock);
            FWake.wait(lock, [&] { return FOpen || (cancel && cancel->load()); });
            lock.unlock();
            cities = result;
            FSawCancel = cancel && cancel->load(); // the last touch of the gate
            return true;
        };
    }
    void Open()
    {
        std::lock_guard<std::mutex> guard(FLock);
        FOpen = true;
        FWake.notify_all();
    }
    // The cancel flag is read under the lock; wake the waiter to look at it.
    void Poke() { FWake.notify_all(); }
    int Calls() const { return FCalls.load(); }
    bool SawCancel() const { return FSawCancel.load(); }

private:
    std::mutex FLock;
    std::condition_variable FWake;
    bool FOpen = false;
    std::atomic<int> FCalls{0};
    std::atomic<bool> FSawCancel{false};
};

TCities OneCity()
{
    TCity city;
    city.ID = 2950159;
    city.Name = QStringLiteral("Berlin");
    city.Country = QStringLiteral("DE");
    return {city};
}

TEST_F(PrefsDialogTest, BusyButAnsweringAndASecondSearchIsRefused)
{
    TGate gate;
    const auto dialog = Open(gate.Search(OneCity()));
    TypeLocation(*dialog, QStringLiteral("Berlin"));
    QTest::keyClick(dialog->FLocationEdit, Qt::Key_Return);
    ASSERT_TRUE(dialog->Searching());
    EXPECT_FALSE(dialog->FSearchButton->isEnabled());
    EXPECT_TRUE(dialog->findChild<QProgressBar *>(QStringLiteral("pbSearch"))->isVisible());
    EXPECT_EQ(dialog->LocationMessage(), QStringLiteral("Searching..."));

    // The dialog still answers while the worker waits.
    ClickButton(dialog->FUpdatesCheck);
    EXPECT_EQ(dialog->FUpdatesCheck->isChecked(), false);
    QTest::keyClick(dialog->FLocationEdit, Qt::Key_Return);
    EXPECT_FALSE(dialog->Search());
    ASSERT_TRUE(Eventually([&] { return gate.Calls() == 1; }));

    gate.Open();
    ASSERT_TRUE(Eventually([&] { return dialog->Selector() && dialog->Selector()->isVisible(); }));
    EXPECT_EQ(gate.Calls(), 1);
    EXPECT_FALSE(dialog->Searching());
    EXPECT_TRUE(dialog->FSearchButton->isEnabled());
    QTest::keyClick(dialog->Selector()->LocList(), Qt::Key_Return);
    ASSERT_TRUE(Eventually([&] { return dialog->Selector() == nullptr; }));
    EXPECT_EQ(dialog->FLocationEdit->text(), QStringLiteral("Berlin, DE"));
    EXPECT_EQ(dialog->LocationId(), 2950159);
}

TEST_F(PrefsDialogTest, ClosingDuringASearchDiscardsItsResult)
{
    struct {
        const char *name;
        bool destroy; // the dialog object goes, as EditPreferences's does
    } cases[] = {{"cancelled", false}, {"destroyed", true}};
    for (const auto &c : cases) {
        TGate gate;
        auto dialog = Open(gate.Search(OneCity()));
        TypeLocation(*dialog, QStringLiteral("Berlin"));
        ASSERT_TRUE(dialog->Search());
        ASSERT_TRUE(Eventually([&] { return gate.Calls() == 1; }));
        QTest::keyClick(dialog->FIntervalSpin, Qt::Key_Escape);
        EXPECT_FALSE(dialog->isVisible()) << c.name;
        EXPECT_FALSE(dialog->Searching()) << c.name;
        if (c.destroy)
            dialog.reset();
        gate.Poke(); // the worker sees the cancel flag and returns its city
        ASSERT_TRUE(Eventually([&] { return gate.SawCancel(); })) << c.name;
        QTest::qWait(50); // the finished signal, had it been kept, would land now
        if (!c.destroy) {
            EXPECT_EQ(dialog->Selector(), nullptr) << c.name;
            EXPECT_EQ(dialog->FLocationEdit->text(), QStringLiteral("Berlin")) << c.name;
            EXPECT_EQ(dialog->LocationState(), lsNotSearched) << c.name;
        }
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << c.name;
        QThreadPool::globalInstance()->waitForDone();
    }
}

TEST_F(PrefsDialogTest, ASlowServiceKeepsTheDialogAnswering)
{
    TFakeService slow({QStringLiteral("--delay-ms"), QStringLiteral("700")});
    ASSERT_FALSE(slow.Base().isEmpty());
    const auto dialog = Open(ServiceSearch(slow.Base()));
    TypeLocation(*dialog, QStringLiteral("Rome"));
    QTest::keyClick(dialog->FLocationEdit, Qt::Key_Return);
    ASSERT_TRUE(dialog->Searching());
    QTest::keyClicks(dialog->FKeyEdit, QStringLiteral("-more"));
    EXPECT_EQ(dialog->FKeyEdit->text(), kKey + QStringLiteral("-more"));
    ASSERT_TRUE(Eventually([&] { return dialog->Selector() && dialog->Selector()->isVisible(); }));
    EXPECT_EQ(dialog->Selector()->LocList()->topLevelItem(0)->text(0), QStringLiteral("Rome"));
    dialog->Selector()->reject();
}

TEST_F(PrefsDialogTest, TheKeyIsHiddenUntilShown)
{
    const auto dialog = Open();
    EXPECT_EQ(dialog->FKeyEdit->echoMode(), QLineEdit::Password);
    QTest::mouseClick(dialog->FShowKeyButton, Qt::LeftButton);
    EXPECT_EQ(dialog->FKeyEdit->echoMode(), QLineEdit::Normal);
    QTest::mouseClick(dialog->FShowKeyButton, Qt::LeftButton);
    EXPECT_EQ(dialog->FKeyEdit->echoMode(), QLineEdit::Password);
}

TEST_F(PrefsDialogTest, LinksOpenTheirPages)
{
    const auto dialog = Open();
    QTest::mouseClick(dialog->FGetKeyButton, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.at(0).toString(), QLatin1String(kDefaultWebBase) + QStringLiteral("/appid#get"));
    QWidget *logo = dialog->findChild<QWidget *>(QStringLiteral("iService"));
    ASSERT_NE(logo, nullptr);
    QTest::mouseClick(logo, Qt::LeftButton);
    QWidget *title = dialog->findChild<QWidget *>(QStringLiteral("lTitle"));
    ASSERT_NE(title, nullptr);
    title->setFocus();
    QTest::keyClick(title, Qt::Key_Space);
    ASSERT_EQ(opened.size(), 3);
    EXPECT_EQ(opened.at(1).toString(), QLatin1String(kDefaultWebBase));
    EXPECT_EQ(opened.at(2).scheme(), QStringLiteral("https"));
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(PrefsDialogTest, EnterConfirmsAndEscapeCancels)
{
    struct {
        const char *name;
        QWidget *(*field)(Tdlg_nb_Prefs &dialog);
        Qt::Key key;
        bool stillOpen;
        int result;
    } cases[] = {
        {"Enter in the refresh interval", [](Tdlg_nb_Prefs &d) -> QWidget * { return d.FIntervalSpin; }, Qt::Key_Return,
         false, QDialog::Accepted},
        {"Enter in the key field", [](Tdlg_nb_Prefs &d) -> QWidget * { return d.FKeyEdit; }, Qt::Key_Return, false,
         QDialog::Accepted},
        {"Enter on a check box", [](Tdlg_nb_Prefs &d) -> QWidget * { return d.FUpdatesCheck; }, Qt::Key_Enter, false,
         QDialog::Accepted},
        {"Escape in the location", [](Tdlg_nb_Prefs &d) -> QWidget * { return d.FLocationEdit; }, Qt::Key_Escape, false,
         QDialog::Rejected},
        // A focused button does its own work.
        {"Enter on Search", [](Tdlg_nb_Prefs &d) -> QWidget * { return d.FSearchButton; }, Qt::Key_Return, true,
         QDialog::Rejected},
    };
    for (const auto &c : cases) {
        const auto dialog = Open();
        QWidget *target = c.field(*dialog);
        target->setFocus();
        QTest::keyClick(target, c.key);
        EXPECT_EQ(dialog->isVisible(), c.stillOpen) << c.name;
        if (!c.stillOpen)
            EXPECT_EQ(dialog->result(), c.result) << c.name;
        else
            EXPECT_TRUE(dialog->Searching()) << c.name; // and the dialog goes while it runs
    }
}

TEST_F(PrefsDialogTest, TabVisitsEveryControlInOrderAndEachHasAName)
{
    const auto dialog = Open();
    dialog->FLocationEdit->setFocus();
    const QStringList expected{"eLoc",    "bSearch",  "rbMetric", "rbImperial", "seWRI",   "cbLang",
                               "cbxTMW",  "cbxStartup", "cbxUC",  "cbxOP",  "cbxTT",  "cbService", "eOWMKey",  "bShowKey", "bGetKey",
                               "cbxPaid", "iService", "bOK",      "bCancel",  "lTitle",   "eLoc"};
    QStringList visited{dialog->focusWidget()->objectName()};
    for (int i = 1; i < expected.size(); ++i) {
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Tab);
        QWidget *focus = dialog->focusWidget();
        ASSERT_NE(focus, nullptr);
        // The spin box's inner edit stands for the spin box.
        QWidget *control = qobject_cast<QSpinBox *>(focus->parentWidget()) ? focus->parentWidget() : focus;
        visited.append(control->objectName());
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
    }
    EXPECT_EQ(visited, expected);

    // Every control that can take the focus is named, and so are those Tab
    // does not stop at now (the disabled days, the units group).
    for (QWidget *widget : dialog->findChildren<QWidget *>()) {
        if ((widget->focusPolicy() & Qt::TabFocus) && !qobject_cast<QAbstractSpinBox *>(widget->parentWidget())) {
            EXPECT_FALSE(widget->accessibleName().isEmpty()) << widget->objectName().toStdString();
        }
    }
    for (QWidget *widget : std::initializer_list<QWidget *>{dialog->FImperialRadio, dialog->FDaysSpin, dialog->FUnitsGroup})
        EXPECT_FALSE(widget->accessibleName().isEmpty()) << widget->objectName().toStdString();
}

} // namespace
