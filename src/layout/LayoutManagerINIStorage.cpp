#include "LayoutManagerINIStorage.h"

#include "IniValueText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QThread>

TLayoutManagerINIStorage::TLayoutManagerINIStorage(const QString &fileName)
    : FFileName(fileName)
{
}

TLayoutManagerINIStorage::~TLayoutManagerINIStorage()
{
    Close();
}

void TLayoutManagerINIStorage::SetFileName(const QString &value)
{
    if (value == FFileName)
        return;
    const bool wasOpen = FDocument != nullptr;
    if (wasOpen)
        Close();
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
    if (!readOnly) {
        const QString folder = QFileInfo(FFileName).absolutePath();
        if (!QDir().mkpath(folder))
            Fail(QStringLiteral("Cannot create the folder %1").arg(folder));
    }
    FUnreadable = false;
    QByteArray bytes;
    QFile file(FFileName);
    if (file.exists()) {
        if (file.open(QIODevice::ReadOnly)) {
            bytes = file.readAll();
            if (file.error() != QFileDevice::NoError)
                FUnreadable = true;
        } else {
            FUnreadable = true;
        }
        if (FUnreadable)
            Fail(QStringLiteral("Cannot read %1: %2").arg(FFileName, file.errorString()));
    }
    FDocument = std::make_unique<TIniDocument>(TIniDocument::FromBytes(bytes));
    FModified = false;
}

bool TLayoutManagerINIStorage::Close()
{
    if (FDocument == nullptr)
        return true;
    const bool ok = !FModified || WriteFile();
    FDocument.reset();
    FModified = false;
    FUnreadable = false;
    return ok;
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

bool TLayoutManagerINIStorage::WaitUntilReadable()
{
    int waited = 0;
    for (;;) {
        QFile probe(FFileName);
        if (!probe.exists() || probe.open(QIODevice::ReadOnly))
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
    const QString folder = QFileInfo(FFileName).absolutePath();
    if (!QDir().mkpath(folder)) {
        Fail(QStringLiteral("Cannot create the folder %1").arg(folder));
        return false;
    }
    QSaveFile file(FFileName);
    // A file the user may write in a folder he may not (set up for him beside the
    // program) is written in place, as it always could be, rather than not at all.
    file.setDirectWriteFallback(true);
    // Unbuffered: a buffered write that fails only when the file is committed
    // (a full disk) goes unnoticed, and the empty file would replace the settings.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        Fail(QStringLiteral("Cannot write %1: %2").arg(FFileName, file.errorString()));
        return false;
    }
    const QByteArray bytes = FDocument->ToBytes();
    if (file.write(bytes) != bytes.size() || !CommitFile(file)) {
        const QString reason = file.errorString();
        file.cancelWriting();
        Fail(QStringLiteral("Cannot write %1: %2").arg(FFileName, reason));
        return false;
    }
    FModified = false;
    return true;
}

bool TLayoutManagerINIStorage::CommitFile(QSaveFile &file)
{
    return file.commit();
}

void TLayoutManagerINIStorage::Fail(const QString &message)
{
    FLastError = message;
}
