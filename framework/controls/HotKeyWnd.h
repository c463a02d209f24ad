// CHotKeyWnd: the common-controls hot-key window that edits a CHotKeyUI's combination
// while the control has the focus. It closes when it loses the focus and deletes itself.
#pragma once

#include <windows.h>

#include "UIString.h"
#include "WindowWnd.h"

namespace HiveUI {

class CHotKeyUI;

// The text of a combination: the names of Ctrl, Shift and Alt as held, then the key's,
// joined by " + "; empty for no key and no modifier.
CUIString HotKeyText(WORD virtualKey, WORD modifiers);

class CHotKeyWnd final : public CWindowWnd {
public:
    CHotKeyWnd();

    void Init(CHotKeyUI* owner);
    // The control is going away while the window still exists.
    void SetOwnerGone() { m_owner = nullptr; }

    const wchar_t* GetWindowClassName() const override;
    const wchar_t* GetSuperClassName() const override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND wnd) override;

    void SetHotKey(WORD virtualKey, WORD modifiers);
    void GetHotKey(WORD& virtualKey, WORD& modifiers);
    CUIString GetHotKeyText();
    void OnEditChanged();

private:
    RECT CalcPos() const;
    void Paint();

    CHotKeyUI* m_owner;
    bool m_inited;
};

}  // namespace HiveUI
