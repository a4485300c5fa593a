// The INI file's structure: order, case, deletion, encodings.
#include "IniTestFiles.h"
#include "LayoutManagerINIStorage.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

class IniDocumentTest : public ::testing::Test
{
protected:
    QString FileName() const { return FDir.filePath(QStringLiteral("Nimbrel.ini")); }
    QString Text() const { return QString::fromUtf8(ReadBytes(FileName())); }

    QTemporaryDir FDir;
};

TEST_F(IniDocumentTest, NamesIgnoreCaseAndKeepTheOrderOfFirstCreation)
{
    TLayoutManagerINIStorage storage(FileName());
    storage.WriteString(QStringLiteral("Beta"), QStringLiteral("Two"), QStringLiteral("2"));
    storage.WriteString(QStringLiteral("Alpha"), QStringLiteral("One"), QStringLiteral("1"));
    storage.WriteString(QStringLiteral("BETA"), QStringLiteral("Zero"), QStringLiteral("0"));
    storage.WriteString(QStringLiteral("beta"), QStringLiteral("TWO"), QStringLiteral("22"));
    ASSERT_TRUE(storage.Close());

    EXPECT_EQ(Text(), QStringLiteral("[Beta]\nTwo=22\nZero=0\n\n[Alpha]\nOne=1\n"));
    EXPECT_TRUE(storage.ValueExists(QStringLiteral("ALPHA"), QStringLiteral("one")));
    QStringList lines;
    storage.ReadSection(QStringLiteral("bEtA"), lines);
    EXPECT_EQ(lines, QStringList({QStringLiteral("Two=22"), QStringLiteral("Zero=0")}));
}

TEST_F(IniDocumentTest, AnErasedSectionWrittenAgainMovesToTheEnd)
{
    ASSERT_TRUE(WriteBytes(FileName(), "[A]\nk=1\n\n[B]\nk=2\n\n[C]\nk=3\n"));
    TLayoutManagerINIStorage storage(FileName());
    storage.DeleteSectionValues(QStringLiteral("a"));
    storage.WriteInteger(QStringLiteral("A"), QStringLiteral("k"), 4);
    storage.DeleteValue(QStringLiteral("C"), QStringLiteral("K"));
    ASSERT_TRUE(storage.Close());
    EXPECT_EQ(Text(), QStringLiteral("[B]\nk=2\n\n[C]\n\n[A]\nk=4\n"));
}

TEST_F(IniDocumentTest, DeletingAnyOccurrenceTakesEveryQualifiedSectionOfThatObjectOnly)
{
    ASSERT_TRUE(WriteBytes(FileName(), "[Twnd_nb_Main]\nMonitor=0\n"
                                       "[Twnd_nb_Main#1920x1080x96]\nSize=1,2\n"
                                       "[twnd_nb_main#1280x1024x120]\nSize=3,4\n"
                                       "[Twnd_nb_Main\\Panel]\nWidth=5\n"
                                       "[Twnd_nb_MainHelper]\nx=1\n"
                                       "[Settings]\nWL=Prague,CZ\n"));
    TLayoutManagerINIStorage storage(FileName());
    storage.DeleteSection(QStringLiteral("Twnd_nb_Main"), true);
    ASSERT_TRUE(storage.Close());
    EXPECT_EQ(Text(), QStringLiteral("[Twnd_nb_MainHelper]\nx=1\n\n[Settings]\nWL=Prague,CZ\n"));

    storage.DeleteSection(QStringLiteral("Settings#1"), false);
    storage.DeleteSection(QStringLiteral("settings"), false);
    ASSERT_TRUE(storage.Close());
    EXPECT_EQ(Text(), QStringLiteral("[Twnd_nb_MainHelper]\nx=1\n"));
}

TEST_F(IniDocumentTest, DeletingAKeyWrittenTwiceByHandTakesBothLines)
{
    ASSERT_TRUE(WriteBytes(FileName(), "[Settings]\nOWM=new\nU=1\nowm=old\n"));
    TLayoutManagerINIStorage storage(FileName());
    EXPECT_EQ(storage.ReadString(QStringLiteral("Settings"), QStringLiteral("OWM"), QString()), QStringLiteral("new"));
    storage.DeleteValue(QStringLiteral("Settings"), QStringLiteral("OWM"));
    EXPECT_FALSE(storage.ValueExists(QStringLiteral("Settings"), QStringLiteral("OWM")));
    ASSERT_TRUE(storage.Close());
    EXPECT_EQ(Text(), QStringLiteral("[Settings]\nU=1\n"));
}

TEST_F(IniDocumentTest, AKeyThatCouldNotBeReadBackIsNotWritten)
{
    const QByteArray original("[Settings]\nU=1\n");
    for (const QString &key : {QString(), QStringLiteral(" "), QStringLiteral("a=b"), QStringLiteral("a\nb"),
                               QStringLiteral("[x]"), QStringLiteral("; note"), QStringLiteral("#1"),
                               QStringLiteral(" U")}) {
        ASSERT_TRUE(WriteBytes(FileName(), original));
        TLayoutManagerINIStorage storage(FileName());
        // Written twice: a foreign line would be added again each time.
        for (int i = 0; i < 2; ++i) {
            storage.WriteString(QStringLiteral("Settings"), key, QStringLiteral("v"));
            ASSERT_TRUE(storage.Close());
        }
        EXPECT_EQ(ReadBytes(FileName()), original) << key.toStdString();
    }
}

TEST_F(IniDocumentTest, CommentsAndForeignLinesSurviveARewrite)
{
    ASSERT_TRUE(WriteBytes(FileName(), "; kept by hand\n[Settings]\n# note\nWL = Brno,CZ\nstray line\n"));
    TLayoutManagerINIStorage storage(FileName());
    EXPECT_EQ(storage.ReadString(QStringLiteral("Settings"), QStringLiteral("WL"), QString()),
              QStringLiteral("Brno,CZ"));
    storage.WriteInteger(QStringLiteral("Settings"), QStringLiteral("U"), 1);
    ASSERT_TRUE(storage.Close());
    EXPECT_EQ(Text(), QStringLiteral("; kept by hand\n\n[Settings]\n# note\nWL=Brno,CZ\nstray line\nU=1\n"));
}

TEST_F(IniDocumentTest, ByteOrderMarksAndLineBreaksAreKept)
{
    for (const char *name : {"bom_utf8.ini", "bom_utf16le.ini", "bom_utf16be.ini"}) {
        const QByteArray original = ReadBytes(DataFile(name));
        ASSERT_FALSE(original.isEmpty()) << name;
        ASSERT_TRUE(WriteBytes(FileName(), original));
        TLayoutManagerINIStorage storage(FileName());
        EXPECT_EQ(storage.ReadString(QStringLiteral("Settings"), QStringLiteral("WL"), QString()),
                  QStringLiteral("Třeboň,CZ"))
            << name;
        ASSERT_TRUE(storage.Save());
        ASSERT_TRUE(storage.Close());
        EXPECT_EQ(ReadBytes(FileName()), original) << name;

        // A changed value is written in the file's own encoding.
        storage.WriteString(QStringLiteral("Settings"), QStringLiteral("WL"), QStringLiteral("Žďár,CZ"));
        ASSERT_TRUE(storage.Close());
        const QByteArray bom = original.left(original.startsWith('\xEF') ? 3 : 2);
        TLayoutManagerINIStorage reread(FileName());
        EXPECT_EQ(reread.ReadString(QStringLiteral("Settings"), QStringLiteral("WL"), QString()),
                  QStringLiteral("Žďár,CZ"))
            << name;
        EXPECT_TRUE(ReadBytes(FileName()).startsWith(bom)) << name;
    }
}

TEST_F(IniDocumentTest, AFileFromWindowsWithoutAMarkIsReadAsWindows1252)
{
    ASSERT_TRUE(WriteBytes(FileName(), ReadBytes(DataFile("windows1252.ini"))));
    TLayoutManagerINIStorage storage(FileName());
    EXPECT_EQ(storage.ReadString(QStringLiteral("Settings"), QStringLiteral("WL"), QString()),
              QStringLiteral("Zürich,CH"));
    EXPECT_EQ(storage.ReadString(QStringLiteral("Settings"), QStringLiteral("Note"), QString()),
              QStringLiteral("5 € für Šárka"));

    // Written back in the code page it came in, byte for byte.
    storage.WriteInteger(QStringLiteral("Settings"), QStringLiteral("U"), 0);
    ASSERT_TRUE(storage.Close());
    EXPECT_EQ(ReadBytes(FileName()), ReadBytes(DataFile("windows1252.ini")) + "U=0\r\n");

    // A character that code page has no form for turns the file into UTF-8
    // rather than into a question mark.
    storage.WriteString(QStringLiteral("Settings"), QStringLiteral("WL"), QStringLiteral("Třeboň,CZ"));
    ASSERT_TRUE(storage.Close());
    EXPECT_EQ(ReadBytes(FileName()),
              QStringLiteral("[Settings]\r\nWL=Třeboň,CZ\r\nNote=5 € für Šárka\r\nU=0\r\n").toUtf8());
}

} // namespace
