// One object registered with the layout manager: where its data is stored and how
// its geometry, state and named properties are saved and restored.
#pragma once

#include "LayoutManagerStorage.h"
#include "LayoutManagerTypes.h"

#include <QMetaProperty>
#include <QPointer>
#include <QStringList>
#include <QVector>

#include <memory>

class QObject;
class QWidget;
class TLayoutManager;

class TLayoutManagerControl
{
public:
    // The component is not owned. `properties` are sorted, compared without case,
    // duplicates dropped; names the object does not have, or of properties that
    // hold no whole number (enumeration, integer, truth value), are ignored.
    TLayoutManagerControl(TLayoutManager *manager, QObject *component, const QStringList &properties,
                          TLayoutManagerControlOptions options);

    // Null once the object is destroyed.
    QObject *Component() const { return FComponent; }
    // The registered address, kept for finding the entry while the object is
    // being destroyed (when Component() already reads null).
    const QObject *Identity() const { return FIdentity; }
    QStringList Properties() const { return FProperties; }
    TLayoutManagerControlOptions Options() const { return FOptions; }
    void SetOptions(TLayoutManagerControlOptions value) { FOptions = value; }
    TLayoutManager *LayoutManager() const { return FManager; }
    ILayoutManagerStorage *Storage() const { return FStorage.get(); }
    // Closes the previous storage first.
    void SetStorage(std::shared_ptr<ILayoutManagerStorage> value);

    // The section of the object, and the one for a display configuration.
    QString PlainSection() const;
    QString DisplaySection(const QString &displayTag) const;

    void Save();
    void Restore();
    // Removes the plain, every display-qualified section and the sub-sections.
    void DeleteData();

private:
    bool IsForm() const;
    QWidget *Window() const;
    QStringList SectionParts() const;
    QString DisplaySectionForSave() const;
    QString DisplaySectionForRestore() const;

    void SaveForm(const QString &plain, const QString &working);
    void SaveWidget(const QString &working);
    void SaveProperties(const QString &working);
    void RestoreForm(const QString &plain, const QString &working);
    void RestoreWidget(const QString &working);
    void RestoreProperties(const QString &working);

    TLayoutManager *FManager;
    QPointer<QObject> FComponent;
    const QObject *FIdentity;
    QStringList FProperties;
    QVector<QMetaProperty> FPropertyTable;
    TLayoutManagerControlOptions FOptions;
    std::shared_ptr<ILayoutManagerStorage> FStorage;
};
