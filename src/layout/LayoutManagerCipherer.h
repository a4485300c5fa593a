// Enciphering of settings values that carry a key. Both cipherers answer every
// failure (malformed cipher text, a failed platform step) with empty text.
#pragma once

#include <QByteArray>
#include <QString>

class ILayoutManagerCipherer
{
public:
    virtual ~ILayoutManagerCipherer() = default;
    virtual QString EncryptText(const QString &text, const QString &key) = 0;
    virtual QString DecryptText(const QString &text, const QString &key) = 0;
};

// The default of every values collection: the text's bytes XOR the key's bytes,
// written as upper-case hexadecimal.
class TLayoutManagerCipherer : public ILayoutManagerCipherer
{
public:
    QString EncryptText(const QString &text, const QString &key) override;
    QString DecryptText(const QString &text, const QString &key) override;

    // Characters to bytes of the code page; only the system's (UTF-8) is known here.
    static QByteArray WideToAnsi(const QString &text);
    // Two upper-case hexadecimal digits per byte.
    static QString StringToHex(const QByteArray &source);
    // Two digits per byte from the start; a last lone digit is one byte. Empty as
    // soon as a group is not hexadecimal.
    static QByteArray HexToString(const QString &source);
};

// Two hexadecimal digits per byte, either case; empty when a pair is not
// hexadecimal or a digit is left over.
QByteArray StrictHexToBytes(const QString &source);
