#include "UIPtrArray.h"

#include <cstdlib>
#include <cstring>

namespace HiveUI {

CUIPtrArray::CUIPtrArray(int preallocate) : m_items(nullptr), m_count(0), m_capacity(0) {
    if (preallocate > 0) {
        m_items = static_cast<void**>(malloc(preallocate * sizeof(void*)));
        if (m_items != nullptr) m_capacity = preallocate;
    }
}

CUIPtrArray::CUIPtrArray(const CUIPtrArray& source) : m_items(nullptr), m_count(0), m_capacity(0) {
    for (int i = 0; i < source.GetSize(); ++i) Add(source.m_items[i]);
}

CUIPtrArray& CUIPtrArray::operator=(const CUIPtrArray& source) {
    if (this != &source) {
        Empty();
        for (int i = 0; i < source.GetSize(); ++i) Add(source.m_items[i]);
    }
    return *this;
}

CUIPtrArray::~CUIPtrArray() { free(m_items); }

void CUIPtrArray::Empty() {
    free(m_items);
    m_items = nullptr;
    m_count = m_capacity = 0;
}

void CUIPtrArray::Resize(int count) {
    Empty();
    if (count <= 0) return;
    m_items = static_cast<void**>(calloc(count, sizeof(void*)));
    if (m_items != nullptr) m_count = m_capacity = count;
}

// The count is raised first; the block doubles (11 slots from nothing) once it is full.
bool CUIPtrArray::Grow() {
    ++m_count;
    if (m_count >= m_capacity) {
        const int capacity = m_capacity == 0 ? 11 : m_capacity * 2;
        void** items = static_cast<void**>(realloc(m_items, capacity * sizeof(void*)));
        if (items == nullptr) {
            --m_count;
            return false;
        }
        m_items = items;
        m_capacity = capacity;
    }
    return true;
}

bool CUIPtrArray::Add(void* item) {
    if (!Grow()) return false;
    m_items[m_count - 1] = item;
    return true;
}

bool CUIPtrArray::InsertAt(int index, void* item) {
    if (index == m_count) return Add(item);
    if (index < 0 || index > m_count) return false;
    if (!Grow()) return false;
    memmove(&m_items[index + 1], &m_items[index], (m_count - index - 1) * sizeof(void*));
    m_items[index] = item;
    return true;
}

bool CUIPtrArray::SetAt(int index, void* item) {
    if (index < 0 || index >= m_count) return false;
    m_items[index] = item;
    return true;
}

bool CUIPtrArray::Remove(int index) {
    if (index < 0 || index >= m_count) return false;
    if (index < m_count - 1) memmove(&m_items[index], &m_items[index + 1], (m_count - index - 1) * sizeof(void*));
    --m_count;
    return true;
}

int CUIPtrArray::Find(void* item) const {
    for (int i = 0; i < m_count; ++i) {
        if (m_items[i] == item) return i;
    }
    return -1;
}

void* CUIPtrArray::GetAt(int index) const {
    if (index < 0 || index >= m_count) return nullptr;
    return m_items[index];
}

}  // namespace HiveUI
