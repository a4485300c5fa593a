#include "UserLanguageCode.h"

#include <gtest/gtest.h>

#include <QLocale>

namespace {

TEST(LangUserLanguage, CodeOfLangId)
{
    const struct {
        quint16 langId;
        const char *code;
    } cases[] = {
        {0x0405, "cs"}, {0x0407, "de"}, {0x0807, "de"}, {0x1407, "de"}, {0x1807, ""},  {0x0409, "en"},
        {0x4809, "en"}, {0x040A, ""},   {0x0C0A, "es"}, {0x500A, "es"}, {0x0401, "ar"}, {0x4001, "ar"},
        {0x4401, ""},   {0x7C1A, "sr"}, {0x041A, "hr"}, {0x781A, "bs"}, {0x0457, "kok"}, {0x048C, "gbz"},
        {0x0405 + 0x0400, ""},          {0x0000, ""},   {0xFFFF, ""},  {0x082E, "dsb"}, {0x042E, "wen"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(LanguageCodeOfLangId(c.langId), QLatin1String(c.code)) << std::hex << c.langId;
}

TEST(LangUserLanguage, FromTheLocaleWhenTheTableKnowsIt)
{
    const QLocale saved;
    const struct {
        QLocale::Language language;
        QLocale::Territory territory;
        const char *code;
    } cases[] = {
        {QLocale::German, QLocale::Austria, "de"},
        {QLocale::Czech, QLocale::CzechRepublic, "cs"},
        {QLocale::English, QLocale::UnitedKingdom, "en"},
        {QLocale::NorwegianBokmal, QLocale::Norway, "no"},
        {QLocale::Filipino, QLocale::Philippines, "fil"},
        {QLocale::Khmer, QLocale::Cambodia, "kh"},
        {QLocale::UpperSorbian, QLocale::Germany, "wen"},
        {QLocale::LowerSorbian, QLocale::Germany, "dsb"},
        {QLocale::Esperanto, QLocale::World, ""},
        {QLocale::C, QLocale::AnyTerritory, ""},
    };
    for (const auto &c : cases) {
        QLocale::setDefault(QLocale(c.language, c.territory));
        EXPECT_EQ(GetUserLanguageCode(), QLatin1String(c.code)) << c.code;
    }
    QLocale::setDefault(saved);
}

} // namespace
