#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// The line break that the "\n" escape of language files stands for.
inline constexpr char16_t kLangLineBreak = u'\n';

// Expands the two escapes of language files, left to right: backslash-n to a
// line break and backslash-t to a tab. Nothing else is an escape.
QString ExpandLangEscapes(const QString &text);

// One section of a language file: its name as written and its lines, trimmed,
// without empty lines and comments, in file order.
struct TLangIniSection
{
    QString name;
    QStringList lines;
};

// Splits a language file's text into sections. Sections of the same name
// (ignoring case) are joined; lines before the first section are dropped.
std::vector<TLangIniSection> ParseLangIni(const QString &text);

// Finds a section by name, ignoring case; nullptr when the file has none.
const TLangIniSection *FindLangSection(const std::vector<TLangIniSection> &sections,
                                       const QString &name);

// Splits "key = value" at the first "=", trimming blanks on both sides of it.
// False for a line without "=".
bool SplitLangEntry(const QString &line, QString &key, QString &value);

// The value of `key` (ignoring case) in a section, or an empty text.
QString LangSectionValue(const TLangIniSection *section, const QString &key);
