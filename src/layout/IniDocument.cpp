#include "IniDocument.h"

#include "TextCodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <optional>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool SameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool IsBlank(const QString &line)
{
    return line.trimmed().isEmpty();
}

template <typename Lines>
void DropTrailingBlanks(Lines &lines)
{
    while (!lines.isEmpty() && !lines.last().IsKey && IsBlank(lines.last().Value))
        lines.removeLast();
}

QString Decode(const QByteArray &bytes, TIniEncoding *encoding)
{
    TTextFileEncoding found = TTextFileEncoding::tfAnsi;
    const QString text = DecodeTextFile(bytes, &found);
    switch (found) {
    case TTextFileEncoding::tfUtf8Bom: *encoding = TIniEncoding::ieUtf8Bom; break;
    case TTextFileEncoding::tfUtf16LE: *encoding = TIniEncoding::ieUtf16LE; break;
    case TTextFileEncoding::tfUtf16BE: *encoding = TIniEncoding::ieUtf16BE; break;
    case TTextFileEncoding::tfAnsi:
        *encoding = IsValidUtf8(bytes) ? TIniEncoding::ieAnsi : TIniEncoding::ieWindows1252;
        break;
    }
    return text;
}

bool HasLineBreak(const QString &text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

// Names that would not read back as themselves. A lone surrogate is one: it has
// no form in UTF-8 or Windows-1252.
bool IsWritableKey(const QString &key)
{
    const QString trimmed = key.trimmed();
    return !trimmed.isEmpty() && trimmed.size() == key.size() && key.isValidUtf16() && !key.contains(u'=')
           && !HasLineBreak(key) && !key.startsWith(u'[') && !key.startsWith(u';') && !key.startsWith(u'#');
}

bool IsWritableSection(const QString &section)
{
    return section.trimmed().size() == section.size() && section.isValidUtf16() && !HasLineBreak(section);
}

// The value as a read of the written file gives it: a lone surrogate becomes the
// replacement character, which every encoding of the file can hold.
QString WholeCharacters(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (text.at(i).isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

} // namespace

TIniDocument TIniDocument::FromBytes(const QByteArray &bytes)
{
    TIniDocument doc;
    const QString text = Decode(bytes, &doc.FEncoding);
    if (text.contains(kCrLf))
        doc.FLineBreak = kCrLf;

    QString normalised = text;
    normalised.replace(kCrLf, QStringLiteral("\n"));
    normalised.replace(u'\r', u'\n');
    QStringList lines = normalised.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the final line break

    QVector<TLine> *target = &doc.FPreamble;
    for (const QString &line : std::as_const(lines)) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            const QString name = trimmed.mid(1, trimmed.size() - 2).trimmed();
            TSection *existing = doc.Find(name);
            if (existing == nullptr) {
                doc.FSections.append(TSection{name, {}});
                existing = &doc.FSections.last();
            }
            target = &existing->Lines;
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        const bool comment = trimmed.startsWith(u';') || trimmed.startsWith(u'#');
        // A name of blanks only is no key: written back trimmed it would begin the
        // line with "=" and be a key no more.
        const QString key = eq >= 0 ? line.left(eq).trimmed() : QString();
        if (!key.isEmpty() && !comment && target != &doc.FPreamble)
            target->append(TLine{true, key, line.mid(eq + 1).trimmed()});
        else
            target->append(TLine{false, {}, line});
    }
    DropTrailingBlanks(doc.FPreamble);
    for (TSection &section : doc.FSections)
        DropTrailingBlanks(section.Lines);
    return doc;
}

QByteArray TIniDocument::ToBytes() const
{
    QStringList out;
    auto addLines = [&out](const QVector<TLine> &lines) {
        for (const TLine &line : lines)
            out.append(line.IsKey ? line.Key + u'=' + line.Value : line.Value);
    };
    addLines(FPreamble);
    for (const TSection &section : FSections) {
        if (!out.isEmpty())
            out.append(QString()); // a blank line between sections
        out.append(u'[' + section.Name + u']');
        addLines(section.Lines);
    }
    QString text = out.join(FLineBreak);
    if (!out.isEmpty())
        text += FLineBreak;

    switch (FEncoding) {
    case TIniEncoding::ieUtf8Bom:
        return kUtf8Bom + text.toUtf8();
    case TIniEncoding::ieUtf16LE: {
        QStringEncoder encoder(QStringEncoder::Utf16LE);
        return kUtf16LEBom + QByteArray(encoder.encode(text));
    }
    case TIniEncoding::ieUtf16BE: {
        QStringEncoder encoder(QStringEncoder::Utf16BE);
        return kUtf16BEBom + QByteArray(encoder.encode(text));
    }
    case TIniEncoding::ieWindows1252:
        if (const std::optional<QByteArray> bytes = EncodeWindows1252(text); bytes && DecodeTextFile(*bytes) == text)
            return *bytes;
        break;
    case TIniEncoding::ieAnsi:
        break;
    }
    return AnsiFromText(text);
}

QStringList TIniDocument::SectionNames() const
{
    QStringList names;
    for (const TSection &section : FSections)
        names.append(section.Name);
    return names;
}

const TIniDocument::TSection *TIniDocument::Find(const QString &section) const
{
    for (const TSection &s : FSections) {
        if (SameName(s.Name, section))
            return &s;
    }
    return nullptr;
}

TIniDocument::TSection *TIniDocument::Find(const QString &section)
{
    return const_cast<TSection *>(std::as_const(*this).Find(section));
}

const TIniDocument::TLine *TIniDocument::FindLine(const TSection &section, const QString &key)
{
    for (const TLine &line : section.Lines) {
        if (line.IsKey && SameName(line.Key, key))
            return &line;
    }
    return nullptr;
}

bool TIniDocument::SectionExists(const QString &section) const
{
    return Find(section) != nullptr;
}

bool TIniDocument::ValueExists(const QString &section, const QString &key) const
{
    const TSection *s = Find(section);
    return s != nullptr && FindLine(*s, key) != nullptr;
}

bool TIniDocument::FindValue(const QString &section, const QString &key, QString *value) const
{
    const TSection *s = Find(section);
    const TLine *line = s != nullptr ? FindLine(*s, key) : nullptr;
    if (line == nullptr)
        return false;
    *value = line->Value;
    return true;
}

QStringList TIniDocument::SectionLines(const QString &section) const
{
    QStringList lines;
    if (const TSection *s = Find(section)) {
        for (const TLine &line : s->Lines) {
            if (line.IsKey)
                lines.append(line.Key + u'=' + line.Value);
        }
    }
    return lines;
}

bool TIniDocument::SetValue(const QString &section, const QString &key, const QString &value)
{
    // A key or section that would not read back as itself (say an empty key, or a
    // name with a line break) would add a foreign line to the file at every write.
    if (!IsWritableKey(key) || !IsWritableSection(section))
        return false;
    // A line break inside a value would start a new line of the file.
    QString flat = WholeCharacters(value);
    flat.replace(u'\r', u' ').replace(u'\n', u' ');
    flat = flat.trimmed();

    TSection *s = Find(section);
    if (s == nullptr) {
        FSections.append(TSection{section, {}});
        s = &FSections.last();
    }
    if (auto *line = const_cast<TLine *>(FindLine(*s, key))) {
        if (line->Value == flat)
            return false;
        line->Value = flat;
        return true;
    }
    s->Lines.append(TLine{true, key, flat});
    return true;
}

bool TIniDocument::EraseSection(const QString &section)
{
    const auto it = std::find_if(FSections.begin(), FSections.end(),
                                 [&](const TSection &s) { return SameName(s.Name, section); });
    if (it == FSections.end())
        return false;
    FSections.erase(it);
    return true;
}

bool TIniDocument::EraseQualifiedSections(const QString &section)
{
    const auto qualified = [&](const TSection &s) {
        if (!s.Name.startsWith(section, Qt::CaseInsensitive))
            return false;
        if (s.Name.size() == section.size())
            return true;
        const QChar next = s.Name.at(section.size());
        return next == u'#' || next == u'\\';
    };
    const auto oldSize = FSections.size();
    FSections.erase(std::remove_if(FSections.begin(), FSections.end(), qualified), FSections.end());
    return FSections.size() != oldSize;
}

bool TIniDocument::EraseValue(const QString &section, const QString &key)
{
    TSection *s = Find(section);
    if (s == nullptr)
        return false;
    // Every line of the key goes: a second one written by hand would otherwise
    // come back as the value once the first is deleted.
    const auto oldSize = s->Lines.size();
    s->Lines.erase(std::remove_if(s->Lines.begin(), s->Lines.end(),
                                  [&](const TLine &line) { return line.IsKey && SameName(line.Key, key); }),
                   s->Lines.end());
    return s->Lines.size() != oldSize;
}
