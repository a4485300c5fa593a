#include "LangController.h"
#include "LangTestFiles.h"
#include "LangTestForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <memory>

namespace {

// Answers the next message box with `answer` and keeps what it showed.
class TBoxWatcher
{
public:
    void Arm(QMessageBox::StandardButton answer)
    {
        QTimer::singleShot(0, [this, answer] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            titles.append(box->windowTitle());
            parents.append(box->parentWidget());
            texts.append(box->text());
            openBoxes = OpenMessageBoxCount();
            box->button(answer)->click();
        });
    }

    QStringList titles;
    QStringList texts;
    QList<QWidget *> parents;
    int openBoxes = 0;
};

// A form with its controller, as the program's forms carry one.
struct TControlledForm
{
    TControlledForm()
        : form(std::make_unique<Twnd_nb_Test>())
        , controller(new TLangController(form.get()))
    {
        controller->setObjectName(QStringLiteral("LangCtrl"));
    }

    std::unique_ptr<Twnd_nb_Test> form;
    TLangController *controller;
};

// The controllers work on the process-wide manager; each case points it at its
// own folder and starts without a language.
class LangControllers : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FFolder.Write(QStringLiteral("bin/Langs/Nimbrel.de.lng"),
                      LangFile("Deutsch", "[Twnd_nb_Test]\nself.Caption=Wetter\nlTemp.Caption=Temperatur\n"));
        FFolder.Write(QStringLiteral("bin/Langs/Nimbrel.cs.lng"),
                      LangFile("Čeština", "[Twnd_nb_Test]\nself.Caption=Počasí\nlTemp.Caption=Teplota\n"));
        FFolder.Write(QStringLiteral("bin/Langs/Nimbrel.en.lng"), LangFile("English", ""));
        FFolder.Write(QStringLiteral("bin/Langs/Nimbrel.fr.lng"),
                      LangFile("Français", "[Twnd_nb_Test]\nlTemp.Nothing.Caption=x\n"));
        TLanguageManager &manager = GlobalLangManager();
        FFolder.Aim(manager);
        manager.OnLanguageChanged = nullptr;
        manager.SetLanguageCode(QStringLiteral("none"));
        ASSERT_EQ(manager.LanguageCode(), QString());
        FSavedLocale = QLocale();
    }

    void TearDown() override
    {
        QLocale::setDefault(FSavedLocale);
        GlobalLangManager().OnLanguageChanged = nullptr;
    }

    TLangFolder FFolder;
    QLocale FSavedLocale;
};

TEST_F(LangControllers, FirstControllerIsMainAndLetsGoWhenDestroyed)
{
    auto first = std::make_unique<TControlledForm>();
    TControlledForm second;
    EXPECT_TRUE(first->controller->IsMainController());
    EXPECT_FALSE(second.controller->IsMainController());
    EXPECT_TRUE(static_cast<bool>(GlobalLangManager().OnLanguageChanged));
    first.reset();
    EXPECT_FALSE(static_cast<bool>(GlobalLangManager().OnLanguageChanged));

    // Writing a code through a controller that is not main makes it main.
    second.controller->SetLanguageCode(QStringLiteral("de"));
    EXPECT_TRUE(second.controller->IsMainController());
    EXPECT_EQ(second.form->windowTitle(), QStringLiteral("Wetter"));

    // When the hook is taken over, the former main controllers step back: they
    // neither pass the change on a second time nor unhook the successor.
    GlobalLangManager().OnLanguageChanged = nullptr;
    auto former = std::make_unique<TControlledForm>();
    EXPECT_TRUE(former->controller->IsMainController());
    GlobalLangManager().OnLanguageChanged = nullptr;
    TControlledForm successor;
    EXPECT_TRUE(successor.controller->IsMainController());
    EXPECT_FALSE(former->controller->IsMainController());
    EXPECT_FALSE(second.controller->IsMainController());
    former.reset();
    EXPECT_TRUE(static_cast<bool>(GlobalLangManager().OnLanguageChanged));
    GlobalLangManager().SetLanguageCode(QStringLiteral("cs"));
    EXPECT_EQ(successor.form->windowTitle(), QStringLiteral("Počasí"));
    EXPECT_EQ(second.form->windowTitle(), QStringLiteral("Počasí"));
}

TEST_F(LangControllers, LanguageChangeReachesEveryOpenForm)
{
    TControlledForm main;
    TControlledForm other;
    QStringList events;
    main.controller->OnBeforeLangChange = [&](TLangController *) { events << QStringLiteral("main before"); };
    main.controller->OnLanguageChanged = [&](TLangController *) { events << QStringLiteral("main changed"); };
    other.controller->OnLanguageChanged = [&](TLangController *sender) {
        EXPECT_EQ(sender, other.controller);
        events << QStringLiteral("other changed");
    };

    main.controller->SetLanguageCode(QStringLiteral("de"));
    EXPECT_EQ(events, (QStringList{"main before", "main changed", "other changed"}));
    EXPECT_EQ(main.form->lTemp->text(), QStringLiteral("Temperatur"));
    EXPECT_EQ(other.form->lTemp->text(), QStringLiteral("Temperatur"));
    EXPECT_EQ(other.controller->LanguageCode(), QStringLiteral("de"));
    EXPECT_EQ(other.controller->LanguageName(), QStringLiteral("Deutsch"));

    // The same code in other letters does nothing.
    events.clear();
    other.controller->SetLanguageCode(QStringLiteral("DE"));
    EXPECT_TRUE(events.isEmpty());

    other.controller->SetLanguageCode(QStringLiteral("cs"));
    EXPECT_EQ(main.form->windowTitle(), QStringLiteral("Počasí"));
    EXPECT_EQ(other.form->windowTitle(), QStringLiteral("Počasí"));

    // A form opened later localizes itself when loaded.
    TControlledForm late;
    EXPECT_EQ(late.form->windowTitle(), QStringLiteral("Weather"));
    late.controller->Loaded();
    EXPECT_EQ(late.form->windowTitle(), QStringLiteral("Počasí"));
}

TEST_F(LangControllers, LoadedChoosesTheFirstLanguage)
{
    const struct {
        const char *name;
        const char *requested;  // what OnInitLangManager asks for; nullptr: no handler
        bool autoInit;
        QLocale::Language userLanguage;
        const char *defaultCode;
        const char *expected;
        const char *defaultAfter;
    } cases[] = {
        {"the init event decides", "cs", true, QLocale::German, "", "cs", "cs"},
        {"the user's language", nullptr, true, QLocale::German, "", "de", ""},
        {"a user language without file falls back to the default", nullptr, true, QLocale::Italian, "cs", "cs", "cs"},
        {"and then to English", nullptr, true, QLocale::Italian, "", "en", ""},
        {"without auto init only the default", nullptr, false, QLocale::German, "cs", "cs", "cs"},
        {"without auto init and default nothing", nullptr, false, QLocale::German, "", "", ""},
        {"an empty answer of the event", "", true, QLocale::Czech, "", "cs", ""},
    };
    for (const auto &c : cases) {
        GlobalLangManager().SetLanguageCode(QStringLiteral("none"));
        QLocale::setDefault(QLocale(c.userLanguage));
        TControlledForm main;
        main.controller->SetAutoInitLanguage(c.autoInit);
        main.controller->SetDefaultLangCode(QLatin1String(c.defaultCode));
        main.controller->SetDefaultErrorMessage(false);
        if (c.requested) {
            main.controller->OnInitLangManager = [&](TLangController *sender) {
                EXPECT_EQ(sender->DefaultLangCode(), QString()) << c.name;
                sender->SetDefaultLangCode(QLatin1String(c.requested));
            };
        }
        main.controller->Loaded();
        EXPECT_EQ(GlobalLangManager().LanguageCode(), QLatin1String(c.expected)) << c.name;
        EXPECT_EQ(main.controller->DefaultLangCode(), QLatin1String(c.defaultAfter)) << c.name;
    }
}

TEST_F(LangControllers, ErrorsGoToTheEventOrTheBoxOrNowhere)
{
    TControlledForm main;
    TBoxWatcher watcher;

    watcher.Arm(QMessageBox::Ok);
    main.controller->SetLanguageCode(QStringLiteral("xx"));
    ASSERT_EQ(watcher.texts.size(), 1);
    EXPECT_EQ(watcher.titles.at(0), QStringLiteral("Warning"));
    EXPECT_EQ(watcher.texts.at(0), QStringLiteral("[wnd_nb_Test (Twnd_nb_Test)] Language not found (xx)"));
    EXPECT_EQ(watcher.openBoxes, 1);
    EXPECT_EQ(OpenMessageBoxCount(), 0);

    // A form text that fails is reported once, with the language in front.
    watcher.Arm(QMessageBox::Ok);
    main.controller->SetLanguageCode(QStringLiteral("fr"));
    ASSERT_EQ(watcher.texts.size(), 2);
    EXPECT_TRUE(watcher.texts.at(1).startsWith(
        QStringLiteral("Français (fr): [wnd_nb_Test (Twnd_nb_Test)] \r\n\r\nTLanguageManager (TWND_NB_TEST.LTEMP.NOTHING.CAPTION):")))
        << watcher.texts.at(1).toStdString();

    int errors = 0;
    main.controller->OnError = [&](TLangController *sender) {
        EXPECT_EQ(sender->LastError(), QStringLiteral("Language not found (yy)"));
        ++errors;
    };
    watcher.Arm(QMessageBox::Ok);
    main.controller->SetLanguageCode(QStringLiteral("yy"));
    EXPECT_EQ(errors, 1);

    main.controller->OnError = nullptr;
    main.controller->SetDefaultErrorMessage(false);
    main.controller->SetLanguageCode(QStringLiteral("zz"));
    QCoreApplication::processEvents();
    EXPECT_EQ(watcher.texts.size(), 2);
}

TEST_F(LangControllers, LanguageListSortedByName)
{
    // Even a user without a locale sees "Čeština" among the C's.
    QLocale::setDefault(QLocale::c());
    TControlledForm main;
    EXPECT_EQ(main.controller->LanguagesCount(), 4);
    EXPECT_EQ(main.controller->LanguageNames(0), QStringLiteral("Čeština"));
    EXPECT_EQ(main.controller->LanguageCodes(1), QStringLiteral("de"));
    EXPECT_EQ(main.controller->LanguageCodes(3), QStringLiteral("fr"));
    EXPECT_EQ(main.controller->LanguageCodes(4), QString());
    EXPECT_EQ(main.controller->LanguageNames(-1), QString());
    EXPECT_EQ(main.controller->LanguageIndexByCode(QStringLiteral("EN")), 2);
    EXPECT_EQ(main.controller->LanguageIndexByCode(QStringLiteral("it")), -1);

    FFolder.Write(QStringLiteral("bin/Langs/Nimbrel.it.lng"), LangFile("Italiano", ""));
    EXPECT_EQ(main.controller->LanguageIndexByCode(QStringLiteral("it")), -1);
    main.controller->RefreshLanguages();
    EXPECT_EQ(main.controller->LanguageIndexByCode(QStringLiteral("it")), 4);
}

TEST_F(LangControllers, CustomManagerAndReadingOrder)
{
    TLangFolder rtlFolder;
    rtlFolder.Write(QStringLiteral("bin/Langs/Nimbrel.he.lng"),
                    LangFile("Ivrit", "[Language File]\nrtl=1\n[Twnd_nb_Test]\nself.Caption=Mezeg\n"));
    TLanguageManager own;
    rtlFolder.Aim(own);
    TControlledForm form;
    form.controller->OnGetCustomLangManager = [&](TLangController *, TLanguageManager *&manager) { manager = &own; };
    form.controller->SetLanguageCode(QStringLiteral("he"));
    EXPECT_EQ(form.form->windowTitle(), QStringLiteral("Mezeg"));
    EXPECT_EQ(form.controller->BiDiMode(), Qt::RightToLeft);
    EXPECT_EQ(GlobalLangManager().LanguageCode(), QString());

    form.controller->OnGetCustomLangManager = [](TLangController *, TLanguageManager *&) {};
    EXPECT_EQ(form.controller->LanguageCode(), QString());
    form.controller->SetLanguageCode(QStringLiteral("de"));
    form.controller->Loaded();
    form.controller->Refresh();
    EXPECT_EQ(form.controller->LanguagesCount(), 0);
}

TEST(LangConfirmDialogs, YesIsTrueAndTheCaptionDefaults)
{
    const struct {
        const char *caption;
        QMessageBox::StandardButton answer;
        bool result;
        const char *title;
    } cases[] = {
        {"", QMessageBox::Yes, true, "Confirmation"},
        {"", QMessageBox::No, false, "Confirmation"},
        {"Update", QMessageBox::Yes, true, "Update"},
    };
    for (const auto &c : cases) {
        TBoxWatcher watcher;
        watcher.Arm(c.answer);
        EXPECT_EQ(ConfirmDialog(QStringLiteral("Download?"), QLatin1String(c.caption), true), c.result);
        ASSERT_EQ(watcher.texts.size(), 1);
        EXPECT_EQ(watcher.texts.at(0), QStringLiteral("Download?"));
        EXPECT_EQ(watcher.titles.at(0), QLatin1String(c.title));
        EXPECT_EQ(watcher.openBoxes, 1);
    }
    MessageBoxCaptions().confirmation = QStringLiteral("Potvrzení");
    // With no window active, the box stands over the program's shown (plain
    // widget) window rather than over nothing.
    Twnd_nb_Test mainWindow;
    mainWindow.show();
    QApplication::setActiveWindow(nullptr);
    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    TBoxWatcher watcher;
    watcher.Arm(QMessageBox::No);
    ConfirmDialog(QStringLiteral("Stáhnout?"));
    EXPECT_EQ(watcher.titles.value(0), QStringLiteral("Potvrzení"));
    EXPECT_EQ(watcher.parents.value(0), &mainWindow);
    MessageBoxCaptions() = TMessageBoxCaptions();
}

} // namespace
