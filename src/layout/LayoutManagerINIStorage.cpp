#include "LayoutManagerINIStorage.h"

#include "IniValueText.h"
#include "SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Far more than any settings file holds; a larger one is not ours.
constexpr qint64 kMaxSettingsBytes = 16 * 1024 * 1024;

} // namespace

TLayoutManagerINIStorage::TLayoutManagerINIStorage(const QString &fileName)
    : FFileName(fileName)
{
}

TLayoutManagerINIStorage::~TLayoutManagerINIStorage()
{
    // An update left open still writes what it changed.
    FUpdates = 0;
    Close();
}

void TLayoutManagerINIStorage::SetFileName(const QString &value)
{
    if (value == FFileName)
        return;
    const bool wasOpen = FDocument != nullptr;
    // The old file gets its changes even within an update.
    const int updates = std::exchange(FUpdates, 0);
    if (wasOpen)
        Close();
    FUpdates = updates;
    FFileName = value;
    if (wasOpen)
        Open(true);
}

bool TLayoutManagerINIStorage::GetOpened() const
{
    return FDocument != nullptr && QFileInfo::exists(FFileName);
}

void TLayoutManagerINIStorage::SetOpened(bool value)
{
    if (value)
        Open(true);
    else
        Close();
}

void TLayoutManagerINIStorage::Open(bool readOnly)
{
    if (FDocument != nullptr || FFileName.isEmpty())
        return;
    if (!readOnly)
        MakeFolder();
    QByteArray bytes;
    QString reason;
    // A pipe, a device or a huge file is refused unread (and never written over).
    const TReadOutcome outcome = ReadRegularFile(FFileName, kMaxSettingsBytes, bytes, reason);
    FUnreadable = outcome != TReadOutcome::Read && outcome != TReadOutcome::Missing;
    if (FUnreadable)
        Fail(QStringLiteral("Cannot read %1: %2").arg(FFileName, reason));
    FDocument = std::make_unique<TIniDocument>(TIniDocument::FromBytes(bytes));
    FModified = false;
}

bool TLayoutManagerINIStorage::Close()
{
    if (FDocument == nullptr || FUpdates > 0)
        return true;
    const bool ok = !FModified || WriteFile();
    FDocument.reset();
    FModified = false;
    FUnreadable = false;
    return ok;
}

bool TLayoutManagerINIStorage::EndUpdate()
{
    if (FUpdates == 0 || --FUpdates > 0)
        return true;
    return Close();
}

bool TLayoutManagerINIStorage::Save()
{
    if (FDocument == nullptr)
        return true;
    return WriteFile();
}

void TLayoutManagerINIStorage::OpenForReading()
{
    if (!GetOpened())
        Open(true);
}

void TLayoutManagerINIStorage::OpenForWriting()
{
    if (!GetOpened())
        Open(false);
}

void TLayoutManagerINIStorage::Changed(bool changed)
{
    FModified = FModified || changed;
}

bool TLayoutManagerINIStorage::SectionExists(const QString &section)
{
    OpenForReading();
    const bool exists = FDocument != nullptr && FDocument->SectionExists(section);
    Close();
    return exists;
}

bool TLayoutManagerINIStorage::ValueExists(const QString &section, const QString &name)
{
    OpenForReading();
    return FDocument != nullptr && FDocument->ValueExists(section, name);
}

bool TLayoutManagerINIStorage::ReadText(const QString &section, const QString &name, QString *text)
{
    OpenForReading();
    return FDocument != nullptr && FDocument->FindValue(section, name, text);
}

void TLayoutManagerINIStorage::Write(const QString &section, const QString &name, const QString &text)
{
    OpenForWriting();
    if (FDocument != nullptr)
        Changed(FDocument->SetValue(section, name, text));
}

void TLayoutManagerINIStorage::WriteInteger(const QString &section, const QString &name, qint64 value)
{
    Write(section, name, IniIntegerText(value));
}

void TLayoutManagerINIStorage::WriteString(const QString &section, const QString &name, const QString &value)
{
    Write(section, name, value);
}

void TLayoutManagerINIStorage::WriteFloat(const QString &section, const QString &name, double value)
{
    Write(section, name, IniFloatText(value));
}

void TLayoutManagerINIStorage::WriteDatetime(const QString &section, const QString &name, const QDateTime &value)
{
    Write(section, name, IniDatetimeText(value));
}

void TLayoutManagerINIStorage::WriteBoolean(const QString &section, const QString &name, bool value)
{
    Write(section, name, IniBooleanText(value));
}

qint64 TLayoutManagerINIStorage::ReadInteger(const QString &section, const QString &name, qint64 defaultValue)
{
    QString text;
    if (!ReadText(section, name, &text))
        return defaultValue;
    return ParseIniInteger(text).value_or(defaultValue);
}

QString TLayoutManagerINIStorage::ReadString(const QString &section, const QString &name, const QString &defaultValue)
{
    QString text;
    return ReadText(section, name, &text) ? text : defaultValue;
}

double TLayoutManagerINIStorage::ReadFloat(const QString &section, const QString &name, double defaultValue)
{
    QString text;
    if (!ReadText(section, name, &text))
        return defaultValue;
    return ParseIniFloat(text).value_or(defaultValue);
}

QDateTime TLayoutManagerINIStorage::ReadDatetime(const QString &section, const QString &name,
                                                 const QDateTime &defaultValue)
{
    QString text;
    if (!ReadText(section, name, &text))
        return defaultValue;
    return ParseIniDatetime(text).value_or(defaultValue);
}

bool TLayoutManagerINIStorage::ReadBoolean(const QString &section, const QString &name, bool defaultValue)
{
    QString text;
    if (!ReadText(section, name, &text))
        return defaultValue;
    return ParseIniBoolean(text).value_or(defaultValue);
}

void TLayoutManagerINIStorage::ReadSection(const QString &section, QStringList &list)
{
    list.clear();
    OpenForReading();
    if (FDocument != nullptr)
        list = FDocument->SectionLines(section);
}

void TLayoutManagerINIStorage::DeleteSection(const QString &section, bool anyOccurrence)
{
    OpenForReading();
    if (FDocument == nullptr)
        return;
    Changed(anyOccurrence ? FDocument->EraseQualifiedSections(section) : FDocument->EraseSection(section));
}

void TLayoutManagerINIStorage::DeleteSectionValues(const QString &section)
{
    DeleteSection(section, false);
}

void TLayoutManagerINIStorage::DeleteValue(const QString &section, const QString &name)
{
    OpenForReading();
    if (FDocument != nullptr)
        Changed(FDocument->EraseValue(section, name));
}

bool TLayoutManagerINIStorage::MakeFolder()
{
    const QString folder = QFileInfo(FFileName).absolutePath();
    QString reason;
    if (MakePrivateFolder(folder, TLinkRule::FollowUserLink, reason))
        return true;
    Fail(QStringLiteral("Cannot create the folder %1: %2").arg(folder, reason));
    return false;
}

bool TLayoutManagerINIStorage::WaitUntilReadable()
{
    const QByteArray name = QFile::encodeName(FFileName);
    int waited = 0;
    for (;;) {
        // Non-blocking, so a pipe put in the file's place cannot hold the save.
        const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd >= 0)
            ::close(fd);
        if (fd >= 0 || errno == ENOENT)
            return true;
        if (waited >= FLockWaitMs)
            return false;
        QThread::msleep(kLockRetryMs);
        waited += kLockRetryMs;
    }
}

bool TLayoutManagerINIStorage::WriteFile()
{
    if (FUnreadable) {
        Fail(QStringLiteral("%1 could not be read, so it is not overwritten").arg(FFileName));
        return false;
    }
    if (!WaitUntilReadable()) {
        Fail(QStringLiteral("%1 is in use by another program").arg(FFileName));
        return false;
    }
    // Also when the document was opened read-only: its first write needs the folder.
    if (!MakeFolder())
        return false;
    // The settings may be the user's link to a file kept elsewhere; a link to
    // anything but a regular file is refused.
    TPrivateFileWriter file(FFileName, TLinkRule::FollowUserLink);
    const QByteArray bytes = FDocument->ToBytes();
    if (!file.Open() || !file.Write(bytes) || !CommitFile(file)) {
        const QString reason = file.ErrorString();
        file.Cancel();
        Fail(QStringLiteral("Cannot write %1: %2").arg(FFileName, reason));
        return false;
    }
    FModified = false;
    return true;
}

bool TLayoutManagerINIStorage::CommitFile(TPrivateFileWriter &file)
{
    return file.Commit();
}

void TLayoutManagerINIStorage::Fail(const QString &message)
{
    FLastError = message;
}
