// Both dialogs in each shipped language: every text of the English sections is
// translated, applies without error, fits its place at 1x, and the names a
// screen reader reads follow.
#include "DateTimeConv.h"
#include "LangConsts.h"
#include "LangController.h"
#include "LangForm.h"
#include "LocationSelector.h"
#include "Mnemonic.h"
#include "PrefsDialog.h"
#include "ShippedLanguages.h"
#include "WaitFor.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSizeGrip>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTreeWidget>

namespace {

// Room a push button's text needs on each side, whatever the style.
constexpr int kButtonTextMargin = 4;

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

// The room a push button's style gives its text.
int ButtonTextRoom(const QPushButton &button)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    return button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button).width();
}

// Every text of a shown dialog has the room it needs: labels, check and radio
// boxes their size hints, group boxes their titles, push buttons their texts,
// a line edit its placeholder, and each header section of a list its caption.
void ExpectTextsFit(const QDialog &dialog, const char *code)
{
    for (const QLabel *label : dialog.findChildren<QLabel *>()) {
        if (label->isVisible() && !label->wordWrap() && !label->text().isEmpty()) {
            EXPECT_GE(label->width(), label->sizeHint().width()) << code << " " << label->text().toStdString();
        }
    }
    for (const QAbstractButton *box : dialog.findChildren<QAbstractButton *>()) {
        if (box->isVisible() && (qobject_cast<const QCheckBox *>(box) || qobject_cast<const QRadioButton *>(box))) {
            EXPECT_GE(box->width(), box->sizeHint().width()) << code << " " << box->text().toStdString();
        }
    }
    for (const QPushButton *button : dialog.findChildren<QPushButton *>()) {
        if (button->isVisible() && !button->text().isEmpty()) {
            EXPECT_LE(button->fontMetrics().horizontalAdvance(QString(button->text()).remove(QLatin1Char('&'))), ButtonTextRoom(*button))
                << code << " " << button->text().toStdString();
        }
    }
    for (const QGroupBox *group : dialog.findChildren<QGroupBox *>())
        EXPECT_GE(group->width(), group->minimumSizeHint().width()) << code << " " << group->title().toStdString();
    for (const QLineEdit *edit : dialog.findChildren<QLineEdit *>()) {
        if (edit->isVisible() && !edit->placeholderText().isEmpty()) {
            EXPECT_LE(edit->fontMetrics().horizontalAdvance(edit->placeholderText()) + edit->minimumSizeHint().width(),
                      edit->width())
                << code << " " << edit->placeholderText().toStdString();
        }
    }
    for (const QHeaderView *header : dialog.findChildren<QHeaderView *>()) {
        for (int i = 0; i < header->count(); ++i)
            EXPECT_GE(header->sectionSize(i), header->sectionSizeHint(i))
                << code << " " << header->model()->headerData(i, header->orientation()).toString().toStdString();
    }
}

// Two places, so that the selector sizes its columns to what they hold.
TCities TwoCities()
{
    TCity london;
    london.ID = 2643743;
    london.Name = QStringLiteral("London");
    london.Country = QStringLiteral("GB");
    london.Lat = 51.5085;
    london.Lon = -0.1257;
    london.Sunrise = DateTimeFromQDateTime(QDateTime(QDate(2026, 12, 10), QTime(8, 0, 12)));
    london.Sunset = DateTimeFromQDateTime(QDateTime(QDate(2026, 12, 10), QTime(15, 51, 40)));
    TCity ontario = london;
    ontario.ID = 6058560;
    ontario.Name = QStringLiteral("London");
    ontario.Country = QStringLiteral("CA");
    ontario.Lat = 42.9834;
    ontario.Lon = -81.233;
    return {london, ontario};
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
        {"es", "Preferencias", "Selector de ubicación", "Suscripción de pago"},
        {"fr", "Préférences", "Choix du lieu", "Abonnement payant"},
        {"hu", "Beállítások", "Helyválasztó", "Fizetős előfizetés"},
        {"it", "Preferenze", "Scelta della località", "Abbonamento a pagamento"},
        {"ja", "設定", "場所の選択", "有料プラン"},
        {"nl", "Voorkeuren", "Locatie kiezen", "Betaald abonnement"},
        {"pl", "Ustawienia", "Wybór lokalizacji", "Płatna subskrypcja"},
        {"pt", "Preferências", "Seletor de local", "Assinatura paga"},
        {"ru", "Настройки", "Выбор места", "Платная подписка"},
        {"sk", "Nastavenia", "Výber miesta", "Platené predplatné"},
        {"uk", "Налаштування", "Вибір місця", "Платна підписка"},
        {"zh", "首选项", "选择位置", "付费订阅"},
    };
    QStringList tabled;
    for (const auto &c : cases)
        tabled << QLatin1String(c.code);
    tabled.sort();
    EXPECT_EQ(tabled, ShippedLanguageCodes()) << "every shipped language has its line here";

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
        EXPECT_EQ(WithoutMnemonic(prefs.FPaidCheck->text()), QString::fromUtf8(c.paid)) << c.code;
        EXPECT_EQ(prefs.FPaidCheck->accessibleName(), QString::fromUtf8(c.paid)) << c.code;
        EXPECT_TRUE(LangVCL(manager, &prefs)) << c.code << manager.LastError().toStdString();
        prefs.show();
        ExpectTextsFit(prefs, c.code);

        for (const TCities &cities : {TCities{}, TwoCities()}) {
            Tdld_nb_LS selector(cities);
            EXPECT_EQ(selector.windowTitle(), QString::fromUtf8(c.selectorCaption)) << c.code;
            EXPECT_EQ(selector.LocList()->headerItem()->text(5),
                      manager.LangText(QStringLiteral("Tdld_nb_LS.LocList.Columns[5].Caption")))
                << c.code;
            EXPECT_TRUE(LangVCL(manager, &selector)) << c.code << manager.LastError().toStdString();
            selector.show();
            ExpectTextsFit(selector, c.code);
        }
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
        EXPECT_FALSE(prefs.FKeyEdit->accessibleName().contains(u'&'));

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
    EXPECT_EQ(prefs.FKeyEdit->accessibleName(), QStringLiteral("API-Schlüssel"));
    EXPECT_EQ(prefs.FLocationEdit->placeholderText(), QStringLiteral("Stadtnamen eingeben"));
}

// Texts that do not fit: a label, button or box narrower than its text, a
// wrapped label lower than its lines, or two visible controls of one parent
// that overlap. Each finding names the widgets.
QStringList TextFaults(const QWidget &root)
{
    QStringList faults;
    const QList<QWidget *> widgets = root.findChildren<QWidget *>();
    for (QWidget *widget : widgets) {
        if (!widget->isVisibleTo(&root) || widget->window() != &root)
            continue;
        const QString name = widget->objectName();
        const auto *label = qobject_cast<QLabel *>(widget);
        const auto *push = qobject_cast<QPushButton *>(widget);
        if (label && label->wordWrap()) {
            if (label->height() < label->heightForWidth(label->width()))
                faults << name + QStringLiteral(" lacks height");
        } else if (push) {
            // The style's least button width says nothing of its text.
            const int text = push->fontMetrics().horizontalAdvance(QString(push->text()).remove(QLatin1Char('&')));
            if (!push->text().isEmpty() && push->width() < text + 2 * kButtonTextMargin)
                faults << name + QStringLiteral(" is cut");
        } else if ((label && !label->text().isEmpty()) || qobject_cast<QCheckBox *>(widget)
                   || qobject_cast<QRadioButton *>(widget) || qobject_cast<QGroupBox *>(widget)) {
            if (widget->width() < widget->sizeHint().width())
                faults << name + QStringLiteral(" is cut");
        }
        // The resize grip sits over the corner by design.
        if (qobject_cast<QSizeGrip *>(widget))
            continue;
        for (QWidget *other : widgets) {
            if (other <= widget || other->parentWidget() != widget->parentWidget() || !other->isVisibleTo(&root)
                || other->window() != &root || qobject_cast<QSizeGrip *>(other))
                continue;
            if (widget->geometry().intersects(other->geometry()))
                faults << name + QStringLiteral(" overlaps ") + other->objectName();
        }
    }
    return faults;
}

} // namespace

// Run at 1x and, registered once more, at 2x: no text of either dialog is cut
// or overlaps another in any shipped language, a two-line search error
// included; the selector's headers are as wide as their captions.
TEST_F(DialogLanguages, DialogTextsFitInEveryShippedLanguage)
{
    const TLocationSearch failing = [](TRequestRecord &request, TCities &, const TCancelFlag &) {
        request.Failure = MakeFailure(TFailureKind::HttpStatus,
                                      QStringLiteral("Your account is temporary blocked due to exceeding of "
                                                     "requests limitation of your subscription type."),
                                      429);
        return false;
    };
    for (const QString &code : ShippedLanguageCodes()) {
        SCOPED_TRACE(code.toStdString());
        TLanguageManager &manager = GlobalLangManager();
        manager.SetLanguageCode(code);
        ASSERT_EQ(manager.LanguageCode(), code);
        ResetTexts();
        LoadTexts(manager);

        Tdlg_nb_Prefs prefs(failing);
        prefs.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&prefs));
        EXPECT_EQ(TextFaults(prefs), QStringList());
        prefs.FLocationEdit->setText(QStringLiteral("Atlantis"));
        ASSERT_TRUE(prefs.Search());
        ASSERT_TRUE(Eventually([&] { return !prefs.Searching(); }));
        const auto *message = prefs.findChild<QLabel *>(QStringLiteral("lLocMessage"));
        ASSERT_NE(message, nullptr);
        ASSERT_GE(message->heightForWidth(message->width()), 2 * message->fontMetrics().lineSpacing());
        EXPECT_EQ(TextFaults(prefs), QStringList());

        TCity city;
        city.Name = QStringLiteral("Praha");
        city.Country = QStringLiteral("CZ");
        Tdld_nb_LS selector(TCities{city});
        selector.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&selector));
        const QHeaderView *header = selector.LocList()->header();
        for (int i = 0; i < header->count(); ++i) {
            EXPECT_GE(header->sectionSize(i), header->sectionSizeHint(i)) << i;
        }
        EXPECT_EQ(TextFaults(selector), QStringList());
    }
}
