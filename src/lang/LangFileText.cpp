#include "LangFileText.h"

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
