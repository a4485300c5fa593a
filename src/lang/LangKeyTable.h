#pragma once

#include <QString>

#include <vector>

// A table of texts by key. Keys are kept upper-cased so lookups ignore letter
// case. Base language files are appended unsorted and sorted once; after that
// every lookup and every replacement uses binary search.
class TLangKeyTable
{
public:
    void Clear();
    int Count() const { return static_cast<int>(FEntries.size()); }
    bool Sorted() const { return FSorted; }
    // Switching to sorted mode sorts the entries; of equal keys the first added stays.
    void SetSorted(bool sorted);

    // Adds key=text; with `replace`, an existing equal key gets the new text instead.
    void Put(const QString &key, const QString &text, bool replace);
    // The text of `key`, or nullptr when the table has none.
    const QString *Find(const QString &key) const { return FindNormal(NormalKey(key)); }
    // As Find, for a key already upper-cased (saves the copy on hot paths).
    const QString *FindNormal(const QString &upperKey) const;
    bool Contains(const QString &key) const { return Find(key) != nullptr; }

    // Index of the first key not below `key` (sorted mode only).
    int LowerBound(const QString &key) const;
    const QString &KeyAt(int index) const { return FEntries[static_cast<size_t>(index)].key; }
    const QString &TextAt(int index) const { return FEntries[static_cast<size_t>(index)].text; }

    static QString NormalKey(const QString &key) { return key.toUpper(); }

private:
    struct TEntry
    {
        QString key;
        QString text;
    };
    std::vector<TEntry>::iterator SortedPosition(const QString &upperKey);

    std::vector<TEntry> FEntries;
    bool FSorted = false;
};
