// Both dialogs in each shipped language: every text of the English sections is
// translated, applies without error, and the names a screen reader reads follow.
#include "LangConsts.h"
#include "LangController.h"
#include "LangForm.h"
#include "LocationSelector.h"
#include "Mnemonic.h"
#include "PrefsDialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

const QStringList kFormSections{QStringLiteral("TDLG_NB_PREFS."), QStringLiteral("TDLD_NB_LS.")};

// The dialogs' keys of a language, upper-cased as the manager keeps them.
QStringList FormKeys(const TLanguageManager &manager)
{
    QStringList keys;
    const TLangKeyTable &props = manager.Properties();
    for (int i = 0; i < props.Count(); ++i) {
        for (const QString &section : kFormSections)
            if (props.KeyAt(i).startsWith(section))
                keys.append(props.KeyAt(i));
    }
    keys.sort();
    return keys;
}

class DialogLanguages : public ::testing::Test
{
protected:
    void TearDown() override
    {
        GlobalLangManager().SetLanguageCode(QStringLiteral("en"));
        ResetTexts();
    }
};

TEST_F(DialogLanguages, EveryShippedLanguageTranslatesBothDialogs)
{
    TLanguageManager english;
    english.SetFileNames({QLatin1String(kProgramLangFileName)});
    english.SetLanguageCode(QStringLiteral("en"));
    const QStringList englishKeys = FormKeys(english);
    ASSERT_GT(englishKeys.size(), 20);

    const struct {
        const char *code;
        const char *prefsCaption;
        const char *selectorCaption;
        const char *paid;
    } cases[] = {
        {"en", "Preferences", "Location Selector", "Paid subscription"},
        {"cs", "Nastavení", "Výběr místa", "Placené předplatné"},
        {"de", "Einstellungen", "Ortsauswahl", "Bezahltes Abonnement"},
    };
    for (const auto &c : cases) {
        TLanguageManager &manager = GlobalLangManager();
        manager.SetLanguageCode(QLatin1String(c.code));
        ASSERT_EQ(manager.LanguageCode(), QLatin1String(c.code)) << manager.LastError().toStdString();
        EXPECT_EQ(FormKeys(manager), englishKeys) << c.code;
        for (const QString &key : englishKeys)
            EXPECT_FALSE(manager.Properties().Find(key)->trimmed().isEmpty()) << c.code << " " << key.toStdString();

        // Opened after the language was chosen, each dialog localizes itself.
        Tdlg_nb_Prefs prefs(TLocationSearch{});
        EXPECT_EQ(prefs.windowTitle(), QString::fromUtf8(c.prefsCaption)) << c.code;
        EXPECT_EQ(WithoutMnemonic(prefs.cbxPaid->text()), QString::fromUtf8(c.paid)) << c.code;
        EXPECT_EQ(prefs.cbxPaid->accessibleName(), QString::fromUtf8(c.paid)) << c.code;
        EXPECT_TRUE(LangVCL(manager, &prefs)) << c.code << manager.LastError().toStdString();

        Tdld_nb_LS selector(TCities{});
        EXPECT_EQ(selector.windowTitle(), QString::fromUtf8(c.selectorCaption)) << c.code;
        EXPECT_EQ(selector.LocList()->headerItem()->text(5),
                  manager.LangText(QStringLiteral("Tdld_nb_LS.LocList.Columns[5].Caption")))
            << c.code;
        EXPECT_TRUE(LangVCL(manager, &selector)) << c.code << manager.LastError().toStdString();
    }
}

// The letter after a text's single "&", or none.
QChar MnemonicOf(const QString &text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != u'&')
            continue;
        if (text.at(i + 1) != u'&')
            return text.at(i + 1).toLower();
        ++i;
    }
    return {};
}

// Every label, button and group of both dialogs has a letter of its own in
// every shipped language, Alt and a label's letter reach the field it names,
// and screen readers are given the texts without the marks.
TEST_F(DialogLanguages, EveryLabelAndButtonHasAMnemonicOfItsOwnInEveryLanguage)
{
    for (const char *code : {"en", "cs", "de"}) {
        SCOPED_TRACE(code);
        TLanguageManager &manager = GlobalLangManager();
        manager.SetLanguageCode(QLatin1String(code));
        ASSERT_EQ(manager.LanguageCode(), QLatin1String(code)) << manager.LastError().toStdString();
        Tdlg_nb_Prefs prefs(TLocationSearch{});
        Tdld_nb_LS selector(TCities{});
        for (QWidget *dialog : {static_cast<QWidget *>(&prefs), static_cast<QWidget *>(&selector)}) {
            QHash<QChar, QString> taken;
            auto claim = [&](QWidget *widget, const QString &text) {
                const QChar letter = MnemonicOf(text);
                const std::string name = widget->objectName().toStdString();
                EXPECT_FALSE(letter.isNull()) << name << " " << text.toStdString();
                EXPECT_FALSE(taken.contains(letter)) << name << " and " << taken.value(letter).toStdString();
                taken.insert(letter, widget->objectName());
                EXPECT_FALSE(widget->accessibleName().contains(u'&')) << name;
            };
            // Buttons the keyboard cannot reach (a field's own glyph) have no letter.
            for (QAbstractButton *button : dialog->findChildren<QAbstractButton *>())
                if (!button->text().isEmpty() && button->focusPolicy() != Qt::NoFocus)
                    claim(button, button->text());
            for (QGroupBox *group : dialog->findChildren<QGroupBox *>())
                claim(group, group->title());
            for (QLabel *label : dialog->findChildren<QLabel *>())
                if (label->buddy() != nullptr)
                    claim(label, label->text());
        }
        EXPECT_FALSE(prefs.eOWMKey->accessibleName().contains(u'&'));

        prefs.show();
        prefs.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&prefs));
        for (QLabel *label : prefs.findChildren<QLabel *>()) {
            if (label->buddy() == nullptr || !label->buddy()->isEnabled())
                continue; // the days of a free key cannot be changed
            QTest::keyClick(&prefs, MnemonicOf(label->text()).toLatin1(), Qt::AltModifier);
            EXPECT_EQ(QApplication::focusWidget(), label->buddy()) << label->objectName().toStdString();
        }
    }
}

TEST_F(DialogLanguages, AnOpenDialogFollowsALanguageChange)
{
    TLanguageManager &manager = GlobalLangManager();
    manager.SetLanguageCode(QStringLiteral("en"));
    // The main window's controller passes a change on to every open form.
    QWidget window;
    auto *mainController = new TLangController(&window);
    ASSERT_TRUE(mainController->IsMainController());
    Tdlg_nb_Prefs prefs(TLocationSearch{});
    mainController->SetLanguageCode(QStringLiteral("de"));
    EXPECT_EQ(prefs.windowTitle(), QStringLiteral("Einstellungen"));
    EXPECT_EQ(prefs.eOWMKey->accessibleName(), QStringLiteral("API-Schlüssel"));
    EXPECT_EQ(prefs.eLoc->placeholderText(), QStringLiteral("Stadtnamen eingeben"));
}

} // namespace
