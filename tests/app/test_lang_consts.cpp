#include "LangConsts.h"
#include "LangFileText.h"
#include "LangTestFiles.h"
#include "ShippedLanguages.h"
#include "TextCodePage.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QStringDecoder>

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
    const QStringList codes = ShippedLanguageCodes();
    ASSERT_TRUE(codes.contains(QStringLiteral("en")));
    for (const QString &code : codes) {
        const std::string name = code.toStdString();
        TLanguageManager manager;
        manager.SetFileNames({QLatin1String(kProgramLangFileName)});
        manager.SetLanguageCode(code);
        ASSERT_EQ(manager.LanguageCode(), code) << manager.LastError().toStdString();
        EXPECT_EQ(manager.LastError(), QString()) << name;
        EXPECT_FALSE(manager.LanguageName().isEmpty()) << name;
        int same = 0;
        for (const TLangConstDefault &entry : defaults) {
            const QString *text = manager.Constants().Find(entry.key);
            ASSERT_NE(text, nullptr) << name << ": " << entry.key.toStdString();
            EXPECT_FALSE(text->trimmed().isEmpty()) << name << ": " << entry.key.toStdString();
            if (*text == entry.englishText)
                ++same;
        }
        if (code == QLatin1String("en")) {
            EXPECT_EQ(same, static_cast<int>(defaults.size()));
        }
        // The format placeholders must survive translation.
        for (const char *key : {"lc_NewVersionAvail", "lc_AsOf", "lc_NextAttempt"})
            EXPECT_TRUE(manager.LangText(QLatin1String(key)).contains(QStringLiteral("%s"))) << name << ": " << key;

        // Shipped as UTF-8 with a byte-order mark, so no reader takes it for
        // Windows-1252, and valid throughout: a broken sequence would show as
        // a replacement character.
        QFile shipped(ShippedLanguageFile(code));
        ASSERT_TRUE(shipped.open(QIODevice::ReadOnly)) << name;
        const QByteArray bytes = shipped.readAll();
        EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF")) << name;
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString decoded = utf8.decode(bytes);
        EXPECT_FALSE(utf8.hasError()) << name;
        EXPECT_FALSE(decoded.contains(QChar::ReplacementCharacter)) << name;
    }
    TLanguageManager manager;
    manager.SetFileNames({QLatin1String(kProgramLangFileName)});
    QStringList languages;
    ASSERT_TRUE(manager.GetAvailableLanguages(languages));
    languages.sort();
    EXPECT_EQ(languages, (QStringList{"cs=Čeština", "de=Deutsch", "en=English", "es=Español", "fr=Français",
                                      "hu=Magyar", "it=Italiano", "ja=日本語", "nl=Nederlands", "pl=Polski",
                                      "pt=Português (Brasil)", "ru=Русский", "sk=Slovenčina", "uk=Українська",
                                      "zh=简体中文"}));
}

// A shipped file's entries as the program reads them: "section/key" (both in
// lower case, as they are looked up without case) to the text.
using TFileEntries = QMap<QString, QString>;

TFileEntries ShippedEntries(const QString &code, QStringList *duplicates = nullptr)
{
    QFile file(ShippedLanguageFile(code));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    TFileEntries entries;
    QString key;
    QString value;
    for (const TLangIniSection &section : ParseLangIni(DecodeTextFile(file.readAll()))) {
        for (const QString &line : section.lines) {
            if (!SplitLangEntry(line, key, value))
                continue;
            const QString id = section.name.toLower() + QLatin1Char('/') + key.toLower();
            if (entries.contains(id) && duplicates)
                duplicates->append(id);
            entries.insert(id, value);
        }
    }
    return entries;
}

// What must come through a translation unchanged: the format placeholders in
// their order, and whether the text has a keyboard mnemonic ("&File"; "&&" is
// a plain ampersand).
QStringList KeptMarks(const QString &text)
{
    static const QRegularExpression placeholder(QStringLiteral("%(?:[0-9]+|[sdiuf])"));
    QStringList marks;
    for (const QRegularExpressionMatch &match : placeholder.globalMatch(text))
        marks << match.captured();
    static const QRegularExpression mnemonic(QStringLiteral("&[^&\\s]"));
    QString plain = text;
    plain.remove(QStringLiteral("&&"));
    if (plain.contains(mnemonic))
        marks << QStringLiteral("&");
    return marks;
}

TEST(LangShippedLanguages, EveryFileHasTheKeysAndPlaceholdersOfEnglish)
{
    const TFileEntries english = ShippedEntries(QStringLiteral("en"));
    ASSERT_GT(english.size(), 100);
    for (const QString &code : ShippedLanguageCodes()) {
        const std::string name = code.toStdString();
        QStringList duplicates;
        const TFileEntries entries = ShippedEntries(code, &duplicates);
        EXPECT_EQ(duplicates, QStringList()) << name << ": keys given twice (the program reads one of them)";
        QStringList missing;
        for (auto it = english.cbegin(); it != english.cend(); ++it) {
            if (!entries.contains(it.key()))
                missing << it.key();
            else if (it.value().trimmed().isEmpty() != entries.value(it.key()).trimmed().isEmpty())
                ADD_FAILURE() << name << ": " << it.key().toStdString() << " is empty in one file only";
            else
                EXPECT_EQ(KeptMarks(entries.value(it.key())), KeptMarks(it.value()))
                    << name << ": " << it.key().toStdString() << "=" << entries.value(it.key()).toStdString();
        }
        EXPECT_EQ(missing, QStringList()) << name << ": scripts/lang-missing-keys lists them with their English texts";
        QStringList extra;
        for (auto it = entries.cbegin(); it != entries.cend(); ++it)
            if (!english.contains(it.key()))
                extra << it.key();
        EXPECT_EQ(extra, QStringList()) << name << ": keys English does not have";
    }
}

// Texts the same as English are words the language shares; each is listed
// here, so that a text left untranslated is caught.
TEST(LangShippedLanguages, NoTextLeftInEnglish)
{
    const QHash<QString, QStringList> sameWords{
        {"cs", {"OK"}},
        {"de", {"Imperial", "Information", "N", "OK", "S", "Sand", "Tornado", "W", "Wind"}},
        {"es", {"E", "Error", "N", "S", "tornado"}},
        {"fr", {"Confirmation", "E", "Information", "Latitude", "Longitude", "N", "OK", "S"}},
        {"hu", {"OK"}},
        {"it", {"E", "File", "N", "OK", "S"}},
        {"ja", {"OK"}},
        {"nl", {"N", "OK", "W", "Wind", "tornado"}},
        // Polish, Ukrainian and Chinese weather texts give the wind's direction
        // in the international letters.
        {"pl", {"E", "N", "OK", "S", "W"}},
        {"pt", {"Latitude", "Longitude", "N", "OK", "S", "tornado"}},
        {"ru", {"OK"}},
        {"sk", {"OK"}},
        {"uk", {"E", "N", "OK", "S", "W"}},
        {"zh", {"E", "N", "S", "W"}},
    };
    const TFileEntries english = ShippedEntries(QStringLiteral("en"));
    const QString languageName = QStringLiteral("language file/languagename");
    for (const QString &code : ShippedLanguageCodes()) {
        if (code == QLatin1String("en"))
            continue;
        const TFileEntries entries = ShippedEntries(code);
        QStringList untranslated;
        for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
            const QString englishText = english.value(it.key());
            if (it.key() != languageName && it.value().compare(englishText, Qt::CaseInsensitive) == 0
                && !sameWords.value(code).contains(QString(it.value()).remove(QLatin1Char('&'))))
                untranslated << it.key() + QLatin1Char('=') + it.value();
        }
        EXPECT_EQ(untranslated, QStringList()) << code.toStdString();
        EXPECT_NE(entries.value(languageName), english.value(languageName)) << code.toStdString();
    }
}

} // namespace
