// An INI file read, every value read, written and read again: the second read
// must find the same sections, keys and values.
#include "FuzzSupport.h"

#include "IniDocument.h"

#include <QStringList>

namespace {

struct TIniContent
{
    QStringList sections;
    QList<QStringList> lines;
    QList<QStringList> values;

    bool operator==(const TIniContent &other) const
    {
        return sections == other.sections && lines == other.lines && values == other.values;
    }
};

// Everything a reader of the document can see, read through its own look-ups.
TIniContent ReadAll(const TIniDocument &document)
{
    TIniContent content;
    content.sections = document.SectionNames();
    for (const QString &section : content.sections) {
        FUZZ_CHECK(document.SectionExists(section));
        const QStringList lines = document.SectionLines(section);
        QStringList values;
        for (const QString &line : lines) {
            const QString key = line.section(QLatin1Char('='), 0, 0);
            QString value;
            FUZZ_CHECK(document.ValueExists(section, key));
            FUZZ_CHECK(document.FindValue(section, key, &value));
            values.append(value);
        }
        content.lines.append(lines);
        content.values.append(values);
    }
    return content;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const TIniDocument first = TIniDocument::FromBytes(FuzzBytes(data, size));
    const TIniContent before = ReadAll(first);
    const QByteArray written = first.ToBytes();
    const TIniDocument second = TIniDocument::FromBytes(written);
    FUZZ_CHECK(ReadAll(second) == before);
    // A second write changes nothing more.
    FUZZ_CHECK(second.ToBytes() == written);
    return 0;
}
