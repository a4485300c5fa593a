// Named settings values with defaults, stored in one section. A value with a key is
// enciphered through the collection's cipherer before it is written. Free of
// widgets: the layout manager hands the collection its storage.
#pragma once

#include "LayoutManagerCipherer.h"
#include "LayoutManagerStorage.h"

#include <QString>
#include <QVariant>

#include <memory>
#include <stdexcept>
#include <vector>

class TLayoutManagerValues;

// A programming error of the layout manager, such as two values of one name.
class ELayoutManager : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class TLayoutManagerValue
{
public:
    explicit TLayoutManagerValue(TLayoutManagerValues *collection);

    QString Name() const { return FName; }
    // Throws ELayoutManager when another value of the collection has the name.
    void SetName(const QString &value);
    // Empty, bool, an integer kind, a floating kind, QDateTime or text.
    QVariant Value() const { return FValue; }
    void SetValue(const QVariant &value) { FValue = value; }
    // Empty: stored in clear.
    QString Key() const { return FKey; }
    void SetKey(const QString &value) { FKey = value; }

    void Save();
    void Restore();
    void Clear() { FValue = QVariant(); }
    void Assign(const TLayoutManagerValue &source);
    bool IsValueStored() const { return FValue.isValid(); }

private:
    TLayoutManagerValues *FCollection;
    QString FName;
    QVariant FValue;
    QString FKey;
};

class TLayoutManagerValues
{
public:
    static inline const QString kDefaultSection = QStringLiteral("Settings");

    TLayoutManagerValues();

    TLayoutManagerValues(const TLayoutManagerValues &) = delete;
    TLayoutManagerValues &operator=(const TLayoutManagerValues &) = delete;

    QString Section() const { return FSection; }
    void SetSection(const QString &value) { FSection = value; }
    // Null: Save and Restore do nothing.
    ILayoutManagerStorage *Storage() const { return FStorage.get(); }
    void SetStorage(std::shared_ptr<ILayoutManagerStorage> value) { FStorage = std::move(value); }

    ILayoutManagerCipherer *Cipherer() const { return FCipherer.get(); }
    // None restores the collection's own keyed XOR cipherer.
    void SetCipherer(std::shared_ptr<ILayoutManagerCipherer> value);

    // Adds a value with its default; a name that exists already (in any case)
    // keeps its value and key, and that item is answered.
    TLayoutManagerValue *AddItem(const QString &name, const QVariant &value, const QString &key = QString());
    TLayoutManagerValue *AddItem();
    int IndexOf(const QString &name) const;
    int Count() const { return static_cast<int>(FItems.size()); }
    TLayoutManagerValue *Item(int index) const;

    // nullptr when no value has the name.
    TLayoutManagerValue *GetValue(const QString &name) const;
    // Copies value, name and key of `source` into the value called `name`.
    void SetValue(const QString &name, const TLayoutManagerValue &source);
    // An empty variant when no value has the name.
    QVariant GetValueByName(const QString &name) const;
    // Sets an existing value, or adds one without key.
    void SetValueByName(const QString &name, const QVariant &value);

    void Save();
    void Restore();
    void Clear() { FItems.clear(); }
    // Copies every value and the section; the storage stays.
    void Assign(const TLayoutManagerValues &source);

private:
    friend class TLayoutManagerValue;
    bool NameTaken(const QString &name, const TLayoutManagerValue *except) const;

    std::shared_ptr<ILayoutManagerStorage> FStorage;
    QString FSection = kDefaultSection;
    std::shared_ptr<ILayoutManagerCipherer> FCipherer;
    std::vector<std::unique_ptr<TLayoutManagerValue>> FItems;
};
