// CEditWnd: the native Edit window of an edit field while it is edited. It lies over the
// field's text area, copies every change back into the field, and closes itself when it
// loses the focus; the object deletes itself with its window.
#pragma once

#include <windows.h>

#include "ScopedHandle.h"
#include "NativeEditWnd.h"

namespace HiveUI {

class CEditUI;

class CEditWnd final : public CNativeEditWnd<CEditUI> {
public:
    CEditWnd();

    // Creates the window for the owner; false when it could not be made, and the object
    // is then still the caller's.
    bool Init(CEditUI* owner);
    // Where the window lies in the owner's manager window.
    RECT CalPos() const;
    // The edit rectangle where the window is placed: in screen coordinates for the popup
    // of a layered window.
    RECT PlacedRect() const;

    const wchar_t* GetWindowClassName() const override;
    const wchar_t* GetSuperClassName() const override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND wnd) override;

private:
    bool IsLayered() const;
    DWORD CreationStyle() const;
    void ApplyOwnerSettings();
    void OnTextChanged();
    LRESULT OnReflectedCommand(WPARAM wParam);
    LRESULT OnControlColor(HDC hdc);

    CScopedGdiObject<HBRUSH> m_brush;
    bool m_initialised;
    bool m_caret;
};

}  // namespace HiveUI
