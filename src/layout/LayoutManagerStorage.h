// The storage interface of the layout manager: sections of named values, read with
// a default and written by kind. The INI file is the one implementation.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class ILayoutManagerStorage
{
public:
    virtual ~ILayoutManagerStorage() = default;

    // True when the document is open and its file exists on disk.
    virtual bool GetOpened() const = 0;
    virtual void SetOpened(bool value) = 0;

    virtual bool SectionExists(const QString &section) = 0;
    virtual bool ValueExists(const QString &section, const QString &name) = 0;

    virtual void WriteInteger(const QString &section, const QString &name, qint64 value) = 0;
    virtual void WriteString(const QString &section, const QString &name, const QString &value) = 0;
    virtual void WriteFloat(const QString &section, const QString &name, double value) = 0;
    virtual void WriteDatetime(const QString &section, const QString &name, const QDateTime &value) = 0;
    virtual void WriteBoolean(const QString &section, const QString &name, bool value) = 0;

    // Every read answers its default when the key is missing or does not parse.
    virtual qint64 ReadInteger(const QString &section, const QString &name, qint64 defaultValue) = 0;
    virtual QString ReadString(const QString &section, const QString &name, const QString &defaultValue) = 0;
    virtual double ReadFloat(const QString &section, const QString &name, double defaultValue) = 0;
    virtual QDateTime ReadDatetime(const QString &section, const QString &name, const QDateTime &defaultValue) = 0;
    virtual bool ReadBoolean(const QString &section, const QString &name, bool defaultValue) = 0;

    // Clears `list`, then adds one "key=value" line per key of the section.
    virtual void ReadSection(const QString &section, QStringList &list) = 0;
    // With `anyOccurrence`, the section and every section qualified from it
    // ("name#display", "name\sub") go; without it only the section itself.
    virtual void DeleteSection(const QString &section, bool anyOccurrence) = 0;
    virtual void DeleteSectionValues(const QString &section) = 0;
    virtual void DeleteValue(const QString &section, const QString &name) = 0;

    // Writes the open document now. False when the file could not be written;
    // LastError() then says why and the file on disk is unchanged.
    virtual bool Save() = 0;
    virtual void Open(bool readOnly) = 0;
    // Releases the document, writing it first when it changed. False when that
    // write failed (see Save).
    virtual bool Close() = 0;
    // Between BeginUpdate and its EndUpdate, Close keeps the document open, so
    // that a restore of many values reads the file once and a save writes it
    // once, at the outermost EndUpdate, never leaving it with some of them.
    // EndUpdate answers as Close does.
    virtual void BeginUpdate() = 0;
    virtual bool EndUpdate() = 0;

    // The last write failure since ClearError(), empty when there was none. Writes
    // happen inside Close(), so callers check this once after a whole save.
    virtual QString LastError() const = 0;
    virtual void ClearError() = 0;
};

// Closes the storage on every way out of a save or restore, an early return or
// an exception included. A null storage is ignored.
class TStorageCloser
{
public:
    explicit TStorageCloser(ILayoutManagerStorage *storage) : FStorage(storage) {}
    ~TStorageCloser()
    {
        if (FStorage != nullptr)
            FStorage->Close();
    }
    TStorageCloser(const TStorageCloser &) = delete;
    TStorageCloser &operator=(const TStorageCloser &) = delete;

private:
    ILayoutManagerStorage *FStorage;
};

// One update of the storage for a scope: every value written in it reaches the
// file in one write as the scope ends. A null storage is ignored.
class TStorageUpdate
{
public:
    explicit TStorageUpdate(ILayoutManagerStorage *storage) : FStorage(storage)
    {
        if (FStorage != nullptr)
            FStorage->BeginUpdate();
    }
    ~TStorageUpdate()
    {
        if (FStorage != nullptr)
            FStorage->EndUpdate();
    }
    TStorageUpdate(const TStorageUpdate &) = delete;
    TStorageUpdate &operator=(const TStorageUpdate &) = delete;

private:
    ILayoutManagerStorage *FStorage;
};
