// CUIStringMap: a chained hash table from exact UTF-16 keys to untyped pointers. It owns
// its items and key copies, never the values; a hit moves to the front of its chain.
// A growing map doubles its buckets whenever it holds more keys than buckets, so its
// enumeration order is not the fixed one: only maps that are never enumerated grow.
#pragma once

#include "UIString.h"

namespace HiveUI {

class CUIStringMap {
public:
    explicit CUIStringMap(int buckets = 83, bool growing = false);
    ~CUIStringMap();
    CUIStringMap(const CUIStringMap&) = delete;
    CUIStringMap& operator=(const CUIStringMap&) = delete;

    void Resize(int buckets = 83);
    void RemoveAll() { Resize(m_bucketCount); }
    void* Find(const wchar_t* key, bool optimise = true) const;
    bool Insert(const wchar_t* key, void* value);
    void* Set(const wchar_t* key, void* value);
    bool Remove(const wchar_t* key);
    const wchar_t* GetAt(int index) const;
    const wchar_t* operator[](int index) const { return GetAt(index); }
    int GetSize() const { return m_count; }

    static unsigned int Hash(const wchar_t* key);

private:
    struct Item {
        CUIString key;
        void* value;
        Item* prev;
        Item* next;
    };

    Item* FindItem(const wchar_t* key, bool optimise) const;
    int BucketOf(const wchar_t* key) const;
    void FreeAll();
    void Grow();

    Item** m_buckets;
    int m_bucketCount;
    int m_count;
    bool m_growing;
};

}  // namespace HiveUI
