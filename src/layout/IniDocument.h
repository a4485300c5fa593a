// An INI file held in memory. Sections and keys compare case-insensitively and keep
// the order of their first creation; comment and other lines are kept where they
// stand. The text encoding found on reading is used again on writing.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

enum class TIniEncoding {
    ieAnsi,         // no byte-order mark, valid UTF-8 (this system's code page)
    ieWindows1252,  // no byte-order mark and not valid UTF-8: written on Windows
    ieUtf8Bom,
    ieUtf16LE,
    ieUtf16BE,
};

class TIniDocument
{
public:
    TIniDocument() = default;

    static TIniDocument FromBytes(const QByteArray &bytes);
    // Written in the encoding it was read with, so the file stays as it was, as
    // far as its next read takes the bytes for that encoding again. Only
    // Windows-1252 can fail that, as a read assumes it only for bytes that are not
    // valid UTF-8: when a character has no form there, or when the bytes have become
    // valid UTF-8 (those that were not, say a trailing no-break space, were trimmed
    // away), the document is written as UTF-8 without a mark, as the file had none:
    // this system's code page, read back as the same text. A mark in front of
    // Windows-1252 bytes would name the wrong encoding.
    QByteArray ToBytes() const;

    TIniEncoding Encoding() const { return FEncoding; }

    QStringList SectionNames() const;
    bool SectionExists(const QString &section) const;
    bool ValueExists(const QString &section, const QString &key) const;
    // False when the key is missing; `value` is then untouched.
    bool FindValue(const QString &section, const QString &key, QString *value) const;
    // "key=value" lines of the section, in file order.
    QStringList SectionLines(const QString &section) const;

    // Each change answers whether the document changed.
    bool SetValue(const QString &section, const QString &key, const QString &value);
    bool EraseSection(const QString &section);
    // The section and every section named from it with a "#" or "\" after its name.
    bool EraseQualifiedSections(const QString &section);
    bool EraseValue(const QString &section, const QString &key);

private:
    struct TLine
    {
        bool IsKey = false;
        QString Key;   // when IsKey
        QString Value; // when IsKey; the whole line otherwise
    };
    struct TSection
    {
        QString Name;
        QVector<TLine> Lines;
    };

    const TSection *Find(const QString &section) const;
    TSection *Find(const QString &section);
    static const TLine *FindLine(const TSection &section, const QString &key);

    QVector<TLine> FPreamble; // lines before the first section
    QVector<TSection> FSections;
    TIniEncoding FEncoding = TIniEncoding::ieAnsi;
    QString FLineBreak = QStringLiteral("\n");
};
