// Both settings cipherers against known cipher texts, and their failure answers.
#include "CryptoRc4.h"
#include "IniTestFiles.h"
#include "LayoutManagerCipherer.h"
#include "LayoutManagerWinCryptCipherer.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>

#include <memory>

namespace {

const QString kKeyText = QStringLiteral("K3yP@ssw0rd!");

struct TVector
{
    const char *Plain;
    const char *Key;
    const char *Cipher;
};

TEST(WinCryptCipherer, KeyIsTheStartOfTheSha1OfTheKeyText)
{
    EXPECT_EQ(QCryptographicHash::hash(kKeyText.toUtf8(), QCryptographicHash::Sha1).toHex().toUpper(),
              QByteArray("AE98F8D07C2FB14297334ADD3A7C83ECBEFBCA06"));
    EXPECT_EQ(DeriveRc4KeyFromSha1(kKeyText.toUtf8()).toHex().toUpper(),
              QByteArray("AE98F8D07C2FB14297334ADD3A7C83EC"));
}

TEST(WinCryptCipherer, KnownCipherTexts)
{
    const TVector vectors[] = {
        {"abc", "K3yP@ssw0rd!", "C9609F"},
        {"Hello, World!", "K3yP@ssw0rd!", "E06790EE83C9EFC6838A23C964"},
    };
    TLayoutManagerWinCryptCipherer cipherer;
    for (const TVector &v : vectors) {
        const QString plain = QString::fromLatin1(v.Plain);
        const QString key = QString::fromLatin1(v.Key);
        EXPECT_EQ(cipherer.EncryptText(plain, key), QString::fromLatin1(v.Cipher)) << v.Plain;
        EXPECT_EQ(cipherer.DecryptText(QString::fromLatin1(v.Cipher), key), plain) << v.Plain;
        EXPECT_EQ(cipherer.DecryptText(QString::fromLatin1(v.Cipher).toLower(), key), plain) << v.Plain;
    }
}

TEST(WinCryptCipherer, BlocksContinueOneKeystream)
{
    constexpr int kLength = 600;
    QByteArray plain(kLength, '\0');
    for (int i = 0; i < kLength; ++i)
        plain[i] = static_cast<char>(i % 256);
    const QByteArray cipher = TLayoutManagerWinCryptCipherer::Run(plain, kKeyText.toUtf8());
    ASSERT_EQ(cipher.size(), kLength);
    EXPECT_EQ(QCryptographicHash::hash(cipher, QCryptographicHash::Sha256).toHex().toUpper(),
              QByteArray("8B61DC214317A081188A3BB73A94AE6A527673BA3D739FF80CCC899D3A87BDDD"));
    EXPECT_EQ(cipher.mid(0, 16).toHex().toUpper(), QByteArray("A803FE81E8E0C996E4F145A64914A8EF"));
    EXPECT_EQ(cipher.mid(512, 16).toHex().toUpper(), QByteArray("BA28242DAF09CB975849EAA598D898F9"));
    EXPECT_EQ(cipher.mid(584, 16).toHex().toUpper(), QByteArray("F0A5D620C591999C04A245C32D33501F"));
    EXPECT_EQ(TLayoutManagerWinCryptCipherer::Run(cipher, kKeyText.toUtf8()), plain);

    // The final block resets the keystream: a run that marked every block final
    // would start its second block with the first block's keystream.
    TRc4Stream stream(DeriveRc4KeyFromSha1(kKeyText.toUtf8()));
    QByteArray first = plain.left(TLayoutManagerWinCryptCipherer::kBlockSize);
    QByteArray second = plain.mid(TLayoutManagerWinCryptCipherer::kBlockSize);
    stream.Process(first, true);
    stream.Process(second, true);
    EXPECT_EQ(second.left(16).toHex().toUpper(), QByteArray("A803FE81E8E0C996E4F145A64914A8EF"));
}

TEST(XorCipherer, KnownCipherTexts)
{
    const TVector vectors[] = {
        {"abc", "K3yP@ssw0rd!", "521B33"},
        {"Hello, World!", "key", "2D1C07091647452E0417150F44"},
        {"secret value 42", "K3yP@ssw0rd!", "401C3332160757461308542E134D62"},
    };
    TLayoutManagerCipherer cipherer;
    for (const TVector &v : vectors) {
        const QString plain = QString::fromLatin1(v.Plain);
        const QString key = QString::fromLatin1(v.Key);
        EXPECT_EQ(cipherer.EncryptText(plain, key), QString::fromLatin1(v.Cipher)) << v.Plain;
        EXPECT_EQ(cipherer.DecryptText(QString::fromLatin1(v.Cipher), key), plain) << v.Plain;
    }
}

TEST(XorCipherer, TextBeyondAsciiComesBackFromEitherCodePage)
{
    // Enciphered here from UTF-8 bytes, and on Windows from Windows-1252 bytes.
    TLayoutManagerCipherer cipherer;
    const QString plain = QStringLiteral("Zürich €");
    EXPECT_EQ(cipherer.EncryptText(plain, QStringLiteral("key")), QStringLiteral("3FBAD71710080D5989E7D5"));
    for (const char *cipher : {"3FBAD71710080D5989E7D5", "3F85190C1A0345F9"})
        EXPECT_EQ(cipherer.DecryptText(QString::fromLatin1(cipher), QStringLiteral("key")), plain) << cipher;
}

TEST(XorCipherer, HexReadingRules)
{
    EXPECT_EQ(TLayoutManagerCipherer::HexToString(QStringLiteral("4a6B")), QByteArray("Jk"));
    EXPECT_EQ(TLayoutManagerCipherer::HexToString(QStringLiteral("4A6")), QByteArray("J\x06"));
    EXPECT_EQ(TLayoutManagerCipherer::HexToString(QStringLiteral("4A6G")), QByteArray());
    EXPECT_EQ(TLayoutManagerCipherer::HexToString(QStringLiteral("4AG")), QByteArray());
    EXPECT_EQ(TLayoutManagerCipherer::StringToHex(QByteArray("\x00\xAB\xff", 3)), QStringLiteral("00ABFF"));
}

// What both cipherers must do alike.
struct TCiphererCase
{
    const char *Name;
    std::shared_ptr<ILayoutManagerCipherer> (*Make)();
};

void PrintTo(const TCiphererCase &c, std::ostream *os)
{
    *os << c.Name;
}

class BothCipherers : public ::testing::TestWithParam<TCiphererCase>
{
};

TEST_P(BothCipherers, RoundTripsAndFailures)
{
    const std::shared_ptr<ILayoutManagerCipherer> made = GetParam().Make();
    ILayoutManagerCipherer &cipherer = *made;
    const QString ascii = QStringLiteral("b1946ac92492d2347c6235b4d2611184");
    const QString cipher = cipherer.EncryptText(ascii, kKeyText);
    EXPECT_EQ(cipher.size(), 2 * ascii.size());
    EXPECT_EQ(cipher, cipher.toUpper());
    EXPECT_EQ(cipherer.DecryptText(cipher, kKeyText), ascii);
    EXPECT_NE(cipherer.DecryptText(cipher, QStringLiteral("another key!")), ascii);

    // Beyond ASCII, the text comes back as it went in.
    const QString accented = QStringLiteral("Klíč – Žluťoučký kůň €");
    EXPECT_EQ(cipherer.DecryptText(cipherer.EncryptText(accented, kKeyText), kKeyText), accented);

    // A value that starts with a zero-width no-break space keeps it.
    const QString marked = QStringLiteral("\uFEFFb1946ac9");
    EXPECT_EQ(cipherer.DecryptText(cipherer.EncryptText(marked, kKeyText), kKeyText), marked);

    // More than one block.
    const QString longText = QString(700, u'x') + QStringLiteral("end");
    EXPECT_EQ(cipherer.DecryptText(cipherer.EncryptText(longText, kKeyText), kKeyText), longText);

    EXPECT_EQ(cipherer.EncryptText(QString(), kKeyText), QString());
    EXPECT_EQ(cipherer.DecryptText(QString(), kKeyText), QString());
    QString damaged = cipher;
    damaged[3] = u'Z';
    EXPECT_EQ(cipherer.DecryptText(damaged, kKeyText), QString());
    EXPECT_EQ(cipherer.DecryptText(QStringLiteral("12 4"), kKeyText), QString());

    // An empty key is an odd call, never a crash.
    EXPECT_EQ(cipherer.DecryptText(cipherer.EncryptText(ascii, QString()), QString()), ascii);
}

INSTANTIATE_TEST_SUITE_P(
    Cipherers, BothCipherers,
    ::testing::Values(
        TCiphererCase{"Xor", [] { return std::shared_ptr<ILayoutManagerCipherer>(new TLayoutManagerCipherer); }},
        TCiphererCase{"Rc4",
                      [] { return std::shared_ptr<ILayoutManagerCipherer>(new TLayoutManagerWinCryptCipherer); }}),
    [](const ::testing::TestParamInfo<TCiphererCase> &param) { return std::string(param.param.Name); });

TEST(WinCryptCipherer, AnOddNumberOfDigitsDeciphersToNothing)
{
    TLayoutManagerWinCryptCipherer cipherer;
    EXPECT_EQ(cipherer.DecryptText(QStringLiteral("C9609"), kKeyText), QString());
}

} // namespace
