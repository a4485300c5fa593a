// The decoders of stored texts: by byte-order mark, UTF-8, Windows-1252.
#include "FuzzSupport.h"

#include "TextCodePage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);

    TTextFileEncoding found = TTextFileEncoding::tfAnsi;
    const QString fileText = DecodeTextFile(bytes, &found);
    if (found == TTextFileEncoding::tfAnsi)
        FUZZ_CHECK(fileText == TextFromAnsi(bytes));

    // Every byte has a character in Windows-1252, and the way back gives the byte.
    const QString windowsText = DecodeWindows1252(bytes);
    FUZZ_CHECK(windowsText.size() == bytes.size());
    const std::optional<QByteArray> again = EncodeWindows1252(windowsText);
    FUZZ_CHECK(again && *again == bytes);

    // Valid UTF-8 reads as UTF-8 and is written back byte for byte.
    const QString ansiText = TextFromAnsi(bytes);
    if (IsValidUtf8(bytes)) {
        FUZZ_CHECK(AnsiFromText(ansiText) == bytes);
    } else {
        FUZZ_CHECK(ansiText == windowsText);
    }
    return 0;
}
