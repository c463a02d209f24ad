#include "UIStringMap.h"

#include <cstdlib>

namespace HiveUI {

CUIStringMap::CUIStringMap(int buckets, bool growing)
    : m_buckets(nullptr), m_bucketCount(0), m_count(0), m_growing(growing) {
    Resize(buckets < 16 ? 16 : buckets);
}

CUIStringMap::~CUIStringMap() { FreeAll(); }

// Folded from the last character to the first, h = h * 33 + c.
unsigned int CUIStringMap::Hash(const wchar_t* key) {
    unsigned int h = 0;
    for (size_t i = wcslen(key); i > 0; --i) h = (h << 5) + h + static_cast<unsigned int>(key[i - 1]);
    return h;
}

int CUIStringMap::BucketOf(const wchar_t* key) const {
    return static_cast<int>(Hash(key) % static_cast<unsigned int>(m_bucketCount));
}

void CUIStringMap::FreeAll() {
    for (int i = 0; i < m_bucketCount; ++i) {
        for (Item* item = m_buckets[i]; item != nullptr;) {
            Item* next = item->next;
            delete item;
            item = next;
        }
    }
    free(m_buckets);
    m_buckets = nullptr;
    m_bucketCount = 0;
    m_count = 0;
}

// Relinks every item into twice as many buckets; a chain keeps its relative order.
void CUIStringMap::Grow() {
    const int count = m_bucketCount * 2 + 1;
    Item** buckets = static_cast<Item**>(calloc(count, sizeof(Item*)));
    if (buckets == nullptr) return;
    Item** tails = static_cast<Item**>(calloc(count, sizeof(Item*)));
    if (tails == nullptr) {
        free(buckets);
        return;
    }
    for (int i = 0; i < m_bucketCount; ++i) {
        for (Item* item = m_buckets[i]; item != nullptr;) {
            Item* next = item->next;
            const int bucket = static_cast<int>(Hash(item->key) % static_cast<unsigned int>(count));
            item->prev = tails[bucket];
            item->next = nullptr;
            (item->prev != nullptr ? item->prev->next : buckets[bucket]) = item;
            tails[bucket] = item;
            item = next;
        }
    }
    free(tails);
    free(m_buckets);
    m_buckets = buckets;
    m_bucketCount = count;
}

void CUIStringMap::Resize(int buckets) {
    FreeAll();
    if (buckets <= 0) return;
    m_buckets = static_cast<Item**>(calloc(buckets, sizeof(Item*)));
    if (m_buckets != nullptr) m_bucketCount = buckets;
}

CUIStringMap::Item* CUIStringMap::FindItem(const wchar_t* key, bool optimise) const {
    if (key == nullptr || m_bucketCount == 0 || m_count == 0) return nullptr;
    const int bucket = BucketOf(key);
    for (Item* item = m_buckets[bucket]; item != nullptr; item = item->next) {
        if (item->key != key) continue;
        if (optimise && item != m_buckets[bucket]) {
            // Move-to-front: skin lookups repeat the same few keys.
            item->prev->next = item->next;
            if (item->next != nullptr) item->next->prev = item->prev;
            item->prev = nullptr;
            item->next = m_buckets[bucket];
            item->next->prev = item;
            m_buckets[bucket] = item;
        }
        return item;
    }
    return nullptr;
}

void* CUIStringMap::Find(const wchar_t* key, bool optimise) const {
    Item* item = FindItem(key, optimise);
    return item == nullptr ? nullptr : item->value;
}

bool CUIStringMap::Insert(const wchar_t* key, void* value) {
    if (key == nullptr || m_bucketCount == 0) return false;
    // Presence is decided on the item, not its value, so a key stored with a null
    // value is not added twice.
    if (FindItem(key, true) != nullptr) return false;
    if (m_growing && m_count >= m_bucketCount) Grow();
    const int bucket = BucketOf(key);
    Item* item = new Item{CUIString(key), value, nullptr, m_buckets[bucket]};
    if (item->next != nullptr) item->next->prev = item;
    m_buckets[bucket] = item;
    ++m_count;
    return true;
}

void* CUIStringMap::Set(const wchar_t* key, void* value) {
    if (key == nullptr || m_bucketCount == 0) return value;
    if (Item* item = FindItem(key, true)) {
        void* old = item->value;
        item->value = value;
        return old;
    }
    Insert(key, value);
    return nullptr;
}

bool CUIStringMap::Remove(const wchar_t* key) {
    if (key == nullptr || m_bucketCount == 0) return false;
    const int bucket = BucketOf(key);
    for (Item* item = m_buckets[bucket]; item != nullptr; item = item->next) {
        if (item->key != key) continue;
        if (item->prev != nullptr) item->prev->next = item->next;
        else m_buckets[bucket] = item->next;
        if (item->next != nullptr) item->next->prev = item->prev;
        delete item;
        --m_count;
        return true;
    }
    return false;
}

// Enumeration runs from the last bucket to the first, each chain from its head.
const wchar_t* CUIStringMap::GetAt(int index) const {
    if (index < 0) return nullptr;
    int position = 0;
    for (int bucket = m_bucketCount - 1; bucket >= 0; --bucket) {
        for (Item* item = m_buckets[bucket]; item != nullptr; item = item->next) {
            if (position++ == index) return item->key;
        }
    }
    return nullptr;
}

}  // namespace HiveUI
