// The settings storage over one INI file, read whole on Open and written whole on
// Close or Save. Writes go to a temporary file that replaces the old one only when
// complete, so a failed write never destroys the settings.
#pragma once

#include "IniDocument.h"
#include "LayoutManagerStorage.h"

#include <memory>

class TPrivateFileWriter;

class TLayoutManagerINIStorage : public ILayoutManagerStorage
{
public:
    // How long Save waits for a file that this process cannot read (another process
    // holds it), and how often it looks again.
    static constexpr int kDefaultLockWaitMs = 2000;
    static constexpr int kLockRetryMs = 100;

    explicit TLayoutManagerINIStorage(const QString &fileName = QString());
    // Closes, writing pending changes.
    ~TLayoutManagerINIStorage() override;

    TLayoutManagerINIStorage(const TLayoutManagerINIStorage &) = delete;
    TLayoutManagerINIStorage &operator=(const TLayoutManagerINIStorage &) = delete;

    QString FileName() const { return FFileName; }
    // When open, the storage is closed and opened again read-only on the new file.
    void SetFileName(const QString &value);
    bool Opened() const { return GetOpened(); }
    void SetLockWaitLimit(int milliseconds) { FLockWaitMs = milliseconds; }

    bool GetOpened() const override;
    void SetOpened(bool value) override;

    bool SectionExists(const QString &section) override;
    bool ValueExists(const QString &section, const QString &name) override;

    void WriteInteger(const QString &section, const QString &name, qint64 value) override;
    void WriteString(const QString &section, const QString &name, const QString &value) override;
    void WriteFloat(const QString &section, const QString &name, double value) override;
    void WriteDatetime(const QString &section, const QString &name, const QDateTime &value) override;
    void WriteBoolean(const QString &section, const QString &name, bool value) override;

    qint64 ReadInteger(const QString &section, const QString &name, qint64 defaultValue) override;
    QString ReadString(const QString &section, const QString &name, const QString &defaultValue) override;
    double ReadFloat(const QString &section, const QString &name, double defaultValue) override;
    QDateTime ReadDatetime(const QString &section, const QString &name, const QDateTime &defaultValue) override;
    bool ReadBoolean(const QString &section, const QString &name, bool defaultValue) override;

    void ReadSection(const QString &section, QStringList &list) override;
    void DeleteSection(const QString &section, bool anyOccurrence) override;
    void DeleteSectionValues(const QString &section) override;
    void DeleteValue(const QString &section, const QString &name) override;

    bool Save() override;
    void Open(bool readOnly) override;
    bool Close() override;
    void BeginUpdate() override { ++FUpdates; }
    bool EndUpdate() override;

    QString LastError() const override { return FLastError; }
    void ClearError() override { FLastError.clear(); }

protected:
    // The last step of a write: replaces the old file by the finished temporary one.
    // Tests override it to act out a write that breaks off before that point.
    virtual bool CommitFile(TPrivateFileWriter &file);

private:
    void OpenForReading();
    void OpenForWriting();
    bool ReadText(const QString &section, const QString &name, QString *text);
    void Write(const QString &section, const QString &name, const QString &text);
    void Changed(bool changed);
    bool MakeFolder();
    bool WaitUntilReadable();
    bool WriteFile();
    void Fail(const QString &message);

    QString FFileName;
    std::unique_ptr<TIniDocument> FDocument;
    bool FModified = false;
    // The file exists but could not be read: writing would replace settings that
    // were never seen, so every write is refused until it is reopened.
    bool FUnreadable = false;
    int FLockWaitMs = kDefaultLockWaitMs;
    int FUpdates = 0; // open BeginUpdate calls
    QString FLastError;
};
