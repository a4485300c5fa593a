#include "LangTestFiles.h"
#include "LangWildcard.h"

#include <gtest/gtest.h>

namespace {

TEST(LangWildcards, WholeTextIgnoringCase)
{
    const struct {
        const char *pattern;
        const char *text;
        bool matches;
    } cases[] = {
        {"*", "", true},           {"*", "anything", true},       {"", "", true},
        {"", "x", false},          {"?", "", false},              {"?", "a", true},
        {"a?c", "ABC", true},      {"a?c", "ac", false},          {"*.de.lng", "Nimbrel.de.lng", true},
        {"*.de.lng", "Nimbrel.de.lngu", false},                   {"Nimbrel.*.*", "nimbrel.cs.lng", true},
        {"Nimbrel.*.*", "Nimbrel.lng", false},                    {"*a*b", "xaybzb", true},
        {"*a*b", "xaybzc", false}, {"**x**", "x", true},          {"ä*", "Ärger", true},
        {"Cannot open file *", "cannot open FILE C:\\a.txt", true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(WildcardMatch(QString::fromUtf8(c.pattern), QString::fromUtf8(c.text)), c.matches)
            << c.pattern << " / " << c.text;
}

TEST(LangWildcards, ManyStarsStayFast)
{
    // Backtracking over every star would take ages here; the pairwise bound is instant.
    const QString text = QString(3000, u'a');
    EXPECT_FALSE(WildcardMatch(QStringLiteral("*a*a*a*a*a*a*a*a*a*a*a*a*b"), text));
    EXPECT_TRUE(WildcardMatch(QStringLiteral("*a*a*a*a*a*a*a*a*a*a*a*a*"), text));
    QString translated;
    EXPECT_FALSE(TranslateByPattern(QStringLiteral("*a*a*a*a*a*a*a*a*a*a*a*a*b"), QStringLiteral("*"), text, translated));
}

TEST(LangMessages, WildcardsPairFromTheRight)
{
    const struct {
        const char *pattern;
        const char *translation;
        const char *message;
        const char *expected;
    } cases[] = {
        {"Cannot open file *", "Datei * kann nicht geöffnet werden", "Cannot open file C:\\a.txt",
         "Datei C:\\a.txt kann nicht geöffnet werden"},
        {"* not found", "* nenalezen", "file.txt not found", "file.txt nenalezen"},
        {"Copy * to *", "Nach * kopiert: *", "Copy a.txt to b.txt", "Nach a.txt kopiert: b.txt"},
        {"Error * in *", "Fehler * in *", "Error x in y in z", "Fehler x in y in z"},
        {"Line ?: *", "Zeile ?: *", "Line 7: bad value", "Zeile 7: bad value"},
        {"Item * of *", "Položka *", "Item 3 of 9", "Položka 3 of 9"},
        {"Day *", "* * den", "Day 5", " 5 den"},
        {"Done", "Hotovo", "DONE", "Hotovo"},
        {"Saved *", "Uloženo", "Saved x", "Uloženo"},
        // Captures come from a real match: a "?" takes exactly one character even
        // when the literal before the next wildcard recurs later, and adjacent
        // wildcards each get their own share.
        {"? of *", "*: ?", "1 of 2 of 3", "1: 2 of 3"},
        {"Code ??", "Kód ?-?", "Code 42", "Kód 4-2"},
        {"*a?", "[*] [?]", "xaa", "[x] [a]"},
    };
    for (const auto &c : cases) {
        QString result;
        ASSERT_TRUE(TranslateByPattern(QString::fromUtf8(c.pattern), QString::fromUtf8(c.translation),
                                       QString::fromUtf8(c.message), result))
            << c.pattern;
        EXPECT_EQ(result, QString::fromUtf8(c.expected)) << c.pattern << " / " << c.message;
    }
}

class LangLookups : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FFolder.Write(QStringLiteral("bin/Langs/Nimbrel.de.lng"),
                      "\xEF\xBB\xBF" + LangFile("Deutsch",
                                                "[Constants]\nlc_Day=Tag\n@Res=Ressource\nshared=aus Konstanten\n"
                                                "[Twnd_nb_Main]\nself.Caption=Wetter\nshared=aus Formular\n"
                                                "[Messages]\n"
                                                "; a comment between pairs\n"
                                                "Cannot open file *\nDatei * kann nicht geöffnet werden\n"
                                                "Cannot *\nUnmöglich: *\n"
                                                "Two\\nlines *\nZwei\\tZeilen *\n"
                                                "Value = *\nWert = *\n"
                                                "dangling pattern *\n"));
        FFolder.Aim(FManager);
        FManager.SetLanguageCode(QStringLiteral("de"));
        ASSERT_EQ(FManager.LastError(), QString());
    }

    TLangFolder FFolder;
    TLanguageManager FManager;
};

TEST_F(LangLookups, LangTextByIdentifier)
{
    const struct {
        const char *id;
        const char *defaultText;
        const char *expected;
    } cases[] = {
        {"", "Default\\tvalue", "Default\tvalue"},
        {"LC_DAY", "Day", "Tag"},
        {"@res", "x", "Ressource"},
        {"@lc_Day", "x", "x"},                       // "@" keys look only among resource strings
        {"Twnd_nb_Main.self.Caption", "x", "Wetter"},
        {"shared", "x", "aus Konstanten"},           // constants before form texts
        {"missing", "Fall\\nback", "Fall\nback"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FManager.LangText(QString::fromUtf8(c.id), QString::fromUtf8(c.defaultText)),
                  QString::fromUtf8(c.expected))
            << c.id;
}

TEST_F(LangLookups, LangStringTranslatesWholeMessages)
{
    const struct {
        const char *message;
        const char *expected;
    } cases[] = {
        {"", ""},
        {"Cannot open file C:\\a.txt", "Datei C:\\a.txt kann nicht geöffnet werden"},  // first match wins
        {"Cannot read", "Unmöglich: read"},
        {"Two\nlines here", "Zwei\tZeilen here"},
        {"dangling pattern x", "dangling pattern x"},  // the last pattern has no translation line
        {"Value = 5", "Wert = 5"},  // message lines are not key=value: their blanks stay
        {"Nothing like it", "Nothing like it"},
        {"lc_Day", "Tag"},
        {"@RES", "Ressource"},
        {"@Twnd_nb_Main.self.Caption", "@Twnd_nb_Main.self.Caption"},
        {"twnd_nb_main.SELF.caption", "Wetter"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(FManager.LangString(QString::fromUtf8(c.message)), QString::fromUtf8(c.expected)) << c.message;
        EXPECT_EQ(FManager.LangMess(QString::fromUtf8(c.message)), QString::fromUtf8(c.expected)) << c.message;
    }
}

TEST_F(LangLookups, ClearEmptiesWhatItIsAskedTo)
{
    FManager.Clear(false, false, false, false);
    EXPECT_EQ(FManager.LangText(QStringLiteral("@res"), QStringLiteral("gone")), QStringLiteral("gone"));
    EXPECT_EQ(FManager.LangText(QStringLiteral("lc_Day")), QStringLiteral("Tag"));
    FManager.Clear(true, false, true, false);
    EXPECT_EQ(FManager.LangText(QStringLiteral("lc_Day"), QStringLiteral("Day")), QStringLiteral("Day"));
    EXPECT_EQ(FManager.LangString(QStringLiteral("Cannot read")), QStringLiteral("Cannot read"));
    EXPECT_EQ(FManager.LangText(QStringLiteral("twnd_nb_main.self.caption")), QStringLiteral("Wetter"));
    EXPECT_EQ(FManager.ActiveFiles().size(), 1);
}

TEST(LangNoLanguage, EveryLookupGivesItsDefault)
{
    TLanguageManager manager;
    manager.SetFolder(QString());
    manager.SetProgramFolder(QStringLiteral("/nonexistent-nimbrel"));
    EXPECT_EQ(manager.LangText(QStringLiteral("lc_Day"), QStringLiteral("Day")), QStringLiteral("Day"));
    EXPECT_EQ(manager.LangString(QStringLiteral("Some message")), QStringLiteral("Some message"));
    QStringList languages;
    EXPECT_TRUE(manager.GetAvailableLanguages(languages));
    EXPECT_TRUE(languages.isEmpty());
}

} // namespace
