// Owners for the Win32 handles the browser and its window use: one template that frees a
// handle with the function its kind needs, and a guard that restores a device
// context's previous selection.
#pragma once

#include <windows.h>

namespace engine {

template <class Handle, BOOL(WINAPI* Free)(Handle)>
class HandleOwner {
public:
    explicit HandleOwner(Handle handle) : handle_(handle) {}
    ~HandleOwner() {
        if (handle_ != nullptr) Free(handle_);
    }
    HandleOwner(const HandleOwner&) = delete;
    HandleOwner& operator=(const HandleOwner&) = delete;
    Handle get() const { return handle_; }

private:
    Handle handle_;
};

using GdiObject = HandleOwner<HGDIOBJ, DeleteObject>;
using MemoryDc = HandleOwner<HDC, DeleteDC>;
using MenuHandle = HandleOwner<HMENU, DestroyMenu>;
using HookHandle = HandleOwner<HHOOK, UnhookWindowsHookEx>;
// Files, events, threads; a failed CreateFile gives INVALID_HANDLE_VALUE, which is passed
// in as null.
using KernelHandle = HandleOwner<HANDLE, CloseHandle>;

// What CreateFile gave, as a KernelHandle takes it.
inline HANDLE OpenedFile(HANDLE file) { return file == INVALID_HANDLE_VALUE ? nullptr : file; }

class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~SelectGuard() { SelectObject(dc_, old_); }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace engine
