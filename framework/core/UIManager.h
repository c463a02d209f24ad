// CPaintManagerUI: the manager every framework window owns. It holds the window's
// control tree, routes its messages, and keeps its drawing resources; its statics
// locate the skin (module instance, skin folder, skin archive) for the whole process.
#pragma once

#include <windows.h>

#include "UIString.h"

namespace HiveUI {

struct TZipHandle;

class CPaintManagerUI {
public:
    // Process-wide skin source, set once at start-up.
    static HINSTANCE GetInstance();
    static void SetInstance(HINSTANCE instance);
    static CUIString GetInstancePath();
    static HINSTANCE GetResourceDll();
    static void SetResourcePath(const wchar_t* path);
    static const CUIString& GetResourcePath();
    static void SetResourceType(int type);
    static int GetResourceType();
    // The skin archive held in memory: opened once and kept open for every later read,
    // so the block must stay valid for the life of the process.
    static void SetResourceZipFromMemory(const void* data, DWORD size, const wchar_t* password);
    static const CUIString& GetResourceZip();
    static const CUIString& GetResourceZipPassword();
    static bool IsCachedResourceZip();
    static TZipHandle* GetResourceZipHandle();

private:
    static HINSTANCE s_instance;
    static HINSTANCE s_resourceDll;
    static CUIString s_resourcePath;
    static int s_resourceType;
    static CUIString s_resourceZip;
    static CUIString s_resourceZipPassword;
    static bool s_cachedResourceZip;
    static TZipHandle* s_resourceZipHandle;
};

}  // namespace HiveUI
