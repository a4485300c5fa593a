#include "LangKeyTable.h"

#include <algorithm>

namespace {

struct KeyLess
{
    template<typename Entry>
    bool operator()(const Entry &a, const Entry &b) const { return a.key < b.key; }
    template<typename Entry>
    bool operator()(const Entry &a, const QString &b) const { return a.key < b; }
};

} // namespace

void TLangKeyTable::Clear()
{
    fEntries.clear();
}

void TLangKeyTable::SetSorted(bool sorted)
{
    if (sorted && !fSorted) {
        std::stable_sort(fEntries.begin(), fEntries.end(), KeyLess());
        auto sameKey = [](const TEntry &a, const TEntry &b) { return a.key == b.key; };
        fEntries.erase(std::unique(fEntries.begin(), fEntries.end(), sameKey), fEntries.end());
    }
    fSorted = sorted;
}

std::vector<TLangKeyTable::TEntry>::iterator TLangKeyTable::SortedPosition(const QString &upperKey)
{
    return std::lower_bound(fEntries.begin(), fEntries.end(), upperKey, KeyLess());
}

void TLangKeyTable::Put(const QString &key, const QString &text, bool replace)
{
    const QString upperKey = NormalKey(key);
    if (!fSorted) {
        if (replace) {
            for (TEntry &entry : fEntries) {
                if (entry.key == upperKey) {
                    entry.text = text;
                    return;
                }
            }
        }
        fEntries.push_back({upperKey, text});
        return;
    }
    auto at = SortedPosition(upperKey);
    if (at != fEntries.end() && at->key == upperKey) {
        if (replace) {
            at->text = text;
            return;
        }
        // Kept behind its equal keys, so lookups still see the first text.
        at = std::upper_bound(fEntries.begin(), fEntries.end(), TEntry{upperKey, {}}, KeyLess());
    }
    fEntries.insert(at, {upperKey, text});
}

const QString *TLangKeyTable::FindNormal(const QString &upperKey) const
{
    if (fSorted) {
        auto at = std::lower_bound(fEntries.begin(), fEntries.end(), upperKey, KeyLess());
        return at != fEntries.end() && at->key == upperKey ? &at->text : nullptr;
    }
    for (const TEntry &entry : fEntries) {
        if (entry.key == upperKey)
            return &entry.text;
    }
    return nullptr;
}

int TLangKeyTable::LowerBound(const QString &key) const
{
    auto at = std::lower_bound(fEntries.begin(), fEntries.end(), NormalKey(key), KeyLess());
    return static_cast<int>(at - fEntries.begin());
}
