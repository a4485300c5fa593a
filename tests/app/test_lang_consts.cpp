#include "LangConsts.h"
#include "LangTestFiles.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>

namespace {

class LangTexts : public ::testing::Test
{
protected:
    void TearDown() override { ResetTexts(); }
};

// A manager without any language, as when no file is installed.
void AimNowhere(TLanguageManager &manager)
{
    manager.SetFolder(QString());
    manager.SetProgramFolder(QStringLiteral("/nonexistent-nimbrel"));
}

TEST_F(LangTexts, ConditionSlots)
{
    const struct {
        int code;
        const char *text;
    } cases[] = {
        {200, "thunderstorm with light rain"}, {800, "clear/sunny"}, {962, "hurricane"},
        {799, ""}, {199, ""}, {963, ""}, {-1, ""}, {250, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ConditionText(c.code), QLatin1String(c.text)) << c.code;
    EXPECT_EQ(ConditionTexts.size(), 763u);
}

TEST_F(LangTexts, FindConditionCodeWithoutLanguageFiles)
{
    TLanguageManager app;
    TLanguageManager reference;
    AimNowhere(app);
    AimNowhere(reference);
    InitReferenceManager(reference, app);
    const struct {
        const char *word;
        int code;
    } cases[] = {
        {"Gentle Breeze", 953}, {"Hurricane", 902}, {"tornado", 781}, {"calm", 951},
        {"high wind, near gale", 957}, {"breeze", -1}, {"", -1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FindConditionCode(QLatin1String(c.word), app, reference), c.code) << c.word;
}

TEST_F(LangTexts, FindConditionCodeThroughTheReferenceLanguage)
{
    TLanguageManager app;
    app.SetFileNames({QLatin1String(kProgramLangFileName)});
    app.SetLanguageCode(QStringLiteral("de"));
    ASSERT_EQ(app.LanguageCode(), QStringLiteral("de"));
    LoadTexts(app);

    TLanguageManager reference;
    InitReferenceManager(reference, app);
    ASSERT_EQ(reference.LanguageCode(), QStringLiteral("en"));
    EXPECT_EQ(FindConditionCode(QStringLiteral("Gentle Breeze"), app, reference), 953);
    EXPECT_EQ(FindConditionCode(ConditionText(953), app, reference), -1);

    // Without an English file nothing matches while another language is shown.
    TLanguageManager noEnglish;
    AimNowhere(noEnglish);
    noEnglish.SetLanguageCode(QLatin1String(kReferenceLanguageCode));
    EXPECT_EQ(FindConditionCode(QStringLiteral("Gentle Breeze"), app, noEnglish), -1);
}

TEST_F(LangTexts, WindLettersOneByOne)
{
    TLangFolder folder;
    folder.Write(QStringLiteral("bin/Langs/Nimbrel.cs.lng"),
                 LangFile("Cestina", "[Constants]\nwth_N=Sever\nwth_E=Východ\nwth_S=J\nwth_W=\n"));
    TLanguageManager manager;
    folder.Aim(manager);
    manager.SetLanguageCode(QStringLiteral("cs"));
    const struct {
        const char *code;
        const char *expected;
    } cases[] = {
        {"NNE", "SSV"}, {"S", "J"}, {"ESE", "VJV"}, {"WNW", "WSW"}, {"NX", "SX"}, {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(WindDirectionText(QString::fromUtf8(c.code), manager), QString::fromUtf8(c.expected)) << c.code;

    TLanguageManager none;
    AimNowhere(none);
    EXPECT_EQ(WindDirectionText(QStringLiteral("NNE"), none), QStringLiteral("NNE"));
}

TEST_F(LangTexts, MissingKeysKeepThePreviousLanguage)
{
    TLangFolder folder;
    folder.Write(QStringLiteral("bin/Langs/Nimbrel.de.lng"),
                 LangFile("Deutsch", "[Constants]\nlc_Day=Tag\nlc_Wind=Wind (de)\nmp_4=Vollmond\n"
                                     "wth_953=schwache Brise\nwth_799=Lücke\nwth_N=Nord\n"));
    folder.Write(QStringLiteral("bin/Langs/Nimbrel.fr.lng"), LangFile("Francais", "[Constants]\nlc_Day=Jour\n"));
    TLanguageManager manager;
    folder.Aim(manager);
    manager.SetLanguageCode(QStringLiteral("de"));
    LoadTexts(manager);
    EXPECT_EQ(lc_Day, QStringLiteral("Tag"));
    EXPECT_EQ(MoonPhaseTexts[4], QStringLiteral("Vollmond"));
    EXPECT_EQ(ConditionText(953), QStringLiteral("schwache Brise"));
    EXPECT_EQ(ConditionText(799), QStringLiteral("Lücke"));
    EXPECT_EQ(WindLetterTexts[1], QStringLiteral("Nord"));

    manager.SetLanguageCode(QStringLiteral("fr"));
    LoadTexts(manager);
    EXPECT_EQ(lc_Day, QStringLiteral("Jour"));
    EXPECT_EQ(lc_Wind, QStringLiteral("Wind (de)"));
    EXPECT_EQ(lc_Sunrise, QStringLiteral("Sunrise"));

    ResetTexts();
    EXPECT_EQ(lc_Day, QStringLiteral("Day"));
    EXPECT_EQ(ConditionText(799), QString());
}

TEST(LangShippedLanguages, LoadCleanAndTranslateEveryConstant)
{
    // The build copies the shipped files into Langs beside this test program.
    const std::vector<TLangConstDefault> &defaults = LangConstDefaults();
    for (const char *code : {"cs", "de", "en"}) {
        TLanguageManager manager;
        manager.SetFileNames({QLatin1String(kProgramLangFileName)});
        manager.SetLanguageCode(QLatin1String(code));
        ASSERT_EQ(manager.LanguageCode(), QLatin1String(code)) << manager.LastError().toStdString();
        EXPECT_EQ(manager.LastError(), QString()) << code;
        EXPECT_FALSE(manager.LanguageName().isEmpty()) << code;
        int same = 0;
        for (const TLangConstDefault &entry : defaults) {
            const QString *text = manager.Constants().Find(entry.key);
            ASSERT_NE(text, nullptr) << code << ": " << entry.key.toStdString();
            EXPECT_FALSE(text->trimmed().isEmpty()) << code << ": " << entry.key.toStdString();
            if (*text == entry.englishText)
                ++same;
        }
        if (QLatin1String(code) == QLatin1String("en")) {
            EXPECT_EQ(same, static_cast<int>(defaults.size()));
        }
        // The format placeholders must survive translation.
        for (const char *key : {"lc_NewVersionAvail", "lc_AsOf", "lc_NextAttempt"})
            EXPECT_TRUE(manager.LangText(QLatin1String(key)).contains(QStringLiteral("%s"))) << code << ": " << key;

        // Shipped as UTF-8 with a byte-order mark, so no reader takes it for Windows-1252.
        QFile shipped(QStringLiteral(NIMBREL_SOURCE_DIR "/data/langs/Nimbrel.%1.lng").arg(QLatin1String(code)));
        ASSERT_TRUE(shipped.open(QIODevice::ReadOnly)) << code;
        EXPECT_TRUE(shipped.read(3) == QByteArray("\xEF\xBB\xBF")) << code;
    }
    TLanguageManager manager;
    manager.SetFileNames({QLatin1String(kProgramLangFileName)});
    QStringList languages;
    ASSERT_TRUE(manager.GetAvailableLanguages(languages));
    languages.sort();
    EXPECT_EQ(languages, (QStringList{"cs=Čeština", "de=Deutsch", "en=English"}));
}

// The keys of one form's section in a shipped file, in order.
QStringList SectionKeys(const char *code, const QString &section)
{
    QFile file(QStringLiteral(NIMBREL_SOURCE_DIR "/data/langs/Nimbrel.%1.lng").arg(QLatin1String(code)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList keys;
    bool inside = false;
    for (const QString &raw : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inside = line == QLatin1Char('[') + section + QLatin1Char(']');
        else if (inside && !line.isEmpty() && !line.startsWith(QLatin1Char(';')))
            keys << line.section(QLatin1Char('='), 0, 0) + (line.section(QLatin1Char('='), 1).trimmed().isEmpty()
                                                                 ? QStringLiteral(" (empty)")
                                                                 : QString());
    }
    return keys;
}

TEST(LangShippedLanguages, EveryLanguageTranslatesTheMainWindow)
{
    const QString section = QStringLiteral("Twnd_nb_Main");
    const QStringList english = SectionKeys("en", section);
    EXPECT_GE(english.size(), 8);
    for (const char *code : {"cs", "de"})
        EXPECT_EQ(SectionKeys(code, section), english) << code;
}

} // namespace
