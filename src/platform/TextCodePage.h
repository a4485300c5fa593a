// The "system ANSI code page" of stored texts. On Linux it is UTF-8; bytes that are
// not valid UTF-8 come from a Windows machine and are read as Windows-1252.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The byte-order marks that open a text file.
inline const QByteArray kUtf8Bom("\xEF\xBB\xBF", 3);
inline const QByteArray kUtf16LEBom("\xFF\xFE", 2);
inline const QByteArray kUtf16BEBom("\xFE\xFF", 2);

bool IsValidUtf8(const QByteArray &bytes);

// The text with each surrogate that is not half of a pair replaced by U+FFFD.
QString WithValidSurrogates(QString text);

// Single-byte Windows-1252; the five unassigned codes map to the C1 control
// characters of the same value, as the platform's own conversion does.
QString DecodeWindows1252(const QByteArray &bytes);

// The text in Windows-1252, or nothing when a character has no form there.
std::optional<QByteArray> EncodeWindows1252(const QString &text);

// Text to bytes of the code page.
QByteArray AnsiFromText(const QString &text);

// Bytes of the code page to text: UTF-8 when valid, else Windows-1252.
QString TextFromAnsi(const QByteArray &bytes);

// How a text file's bytes were encoded: by its byte-order mark, or none.
enum class TTextFileEncoding {
    tfAnsi, // no byte-order mark: the code page above
    tfUtf8Bom,
    tfUtf16LE,
    tfUtf16BE,
};

// The text of a file's bytes: its byte-order mark decides, else the code page.
// Only the first mark is taken as one; a mark after it is a character of the text.
// `found`, when given, receives the encoding that was used.
QString DecodeTextFile(const QByteArray &bytes, TTextFileEncoding *found = nullptr);
