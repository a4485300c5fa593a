#include "LayoutManagerWinCryptCipherer.h"

#include "CryptoRc4.h"
#include "TextCodePage.h"

QByteArray TLayoutManagerWinCryptCipherer::Run(const QByteArray &input, const QByteArray &keyBytes)
{
    TRc4Stream stream(DeriveRc4KeyFromSha1(keyBytes));
    QByteArray output;
    output.reserve(input.size());
    qsizetype position = 0;
    do {
        QByteArray block = input.mid(position, kBlockSize);
        position += block.size();
        stream.Process(block, position >= input.size());
        output.append(block);
    } while (position < input.size());
    return output;
}

QString TLayoutManagerWinCryptCipherer::EncryptText(const QString &text, const QString &key)
{
    if (text.isEmpty())
        return {};
    return TLayoutManagerCipherer::StringToHex(Run(AnsiFromText(text), AnsiFromText(key)));
}

QString TLayoutManagerWinCryptCipherer::DecryptText(const QString &text, const QString &key)
{
    const QByteArray cipher = StrictHexToBytes(text);
    if (cipher.isEmpty())
        return {};
    return TextFromAnsi(Run(cipher, AnsiFromText(key)));
}
