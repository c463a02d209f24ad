// CListHeadBase: what every column head of a list header shares, whichever container it
// is built on: its separator band that drags the column wider or narrower, its state
// images and its text, and the click it reports.
#pragma once

#include <windows.h>

#include "UIEvent.h"
#include "UIString.h"

namespace HiveUI {

template <class Base>
class CListHeadBase : public Base {
public:
    CListHeadBase();

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
    void SetNormalImage(const wchar_t* image);
    void SetHotImage(const wchar_t* image);
    void SetPushedImage(const wchar_t* image);
    void SetFocusedImage(const wchar_t* image);
    void SetSepImage(const wchar_t* image);

    // The separator band, unwidened.
    RECT GetThumbRect() const;

protected:
    // The notification a click on the head sends.
    virtual const wchar_t* ClickNotification() const = 0;
    // Lets a head keep part of its text area for something of its own.
    virtual void AdjustTextArea(RECT& area, UINT& style) const;
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
};

}  // namespace HiveUI
