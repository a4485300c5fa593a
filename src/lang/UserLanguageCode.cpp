#include "UserLanguageCode.h"

#include <QLocale>

#include <algorithm>
#include <iterator>

namespace {

struct TLangIdCode
{
    quint16 langId;
    const char *code;
};

// Sorted by identifier. Identifiers not listed (such as 0x040A, Spanish with
// the traditional sort) have no code.
constexpr TLangIdCode kLangIdCodes[] = {
    {0x0401, "ar"}, {0x0402, "bg"}, {0x0403, "ca"}, {0x0404, "zh"}, {0x0405, "cs"}, {0x0406, "da"},
    {0x0407, "de"}, {0x0408, "el"}, {0x0409, "en"}, {0x040B, "fi"}, {0x040C, "fr"}, {0x040D, "he"},
    {0x040E, "hu"}, {0x040F, "is"}, {0x0410, "it"}, {0x0411, "ja"}, {0x0412, "ko"}, {0x0413, "nl"},
    {0x0414, "no"}, {0x0415, "pl"}, {0x0416, "pt"}, {0x0417, "rm"}, {0x0418, "ro"}, {0x0419, "ru"},
    {0x041A, "hr"}, {0x041B, "sk"}, {0x041C, "sq"}, {0x041D, "sv"}, {0x041E, "th"}, {0x041F, "tr"},
    {0x0420, "ur"}, {0x0421, "id"}, {0x0422, "uk"}, {0x0423, "be"}, {0x0424, "sl"}, {0x0425, "et"},
    {0x0426, "lv"}, {0x0427, "lt"}, {0x0428, "tg"}, {0x0429, "fa"}, {0x042A, "vi"}, {0x042B, "hy"},
    {0x042C, "az"}, {0x042D, "eu"}, {0x042E, "wen"}, {0x042F, "mk"}, {0x0432, "tn"}, {0x0434, "xh"},
    {0x0435, "zu"}, {0x0436, "af"}, {0x0437, "ka"}, {0x0438, "fo"}, {0x0439, "hi"}, {0x043A, "mt"},
    {0x043B, "se"}, {0x043E, "ms"}, {0x043F, "kk"}, {0x0440, "ky"}, {0x0441, "sw"}, {0x0442, "tk"},
    {0x0443, "uz"}, {0x0444, "tt"}, {0x0445, "bn"}, {0x0446, "pa"}, {0x0447, "gu"}, {0x0448, "or"},
    {0x0449, "ta"}, {0x044A, "te"}, {0x044B, "kn"}, {0x044C, "ml"}, {0x044D, "as"}, {0x044E, "mr"},
    {0x044F, "sa"}, {0x0450, "mn"}, {0x0451, "bo"}, {0x0452, "cy"}, {0x0453, "kh"}, {0x0454, "lo"},
    {0x0456, "gl"}, {0x0457, "kok"}, {0x045A, "syr"}, {0x045B, "si"}, {0x045D, "iu"},
    {0x045E, "am"}, {0x0461, "ne"}, {0x0462, "fy"}, {0x0463, "ps"}, {0x0464, "fil"}, {0x0465, "dv"},
    {0x0468, "ha"}, {0x046A, "yo"}, {0x046B, "quz"}, {0x046C, "ns"}, {0x046D, "ba"}, {0x046E, "lb"},
    {0x046F, "kl"}, {0x0470, "ig"}, {0x0478, "ii"}, {0x047A, "arn"}, {0x047C, "moh"},
    {0x047E, "br"}, {0x0480, "ug"}, {0x0481, "mi"}, {0x0482, "oc"}, {0x0483, "co"}, {0x0484, "gsw"},
    {0x0485, "sah"}, {0x0486, "qut"}, {0x0487, "rw"}, {0x0488, "wo"}, {0x048C, "gbz"},
    {0x0801, "ar"}, {0x0804, "zh"}, {0x0807, "de"}, {0x0809, "en"}, {0x080A, "es"}, {0x080C, "fr"},
    {0x0810, "it"}, {0x0813, "nl"}, {0x0814, "no"}, {0x0816, "pt"}, {0x081A, "sr"}, {0x081D, "sv"},
    {0x0820, "ur"}, {0x082C, "az"}, {0x082E, "dsb"}, {0x083B, "se"}, {0x083C, "ga"}, {0x083E, "ms"},
    {0x0843, "uz"}, {0x0850, "mn"}, {0x085D, "iu"}, {0x085F, "tmz"}, {0x086B, "quz"},
    {0x0C01, "ar"}, {0x0C04, "zh"}, {0x0C07, "de"}, {0x0C09, "en"}, {0x0C0A, "es"}, {0x0C0C, "fr"},
    {0x0C1A, "sr"}, {0x0C3B, "se"}, {0x0C6B, "quz"}, {0x1001, "ar"}, {0x1004, "zh"}, {0x1007, "de"},
    {0x1009, "en"}, {0x100A, "es"}, {0x100C, "fr"}, {0x101A, "hr"}, {0x103B, "se"}, {0x1401, "ar"},
    {0x1404, "zh"}, {0x1407, "de"}, {0x1409, "en"}, {0x140A, "es"}, {0x140C, "fr"}, {0x141A, "bs"},
    {0x143B, "se"}, {0x1801, "ar"}, {0x1809, "en"}, {0x180A, "es"}, {0x180C, "fr"}, {0x181A, "sr"},
    {0x183B, "se"}, {0x1C01, "ar"}, {0x1C09, "en"}, {0x1C0A, "es"}, {0x1C3B, "se"}, {0x2001, "ar"},
    {0x2009, "en"}, {0x200A, "es"}, {0x201A, "bs"}, {0x203B, "se"}, {0x2401, "ar"}, {0x2409, "en"},
    {0x240A, "es"}, {0x243B, "se"}, {0x2801, "ar"}, {0x2809, "en"}, {0x280A, "es"}, {0x2C01, "ar"},
    {0x2C09, "en"}, {0x2C0A, "es"}, {0x3001, "ar"}, {0x3009, "en"}, {0x300A, "es"}, {0x3401, "ar"},
    {0x3409, "en"}, {0x340A, "es"}, {0x3801, "ar"}, {0x380A, "es"}, {0x3C01, "ar"}, {0x3C0A, "es"},
    {0x4001, "ar"}, {0x4009, "en"}, {0x400A, "es"}, {0x4409, "en"}, {0x440A, "es"}, {0x4809, "en"},
    {0x480A, "es"}, {0x4C0A, "es"}, {0x500A, "es"}, {0x781A, "bs"}, {0x7C1A, "sr"},
};

// Locale codes that name, under another code, a language the table knows.
constexpr struct
{
    const char *localeCode;
    const char *fileCode;
} kLocaleAliases[] = {
    {"nb", "no"},   // Norwegian Bokmål
    {"nn", "no"},   // Norwegian Nynorsk
    {"km", "kh"},   // Khmer
    {"hsb", "wen"}, // Upper Sorbian
    {"nso", "ns"},  // Northern Sotho
    {"quc", "qut"}, // K'iche'
    {"tzm", "tmz"}, // Central Atlas Tamazight
    {"qu", "quz"},  // Quechua
};

} // namespace

QString LanguageCodeOfLangId(quint16 langId)
{
    auto at = std::lower_bound(std::begin(kLangIdCodes), std::end(kLangIdCodes), langId,
                               [](const TLangIdCode &entry, quint16 id) { return entry.langId < id; });
    if (at == std::end(kLangIdCodes) || at->langId != langId)
        return {};
    return QString::fromLatin1(at->code);
}

bool IsKnownLanguageCode(const QString &code)
{
    return std::any_of(std::begin(kLangIdCodes), std::end(kLangIdCodes), [&](const TLangIdCode &entry) {
        return code.compare(QLatin1String(entry.code), Qt::CaseInsensitive) == 0;
    });
}

QString GetUserLanguageCode()
{
    QString code = QLocale::languageToCode(QLocale().language()).toLower();
    for (const auto &alias : kLocaleAliases) {
        if (code == QLatin1String(alias.localeCode))
            code = QString::fromLatin1(alias.fileCode);
    }
    return IsKnownLanguageCode(code) ? code : QString();
}
