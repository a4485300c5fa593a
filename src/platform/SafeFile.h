// Every file the program reads or writes goes through here, so that what another
// user or a mistake leaves at one of its paths (a link, a pipe, a device, a huge
// file) is refused with a reason instead of hanging, leaking or overwriting.
// Folders the program makes are readable by the user alone (0700), files too (0600).
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <sys/types.h>

inline constexpr mode_t kPrivateFolderMode = 0700;
inline constexpr mode_t kPrivateFileMode = 0600;

enum class TReadOutcome { Read, Missing, TooLarge, Refused };

// Reads `path` whole when it is a regular file of at most `maxBytes` (a link to
// one counts). A pipe, device, socket or folder is refused without waiting for
// a writer, and so is a file that is or grows larger (TooLarge). Unless Read,
// `error` says why in a few words, without the path.
TReadOutcome ReadRegularFile(const QString &path, qint64 maxBytes, QByteArray &bytes, QString &error);

// What a write does with a symbolic link found at its path.
enum class TLinkRule {
    // The program alone makes the file: the link itself is replaced.
    ReplaceLink,
    // The user may keep the file elsewhere: a link of his own to a regular file
    // is written through; any other link is refused.
    FollowUserLink,
};

// A file written whole or not at all: the bytes go to a new temporary file of
// mode 0600 beside the target, which replaces it on Commit by a rename. Whatever
// is not committed is removed. Never opens an existing file for writing, except
// a file the user may write in a folder he may not (only under FollowUserLink),
// which is written in place after checking it is a regular file.
class TPrivateFileWriter
{
public:
    TPrivateFileWriter(const QString &path, TLinkRule rule);
    ~TPrivateFileWriter();
    TPrivateFileWriter(const TPrivateFileWriter &) = delete;
    TPrivateFileWriter &operator=(const TPrivateFileWriter &) = delete;

    bool Open();
    bool Write(const char *data, qint64 size);
    bool Write(const QByteArray &bytes) { return Write(bytes.constData(), bytes.size()); }
    bool Commit();
    void Cancel();
    // Why the last step failed, without the path.
    QString ErrorString() const { return FError; }

private:
    bool Fail(const QString &reason);
    bool FailErrno();

    QString FPath;
    TLinkRule FRule;
    QByteArray FTarget;    // the file replaced on commit (a link's target under FollowUserLink)
    QByteArray FTemporary; // empty when writing in place
    int FDescriptor = -1;
    QString FError;
};

// Writes `bytes` as the whole of `path` through TPrivateFileWriter; `error`
// then says why it failed, without the path.
bool WritePrivateFile(const QString &path, const QByteArray &bytes, TLinkRule rule, QString &error);

// Makes `path` and any missing folder above it, each new one 0700. Under
// ReplaceLink a link at `path` itself is removed and a folder made in its place;
// under FollowUserLink the user's own link to a folder is kept. Anything else
// that is no folder is refused.
bool MakePrivateFolder(const QString &path, TLinkRule rule, QString &error);

// True when `path` is an absolute path to a folder (no link) of this user that
// no one else may enter: the place for what another user must not touch.
bool IsPrivateFolder(const QString &path);

// Removes the group's and others' access from each of `paths` that exists, is no
// link and belongs to this user. Returns the paths that were changed.
QStringList MakePrivate(const QStringList &paths);
