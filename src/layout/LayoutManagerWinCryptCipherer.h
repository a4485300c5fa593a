// The cipherer the program uses for its enciphered settings: RC4 with a key derived
// from the SHA-1 hash of the key text, written as upper-case hexadecimal. Files
// written by the earlier program for another platform read back unchanged.
#pragma once

#include "LayoutManagerCipherer.h"

class TLayoutManagerWinCryptCipherer : public ILayoutManagerCipherer
{
public:
    // The input is fed to the cipher in blocks of this size, one keystream for all.
    static constexpr int kBlockSize = 512;

    QString EncryptText(const QString &text, const QString &key) override;
    // A cipher text with a non-hexadecimal digit or an odd number of digits
    // deciphers to empty text.
    QString DecryptText(const QString &text, const QString &key) override;

    // The cipher on bytes, one run over the whole input.
    static QByteArray Run(const QByteArray &input, const QByteArray &keyBytes);
};
