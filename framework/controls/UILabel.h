// CLabelUI: a static text in one of the manager's fonts, colours and DrawText styles,
// plain or tagged, that can size itself to its text. Most controls that show a text
// derive from it.
#pragma once

#include <windows.h>

#include "UIControl.h"
#include "UIString.h"

namespace HiveUI {

// Mouse move up to the wheel: what a control that does not take the mouse hands on.
inline bool IsMouseEvent(int type) { return type >= UIEVENT_MOUSEMOVE && type <= UIEVENT_SCROLLWHEEL; }

class CLabelUI : public CControlUI {
public:
    CLabelUI();
    ~CLabelUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    void SetText(const wchar_t* text) override;
    void DoEvent(TEventInfo& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    SIZE EstimateSize(SIZE available) override;
    void PaintText(HDC hdc) override;
    virtual bool IsAutoCalcWidth() const;
    virtual void SetAutoCalcWidth(bool autoCalc);
    virtual bool IsAutoCalcHeight() const;
    virtual void SetAutoCalcHeight(bool autoCalc);

    UINT GetTextStyle() const { return m_textStyle; }
    DWORD GetTextColor() const { return m_textColor; }
    void SetTextColor(DWORD color);
    DWORD GetDisabledTextColor() const { return m_disabledTextColor; }
    void SetDisabledTextColor(DWORD color);
    int GetFont() const { return m_font; }
    void SetFont(int font);
    RECT GetTextPadding() const { return m_textPadding; }
    void SetTextPadding(RECT padding);
    bool IsShowHtml() const { return m_showHtml; }
    void SetShowHtml(bool showHtml);

protected:
    // A control that does not take the mouse hands mouse events to its parent, or to the
    // fallback when it has none; true when it handed the event on.
    template <class Fallback>
    bool HandOnUntakenMouse(TEventInfo& event, Fallback fallback) {
        if (IsMouseEnabled() || !IsMouseEvent(event.Type)) return false;
        if (m_parent != nullptr) {
            m_parent->DoEvent(event);
        } else {
            fallback();
        }
        return true;
    }
    // Colours of 0 take the manager's defaults, which then stay in the fields.
    void DefaultTextColors();
    // The text in the control's font, tagged when show html is on, without link output.
    void DrawLabelText(HDC hdc, RECT& rect, const wchar_t* text, DWORD color, UINT style);
    void DrawLabelText(HDC hdc, RECT& rect, const wchar_t* text, DWORD color, UINT style, int font);
    // The control's rectangle inset by the scaled text padding.
    RECT TextRect() const;

    DWORD m_textColor;
    DWORD m_disabledTextColor;
    int m_font;
    UINT m_textStyle;
    RECT m_textPadding;
    bool m_showHtml;
    bool m_autoCalcWidth;
    bool m_autoCalcHeight;
    SIZE m_lastAvailable;
    SIZE m_estimated;
    bool m_needMeasure;

private:
    // The fixed size the last measuring started from: a new one measures again.
    SIZE m_lastFixed;

    RECT MeasureText(RECT rect);
    bool SetStyleAttribute(const wchar_t* name, const wchar_t* value);
};

// The factory's creator of a label.
CControlUI* CreateLabelControl();

}  // namespace HiveUI
