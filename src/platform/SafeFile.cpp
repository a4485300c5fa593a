#include "SafeFile.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Read in pieces of this size, so a file that grows while it is read stops at
// the limit rather than after it.
constexpr qint64 kReadChunk = 64 * 1024;
constexpr mode_t kOthersAccess = 077;
constexpr mode_t kOwnerAccess = 0700;
constexpr char kTemporarySuffix[] = ".XXXXXX";

QString ErrnoText(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

QString TooLargeText(qint64 maxBytes)
{
    return QStringLiteral("larger than %1 bytes").arg(maxBytes);
}

QString NotRegularText(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("a folder, not a file");
    if (S_ISFIFO(mode))
        return QStringLiteral("a pipe, not a regular file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("a device, not a regular file");
    return QStringLiteral("not a regular file");
}

} // namespace

TReadOutcome ReadRegularFile(const QString &path, qint64 maxBytes, QByteArray &bytes, QString &error)
{
    bytes.clear();
    error.clear();
    const QByteArray name = QFile::encodeName(path);
    // Looked at before opening, so a device is never opened at all; looked at
    // again through the descriptor, so nothing swapped in between gets read.
    struct stat status {};
    if (name.isEmpty() || ::stat(name.constData(), &status) != 0) {
        const int code = name.isEmpty() ? ENOENT : errno;
        error = ErrnoText(code);
        return code == ENOENT ? TReadOutcome::Missing : TReadOutcome::Refused;
    }
    if (!S_ISREG(status.st_mode)) {
        error = NotRegularText(status.st_mode);
        return TReadOutcome::Refused;
    }
    // Non-blocking: a pipe put there after the look above opens at once.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int code = errno;
        error = ErrnoText(code);
        return code == ENOENT ? TReadOutcome::Missing : TReadOutcome::Refused;
    }
    TReadOutcome outcome = TReadOutcome::Read;
    if (::fstat(fd, &status) != 0) {
        error = ErrnoText(errno);
        outcome = TReadOutcome::Refused;
    } else if (!S_ISREG(status.st_mode)) {
        error = NotRegularText(status.st_mode);
        outcome = TReadOutcome::Refused;
    } else if (status.st_size > maxBytes) {
        error = TooLargeText(maxBytes);
        outcome = TReadOutcome::TooLarge;
    } else {
        bytes.reserve(static_cast<qsizetype>(status.st_size));
        char chunk[kReadChunk];
        for (;;) {
            const ssize_t got = ::read(fd, chunk, sizeof chunk);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                error = ErrnoText(errno);
                outcome = TReadOutcome::Refused;
                break;
            }
            if (got == 0)
                break;
            if (bytes.size() + got > maxBytes) {
                error = TooLargeText(maxBytes);
                outcome = TReadOutcome::TooLarge;
                break;
            }
            bytes.append(chunk, static_cast<qsizetype>(got));
        }
    }
    ::close(fd);
    if (outcome != TReadOutcome::Read)
        bytes.clear();
    return outcome;
}

TPrivateFileWriter::TPrivateFileWriter(const QString &path, TLinkRule rule)
    : FPath(path), FRule(rule)
{
}

TPrivateFileWriter::~TPrivateFileWriter()
{
    Cancel();
}

bool TPrivateFileWriter::Fail(const QString &reason)
{
    FError = reason;
    return false;
}

bool TPrivateFileWriter::FailErrno()
{
    return Fail(ErrnoText(errno));
}

bool TPrivateFileWriter::Open()
{
    Cancel();
    FError.clear();
    const QByteArray path = QFile::encodeName(FPath);
    if (path.isEmpty())
        return Fail(QStringLiteral("no file name"));
    FTarget = path;
    struct stat status {};
    if (::lstat(path.constData(), &status) != 0) {
        if (errno != ENOENT)
            return FailErrno();
    } else if (S_ISLNK(status.st_mode) && FRule == TLinkRule::FollowUserLink) {
        // A link another user made (in a folder of his that root writes into)
        // would turn the write into one wherever he likes.
        if (status.st_uid != ::geteuid())
            return Fail(QStringLiteral("a link made by another user"));
        char resolved[PATH_MAX];
        struct stat target {};
        if (::realpath(path.constData(), resolved) == nullptr || ::stat(resolved, &target) != 0)
            return Fail(QStringLiteral("a link to nothing"));
        if (!S_ISREG(target.st_mode))
            return Fail(QStringLiteral("a link to %1").arg(NotRegularText(target.st_mode)));
        FTarget = QByteArray(resolved);
    } else if (S_ISDIR(status.st_mode)) {
        return Fail(NotRegularText(status.st_mode));
    } else if (!S_ISREG(status.st_mode) && !S_ISLNK(status.st_mode) && FRule == TLinkRule::FollowUserLink) {
        return Fail(NotRegularText(status.st_mode));
    }
    // Whatever else stands at a path the program alone uses (a link, a pipe)
    // is replaced by the rename, never opened.

    QByteArray temporary = FTarget + kTemporarySuffix;
    FDescriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    // mkostemp makes the file 0600 itself; no chmod, which a stick's file
    // system may refuse.
    if (FDescriptor >= 0) {
        FTemporary = temporary;
        return true;
    }
    const int code = errno;
    const bool folderRefused = code == EACCES || code == EPERM || code == EROFS;
    if (!folderRefused || FRule != TLinkRule::FollowUserLink)
        return Fail(ErrnoText(code));
    // A file the user may write in a folder he may not (set up for him beside
    // the program) is written in place, as it always could be.
    FDescriptor = ::open(FTarget.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW);
    if (FDescriptor < 0)
        return Fail(errno == ENOENT ? ErrnoText(code) : ErrnoText(errno));
    if (::fstat(FDescriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        Cancel();
        return Fail(QStringLiteral("not a regular file"));
    }
    if (::ftruncate(FDescriptor, 0) != 0) {
        const bool failed = FailErrno();
        Cancel();
        return failed;
    }
    return true;
}

bool TPrivateFileWriter::Write(const char *data, qint64 size)
{
    if (FDescriptor < 0)
        return Fail(QStringLiteral("the file is not open"));
    while (size > 0) {
        const ssize_t written = ::write(FDescriptor, data, static_cast<size_t>(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? FailErrno() : Fail(QStringLiteral("nothing could be written"));
        data += written;
        size -= written;
    }
    return true;
}

bool TPrivateFileWriter::Commit()
{
    if (FDescriptor < 0)
        return Fail(QStringLiteral("the file is not open"));
    const int fd = FDescriptor;
    FDescriptor = -1;
    if (::close(fd) != 0) {
        const bool failed = FailErrno();
        Cancel();
        return failed;
    }
    if (FTemporary.isEmpty())
        return true;
    if (::rename(FTemporary.constData(), FTarget.constData()) != 0) {
        const bool failed = FailErrno();
        Cancel();
        return failed;
    }
    FTemporary.clear();
    return true;
}

void TPrivateFileWriter::Cancel()
{
    if (FDescriptor >= 0) {
        ::close(FDescriptor);
        FDescriptor = -1;
    }
    if (!FTemporary.isEmpty()) {
        ::unlink(FTemporary.constData());
        FTemporary.clear();
    }
}

bool WritePrivateFile(const QString &path, const QByteArray &bytes, TLinkRule rule, QString &error)
{
    TPrivateFileWriter file(path, rule);
    if (!file.Open() || !file.Write(bytes) || !file.Commit()) {
        error = file.ErrorString();
        file.Cancel();
        return false;
    }
    error.clear();
    return true;
}

bool MakePrivateFolder(const QString &path, TLinkRule rule, QString &error)
{
    error.clear();
    QByteArray full = QFile::encodeName(path);
    while (full.size() > 1 && full.endsWith('/'))
        full.chop(1);
    if (full.isEmpty()) {
        error = QStringLiteral("no folder name");
        return false;
    }
    // Every missing folder on the way is made; those that exist are taken as
    // they are (links included), except the last one.
    for (qsizetype slash = full.indexOf('/', 1); slash > 0; slash = full.indexOf('/', slash + 1)) {
        const QByteArray above = full.left(slash);
        if (::mkdir(above.constData(), kPrivateFolderMode) != 0 && errno != EEXIST) {
            error = ErrnoText(errno);
            return false;
        }
    }
    struct stat status {};
    if (::lstat(full.constData(), &status) == 0 && S_ISLNK(status.st_mode)) {
        if (rule == TLinkRule::ReplaceLink || status.st_uid != ::geteuid()) {
            if (::unlink(full.constData()) != 0) {
                error = ErrnoText(errno);
                return false;
            }
        } else if (::stat(full.constData(), &status) != 0 || !S_ISDIR(status.st_mode)) {
            error = QStringLiteral("a link to something that is not a folder");
            return false;
        } else {
            return true;
        }
    }
    if (::mkdir(full.constData(), kPrivateFolderMode) == 0)
        return true;
    if (errno != EEXIST) {
        error = ErrnoText(errno);
        return false;
    }
    if (::lstat(full.constData(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        error = QStringLiteral("something that is not a folder is in the way");
        return false;
    }
    return true;
}

bool IsPrivateFolder(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    return name.startsWith('/') && ::lstat(name.constData(), &status) == 0 && S_ISDIR(status.st_mode)
           && status.st_uid == ::geteuid() && (status.st_mode & kOthersAccess) == 0;
}

QStringList MakePrivate(const QStringList &paths)
{
    QStringList changed;
    for (const QString &path : paths) {
        const QByteArray name = QFile::encodeName(path);
        struct stat status {};
        if (name.isEmpty() || ::lstat(name.constData(), &status) != 0 || S_ISLNK(status.st_mode)
            || status.st_uid != ::geteuid() || (status.st_mode & kOthersAccess) == 0)
            continue;
        if (::fchmodat(AT_FDCWD, name.constData(), status.st_mode & kOwnerAccess, AT_SYMLINK_NOFOLLOW) == 0)
            changed << path;
    }
    return changed;
}
