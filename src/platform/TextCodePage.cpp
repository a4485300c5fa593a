#include "TextCodePage.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace {

constexpr unsigned char kFirstWindowsOnlyByte = 0x80;
constexpr unsigned char kLastWindowsOnlyByte = 0x9F;

// Windows-1252 at 0x80..0x9F; the rest of the page equals Latin-1.
constexpr std::array<char16_t, kLastWindowsOnlyByte - kFirstWindowsOnlyByte + 1> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString DecodeAfterMark(QStringDecoder::Encoding encoding, const QByteArray &bytes, qsizetype markSize)
{
    // The decoder would drop a second mark on its own; only the first one is the
    // file's mark, the next belongs to the text (else each save loses one).
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    // The UTF-16 decoder lets a lone surrogate through, which every later
    // encoding would turn into U+FFFD: done here, a save writes what was read.
    return WithValidSurrogates(decoder.decode(bytes.mid(markSize)));
}

} // namespace

QString WithValidSurrogates(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i; // a whole pair
        else if (c.isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

bool IsValidUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString ignored = decoder.decode(bytes);
    return !decoder.hasError();
}

QString DecodeWindows1252(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= kFirstWindowsOnlyByte && b <= kLastWindowsOnlyByte)
            text.append(QChar(kWindows1252High[b - kFirstWindowsOnlyByte]));
        else
            text.append(QChar(b));
    }
    return text;
}

std::optional<QByteArray> EncodeWindows1252(const QString &text)
{
    constexpr char16_t kLastLatin1 = 0xFF;
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const auto high = std::find(kWindows1252High.begin(), kWindows1252High.end(), u);
        if (high != kWindows1252High.end())
            bytes.append(static_cast<char>(kFirstWindowsOnlyByte + (high - kWindows1252High.begin())));
        else if (u < kFirstWindowsOnlyByte || (u > kLastWindowsOnlyByte && u <= kLastLatin1))
            bytes.append(static_cast<char>(u));
        else
            return std::nullopt;
    }
    return bytes;
}

QByteArray AnsiFromText(const QString &text)
{
    return text.toUtf8();
}

QString TextFromAnsi(const QByteArray &bytes)
{
    if (IsValidUtf8(bytes)) {
        // These bytes are a text, not a file: a leading mark is its first character
        // (fromUtf8 would drop it, and a deciphered value would lose it).
        QStringDecoder decoder(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        return decoder.decode(bytes);
    }
    return DecodeWindows1252(bytes);
}

QString DecodeTextFile(const QByteArray &bytes, TTextFileEncoding *found)
{
    TTextFileEncoding encoding = TTextFileEncoding::tfAnsi;
    QString text;
    if (bytes.startsWith(kUtf8Bom)) {
        encoding = TTextFileEncoding::tfUtf8Bom;
        text = DecodeAfterMark(QStringDecoder::Utf8, bytes, kUtf8Bom.size());
    } else if (bytes.startsWith(kUtf16LEBom)) {
        encoding = TTextFileEncoding::tfUtf16LE;
        text = DecodeAfterMark(QStringDecoder::Utf16LE, bytes, kUtf16LEBom.size());
    } else if (bytes.startsWith(kUtf16BEBom)) {
        encoding = TTextFileEncoding::tfUtf16BE;
        text = DecodeAfterMark(QStringDecoder::Utf16BE, bytes, kUtf16BEBom.size());
    } else {
        text = TextFromAnsi(bytes);
    }
    if (found)
        *found = encoding;
    return text;
}
