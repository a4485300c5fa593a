// A saved settings file reads back as it was read before the save: the same
// sections, keys and values, whatever its encoding.
#include "IniDocument.h"
#include "IniTestFiles.h"
#include "LayoutManagerINIStorage.h"
#include "TextCodePage.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <random>

namespace {

const QString kSection = QStringLiteral("s");
const QString kKey = QStringLiteral("k");

// Everything a read through the storage gives: each section, each of its
// "key=value" lines, and the value a lookup of that key finds.
QStringList ReadView(const QString &fileName)
{
    // The storage has no list of sections; the document it reads gives their names.
    const QStringList sections = TIniDocument::FromBytes(ReadBytes(fileName)).SectionNames();
    TLayoutManagerINIStorage storage(fileName);
    QStringList view;
    for (const QString &section : sections) {
        view.append(QStringLiteral("section ") + section);
        EXPECT_TRUE(storage.SectionExists(section)) << section.toStdString();
        QStringList lines;
        storage.ReadSection(section, lines);
        for (const QString &line : std::as_const(lines)) {
            const QString key = line.section(u'=', 0, 0);
            view.append(line + QStringLiteral(" -> ") + storage.ReadString(section, key, QStringLiteral("(none)")));
        }
    }
    storage.Close();
    return view;
}

// Opens the file for writing and saves it unchanged.
bool SaveAsIs(const QString &fileName)
{
    TLayoutManagerINIStorage storage(fileName);
    storage.Open(false);
    const bool saved = storage.Save();
    return storage.Close() && saved;
}

QByteArray Utf16LE(const QString &text)
{
    QStringEncoder encoder(QStringEncoder::Utf16LE);
    return kUtf16LEBom + QByteArray(encoder.encode(text));
}

class IniRoundTripTest : public ::testing::Test
{
protected:
    QString FileName() const { return FDir.filePath(QStringLiteral("Nimbrel.ini")); }

    QTemporaryDir FDir;
};

TEST_F(IniRoundTripTest, ASaveKeepsWhatTheFileReadAs)
{
    const QByteArray &mark = kUtf8Bom;
    const struct
    {
        const char *Name;
        QByteArray Bytes;
        QStringList Read;
        QByteArray Saved;
    } cases[] = {
        // Only the trailing no-break space made these Windows-1252; trimmed away,
        // the same bytes would be valid UTF-8 and mean something else.
        {"Windows-1252 value that the save would make valid UTF-8", "[s]\nk=\xC3\xA9\xA0\n",
         {QStringLiteral("section s"), QStringLiteral("k=Ã© -> Ã©")}, QStringLiteral("[s]\nk=Ã©\n").toUtf8()},
        {"Windows-1252 section name likewise", "\xA0[\xC2\xBF]", {QStringLiteral("section Â¿")},
         QStringLiteral("[Â¿]\n").toUtf8()},
        {"Windows-1252 that stays invalid UTF-8 stays Windows-1252", "[s]\r\nk=\xE9 \xA0\r\n",
         {QStringLiteral("section s"), QStringLiteral("k=é -> é")}, "[s]\r\nk=\xE9\r\n"},
        // A name of blanks is a foreign line, kept as it stands.
        {"key names of blanks", "[s]\n =v\nk=1\n\t\xC2\xA0=w\n",
         {QStringLiteral("section s"), QStringLiteral("k=1 -> 1")}, "[s]\n =v\nk=1\n\t\xC2\xA0=w\n"},
        // One mark is the file's; the next one is text, so "[s]" is no section header.
        {"three UTF-8 marks", mark + mark + mark + "[s]\nk=v\n", {}, mark + mark + mark + "[s]\nk=v\n"},
        {"two UTF-16 marks", Utf16LE(QStringLiteral("\uFEFF[s]\nk=v\n")), {},
         Utf16LE(QStringLiteral("\uFEFF[s]\nk=v\n"))},
        {"a mark inside the file", mark + "[s]\nk=" + mark + "v\n",
         {QStringLiteral("section s"), QStringLiteral("k=\uFEFFv -> \uFEFFv")}, mark + "[s]\nk=" + mark + "v\n"},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(WriteBytes(FileName(), c.Bytes));
        EXPECT_EQ(ReadView(FileName()), c.Read) << c.Name;
        ASSERT_TRUE(SaveAsIs(FileName())) << c.Name;
        EXPECT_EQ(ReadView(FileName()), c.Read) << c.Name;
        EXPECT_EQ(ReadBytes(FileName()), c.Saved) << c.Name;
    }
}

TEST_F(IniRoundTripTest, AWrittenValueReadsBackAsItWasHeld)
{
    const struct
    {
        const char *Name;
        QByteArray Bytes;
    } files[] = {
        {"UTF-8", "[s]\nk=x\nother=\xC3\xBC\n"},
        {"Windows-1252", "[s]\nk=\xFC\nother=y\n"},
        {"UTF-8 with mark", kUtf8Bom + "[s]\nk=x\n"},
        {"UTF-16", Utf16LE(QStringLiteral("[s]\nk=x\n"))},
        {"no file", {}},
    };
    const QString values[] = {
        QStringLiteral("Ã©"),
        QStringLiteral("é"),
        QStringLiteral("5 € für Šárka"),
        QStringLiteral("Třeboň"),
        QStringLiteral("a\u00A0"),
        QString(QChar(0xD800)) + QStringLiteral("x") + QChar(0xDC00),
        QStringLiteral("\U0001F600"),
    };
    for (const auto &file : files) {
        for (const QString &value : values) {
            QFile::remove(FileName());
            if (!file.Bytes.isNull()) {
                ASSERT_TRUE(WriteBytes(FileName(), file.Bytes));
            }
            TLayoutManagerINIStorage storage(FileName());
            const QString other = storage.ReadString(kSection, QStringLiteral("other"), QString());
            storage.WriteString(kSection, kKey, value);
            const QString held = storage.ReadString(kSection, kKey, QString());
            ASSERT_TRUE(storage.Close()) << file.Name;

            TLayoutManagerINIStorage reread(FileName());
            EXPECT_EQ(reread.ReadString(kSection, kKey, QString()), held) << file.Name << " " << value.toStdString();
            EXPECT_EQ(reread.ReadString(kSection, QStringLiteral("other"), QString()), other) << file.Name;
        }
    }
}

TEST_F(IniRoundTripTest, ASectionThatCouldNotBeReadBackIsNotWritten)
{
    const QByteArray original("[Settings]\nU=1\n");
    const QString sections[] = {
        QStringLiteral(" Settings"),
        QStringLiteral("Settings\t"),
        QStringLiteral("a]\n[b"),
        QStringLiteral("a\rb"),
        QString(QChar(0xDC00)),
    };
    for (const QString &section : sections) {
        ASSERT_TRUE(WriteBytes(FileName(), original));
        TLayoutManagerINIStorage storage(FileName());
        storage.WriteString(section, QStringLiteral("U"), QStringLiteral("2"));
        ASSERT_TRUE(storage.Close());
        EXPECT_EQ(ReadBytes(FileName()), original) << section.toStdString();
    }
}

// A small INI file of random lines built from the pieces that reading hinges on:
// blanks that trimming removes (the no-break space too), marks, names and values in
// UTF-8 and, in half of the files, bytes that make the file Windows-1252.
QByteArray GeneratedFile(std::mt19937 &random)
{
    const auto pick = [&random](const auto &list) { return list[random() % std::size(list)]; };
    static const QByteArray blanks[] = {"", "", " ", "\t", "\xA0", "\xC2\xA0"};
    static const QByteArray words[] = {
        "", "s", "K", "WL", "1", " x ", "=", "[", "]", ";", "#", "\xC3\xA9", "\xE2\x82\xAC", "\xC2\xBF", "\xEF\xBB\xBF",
    };
    static const QByteArray notUtf8[] = {"\xC3", "\xE9", "\x80\x81", "\xED\xA0\x80", "\xFF"};
    static const QByteArray breaks[] = {"\n", "\n", "\r\n", "\r"};
    constexpr int kMaxLines = 8;
    constexpr unsigned kNotUtf8Chance = 6; // one word in six, in the files that have them

    const bool windows1252 = random() % 2 == 0;
    const auto word = [&]() {
        return windows1252 && random() % kNotUtf8Chance == 0 ? pick(notUtf8) : pick(words);
    };
    const auto padded = [&](const QByteArray &text) { return pick(blanks) + text + pick(blanks); };
    QByteArray body;
    const int lines = static_cast<int>(random() % (kMaxLines + 1));
    for (int i = 0; i < lines; ++i) {
        switch (random() % 4) {
        case 0: body += padded('[' + padded(word()) + ']'); break;
        case 1: body += padded(word()) + '=' + padded(word() + word()); break;
        case 2: body += pick(blanks) + ';' + word(); break;
        default: body += padded(word()); break;
        }
        body += pick(breaks);
    }

    const auto utf16 = [&body](QStringEncoder::Encoding encoding, const QByteArray &marks) {
        QStringEncoder encoder(encoding);
        return marks + QByteArray(encoder.encode(QString::fromUtf8(body)));
    };
    switch (random() % 8) {
    case 0: return kUtf8Bom + body;
    case 1: return kUtf8Bom.repeated(3) + body;
    case 2: return utf16(QStringEncoder::Utf16LE, kUtf16LEBom) + pick(words).left(1); // maybe an odd byte
    case 3: return utf16(QStringEncoder::Utf16BE, kUtf16BEBom.repeated(3));
    default: return body;
    }
}

TEST_F(IniRoundTripTest, EveryFileReadsTheSameAfterASave)
{
    QList<QByteArray> files;
    const QDir data(QStringLiteral(NIMBREL_TEST_DATA_DIR));
    for (const QString &name : data.entryList({QStringLiteral("*.ini")}, QDir::Files))
        files.append(ReadBytes(data.filePath(name)));
    ASSERT_FALSE(files.isEmpty());
    constexpr int kGeneratedFiles = 300;
    std::mt19937 random(11); // fixed: a failure can be repeated
    for (int i = 0; i < kGeneratedFiles; ++i)
        files.append(GeneratedFile(random));

    for (const QByteArray &bytes : std::as_const(files)) {
        ASSERT_TRUE(WriteBytes(FileName(), bytes));
        const QStringList before = ReadView(FileName());
        ASSERT_TRUE(SaveAsIs(FileName()));
        const QByteArray saved = ReadBytes(FileName());
        EXPECT_EQ(ReadView(FileName()), before) << bytes.toHex(' ').toStdString();
        // Saved once, the file is in its settled form: a further save writes it as it is.
        EXPECT_EQ(TIniDocument::FromBytes(saved).ToBytes(), saved) << bytes.toHex(' ').toStdString();
    }
}

} // namespace
