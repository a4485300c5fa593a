// Makes a window remember itself: registered objects (forms, widgets, any QObject
// with Q_PROPERTYs) and named settings values are saved to and restored from one
// storage, in a section per object and per display configuration.
//
// A form counts as layout-managed when it has a bool Q_PROPERTY "LayoutReadOnly":
// the manager then also writes "LayoutReadOnly", "Monitor" and "Resolution" into the
// form's plain section and restores "LayoutReadOnly" from it.
#pragma once

#include "LayoutManagerControl.h"
#include "LayoutManagerDisplays.h"
#include "LayoutManagerStorage.h"
#include "LayoutManagerTypes.h"
#include "LayoutManagerValues.h"

#include <QObject>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

class QWidget;

class TLayoutManager : public QObject
{
    Q_OBJECT

public:
    // The owner is the form that owns the manager; it becomes the QObject parent.
    explicit TLayoutManager(QWidget *owner = nullptr);
    // Unregisters every object (keeping its stored data).
    ~TLayoutManager() override;

    QWidget *Owner() const { return FOwner; }

    // Registers an object with the names of its properties to keep. Answers its index
    // in the registration order, or -1 for no object or one registered already.
    int Add(QObject *component, const QStringList &properties = QStringList(),
            TLayoutManagerControlOptions options = TLayoutManagerControlOptions());
    void Delete(QObject *component);
    void Clear(bool deleteData = false);
    void DeleteData();
    void DeleteData(QObject *component);
    int FindComponent(const QObject *component) const;
    TLayoutManagerControl *GetControl(int index) const;
    int Count() const { return static_cast<int>(FControls.size()); }
    void SetOptions(QObject *component, TLayoutManagerControlOptions options);
    TLayoutManagerControlOptions Options(const QObject *component) const;

    ILayoutManagerStorage *Storage() const { return FStorage.get(); }
    // The same storage with shared ownership, for further forms that write into it.
    const std::shared_ptr<ILayoutManagerStorage> &SharedStorage() const { return FStorage; }
    // Hands the storage to every registered object as well.
    void SetStorage(std::shared_ptr<ILayoutManagerStorage> value);

    TLayoutManagerValues &StoredValues() { return *FValues; }
    const TLayoutManagerValues &StoredValues() const { return *FValues; }
    void SetStoredValues(const TLayoutManagerValues &value);

    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value) { FReadOnly = value; }
    bool Restoring() const { return FRestoring; }

    // The monitors used for the display tag; the real screens unless a test sets
    // other ones.
    const ILayoutManagerDisplays &Displays() const { return *FDisplays; }
    void SetDisplays(std::shared_ptr<ILayoutManagerDisplays> value);

    // Everything: registered objects in registration order, then the values.
    void Restore();
    void Restore(QObject *component);
    // False when the storage could not write its file; LastError() says why and the
    // file on disk keeps its previous content. Nothing is written while ReadOnly,
    // nor (for the whole save) while restoring; that counts as success.
    bool Save();
    bool Save(QObject *component);
    QString LastError() const { return FLastError; }

    QVariant GetValueByName(const QString &name) const;
    void SetValueByName(const QString &name, const QVariant &value);

    // The stored lines "key=value" of a section, and one stored value as text.
    void ReadSavedProps(const QString &section, QStringList &list);
    QString ReadSavedProp(const QString &section, const QString &name, const QVariant &defaultValue);

signals:
    void OnBeforeRestore(TLayoutManager *manager);
    void OnAfterRestore(TLayoutManager *manager);
    void OnBeforeSave(TLayoutManager *manager);
    void OnAfterSave(TLayoutManager *manager);

private:
    bool FinishSave();

    QWidget *FOwner;
    std::vector<std::unique_ptr<TLayoutManagerControl>> FControls;
    std::shared_ptr<ILayoutManagerStorage> FStorage;
    std::unique_ptr<TLayoutManagerValues> FValues;
    std::shared_ptr<ILayoutManagerDisplays> FDisplays;
    bool FReadOnly = false;
    bool FRestoring = false;
    QString FLastError;
};
