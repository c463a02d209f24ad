// CListHeaderItemUI: one column head of a list header. A click on it sends "headerclick";
// its separator, a band at its right (or, with a negative width, left) edge, can be
// dragged to make the column wider or narrower.
#pragma once

#include <windows.h>

#include "UIContainer.h"
#include "UIString.h"

namespace HiveUI {

class CListHeaderItemUI : public CContainerUI {
public:
    CListHeaderItemUI();

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    void DoEvent(TEventInfo& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    SIZE EstimateSize(SIZE available) override;
    void PaintStatusImage(HDC hdc) override;
    void PaintText(HDC hdc) override;

    bool IsDragable() const { return m_dragable; }
    void SetDragable(bool dragable);
    int GetSepWidth() const { return m_sepWidth; }
    void SetSepWidth(int width);
    DWORD GetTextColor() const { return m_textColor; }
    void SetTextColor(DWORD color);
    int GetFont() const { return m_font; }
    void SetFont(int font);
    UINT GetTextStyle() const { return m_textStyle; }
    void SetTextPadding(RECT padding);
    void SetShowHtml(bool showHtml);
    int GetScale() const { return m_scale; }
    void SetScale(int scale) { m_scale = scale; }
    void SetNormalImage(const wchar_t* image);
    void SetHotImage(const wchar_t* image);
    void SetPushedImage(const wchar_t* image);
    void SetFocusedImage(const wchar_t* image);
    void SetSepImage(const wchar_t* image);

    // The separator band, unwidened.
    RECT GetThumbRect() const;

protected:
    // The band a press must hit to drag: the separator widened into the head.
    RECT GrabRect() const;
    void DragTo(POINT pt);
    void SetImage(CUIString& field, const wchar_t* image);

    POINT m_lastMouse;
    bool m_dragable;
    UINT m_buttonState;
    int m_sepWidth;
    DWORD m_textColor;
    int m_font;
    UINT m_textStyle;
    bool m_showHtml;
    RECT m_textPadding;
    CUIString m_normalImage;
    CUIString m_hotImage;
    CUIString m_pushedImage;
    CUIString m_focusedImage;
    CUIString m_sepImage;
    CUIString m_sepImageModify;
    int m_scale;
};

CControlUI* CreateListHeaderItemControl();

}  // namespace HiveUI
