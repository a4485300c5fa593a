#include "LangFileText.h"

#include <QStringDecoder>

#include <array>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; five of those bytes are
// unassigned and kept as the C1 control of the same value.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
constexpr unsigned char kCp1252HighFirst = 0x80;
constexpr unsigned char kCp1252HighLast = 0x9F;

QString DecodeCp1252(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (char raw : bytes) {
        const auto byte = static_cast<unsigned char>(raw);
        if (byte >= kCp1252HighFirst && byte <= kCp1252HighLast)
            text.append(QChar(kCp1252High[byte - kCp1252HighFirst]));
        else
            text.append(QChar(static_cast<char16_t>(byte)));
    }
    return text;
}

QString Decode(QStringConverter::Encoding encoding, const QByteArray &bytes, bool *valid)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (valid)
        *valid = !decoder.hasError();
    return text;
}

bool StartsWith(const QByteArray &bytes, std::initializer_list<unsigned char> mark)
{
    if (bytes.size() < static_cast<qsizetype>(mark.size()))
        return false;
    qsizetype i = 0;
    for (unsigned char b : mark) {
        if (static_cast<unsigned char>(bytes.at(i++)) != b)
            return false;
    }
    return true;
}

} // namespace

QString DecodeLanguageFileBytes(const QByteArray &bytes)
{
    if (StartsWith(bytes, {0xEF, 0xBB, 0xBF}))
        return Decode(QStringConverter::Utf8, bytes.mid(3), nullptr);
    if (StartsWith(bytes, {0xFF, 0xFE}))
        return Decode(QStringConverter::Utf16LE, bytes.mid(2), nullptr);
    if (StartsWith(bytes, {0xFE, 0xFF}))
        return Decode(QStringConverter::Utf16BE, bytes.mid(2), nullptr);
    bool valid = false;
    QString text = Decode(QStringConverter::Utf8, bytes, &valid);
    return valid ? text : DecodeCp1252(bytes);
}

QString ExpandLangEscapes(const QString &text)
{
    if (!text.contains(u'\\'))
        return text;
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\\' && i + 1 < text.size()) {
            const QChar next = text.at(i + 1);
            if (next == u'n') {
                result.append(QChar(kLangLineBreak));
                ++i;
                continue;
            }
            if (next == u't') {
                result.append(u'\t');
                ++i;
                continue;
            }
        }
        result.append(c);
    }
    return result;
}

std::vector<TLangIniSection> ParseLangIni(const QString &text)
{
    std::vector<TLangIniSection> sections;
    TLangIniSection *current = nullptr;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = start;
        while (end < text.size() && text.at(end) != u'\n' && text.at(end) != u'\r')
            ++end;
        const QString line = text.mid(start, end - start).trimmed();
        // CR LF counts as one break.
        start = end + ((end + 1 < text.size() && text.at(end) == u'\r' && text.at(end + 1) == u'\n') ? 2 : 1);

        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']') && line.size() >= 2) {
            const QString name = line.mid(1, line.size() - 2).trimmed();
            current = nullptr;
            for (TLangIniSection &section : sections) {
                if (section.name.compare(name, Qt::CaseInsensitive) == 0)
                    current = &section;
            }
            if (!current) {
                sections.push_back({name, {}});
                current = &sections.back();
            }
            continue;
        }
        if (current)
            current->lines.append(line);
    }
    return sections;
}

const TLangIniSection *FindLangSection(const std::vector<TLangIniSection> &sections,
                                       const QString &name)
{
    for (const TLangIniSection &section : sections) {
        if (section.name.compare(name, Qt::CaseInsensitive) == 0)
            return &section;
    }
    return nullptr;
}

bool SplitLangEntry(const QString &line, QString &key, QString &value)
{
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return false;
    key = line.left(equals).trimmed();
    value = line.mid(equals + 1).trimmed();
    return true;
}

QString LangSectionValue(const TLangIniSection *section, const QString &key)
{
    if (!section)
        return {};
    QString name;
    QString value;
    for (const QString &line : section->lines) {
        if (SplitLangEntry(line, name, value) && name.compare(key, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}
