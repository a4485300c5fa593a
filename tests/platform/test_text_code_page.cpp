#include "TextCodePage.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

TEST(Windows1252, EveryByteSurvivesDecodingAndEncoding)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const std::optional<QByteArray> again = EncodeWindows1252(DecodeWindows1252(all));
    ASSERT_TRUE(again.has_value());
    EXPECT_EQ(*again, all);
}

TEST(Windows1252, EncodesItsOwnCharactersAndRefusesOthers)
{
    const struct {
        const char16_t *text;
        std::optional<QByteArray> bytes;
    } cases[] = {
        {u"Zoë", QByteArray("Zo\xEB")},
        {u"\u20AC 5 \u2013 \u0160", QByteArray("\x80 5 \x96 \x8A")},
        {u"", QByteArray()},
        {u"\u00FF", QByteArray("\xFF")},
        {u"caf\u00E9 \u010D", std::nullopt}, // č has no code
        {u"\u0080", std::nullopt},           // Latin-1's C1 code where the page has €
        {u"\u3042", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(EncodeWindows1252(QString::fromUtf16(c.text)), c.bytes) << QString::fromUtf16(c.text).toStdString();
}

TEST(TextFiles, TheByteOrderMarkDecides)
{
    TTextFileEncoding found = TTextFileEncoding::tfAnsi;
    EXPECT_EQ(DecodeTextFile(kUtf8Bom + QByteArray("a\xC3\xA9"), &found), QStringLiteral("a\u00E9"));
    EXPECT_EQ(found, TTextFileEncoding::tfUtf8Bom);
    EXPECT_EQ(DecodeTextFile(kUtf16LEBom + QByteArray("a\0\xE9\0", 4), &found), QStringLiteral("a\u00E9"));
    EXPECT_EQ(found, TTextFileEncoding::tfUtf16LE);
    EXPECT_EQ(DecodeTextFile(kUtf16BEBom + QByteArray("\0a\0\xE9", 4), &found), QStringLiteral("a\u00E9"));
    EXPECT_EQ(found, TTextFileEncoding::tfUtf16BE);
    EXPECT_EQ(DecodeTextFile(QByteArray("a\xE9"), &found), QStringLiteral("a\u00E9"));
    EXPECT_EQ(found, TTextFileEncoding::tfAnsi);
}

// Text inside the program is valid UTF-16: a lone surrogate read from a file
// becomes U+FFFD at once, as any later encoding would write it, so a save
// writes what was read. Pairs stay whole.
TEST(TextFiles, ALoneSurrogateReadsAsTheReplacementCharacter)
{
    const QChar replacement(QChar::ReplacementCharacter);
    const struct {
        const char *Name;
        std::u16string Units;
        QString Expected;
    } cases[] = {
        {"lone low", u"k=\xDC00", QStringLiteral("k=") + replacement},
        {"lone high at the end", u"k=\xD83D", QStringLiteral("k=") + replacement},
        {"high before a plain unit", u"\xD83Dx", QString(replacement) + QLatin1Char('x')},
        {"low before high", u"\xDE00\xD83D", QString(2, replacement)},
        {"a whole pair", u"\xD83D\xDE00", QStringLiteral("\U0001F600")},
    };
    for (const auto &c : cases) {
        QByteArray little = kUtf16LEBom;
        QByteArray big = kUtf16BEBom;
        for (const char16_t unit : c.Units) {
            little.append(char(unit & 0xFF)).append(char(unit >> 8));
            big.append(char(unit >> 8)).append(char(unit & 0xFF));
        }
        EXPECT_EQ(DecodeTextFile(little), c.Expected) << c.Name;
        EXPECT_EQ(DecodeTextFile(big), c.Expected) << c.Name;
    }
}

TEST(CodePageText, ValidUtf8ReadsAsUtf8AndComesBackByteForByte)
{
    const struct {
        QByteArray bytes;
        QString text;
    } cases[] = {
        {QByteArray("caf\xC3\xA9"), QStringLiteral("caf\u00E9")},
        {QByteArray("caf\xE9"), QStringLiteral("caf\u00E9")}, // not UTF-8: Windows-1252
        // A mark at the start of a text (not of a file) is a character of it.
        {kUtf8Bom + QByteArray("key"), QStringLiteral("\uFEFFkey")},
        {kUtf8Bom + kUtf8Bom, QStringLiteral("\uFEFF\uFEFF")},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(TextFromAnsi(c.bytes), c.text) << c.bytes.toHex().toStdString();
        if (IsValidUtf8(c.bytes)) {
            EXPECT_EQ(AnsiFromText(TextFromAnsi(c.bytes)), c.bytes) << c.bytes.toHex().toStdString();
        }
    }
}

} // namespace
