// CUIPtrArray: a growable ordered list of untyped pointers; it never owns what they
// point at.
#pragma once

namespace HiveUI {

class CUIPtrArray {
public:
    explicit CUIPtrArray(int preallocate = 0);
    CUIPtrArray(const CUIPtrArray& source);
    CUIPtrArray& operator=(const CUIPtrArray& source);
    ~CUIPtrArray();

    void Empty();
    void Resize(int count);
    bool IsEmpty() const { return m_count == 0; }
    bool Add(void* item);
    bool InsertAt(int index, void* item);
    bool SetAt(int index, void* item);
    bool Remove(int index);
    int Find(void* item) const;
    int GetSize() const { return m_count; }
    void* GetAt(int index) const;
    void* operator[](int index) const { return m_items[index]; }
    void** GetData() { return m_items; }

private:
    bool Grow();

    void** m_items;
    int m_count;
    int m_capacity;
};

}  // namespace HiveUI
