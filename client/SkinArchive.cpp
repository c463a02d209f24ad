#include "SkinArchive.h"

#include "UIManager.h"

using HiveUI::CPaintManagerUI;

bool UseSkinArchive() {
    HMODULE module = CPaintManagerUI::GetResourceDll();
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(131), L"ZIPRES");
    if (resource == nullptr) return false;
    // Resource memory lives as long as the module: nothing to free.
    HGLOBAL loaded = ::LoadResource(module, resource);
    const DWORD size = ::SizeofResource(module, resource);
    if (loaded == nullptr || size == 0) return false;
    CPaintManagerUI::SetResourceZipFromMemory(::LockResource(loaded), size, nullptr);
    return true;
}
