// The settings file on disk: where it is created, and that a failed write reports
// itself and leaves the previous file as it was.
#include "IniTestFiles.h"
#include "FileSizeLimit.h"
#include "LayoutManagerINIStorage.h"
#include "SafeFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray kOldContent("[Settings]\nWL=Prague,CZ\n");
const QString kSettings = QStringLiteral("Settings");
const QString kWL = QStringLiteral("WL");

// A storage whose writes break off before the new file replaces the old one.
class TInterruptedStorage : public TLayoutManagerINIStorage
{
public:
    using TLayoutManagerINIStorage::TLayoutManagerINIStorage;

protected:
    bool CommitFile(TPrivateFileWriter &) override { return false; }
};

class IniStorageFilesTest : public ::testing::Test
{
protected:
    QString Path(const QString &relative) const { return FDir.filePath(relative); }

    QTemporaryDir FDir;
};

// Updates nest: nothing is written before the outermost one ends, and a close
// within them keeps what was written.
TEST_F(IniStorageFilesTest, AnUpdateWritesOnceAtItsOutermostEnd)
{
    const QString fileName = Path(QStringLiteral("Nimbrel.ini"));
    WriteBytes(fileName, kOldContent);
    TLayoutManagerINIStorage storage(fileName);
    storage.BeginUpdate();
    storage.BeginUpdate();
    storage.WriteString(kSettings, kWL, QStringLiteral("Brno,CZ"));
    EXPECT_TRUE(storage.Close());
    storage.WriteString(kSettings, QStringLiteral("WRI"), QStringLiteral("30"));
    EXPECT_TRUE(storage.EndUpdate());
    EXPECT_EQ(ReadBytes(fileName), kOldContent);
    EXPECT_TRUE(storage.EndUpdate());
    EXPECT_EQ(ReadBytes(fileName), QByteArray("[Settings]\nWL=Brno,CZ\nWRI=30\n"));
    EXPECT_TRUE(storage.EndUpdate()) << "an end without a beginning changes nothing";
}

// A full disk: the write fails and says so, and the old file stays whole
// (a failed flush at commit used to go unseen and left an empty file).
TEST_F(IniStorageFilesTest, FullDiskKeepsTheOldFileAndReportsIt)
{
    const QString fileName = Path(QStringLiteral("Nimbrel.ini"));
    WriteBytes(fileName, kOldContent);
    TLayoutManagerINIStorage storage(fileName);
    storage.Open(false);
    storage.WriteString(kSettings, kWL, QStringLiteral("Brno,CZ"));
    bool closed = true;
    {
        TFileSizeLimit fullDisk(0);
        ASSERT_TRUE(fullDisk.Active());
        closed = storage.Close();
    }
    EXPECT_FALSE(closed);
    EXPECT_TRUE(storage.LastError().startsWith(QStringLiteral("Cannot write "))) << storage.LastError().toStdString();
    EXPECT_EQ(ReadBytes(fileName), kOldContent);
    EXPECT_EQ(QDir(FDir.path()).entryList(QDir::Files), QStringList({QStringLiteral("Nimbrel.ini")}));
}

TEST_F(IniStorageFilesTest, ReadingNeverCreatesTheFolderWritingDoes)
{
    const QString fileName = Path(QStringLiteral("a/b/Nimbrel.ini"));
    TLayoutManagerINIStorage storage(fileName);
    EXPECT_EQ(storage.ReadString(kSettings, kWL, QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_FALSE(storage.SectionExists(kSettings));
    EXPECT_TRUE(storage.Close());
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("a"))));

    // Opened read-only first: the first write still gets its folder.
    storage.Open(true);
    storage.WriteString(kSettings, kWL, QStringLiteral("Brno,CZ"));
    EXPECT_TRUE(storage.Close()) << storage.LastError().toStdString();
    EXPECT_EQ(ReadBytes(fileName), QByteArray("[Settings]\nWL=Brno,CZ\n"));
}

TEST_F(IniStorageFilesTest, OpenedMeansOpenWithTheFileOnDisk)
{
    const QString fileName = Path(QStringLiteral("Nimbrel.ini"));
    TLayoutManagerINIStorage storage(fileName);
    storage.Open(false);
    EXPECT_FALSE(storage.Opened());
    ASSERT_TRUE(WriteBytes(fileName, kOldContent));
    EXPECT_TRUE(storage.Opened());
    storage.SetOpened(false);
    EXPECT_FALSE(storage.Opened());
}

TEST_F(IniStorageFilesTest, AnInterruptedWriteKeepsTheOldFile)
{
    const QString fileName = Path(QStringLiteral("Nimbrel.ini"));
    ASSERT_TRUE(WriteBytes(fileName, kOldContent));
    TInterruptedStorage storage(fileName);
    storage.WriteString(kSettings, kWL, QStringLiteral("Brno,CZ"));
    EXPECT_FALSE(storage.Close());
    EXPECT_FALSE(storage.LastError().isEmpty());
    EXPECT_EQ(ReadBytes(fileName), kOldContent);
    EXPECT_EQ(QDir(FDir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Nimbrel.ini")})
        << "no temporary file is left behind";
}

TEST_F(IniStorageFilesTest, AFolderThatCannotBeMadeIsReportedNotCrashed)
{
    // Even root cannot make a folder below a regular file.
    ASSERT_TRUE(WriteBytes(Path(QStringLiteral("plain")), "x"));
    TLayoutManagerINIStorage storage(Path(QStringLiteral("plain/sub/Nimbrel.ini")));
    storage.WriteString(kSettings, kWL, QStringLiteral("Brno,CZ"));
    EXPECT_FALSE(storage.Close());
    EXPECT_FALSE(storage.LastError().isEmpty());
    storage.ClearError();
    EXPECT_TRUE(storage.LastError().isEmpty());
}

TEST_F(IniStorageFilesTest, InAReadOnlyFolderOnlyAWritableFileIsWritten)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permission bits do not bind root";
    const QString folder = Path(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString fileName = folder + QStringLiteral("/Nimbrel.ini");
    const struct
    {
        QFileDevice::Permissions FilePermissions;
        QByteArray Expected;
    } cases[] = {
        {QFileDevice::ReadOwner, kOldContent},
        {QFileDevice::ReadOwner | QFileDevice::WriteOwner, "[Settings]\nWL=Brno,CZ\n"},
    };
    for (const auto &c : cases) {
        const auto writableFolder = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
        ASSERT_TRUE(QFile::setPermissions(folder, writableFolder));
        QFile::remove(fileName);
        ASSERT_TRUE(WriteBytes(fileName, kOldContent));
        ASSERT_TRUE(QFile::setPermissions(fileName, c.FilePermissions));
        ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        TLayoutManagerINIStorage storage(fileName);
        storage.WriteString(kSettings, kWL, QStringLiteral("Brno,CZ"));
        const bool written = storage.Close();
        QFile::setPermissions(folder, writableFolder);
        EXPECT_EQ(written, c.Expected != kOldContent);
        EXPECT_EQ(storage.LastError().isEmpty(), written);
        EXPECT_EQ(ReadBytes(fileName), c.Expected);
    }
}

TEST_F(IniStorageFilesTest, AFileThatCannotBeReadIsNotOverwritten)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permission bits do not bind root";
    const QString fileName = Path(QStringLiteral("Nimbrel.ini"));
    ASSERT_TRUE(WriteBytes(fileName, kOldContent));
    ASSERT_TRUE(QFile::setPermissions(fileName, QFileDevice::WriteOwner));
    TLayoutManagerINIStorage storage(fileName);
    storage.SetLockWaitLimit(0);
    storage.WriteString(kSettings, QStringLiteral("U"), QStringLiteral("1"));
    EXPECT_FALSE(storage.Close());
    QFile::setPermissions(fileName, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(ReadBytes(fileName), kOldContent);
}

TEST_F(IniStorageFilesTest, WaitingForABlockedFileEnds)
{
    const QString fileName = Path(QStringLiteral("Nimbrel.ini"));
    ASSERT_TRUE(WriteBytes(fileName, kOldContent));
    TLayoutManagerINIStorage storage(fileName);
    storage.SetLockWaitLimit(3 * TLayoutManagerINIStorage::kLockRetryMs);
    storage.WriteString(kSettings, kWL, QStringLiteral("Brno,CZ"));
    // Something else now stands where the file was and cannot be read as one.
    ASSERT_TRUE(QFile::remove(fileName));
    ASSERT_TRUE(QDir().mkdir(fileName));
    EXPECT_FALSE(storage.Save());
    EXPECT_FALSE(storage.LastError().isEmpty());
    EXPECT_FALSE(storage.Close());
}

// A lone surrogate in a UTF-16 file is read as the U+FFFD it will be written
// as, so the value read is the value a save keeps.
TEST_F(IniStorageFilesTest, ALoneSurrogateReadsAsItIsWritten)
{
    const QString fileName = Path(QStringLiteral("Nimbrel.ini"));
    ASSERT_TRUE(WriteBytes(fileName, QByteArray("\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0\x00\xDC", 18)));
    const QString replacement(QChar::ReplacementCharacter);
    {
        TLayoutManagerINIStorage storage(fileName);
        EXPECT_EQ(storage.ReadString(QStringLiteral("s"), QStringLiteral("k"), QString()), replacement);
        storage.WriteString(QStringLiteral("s"), QStringLiteral("other"), QStringLiteral("1"));
        EXPECT_TRUE(storage.Close()) << storage.LastError().toStdString();
    }
    TLayoutManagerINIStorage reread(fileName);
    EXPECT_EQ(reread.ReadString(QStringLiteral("s"), QStringLiteral("k"), QString()), replacement);
}

// A settings file that is a pipe, a device or huge is neither read (nothing
// blocks) nor replaced; the storage says why and the program goes on.
TEST_F(IniStorageFilesTest, WhatIsNoRegularFileIsRefusedNotWaitedFor)
{
    const QString fifo = Path(QStringLiteral("fifo.ini"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString device = Path(QStringLiteral("device.ini"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), device));
    for (const QString &fileName : {fifo, device}) {
        TLayoutManagerINIStorage storage(fileName);
        EXPECT_EQ(storage.ReadString(kSettings, kWL, QStringLiteral("d")), QStringLiteral("d"));
        EXPECT_TRUE(storage.LastError().contains(QLatin1String("not a regular file"))) << storage.LastError().toStdString();
        storage.WriteString(kSettings, kWL, QStringLiteral("Brno,CZ"));
        EXPECT_FALSE(storage.Close());
    }
    QFileInfo null(QStringLiteral("/dev/null"));
    EXPECT_FALSE(null.isFile()) << "the device stays a device";
}

TEST_F(IniStorageFilesTest, ANewFileNameReopensOnTheNewFile)
{
    const QString first = Path(QStringLiteral("one.ini"));
    const QString second = Path(QStringLiteral("two.ini"));
    ASSERT_TRUE(WriteBytes(second, kOldContent));
    TLayoutManagerINIStorage storage(first);
    storage.WriteString(kSettings, kWL, QStringLiteral("Brno,CZ"));
    storage.SetFileName(second);
    EXPECT_EQ(ReadBytes(first), QByteArray("[Settings]\nWL=Brno,CZ\n"));
    EXPECT_EQ(storage.ReadString(kSettings, kWL, QString()), QStringLiteral("Prague,CZ"));
}

} // namespace
