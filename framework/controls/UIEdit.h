// CEditUI: the single-line text field. At rest it paints its text like a label (a tip in
// its own colour while empty, or password characters); while it has the focus a native
// Edit window lies over its text area, and every change typed there is copied back.
#pragma once

#include <windows.h>

#include "ButtonState.h"
#include "UILabel.h"
#include "UIString.h"

namespace HiveUI {

class CEditWnd;
template <class>
class CNativeEditWnd;

class CEditUI : public CLabelUI {
    friend class CEditWnd;
    template <class>
    friend class CNativeEditWnd;

public:
    CEditUI();
    ~CEditUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    void SetText(const wchar_t* text) override;
    void SetPos(RECT rect, bool needInvalidate = true) override;
    void Move(SIZE offset, bool needInvalidate = true) override;
    void SetVisible(bool visible = true) override;
    void SetVisibleByParent(bool visible) override;
    void SetEnabled(bool enable = true) override;
    void DoEvent(TEventInfo& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    SIZE EstimateSize(SIZE available) override;
    void PaintStatusImage(HDC hdc) override;
    void PaintText(HDC hdc) override;

    UINT GetMaxChar() const { return m_maxChar; }
    void SetMaxChar(UINT maxChar);
    bool IsReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly);
    void SetNumberOnly(bool numberOnly);
    UINT GetWindowStyles() const { return m_windowStyles; }
    bool IsPasswordMode() const { return m_passwordMode; }
    void SetPasswordMode(bool passwordMode);
    wchar_t GetPasswordChar() const { return m_passwordChar; }
    void SetPasswordChar(wchar_t ch);
    bool IsAutoSelAll() const { return m_autoSelAll; }
    void SetAutoSelAll(bool autoSelAll) { m_autoSelAll = autoSelAll; }
    const wchar_t* GetNormalImage() const { return m_normalImage; }
    void SetNormalImage(const wchar_t* image);
    const wchar_t* GetHotImage() const { return m_hotImage; }
    void SetHotImage(const wchar_t* image);
    const wchar_t* GetFocusedImage() const { return m_focusedImage; }
    void SetFocusedImage(const wchar_t* image);
    const wchar_t* GetDisabledImage() const { return m_disabledImage; }
    void SetDisabledImage(const wchar_t* image);
    CUIString GetTipValue() const;
    void SetTipValue(const wchar_t* tip) { m_tipValue = tip; }
    DWORD GetTipValueColor() const { return m_tipValueColor; }
    void SetTipValueColor(const wchar_t* color);
    DWORD GetNativeEditBkColor() const { return m_nativeEditBkColor; }
    void SetNativeEditBkColor(const wchar_t* color);
    // The native window while the field is being edited, else null.
    HWND GetNativeWindow() const;

protected:
    // Makes the native window over the text area; false when it cannot be made.
    bool StartEditing();
    // Selects the native window's whole text (one character's worth when empty).
    void SelectAll();
    // The control's rectangle inset by its text padding.
    RECT PaddedRect() const;

    CEditWnd* m_window;
    UINT m_maxChar;
    bool m_readOnly;
    bool m_passwordMode;
    bool m_autoSelAll;
    wchar_t m_passwordChar;
    UINT m_buttonState;
    CUIString m_normalImage;
    CUIString m_hotImage;
    CUIString m_focusedImage;
    CUIString m_disabledImage;
    CUIString m_tipValue;
    DWORD m_tipValueColor;
    DWORD m_nativeEditBkColor;
    UINT m_windowStyles;

private:
    bool SetSwitchAttribute(const wchar_t* name, const wchar_t* value);
    bool SetImageAttribute(const wchar_t* name, const wchar_t* value);
    void OnPointerDown(TEventInfo& event);
};

// The factory's creator of an edit field.
CControlUI* CreateEditControl();

}  // namespace HiveUI
