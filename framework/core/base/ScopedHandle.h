// CScopedHandle: one owner for every kind of Windows handle, parameterised by traits
// that know the empty value and how to free it; plus guards for a window's DC and for
// an object selected into a DC, which need more than the handle to be undone.
#pragma once

#include <windows.h>

namespace HiveUI {

template <class Traits>
class CScopedHandle {
public:
    using Handle = typename Traits::Handle;

    CScopedHandle() : m_handle(Traits::Null()) {}
    explicit CScopedHandle(Handle handle) : m_handle(handle) {}
    ~CScopedHandle() { Reset(); }

    CScopedHandle(const CScopedHandle&) = delete;
    CScopedHandle& operator=(const CScopedHandle&) = delete;
    CScopedHandle(CScopedHandle&& other) noexcept : m_handle(other.Release()) {}
    CScopedHandle& operator=(CScopedHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    Handle Get() const { return m_handle; }
    bool IsValid() const { return Traits::IsValid(m_handle); }

    // Frees the owned handle (if any) and takes the new one.
    void Reset(Handle handle = Traits::Null()) {
        if (handle == m_handle) return;
        if (Traits::IsValid(m_handle)) Traits::Free(m_handle);
        m_handle = handle;
    }

    // Gives up ownership without freeing.
    Handle Release() {
        Handle handle = m_handle;
        m_handle = Traits::Null();
        return handle;
    }

private:
    Handle m_handle;
};

template <class T>
struct CGdiObjectTraits {
    using Handle = T;
    static T Null() { return nullptr; }
    static bool IsValid(T handle) { return handle != nullptr; }
    static void Free(T handle) { ::DeleteObject(handle); }
};

struct CIconTraits {
    using Handle = HICON;
    static HICON Null() { return nullptr; }
    static bool IsValid(HICON handle) { return handle != nullptr; }
    static void Free(HICON handle) { ::DestroyIcon(handle); }
};

// A DC made by CreateCompatibleDC or CreateDC; a window's DC belongs in CWindowDCGuard.
struct CCreatedDCTraits {
    using Handle = HDC;
    static HDC Null() { return nullptr; }
    static bool IsValid(HDC handle) { return handle != nullptr; }
    static void Free(HDC handle) { ::DeleteDC(handle); }
};

// Kernel objects: CreateFile reports failure as INVALID_HANDLE_VALUE, most others as null.
struct CKernelHandleTraits {
    using Handle = HANDLE;
    static HANDLE Null() { return nullptr; }
    static bool IsValid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void Free(HANDLE handle) { ::CloseHandle(handle); }
};

// A directory listing of FindFirstFile, which is closed by FindClose, not CloseHandle.
struct CFindHandleTraits {
    using Handle = HANDLE;
    static HANDLE Null() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE handle) { return handle != INVALID_HANDLE_VALUE; }
    static void Free(HANDLE handle) { ::FindClose(handle); }
};

struct CRegKeyTraits {
    using Handle = HKEY;
    static HKEY Null() { return nullptr; }
    static bool IsValid(HKEY handle) { return handle != nullptr; }
    static void Free(HKEY handle) { ::RegCloseKey(handle); }
};

template <class T>
using CScopedGdiObject = CScopedHandle<CGdiObjectTraits<T>>;
using CScopedIcon = CScopedHandle<CIconTraits>;
using CScopedCreatedDC = CScopedHandle<CCreatedDCTraits>;
using CScopedKernelHandle = CScopedHandle<CKernelHandleTraits>;
using CScopedFindHandle = CScopedHandle<CFindHandleTraits>;
using CScopedRegKey = CScopedHandle<CRegKeyTraits>;

// GetDC's result must go back to ReleaseDC with the same window.
class CWindowDCGuard {
public:
    explicit CWindowDCGuard(HWND wnd) : m_wnd(wnd), m_dc(::GetDC(wnd)) {}
    ~CWindowDCGuard() {
        if (m_dc != nullptr) ::ReleaseDC(m_wnd, m_dc);
    }
    CWindowDCGuard(const CWindowDCGuard&) = delete;
    CWindowDCGuard& operator=(const CWindowDCGuard&) = delete;

    HDC Get() const { return m_dc; }

private:
    HWND m_wnd;
    HDC m_dc;
};

// An object selected into a DC cannot be deleted there; the guard puts the previous one
// back first, so declare it after the owner of the selected object. Regions select
// through SelectClipRgn instead.
class CSelectObjectGuard {
public:
    CSelectObjectGuard(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(::SelectObject(dc, object)) {}
    ~CSelectObjectGuard() {
        if (m_previous != nullptr && m_previous != HGDI_ERROR) ::SelectObject(m_dc, m_previous);
    }
    CSelectObjectGuard(const CSelectObjectGuard&) = delete;
    CSelectObjectGuard& operator=(const CSelectObjectGuard&) = delete;

    bool IsSelected() const { return m_previous != nullptr && m_previous != HGDI_ERROR; }

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

}  // namespace HiveUI
