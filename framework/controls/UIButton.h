// CButtonUI: the push button. A label that looks different while hot, pushed, focused or
// disabled, is pressed with the mouse or with Space and Enter, sends "click", and can
// switch a tab layout's page.
#pragma once

#include <windows.h>

#include "ButtonState.h"
#include "DestructionWatch.h"
#include "UILabel.h"
#include "UIString.h"

namespace HiveUI {

class CButtonUI : public CLabelUI {
public:
    CButtonUI();
    ~CButtonUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    bool Activate() override;
    void SetEnabled(bool enable = true) override;
    void DoEvent(TEventInfo& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintBkColor(HDC hdc) override;
    void PaintStatusImage(HDC hdc) override;
    void PaintForeImage(HDC hdc) override;
    void PaintText(HDC hdc) override;

    virtual const wchar_t* GetNormalImage() const;
    virtual void SetNormalImage(const wchar_t* image);
    virtual const wchar_t* GetHotImage() const;
    virtual void SetHotImage(const wchar_t* image);
    virtual const wchar_t* GetPushedImage() const;
    virtual void SetPushedImage(const wchar_t* image);
    virtual const wchar_t* GetFocusedImage() const;
    virtual void SetFocusedImage(const wchar_t* image);
    virtual const wchar_t* GetDisabledImage() const;
    virtual void SetDisabledImage(const wchar_t* image);
    virtual const wchar_t* GetHotForeImage() const;
    virtual void SetHotForeImage(const wchar_t* image);
    virtual const wchar_t* GetStateImage() const;
    virtual void SetStateImage(const wchar_t* image);

    int GetStateCount() const { return m_stateCount; }
    void SetStateCount(int count);
    int GetHotFont() const { return m_hotFont; }
    void SetHotFont(int font);
    int GetPushedFont() const { return m_pushedFont; }
    void SetPushedFont(int font);
    int GetFocusedFont() const { return m_focusedFont; }
    void SetFocusedFont(int font);
    DWORD GetHotBkColor() const { return m_hotBkColor; }
    void SetHotBkColor(DWORD color);
    DWORD GetPushedBkColor() const { return m_pushedBkColor; }
    void SetPushedBkColor(DWORD color);
    DWORD GetDisabledBkColor() const { return m_disabledBkColor; }
    void SetDisabledBkColor(DWORD color);
    DWORD GetHotTextColor() const { return m_hotTextColor; }
    void SetHotTextColor(DWORD color) { m_hotTextColor = color; }
    DWORD GetPushedTextColor() const { return m_pushedTextColor; }
    void SetPushedTextColor(DWORD color) { m_pushedTextColor = color; }
    DWORD GetFocusedTextColor() const { return m_focusedTextColor; }
    void SetFocusedTextColor(DWORD color) { m_focusedTextColor = color; }
    int GetBindTabIndex() const { return m_bindTabIndex; }
    void SetBindTabIndex(int index);
    const CUIString& GetBindTabLayoutName() const { return m_bindTabLayoutName; }
    void SetBindTabLayoutName(const wchar_t* name);
    // Selects the bound page, or the given one when it is not negative.
    void BindTriggerTabSel(int index = -1);

protected:
    // The focused and disabled bits as the control is now; a disabled window shows its
    // buttons in no state but disabled (selection stays: it is not a look of the moment).
    void RefreshPaintState();
    // Cuts a horizontal strip of count frames into descriptions of frame 1 (first), 2
    // (second) and 3 (third; frame 2 again for two frames) and 4 (fourth).
    void SplitStateStrip(const CUIString& strip, int count, CUIString& first, CUIString& second,
                         CUIString& third, CUIString* fourth);
    void DrawButtonText(HDC hdc, DWORD color, int font);

    UINT m_buttonState;
    int m_hotFont;
    int m_pushedFont;
    int m_focusedFont;
    DWORD m_hotBkColor;
    DWORD m_pushedBkColor;
    DWORD m_disabledBkColor;
    DWORD m_hotTextColor;
    DWORD m_pushedTextColor;
    DWORD m_focusedTextColor;
    CUIString m_normalImage;
    CUIString m_hotImage;
    CUIString m_hotForeImage;
    CUIString m_pushedImage;
    CUIString m_focusedImage;
    CUIString m_disabledImage;
    int m_stateCount;
    CUIString m_stateImage;
    int m_bindTabIndex;
    CUIString m_bindTabLayoutName;
    // Set while this control sends a notification whose handlers may delete it.
    CDestructionWatch* m_watch;

private:
    bool SetImageAttribute(const wchar_t* name, const wchar_t* value);
    bool SetColorAttribute(const wchar_t* name, const wchar_t* value);
};

// The factory's creator of a button.
CControlUI* CreateButtonControl();

}  // namespace HiveUI
