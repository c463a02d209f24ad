// CHotKeyUI: shows a key combination such as a shortcut; while it has the focus a native
// hot-key window lies over its text area and takes the keystrokes that set a new one.
#pragma once

#include <windows.h>

#include "UILabel.h"
#include "UIString.h"

namespace HiveUI {

class CHotKeyWnd;

class CHotKeyUI : public CLabelUI {
    friend class CHotKeyWnd;

public:
    CHotKeyUI();
    ~CHotKeyUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    void SetText(const wchar_t* text) override;
    void SetEnabled(bool enable = true) override;
    void DoEvent(TEventInfo& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintStatusImage(HDC hdc) override;
    void PaintText(HDC hdc) override;

    void SetNormalImage(const wchar_t* image);
    void SetHotImage(const wchar_t* image);
    void SetFocusedImage(const wchar_t* image);
    void SetDisabledImage(const wchar_t* image);
    void SetNativeBkColor(DWORD color) { m_nativeBkColor = color; }
    DWORD GetNativeBkColor() const { return m_nativeBkColor; }

    // The stored combination: it outlives the editing window and seeds the next one.
    WORD GetVirtualKey() const { return m_virtualKey; }
    WORD GetModifiers() const { return m_modifiers; }
    // The editing window while it exists.
    HWND GetNativeWindow() const;

protected:
    void OpenEditor();

    CHotKeyWnd* m_window;
    UINT m_state;
    CUIString m_normalImage;
    CUIString m_hotImage;
    CUIString m_focusedImage;
    CUIString m_disabledImage;
    DWORD m_nativeBkColor;
    WORD m_virtualKey;
    WORD m_modifiers;
};

// The factory's creator of a hot key control.
CControlUI* CreateHotKeyControl();

}  // namespace HiveUI
