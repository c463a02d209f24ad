#include "CommonControls.h"

#include <commctrl.h>

#include "SystemFunction.h"

namespace HiveUI {

bool InitCommonControlsOnce() {
    static const auto init = LoadSystemFunction<void(WINAPI*)()>(L"comctl32.dll", "InitCommonControls");
    if (init == nullptr) return false;
    init();
    return true;
}

bool InitCommonControlClasses(DWORD classes) {
    static const auto init =
        LoadSystemFunction<BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)>(L"comctl32.dll", "InitCommonControlsEx");
    const INITCOMMONCONTROLSEX request = {sizeof(request), classes};
    return init != nullptr && init(&request) != FALSE;
}

}  // namespace HiveUI
