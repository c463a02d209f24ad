// CComRef: owns one reference to a COM interface and releases it when it goes, so an
// early return cannot leak an object.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace HiveUI {

template <class T>
class CComRef {
public:
    CComRef() = default;
    // Adopts a reference the caller already holds.
    explicit CComRef(T* pointer) : m_pointer(pointer) {}
    ~CComRef() { Reset(); }
    CComRef(const CComRef&) = delete;
    CComRef& operator=(const CComRef&) = delete;

    T* Get() const { return m_pointer; }
    T* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }

    // The member is cleared before the release, which may call back into its owner.
    void Reset(T* pointer = nullptr) {
        T* old = m_pointer;
        m_pointer = pointer;
        if (old != nullptr) old->Release();
    }
    T* Detach() {
        T* pointer = m_pointer;
        m_pointer = nullptr;
        return pointer;
    }
    // For calls that hand out a new reference; the old one is released first.
    void** Out() {
        Reset();
        return reinterpret_cast<void**>(&m_pointer);
    }
    HRESULT QueryFrom(IUnknown* unknown, REFIID iid) {
        Reset();
        if (unknown == nullptr) return E_POINTER;
        HRESULT hr = unknown->QueryInterface(iid, reinterpret_cast<void**>(&m_pointer));
        if (FAILED(hr)) m_pointer = nullptr;
        return hr;
    }

private:
    T* m_pointer = nullptr;
};

}  // namespace HiveUI
