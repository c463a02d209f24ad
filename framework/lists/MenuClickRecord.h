// The records a menu keeps and sends: the check state of a named item, which outlives
// the menu windows, and the click record posted to the window that owns the menu.
#pragma once

#include <windows.h>

namespace HiveUI {

struct TMenuItemCheck {
    wchar_t szName[256];
    bool bChecked;
};

// Allocated with new by the menu, freed by the receiver with CPaintManagerUI::FreeObject.
struct TMenuClickRecord {
    wchar_t szName[256];
    wchar_t szUserData[1024];
    wchar_t szText[1024];
    int nChecked;
};

// Posted to the owner's window: wParam is the record, lParam the clicked item.
const UINT WM_MENUCLICK = WM_USER + 3;

// Copies at most count - 1 characters and always terminates; longer texts are cut.
void CopyMenuText(wchar_t* target, size_t count, const wchar_t* source);

}  // namespace HiveUI
