#include "LayoutManagerValues.h"

#include "LayoutManagerTypes.h"

#include <QDateTime>

namespace {

const char *const kDuplicateName = "TLayoutManagerValue: Duplicates not allowed";

enum class TValueKind { vkInteger, vkFloat, vkDatetime, vkBoolean, vkString };

TValueKind KindOf(const QVariant &value)
{
    if (IsIntegerMetaType(value.typeId()))
        return TValueKind::vkInteger;
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return TValueKind::vkFloat;
    case QMetaType::QDateTime:
        return TValueKind::vkDatetime;
    case QMetaType::Bool:
        return TValueKind::vkBoolean;
    default:
        return TValueKind::vkString;
    }
}

} // namespace

TLayoutManagerValue::TLayoutManagerValue(TLayoutManagerValues *collection)
    : FCollection(collection)
{
}

void TLayoutManagerValue::SetName(const QString &value)
{
    if (FCollection != nullptr && FCollection->NameTaken(value, this))
        throw ELayoutManager(kDuplicateName);
    FName = value;
}

void TLayoutManagerValue::Assign(const TLayoutManagerValue &source)
{
    FValue = source.FValue;
    SetName(source.FName);
    FKey = source.FKey;
}

void TLayoutManagerValue::Save()
{
    ILayoutManagerStorage *storage = FCollection->Storage();
    if (storage == nullptr)
        return;
    TStorageCloser closer(storage);
    const QString section = FCollection->Section();
    ILayoutManagerCipherer *cipherer = FCollection->Cipherer();
    if (!FKey.isEmpty() && cipherer != nullptr) {
        storage->WriteString(section, FName, cipherer->EncryptText(FValue.toString(), FKey));
        return;
    }
    switch (KindOf(FValue)) {
    case TValueKind::vkInteger:
        storage->WriteInteger(section, FName, FValue.toLongLong());
        break;
    case TValueKind::vkFloat:
        storage->WriteFloat(section, FName, FValue.toDouble());
        break;
    case TValueKind::vkDatetime:
        storage->WriteDatetime(section, FName, FValue.toDateTime());
        break;
    case TValueKind::vkBoolean:
        storage->WriteBoolean(section, FName, FValue.toBool());
        break;
    case TValueKind::vkString:
        storage->WriteString(section, FName, FValue.toString());
        break;
    }
}

void TLayoutManagerValue::Restore()
{
    ILayoutManagerStorage *storage = FCollection->Storage();
    if (storage == nullptr)
        return;
    TStorageCloser closer(storage);
    const QString section = FCollection->Section();
    ILayoutManagerCipherer *cipherer = FCollection->Cipherer();
    if (!FKey.isEmpty() && cipherer != nullptr) {
        const QString current = cipherer->EncryptText(FValue.toString(), FKey);
        FValue = cipherer->DecryptText(storage->ReadString(section, FName, current), FKey);
        return;
    }
    switch (KindOf(FValue)) {
    case TValueKind::vkInteger:
        FValue = QVariant::fromValue<qint64>(storage->ReadInteger(section, FName, FValue.toLongLong()));
        break;
    case TValueKind::vkFloat:
        FValue = storage->ReadFloat(section, FName, FValue.toDouble());
        break;
    case TValueKind::vkDatetime:
        FValue = storage->ReadDatetime(section, FName, FValue.toDateTime());
        break;
    case TValueKind::vkBoolean:
        FValue = storage->ReadBoolean(section, FName, FValue.toBool());
        break;
    case TValueKind::vkString:
        FValue = storage->ReadString(section, FName, FValue.toString());
        break;
    }
}

TLayoutManagerValues::TLayoutManagerValues()
{
    SetCipherer(nullptr);
}

void TLayoutManagerValues::SetCipherer(std::shared_ptr<ILayoutManagerCipherer> value)
{
    FCipherer = value ? std::move(value) : std::make_shared<TLayoutManagerCipherer>();
}

bool TLayoutManagerValues::NameTaken(const QString &name, const TLayoutManagerValue *except) const
{
    if (name.isEmpty())
        return false;
    for (const auto &item : FItems) {
        if (item.get() != except && item->Name().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

TLayoutManagerValue *TLayoutManagerValues::AddItem(const QString &name, const QVariant &value, const QString &key)
{
    if (TLayoutManagerValue *existing = GetValue(name))
        return existing;
    TLayoutManagerValue *item = AddItem();
    item->SetName(name);
    item->SetValue(value);
    item->SetKey(key);
    return item;
}

TLayoutManagerValue *TLayoutManagerValues::AddItem()
{
    FItems.push_back(std::make_unique<TLayoutManagerValue>(this));
    return FItems.back().get();
}

int TLayoutManagerValues::IndexOf(const QString &name) const
{
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        if (FItems[i]->Name().compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

TLayoutManagerValue *TLayoutManagerValues::Item(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return FItems[static_cast<std::size_t>(index)].get();
}

TLayoutManagerValue *TLayoutManagerValues::GetValue(const QString &name) const
{
    return Item(IndexOf(name));
}

void TLayoutManagerValues::SetValue(const QString &name, const TLayoutManagerValue &source)
{
    if (TLayoutManagerValue *item = GetValue(name))
        item->Assign(source);
}

QVariant TLayoutManagerValues::GetValueByName(const QString &name) const
{
    const TLayoutManagerValue *item = GetValue(name);
    return item != nullptr ? item->Value() : QVariant();
}

void TLayoutManagerValues::SetValueByName(const QString &name, const QVariant &value)
{
    if (TLayoutManagerValue *item = GetValue(name))
        item->SetValue(value);
    else
        AddItem(name, value);
}

void TLayoutManagerValues::Save()
{
    const TStorageUpdate update(Storage());
    for (const auto &item : FItems)
        item->Save();
}

void TLayoutManagerValues::Restore()
{
    const TStorageUpdate update(Storage());
    for (const auto &item : FItems)
        item->Restore();
}

void TLayoutManagerValues::Assign(const TLayoutManagerValues &source)
{
    if (&source == this)
        return;
    FItems.clear();
    FSection = source.FSection;
    for (const auto &item : source.FItems)
        AddItem()->Assign(*item);
}
