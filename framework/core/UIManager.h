// CPaintManagerUI: the manager every framework window owns. It holds the window's
// control tree, routes its messages, and keeps its drawing resources; its statics
// locate the skin (module instance, skin folder, skin archive) for the whole process.
#pragma once

#include <windows.h>

#include "UIString.h"

namespace HiveUI {

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

private:
    static HINSTANCE s_instance;
    static HINSTANCE s_resourceDll;
    static CUIString s_resourcePath;
    static int s_resourceType;
};

}  // namespace HiveUI
