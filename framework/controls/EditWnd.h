// CEditWnd: the native Edit window of an edit field while it is edited. It lies over the
// field's text area, copies every change back into the field, and closes itself when it
// loses the focus; the object deletes itself with its window.
#pragma once

#include <windows.h>

#include "ScopedHandle.h"
#include "WindowWnd.h"

namespace HiveUI {

class CEditUI;

class CEditWnd final : public CWindowWnd {
public:
    CEditWnd();

    // Creates the window for the owner; false when it could not be made, and the object
    // is then still the caller's.
    bool Init(CEditUI* owner);
    // Where the window lies in the owner's manager window.
    RECT CalPos() const;
    // The owner is going: the window must not reach it again.
    void Abandon();

    const wchar_t* GetWindowClassName() const override;
    const wchar_t* GetSuperClassName() const override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND wnd) override;

private:
    bool IsLayered() const;
    DWORD CreationStyle(RECT& rect) const;
    void ApplyOwnerSettings();
    void OnTextChanged();
    LRESULT OnReflectedCommand(WPARAM wParam);
    LRESULT OnControlColor(HDC hdc);

    CEditUI* m_owner;
    CScopedGdiObject<HBRUSH> m_brush;
    bool m_initialised;
    bool m_caret;
    // Set once the window exists: from then on the window's end deletes the object.
    bool m_created;
};

}  // namespace HiveUI
