// Deciphering a stored value with both cipherers, and the hexadecimal readers.
#include "FuzzSupport.h"

#include "LayoutManagerCipherer.h"
#include "LayoutManagerWinCryptCipherer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte gives the length of the key; the rest is the stored value.
    const std::size_t keyLength = std::min<std::size_t>(data[0], size - 1);
    const QString key = QString::fromUtf8(FuzzBytes(data + 1, keyLength));
    const QByteArray valueBytes = FuzzBytes(data + 1 + keyLength, size - 1 - keyLength);
    const QString value = QString::fromUtf8(valueBytes);

    TLayoutManagerCipherer plain;
    TLayoutManagerWinCryptCipherer rc4;
    plain.DecryptText(value, key);
    rc4.DecryptText(value, key);

    TLayoutManagerCipherer::HexToString(value);
    const QByteArray strict = StrictHexToBytes(value);
    FUZZ_CHECK(strict.size() <= value.size() / 2);

    // Whatever is enciphered deciphers to itself.
    const QString hex = TLayoutManagerCipherer::StringToHex(valueBytes);
    FUZZ_CHECK(StrictHexToBytes(hex) == valueBytes);
    FUZZ_CHECK(TLayoutManagerCipherer::HexToString(hex) == valueBytes);
    FUZZ_CHECK(rc4.DecryptText(rc4.EncryptText(value, key), key) == value);
    FUZZ_CHECK(plain.DecryptText(plain.EncryptText(value, key), key) == value);
    return 0;
}
