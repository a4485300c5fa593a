#include "LayoutManagerCipherer.h"

#include "TextCodePage.h"

namespace {

constexpr int kHexBase = 16;

int HexDigit(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    return -1;
}

// The key's byte for position j starts one ahead: the first byte uses the key's
// second byte. An empty key leaves the bytes as they are.
QByteArray XorWithKey(QByteArray bytes, const QByteArray &key)
{
    if (key.isEmpty())
        return bytes;
    for (qsizetype j = 0; j < bytes.size(); ++j)
        bytes[j] = static_cast<char>(bytes[j] ^ key[(j + 1) % key.size()]);
    return bytes;
}

} // namespace

QByteArray TLayoutManagerCipherer::WideToAnsi(const QString &text)
{
    return AnsiFromText(text);
}

QString TLayoutManagerCipherer::StringToHex(const QByteArray &source)
{
    return QString::fromLatin1(source.toHex()).toUpper();
}

QByteArray TLayoutManagerCipherer::HexToString(const QString &source)
{
    QByteArray bytes;
    bytes.reserve(source.size() / 2 + 1);
    for (qsizetype i = 0; i < source.size(); i += 2) {
        const int high = HexDigit(source[i]);
        if (i + 1 == source.size()) {
            if (high < 0)
                return {};
            bytes.append(static_cast<char>(high));
            break;
        }
        const int low = HexDigit(source[i + 1]);
        if (high < 0 || low < 0)
            return {};
        bytes.append(static_cast<char>(high * kHexBase + low));
    }
    return bytes;
}

QByteArray StrictHexToBytes(const QString &source)
{
    if (source.size() % 2 != 0)
        return {};
    return TLayoutManagerCipherer::HexToString(source);
}

QString TLayoutManagerCipherer::EncryptText(const QString &text, const QString &key)
{
    if (text.isEmpty())
        return {};
    return StringToHex(XorWithKey(WideToAnsi(text), WideToAnsi(key)));
}

QString TLayoutManagerCipherer::DecryptText(const QString &text, const QString &key)
{
    if (text.isEmpty())
        return {};
    // Decoded as the code page it was encoded from, so characters beyond ASCII
    // come back as they went in.
    return TextFromAnsi(XorWithKey(HexToString(text), WideToAnsi(key)));
}
