// CGroupBoxUI: a vertical layout drawn as a frame with its title over the frame's top
// line.
#pragma once

#include <windows.h>

#include "UIVerticalLayout.h"

namespace HiveUI {

class CGroupBoxUI : public CVerticalLayoutUI {
public:
    CGroupBoxUI();
    ~CGroupBoxUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintText(HDC hdc) override;
    void PaintBorder(HDC hdc) override;

    DWORD GetTextColor() const { return m_textColor; }
    void SetTextColor(DWORD color);
    DWORD GetDisabledTextColor() const { return m_disabledTextColor; }
    void SetDisabledTextColor(DWORD color);
    int GetFont() const { return m_font; }
    void SetFont(int font);

private:
    // The title's extent when it may be as wide as the given width.
    SIZE CalcTitleSize(int width);
    // The frame lies 5 pixels inside the control, under the middle of the title.
    RECT FrameRect() const;

    DWORD m_textColor;
    DWORD m_disabledTextColor;
    int m_font;
    UINT m_textStyle;
};

// The factory's creator of a group box.
CControlUI* CreateGroupBoxControl();

}  // namespace HiveUI
