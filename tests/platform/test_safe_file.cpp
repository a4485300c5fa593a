// What another user or a mistake can leave at a path the program reads or
// writes: links, pipes, devices, folders and huge sparse files. Nothing may
// block, nothing may be written through a link, and what the program makes is
// for the user alone.
#include "SafeFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr qint64 kLimit = 1024;
const QByteArray kOld("old");
const QByteArray kNew("new");
// A sparse file far beyond any limit, which costs no disk.
constexpr off_t kHugeSize = off_t(8) * 1024 * 1024 * 1024;

enum class TKind {
    Missing,
    Regular,
    LinkToRegular,
    DanglingLink,
    Fifo,
    LinkToFifo,
    LinkToDevice,
    Device, // needs root to make; skipped otherwise
    Folder,
    HugeSparse,
};

const char *KindName(TKind kind)
{
    switch (kind) {
    case TKind::Missing: return "missing";
    case TKind::Regular: return "regular file";
    case TKind::LinkToRegular: return "link to a regular file";
    case TKind::DanglingLink: return "dangling link";
    case TKind::Fifo: return "fifo";
    case TKind::LinkToFifo: return "link to a fifo";
    case TKind::LinkToDevice: return "link to a device";
    case TKind::Device: return "device";
    case TKind::Folder: return "folder";
    case TKind::HugeSparse: return "huge sparse file";
    }
    return "?";
}

mode_t ModeOf(const QString &path)
{
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode : 0;
}

QByteArray Content(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool Put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

class SafeFile : public ::testing::Test {
protected:
    QString Path(const QString &name) const { return FDir.filePath(name); }

    // Puts `kind` at `path`; the file a link points to is `Victim()`. False
    // when this kind cannot be made by this user.
    bool Plant(TKind kind, const QString &path)
    {
        const QByteArray name = QFile::encodeName(path);
        const QByteArray victim = QFile::encodeName(Victim());
        const QByteArray fifo = QFile::encodeName(Path(QStringLiteral("victim.fifo")));
        switch (kind) {
        case TKind::Missing:
            return true;
        case TKind::Regular:
            return Put(path, kOld);
        case TKind::LinkToRegular:
            return Put(Victim(), kOld) && ::symlink(victim.constData(), name.constData()) == 0;
        case TKind::DanglingLink:
            return ::symlink(victim.constData(), name.constData()) == 0;
        case TKind::Fifo:
            return ::mkfifo(name.constData(), 0600) == 0;
        case TKind::LinkToFifo:
            return ::mkfifo(fifo.constData(), 0600) == 0 && ::symlink(fifo.constData(), name.constData()) == 0;
        case TKind::LinkToDevice:
            return ::symlink("/dev/zero", name.constData()) == 0;
        case TKind::Device:
            return ::geteuid() == 0 && ::mknod(name.constData(), S_IFCHR | 0600, makedev(1, 5)) == 0;
        case TKind::Folder:
            return QDir().mkdir(path);
        case TKind::HugeSparse:
            return Put(path, kOld) && ::truncate(name.constData(), kHugeSize) == 0;
        }
        return false;
    }

    QString Victim() const { return Path(QStringLiteral("victim")); }

    QTemporaryDir FDir;
};

TEST_F(SafeFile, ReadingTakesOnlyBoundedRegularFilesAndNeverBlocks)
{
    const struct {
        TKind Kind;
        TReadOutcome Expected;
    } cases[] = {
        {TKind::Missing, TReadOutcome::Missing},
        {TKind::Regular, TReadOutcome::Read},
        {TKind::LinkToRegular, TReadOutcome::Read},
        {TKind::DanglingLink, TReadOutcome::Missing},
        {TKind::Fifo, TReadOutcome::Refused},
        {TKind::LinkToFifo, TReadOutcome::Refused},
        {TKind::LinkToDevice, TReadOutcome::Refused},
        {TKind::Device, TReadOutcome::Refused},
        {TKind::Folder, TReadOutcome::Refused},
        {TKind::HugeSparse, TReadOutcome::TooLarge},
    };
    int index = 0;
    for (const auto &c : cases) {
        const QString path = Path(QStringLiteral("read%1").arg(index++));
        if (!Plant(c.Kind, path))
            continue;
        QByteArray bytes("stale");
        QString error;
        EXPECT_EQ(ReadRegularFile(path, kLimit, bytes, error), c.Expected) << KindName(c.Kind);
        EXPECT_EQ(bytes, c.Expected == TReadOutcome::Read ? kOld : QByteArray()) << KindName(c.Kind);
        EXPECT_EQ(error.isEmpty(), c.Expected == TReadOutcome::Read) << KindName(c.Kind);
        QFile::remove(Victim());
        QFile::remove(Path(QStringLiteral("victim.fifo")));
    }
}

TEST_F(SafeFile, ReadingStopsAtTheLimitExactly)
{
    const QString path = Path(QStringLiteral("limit"));
    QByteArray bytes;
    QString error;
    ASSERT_TRUE(Put(path, QByteArray(kLimit, 'x')));
    EXPECT_EQ(ReadRegularFile(path, kLimit, bytes, error), TReadOutcome::Read);
    EXPECT_EQ(bytes.size(), kLimit);
    ASSERT_TRUE(Put(path, QByteArray(kLimit + 1, 'x')));
    EXPECT_EQ(ReadRegularFile(path, kLimit, bytes, error), TReadOutcome::TooLarge);
    EXPECT_TRUE(bytes.isEmpty());
}

// The program's own files replace whatever stands in their place (the link
// itself, never its target); the settings may be the user's link to a regular
// file, which is written through, but nothing else.
TEST_F(SafeFile, WritingNeverGoesThroughAPlantedLink)
{
    const struct {
        TKind Kind;
        bool Replaced;      // ReplaceLink: the path is now our regular file
        bool FollowWritten; // FollowUserLink: the write succeeds
    } cases[] = {
        {TKind::Missing, true, true},
        {TKind::Regular, true, true},
        {TKind::LinkToRegular, true, true},
        {TKind::DanglingLink, true, false},
        {TKind::Fifo, true, false},
        {TKind::LinkToFifo, true, false},
        {TKind::LinkToDevice, true, false},
        {TKind::Device, true, false},
        {TKind::Folder, false, false},
        {TKind::HugeSparse, true, true},
    };
    int index = 0;
    for (const auto &c : cases) {
        for (const TLinkRule rule : {TLinkRule::ReplaceLink, TLinkRule::FollowUserLink}) {
            const bool follow = rule == TLinkRule::FollowUserLink;
            const std::string name = std::string(KindName(c.Kind)) + (follow ? ", following" : ", replacing");
            const QString path = Path(QStringLiteral("write%1").arg(index++));
            if (!Plant(c.Kind, path))
                continue;
            const mode_t before = ModeOf(path);
            QString error;
            const bool written = WritePrivateFile(path, kNew, rule, error);
            EXPECT_EQ(written, follow ? c.FollowWritten : c.Replaced) << name;
            EXPECT_EQ(error.isEmpty(), written) << name;
            if (written && follow && c.Kind == TKind::LinkToRegular) {
                EXPECT_TRUE(S_ISLNK(ModeOf(path))) << name << ": the user's link stays";
                EXPECT_EQ(Content(Victim()), kNew) << name;
                EXPECT_EQ(ModeOf(Victim()) & 07777, kPrivateFileMode) << name;
            } else if (written) {
                EXPECT_TRUE(S_ISREG(ModeOf(path))) << name;
                EXPECT_EQ(ModeOf(path) & 07777, kPrivateFileMode) << name;
                EXPECT_EQ(Content(path), kNew) << name;
                if (QFileInfo::exists(Victim())) {
                    EXPECT_EQ(Content(Victim()), kOld) << name << ": the link's target is untouched";
                }
            } else {
                EXPECT_EQ(ModeOf(path), before) << name << ": what was there stays";
            }
            EXPECT_EQ(QDir(FDir.path()).entryList({QStringLiteral("*.??????")}, QDir::AllEntries | QDir::System),
                      QStringList()) << name << ": no temporary file is left";
            QFile::remove(Victim());
            QFile::remove(Path(QStringLiteral("victim.fifo")));
        }
    }
    EXPECT_TRUE(S_ISCHR(ModeOf(QStringLiteral("/dev/zero"))));
}

TEST_F(SafeFile, FoldersAreMadeForTheUserAloneAndLinksInTheirPlaceReplaced)
{
    const mode_t oldMask = ::umask(022);
    QString error;
    const QString nested = Path(QStringLiteral("a/b/c"));
    EXPECT_TRUE(MakePrivateFolder(nested, TLinkRule::ReplaceLink, error)) << error.toStdString();
    for (const QString &folder : {Path(QStringLiteral("a")), Path(QStringLiteral("a/b")), nested})
        EXPECT_EQ(ModeOf(folder) & 07777, kPrivateFolderMode) << folder.toStdString();
    EXPECT_TRUE(MakePrivateFolder(nested, TLinkRule::ReplaceLink, error)) << "an existing folder is fine";

    QTemporaryDir elsewhere;
    const QString linked = Path(QStringLiteral("linked"));
    ASSERT_EQ(::symlink(QFile::encodeName(elsewhere.path()).constData(), QFile::encodeName(linked).constData()), 0);
    EXPECT_TRUE(MakePrivateFolder(linked, TLinkRule::FollowUserLink, error)) << "the user's own link to a folder";
    EXPECT_TRUE(S_ISLNK(ModeOf(linked)));
    EXPECT_TRUE(MakePrivateFolder(linked, TLinkRule::ReplaceLink, error)) << error.toStdString();
    EXPECT_TRUE(S_ISDIR(ModeOf(linked)));

    ASSERT_TRUE(Put(Path(QStringLiteral("plain")), kOld));
    EXPECT_FALSE(MakePrivateFolder(Path(QStringLiteral("plain")), TLinkRule::ReplaceLink, error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(Content(Path(QStringLiteral("plain"))), kOld);
    ::umask(oldMask);
}

TEST_F(SafeFile, MakingPrivateTouchesOnlyTheUsersOwnFilesAndNoLink)
{
    const QString file = Path(QStringLiteral("file"));
    const QString folder = Path(QStringLiteral("folder"));
    const QString link = Path(QStringLiteral("link"));
    const QString outside = Path(QStringLiteral("outside"));
    ASSERT_TRUE(Put(file, kOld));
    ASSERT_TRUE(QDir().mkdir(folder));
    ASSERT_TRUE(Put(outside, kOld));
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0644), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(outside).constData(), 0644), 0);
    ASSERT_EQ(::symlink(QFile::encodeName(outside).constData(), QFile::encodeName(link).constData()), 0);

    EXPECT_EQ(MakePrivate({file, folder, link, Path(QStringLiteral("missing"))}), QStringList({file, folder}));
    EXPECT_EQ(ModeOf(file) & 07777, mode_t(0600));
    EXPECT_EQ(ModeOf(folder) & 07777, mode_t(0700));
    EXPECT_EQ(ModeOf(outside) & 07777, mode_t(0644)) << "a link's target is not ours to change";
    EXPECT_EQ(MakePrivate({file, folder}), QStringList()) << "said once";
    EXPECT_TRUE(IsPrivateFolder(folder));
    EXPECT_FALSE(IsPrivateFolder(link));
    EXPECT_FALSE(IsPrivateFolder(QStringLiteral("relative")));
}

// Root writing into a folder another user owns (his settings folder, say):
// what he planted there is never written through, and nothing he made is
// tightened or followed. The other user is "nobody"; needs root.
class SafeFileTwoUsers : public SafeFile {
protected:
    void SetUp() override
    {
        FOther = ::getpwnam("nobody");
        if (::geteuid() != 0 || FOther == nullptr)
            GTEST_SKIP() << "needs root and the user nobody";
        ASSERT_EQ(::chown(QFile::encodeName(FDir.path()).constData(), FOther->pw_uid, FOther->pw_gid), 0);
    }

    bool GiveAway(const QString &path) const
    {
        return ::lchown(QFile::encodeName(path).constData(), FOther->pw_uid, FOther->pw_gid) == 0;
    }

    // True when the other user can open `path` for reading.
    bool OtherCanRead(const QString &path) const
    {
        const QByteArray name = QFile::encodeName(path);
        const pid_t child = ::fork();
        if (child == 0) {
            const bool dropped = ::setgid(FOther->pw_gid) == 0 && ::setuid(FOther->pw_uid) == 0;
            const int fd = dropped ? ::open(name.constData(), O_RDONLY | O_NONBLOCK) : -1;
            ::_exit(fd >= 0 ? 0 : 1);
        }
        int status = 0;
        return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    const passwd *FOther = nullptr;
};

TEST_F(SafeFileTwoUsers, RootNeverWritesThroughAnotherUsersLink)
{
    // The target is root's own file, which the other user may not write.
    QTemporaryDir rootOnly;
    const QString target = rootOnly.filePath(QStringLiteral("secret"));
    ASSERT_TRUE(Put(target, kOld));
    for (const TLinkRule rule : {TLinkRule::ReplaceLink, TLinkRule::FollowUserLink}) {
        const QString path = Path(rule == TLinkRule::ReplaceLink ? QStringLiteral("cache") : QStringLiteral("ini"));
        ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()), 0);
        ASSERT_TRUE(GiveAway(path));
        QString error;
        const bool written = WritePrivateFile(path, kNew, rule, error);
        EXPECT_EQ(written, rule == TLinkRule::ReplaceLink) << error.toStdString();
        EXPECT_EQ(Content(target), kOld);
    }
    // A folder he planted where the program makes its own is replaced too.
    const QString cache = Path(QStringLiteral("cachefolder"));
    ASSERT_EQ(::symlink(QFile::encodeName(rootOnly.path()).constData(), QFile::encodeName(cache).constData()), 0);
    ASSERT_TRUE(GiveAway(cache));
    QString error;
    EXPECT_TRUE(MakePrivateFolder(cache, TLinkRule::FollowUserLink, error));
    EXPECT_TRUE(S_ISDIR(ModeOf(cache)));
    EXPECT_EQ(QDir(rootOnly.path()).entryList(QDir::Files), QStringList{QStringLiteral("secret")});
    EXPECT_EQ(MakePrivate({Path(QStringLiteral("ini")), FDir.path()}), QStringList()) << "his files stay his";
}

TEST_F(SafeFileTwoUsers, WhatTheProgramMakesTheOtherUserCannotRead)
{
    QTemporaryDir own;
    const QString folder = own.filePath(QStringLiteral("Nimbrel"));
    const QString file = folder + QStringLiteral("/Nimbrel.ini");
    QString error;
    ASSERT_TRUE(MakePrivateFolder(folder, TLinkRule::FollowUserLink, error));
    ASSERT_TRUE(WritePrivateFile(file, kNew, TLinkRule::FollowUserLink, error));
    // Opened up for the check: the folder alone would keep him out.
    ASSERT_EQ(::chmod(QFile::encodeName(own.path()).constData(), 0755), 0);
    EXPECT_FALSE(OtherCanRead(folder));
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
    EXPECT_FALSE(OtherCanRead(file));
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0644), 0);
    EXPECT_TRUE(OtherCanRead(file)) << "the check itself works";
    EXPECT_EQ(MakePrivate({folder, file}), QStringList({folder, file}));
    EXPECT_FALSE(OtherCanRead(file));
}

} // namespace
