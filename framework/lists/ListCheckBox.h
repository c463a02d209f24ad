// The check box that an extended list draws at the left of a column head and of a row:
// its state bits, images and size, where it sits, how the mouse toggles it and how it
// paints. The head and the row share it; each says what a toggle reports.
#pragma once

#include <windows.h>

#include "UIEvent.h"
#include "UIString.h"

namespace HiveUI {

class CControlUI;

class CListCheckBox {
public:
    // What an event did to the box.
    struct TResult {
        bool repaint = false;
        bool toggled = false;
    };

    // The "checkbox..." keys; false for any other key.
    bool SetAttribute(const wchar_t* name, const wchar_t* value);
    // False when the state was already that.
    bool SetCheck(bool check);
    bool GetCheck() const { return m_checked; }
    // The box within a control's rectangle: 6 pixels in from its left, centred vertically.
    RECT Rect(const RECT& item) const;
    // Presses, capture, release and hover inside the box at `rect`.
    TResult DoEvent(const TEventInfo& event, const RECT& rect);
    void Paint(HDC hdc, CControlUI& control, const RECT& rect);
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }

private:
    UINT m_state = 0;
    bool m_checked = false;
    CUIString m_normalImage;
    CUIString m_hotImage;
    CUIString m_pushedImage;
    CUIString m_focusedImage;
    CUIString m_disabledImage;
    CUIString m_selectedImage;
    CUIString m_foreImage;
    int m_width = 0;
    int m_height = 0;
};

}  // namespace HiveUI
