// Functions of system DLLs that a program loads at their first use instead of with
// itself, where nothing of its first window needs the DLL: the loader would otherwise
// start it before the program's entry point. The DLL stays loaded.
#pragma once

#include <windows.h>

namespace HiveUI {

// The function, its DLL loaded when it is not yet; null when either cannot be had.
template <class Function>
Function LoadSystemFunction(const wchar_t* library, const char* name) {
    HMODULE module = ::GetModuleHandleW(library);
    if (module == nullptr) module = ::LoadLibraryW(library);
    return module != nullptr ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)))
                             : nullptr;
}

}  // namespace HiveUI
