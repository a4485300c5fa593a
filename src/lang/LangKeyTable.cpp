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
    FEntries.clear();
}

void TLangKeyTable::SetSorted(bool sorted)
{
    if (sorted && !FSorted) {
        std::stable_sort(FEntries.begin(), FEntries.end(), KeyLess());
        auto sameKey = [](const TEntry &a, const TEntry &b) { return a.key == b.key; };
        FEntries.erase(std::unique(FEntries.begin(), FEntries.end(), sameKey), FEntries.end());
    }
    FSorted = sorted;
}

std::vector<TLangKeyTable::TEntry>::iterator TLangKeyTable::SortedPosition(const QString &upperKey)
{
    return std::lower_bound(FEntries.begin(), FEntries.end(), upperKey, KeyLess());
}

void TLangKeyTable::Put(const QString &key, const QString &text, bool replace)
{
    const QString upperKey = NormalKey(key);
    if (!FSorted) {
        if (replace) {
            for (TEntry &entry : FEntries) {
                if (entry.key == upperKey) {
                    entry.text = text;
                    return;
                }
            }
        }
        FEntries.push_back({upperKey, text});
        return;
    }
    auto at = SortedPosition(upperKey);
    if (at != FEntries.end() && at->key == upperKey) {
        if (replace) {
            at->text = text;
            return;
        }
        // Kept behind its equal keys, so lookups still see the first text.
        at = std::upper_bound(FEntries.begin(), FEntries.end(), TEntry{upperKey, {}}, KeyLess());
    }
    FEntries.insert(at, {upperKey, text});
}

const QString *TLangKeyTable::FindNormal(const QString &upperKey) const
{
    if (FSorted) {
        auto at = std::lower_bound(FEntries.begin(), FEntries.end(), upperKey, KeyLess());
        return at != FEntries.end() && at->key == upperKey ? &at->text : nullptr;
    }
    for (const TEntry &entry : FEntries) {
        if (entry.key == upperKey)
            return &entry.text;
    }
    return nullptr;
}

int TLangKeyTable::LowerBound(const QString &key) const
{
    auto at = std::lower_bound(FEntries.begin(), FEntries.end(), NormalKey(key), KeyLess());
    return static_cast<int>(at - FEntries.begin());
}
