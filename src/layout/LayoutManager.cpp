#include "LayoutManager.h"

#include "LayoutManagerStorage.h"

#include <QWidget>

TLayoutManager::TLayoutManager(QWidget *owner)
    : QObject(owner)
    , FOwner(owner)
    , FValues(std::make_unique<TLayoutManagerValues>())
    , FDisplays(std::make_shared<TScreenDisplays>())
{
}

TLayoutManager::~TLayoutManager()
{
    disconnect(this, nullptr, nullptr, nullptr);
    Clear(false);
}

int TLayoutManager::Add(QObject *component, const QStringList &properties, TLayoutManagerControlOptions options)
{
    if (component == nullptr || FindComponent(component) >= 0)
        return -1;
    auto control = std::make_unique<TLayoutManagerControl>(this, component, properties, options);
    control->SetStorage(FStorage);
    FControls.push_back(std::move(control));
    // An object destroyed while registered leaves the list with it.
    connect(component, &QObject::destroyed, this, [this](QObject *gone) { Delete(gone); });
    return Count() - 1;
}

void TLayoutManager::Delete(QObject *component)
{
    const int index = FindComponent(component);
    if (index < 0)
        return;
    disconnect(component, &QObject::destroyed, this, nullptr);
    FControls.erase(FControls.begin() + index);
}

void TLayoutManager::Clear(bool deleteData)
{
    if (deleteData)
        DeleteData();
    while (!FControls.empty())
        Delete(const_cast<QObject *>(FControls.back()->Identity()));
}

void TLayoutManager::DeleteData()
{
    for (const auto &control : FControls)
        control->DeleteData();
}

void TLayoutManager::DeleteData(QObject *component)
{
    if (TLayoutManagerControl *control = GetControl(FindComponent(component)))
        control->DeleteData();
}

int TLayoutManager::FindComponent(const QObject *component) const
{
    for (std::size_t i = 0; i < FControls.size(); ++i) {
        if (FControls[i]->Identity() == component)
            return static_cast<int>(i);
    }
    return -1;
}

TLayoutManagerControl *TLayoutManager::GetControl(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return FControls[static_cast<std::size_t>(index)].get();
}

void TLayoutManager::SetOptions(QObject *component, TLayoutManagerControlOptions options)
{
    if (TLayoutManagerControl *control = GetControl(FindComponent(component)))
        control->SetOptions(options);
}

TLayoutManagerControlOptions TLayoutManager::Options(const QObject *component) const
{
    const TLayoutManagerControl *control = GetControl(FindComponent(component));
    return control != nullptr ? control->Options() : TLayoutManagerControlOptions();
}

void TLayoutManager::SetStorage(std::shared_ptr<ILayoutManagerStorage> value)
{
    FStorage = std::move(value);
    FValues->SetStorage(FStorage);
    for (const auto &control : FControls)
        control->SetStorage(FStorage);
}

void TLayoutManager::SetStoredValues(const TLayoutManagerValues &value)
{
    FValues->Assign(value);
}

void TLayoutManager::SetDisplays(std::shared_ptr<ILayoutManagerDisplays> value)
{
    FDisplays = value ? std::move(value) : std::make_shared<TScreenDisplays>();
}

void TLayoutManager::Restore()
{
    FRestoring = true;
    struct TFlagReset
    {
        bool &Flag;
        ~TFlagReset() { Flag = false; }
    } reset{FRestoring};
    emit OnBeforeRestore(this);
    {
        // The file read once for every control and value, not once for each.
        TStorageUpdate update(FStorage.get());
        for (const auto &control : FControls)
            control->Restore();
        FValues->Restore();
    }
    emit OnAfterRestore(this);
}

void TLayoutManager::Restore(QObject *component)
{
    if (TLayoutManagerControl *control = GetControl(FindComponent(component)))
        control->Restore();
}

bool TLayoutManager::Save()
{
    if (FReadOnly || FRestoring)
        return true;
    if (FStorage)
        FStorage->ClearError();
    emit OnBeforeSave(this);
    {
        // The whole layout in one write of the file.
        TStorageUpdate update(FStorage.get());
        for (const auto &control : FControls)
            control->Save();
        FValues->Save();
    }
    const bool ok = FinishSave();
    emit OnAfterSave(this);
    return ok;
}

bool TLayoutManager::Save(QObject *component)
{
    if (FReadOnly)
        return true;
    TLayoutManagerControl *control = GetControl(FindComponent(component));
    if (control == nullptr)
        return true;
    if (FStorage)
        FStorage->ClearError();
    control->Save();
    return FinishSave();
}

bool TLayoutManager::FinishSave()
{
    FLastError = FStorage ? FStorage->LastError() : QString();
    return FLastError.isEmpty();
}

QVariant TLayoutManager::GetValueByName(const QString &name) const
{
    return FValues->GetValueByName(name);
}

void TLayoutManager::SetValueByName(const QString &name, const QVariant &value)
{
    FValues->SetValueByName(name, value);
}

void TLayoutManager::ReadSavedProps(const QString &section, QStringList &list)
{
    list.clear();
    if (!FStorage)
        return;
    TStorageCloser closer(FStorage.get());
    FStorage->ReadSection(section, list);
}

QString TLayoutManager::ReadSavedProp(const QString &section, const QString &name, const QVariant &defaultValue)
{
    if (!FStorage)
        return defaultValue.toString();
    TStorageCloser closer(FStorage.get());
    return FStorage->ReadString(section, name, defaultValue.toString());
}
