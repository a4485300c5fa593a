#include "LangForm.h"
#include "LangTestFiles.h"
#include "LangTestForm.h"

#include <gtest/gtest.h>

#include <QKeySequence>

namespace {

const QByteArray kFormTexts = LangFile("Deutsch",
    "[Twnd_nb_Test]\n"
    "self.Caption=Wetter\n"
    "lTemp.Caption=Temperatur\n"
    "lTemp.Hint=Aktuelle Temperatur\n"
    "lTemp.Font.Name=DejaVu Serif\n"
    "lTemp.Font.Size=14\n"
    "bSearch.Caption=&Suchen\n"
    "bSearch.ShortCut=Alt+S\n"
    "eLoc.TextHint=Ort eingeben\n"
    "cbxPaid.Enabled=False\n"
    "lvForecast.Columns[1].Caption=Temperatur\n"
    "lvForecast.Columns[2].Hint=Windrichtung\n"
    "tbl.Columns[0].Caption=Tag\n"
    "cbUnits.Items[1]=Angloamerikanisch\n"
    "rgUnits.Caption=Einheiten\n"
    "rgUnits.Items[0]=Metrisch\n"
    "mNotes.Lines.Text=eins\\nzwei\n"
    "sb.Panels[1].Text=Bereit\n"
    "tabs.Tabs[1]=Zweite\n"
    "pmRefresh.Caption=Aktualisieren\n"
    "pmRefresh.ShortCut=Ctrl+R\n"
    "Unknown.Caption=niemand\n"
    "lTemp.Nothing.Caption=falsch\n"
    "lvForecast.Columns[7].Caption=zu weit\n"
    "lTemp.Colour=rot\n"
    "cbxPaid.Checked=vielleicht\n"
    "pmRefresh.Hint=Neu laden\n"
    "[Other]\n"
    "lTemp.Caption=andere Klasse\n");

class LangFormTexts : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FFolder.Write(QStringLiteral("bin/Langs/Nimbrel.de.lng"), kFormTexts);
        FFolder.Aim(FManager);
        FManager.SetLanguageCode(QStringLiteral("de"));
        ASSERT_EQ(FManager.LastError(), QString());
    }

    TLangFolder FFolder;
    TLanguageManager FManager;
    Twnd_nb_Test FForm;
};

QString ErrorEntry(const char *key, const QString &message)
{
    return QStringLiteral("\r\n\r\nTLanguageManager (TWND_NB_TEST.") + QLatin1String(key) + QStringLiteral("):\r\n      ")
           + message;
}

TEST_F(LangFormTexts, AppliesEveryKindAndReportsBadKeysButGoesOn)
{
    EXPECT_FALSE(LangVCL(FManager, &FForm));

    EXPECT_EQ(FForm.windowTitle(), QStringLiteral("Wetter"));
    EXPECT_EQ(FForm.lTemp->text(), QStringLiteral("Temperatur"));
    EXPECT_EQ(FForm.lTemp->toolTip(), QStringLiteral("Aktuelle Temperatur"));
    EXPECT_EQ(FForm.lTemp->font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(FForm.lTemp->font().pointSize(), 14);
    EXPECT_EQ(FForm.bSearch->text(), QStringLiteral("&Suchen"));
    EXPECT_EQ(FForm.bSearch->shortcut(), QKeySequence(Qt::ALT | Qt::Key_S));
    EXPECT_EQ(FForm.eLoc->placeholderText(), QStringLiteral("Ort eingeben"));
    EXPECT_FALSE(FForm.cbxPaid->isEnabled());
    EXPECT_EQ(FForm.lvForecast->headerItem()->text(0), QStringLiteral("Day"));
    EXPECT_EQ(FForm.lvForecast->headerItem()->text(1), QStringLiteral("Temperatur"));
    EXPECT_EQ(FForm.lvForecast->headerItem()->toolTip(2), QStringLiteral("Windrichtung"));
    ASSERT_NE(FForm.tbl->horizontalHeaderItem(0), nullptr);
    EXPECT_EQ(FForm.tbl->horizontalHeaderItem(0)->text(), QStringLiteral("Tag"));
    EXPECT_EQ(FForm.cbUnits->itemText(0), QStringLiteral("Metric"));
    EXPECT_EQ(FForm.cbUnits->itemText(1), QStringLiteral("Angloamerikanisch"));
    EXPECT_EQ(FForm.rgUnits->title(), QStringLiteral("Einheiten"));
    EXPECT_EQ(FForm.rbMetric->text(), QStringLiteral("Metrisch"));
    EXPECT_EQ(FForm.rbImperial->text(), QStringLiteral("Imperial"));
    EXPECT_EQ(FForm.mNotes->toPlainText(), QStringLiteral("eins\nzwei"));
    EXPECT_EQ(FForm.sb->findChildren<QLabel *>().at(1)->text(), QStringLiteral("Bereit"));
    EXPECT_EQ(FForm.tabs->tabText(1), QStringLiteral("Zweite"));
    EXPECT_EQ(FForm.pmRefresh->text(), QStringLiteral("Aktualisieren"));
    EXPECT_EQ(FForm.pmRefresh->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    EXPECT_EQ(FForm.pmRefresh->toolTip(), QStringLiteral("Neu laden"));

    // Keys come in table order; an unknown component is no error.
    const QString expected =
        ErrorEntry("CBXPAID.CHECKED", QStringLiteral("\"vielleicht\" is not a valid value for checked"))
        + ErrorEntry("LTEMP.COLOUR", QStringLiteral("lTemp (QLabel) has no property COLOUR"))
        + ErrorEntry("LTEMP.NOTHING.CAPTION", QStringLiteral("lTemp (QLabel) has no object NOTHING"))
        + ErrorEntry("LVFORECAST.COLUMNS[7].CAPTION", QStringLiteral("List index out of bounds (7)"));
    EXPECT_EQ(FManager.LastError(), expected);
}

TEST_F(LangFormTexts, ClassNameAndOnlyComponentNarrowTheKeys)
{
    EXPECT_TRUE(LangForm(FManager, &FForm, QStringLiteral("other")));
    EXPECT_EQ(FForm.lTemp->text(), QStringLiteral("andere Klasse"));
    EXPECT_EQ(FForm.windowTitle(), QStringLiteral("Weather"));

    EXPECT_FALSE(LangVCL(FManager, &FForm, QString(), FForm.lvForecast));
    EXPECT_EQ(FForm.lvForecast->headerItem()->text(1), QStringLiteral("Temperatur"));
    EXPECT_EQ(FManager.LastError(),
              ErrorEntry("LVFORECAST.COLUMNS[7].CAPTION", QStringLiteral("List index out of bounds (7)")));
    EXPECT_EQ(FForm.windowTitle(), QStringLiteral("Weather"));
    EXPECT_EQ(FForm.lTemp->text(), QStringLiteral("andere Klasse"));
}

TEST(LangFormTextValues, ShortcutsAndConversions)
{
    const struct {
        const char *line;
        bool allowSpecial;
        bool ok;
    } cases[] = {
        {"pmRefresh.ShortCut=Ctrl+Shift+F5", true, true},
        {"pmRefresh.ShortCut=Ctrl+Nonsense", true, false},
        {"pmRefresh.ShortCut=", true, true},
        {"lTemp.ShortCut=Ctrl+L", true, false},
        {"pmRefresh.ShortCut=Ctrl+Shift+F5", false, true},
        {"lTemp.Font.Size=big", true, false},
        {"lTemp.Font.Bold=1", true, false},
        {"cbxPaid.Checked=TRUE", true, true},
        {"lTemp.WordWrap=1", true, true},
        {"lTemp.Alignment=AlignRight", true, true},
        {"lTemp.Alignment=Sideways", true, false},
        {"lTemp.Margin=7", true, true},
        {"lTemp.Margin=seven", true, false},
        {"cbUnits.Items[x]=nothing happens", true, true},
        {"cbUnits.Items.Text=A\\nB\\nC", true, true},
        {"rgUnits.Items.CommaText=\"One, two\",Three", true, true},
    };
    for (const auto &c : cases) {
        TLangFolder folder;
        folder.Write(QStringLiteral("bin/Langs/Nimbrel.de.lng"), QByteArray("[Twnd_nb_Test]\n") + c.line);
        TLanguageManager manager;
        folder.Aim(manager);
        manager.SetAllowSpecialProps(c.allowSpecial);
        manager.SetLanguageCode(QStringLiteral("de"));
        Twnd_nb_Test form;
        EXPECT_EQ(LangVCL(manager, &form), c.ok) << c.line << " " << manager.LastError().toStdString();
    }

    TLangFolder folder;
    folder.Write(QStringLiteral("bin/Langs/Nimbrel.de.lng"),
                 "[Twnd_nb_Test]\ncbUnits.Items.Text=A\\nB\\nC\nrgUnits.Items.CommaText=\"One, two\",Three\n"
                 "lTemp.Alignment=AlignRight\npmRefresh.ShortCut=Ctrl+Shift+F5\n");
    TLanguageManager manager;
    folder.Aim(manager);
    manager.SetLanguageCode(QStringLiteral("de"));
    Twnd_nb_Test form;
    EXPECT_TRUE(LangVCL(manager, &form));
    EXPECT_EQ(form.cbUnits->count(), 3);
    EXPECT_EQ(form.cbUnits->itemText(2), QStringLiteral("C"));
    EXPECT_EQ(form.rbMetric->text(), QStringLiteral("One, two"));
    EXPECT_EQ(form.rbImperial->text(), QStringLiteral("Three"));
    EXPECT_EQ(form.lTemp->alignment(), Qt::AlignRight);
    EXPECT_EQ(form.pmRefresh->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F5));
}

TEST(LangFormTextValues, NothingLoadedChangesNothing)
{
    TLanguageManager manager;
    manager.SetFolder(QString());
    manager.SetProgramFolder(QStringLiteral("/nonexistent-nimbrel"));
    Twnd_nb_Test form;
    EXPECT_TRUE(LangVCL(manager, &form));
    EXPECT_TRUE(LangVCL(manager, nullptr));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Weather"));
}

} // namespace
