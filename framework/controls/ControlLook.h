// What the controls share to read their skin attributes and to store their looks.
#pragma once

#include <cwchar>

#include "ButtonState.h"
#include "SkinValue.h"
#include "UIControl.h"
#include "UIString.h"

namespace HiveUI {

// Attribute names compare without regard to case.
inline bool IsKey(const wchar_t* name, const wchar_t* key) { return _wcsicmp(name, key) == 0; }

// A decimal attribute value.
inline int ReadSkinNumber(const wchar_t* value) {
    const wchar_t* cursor = value;
    return ReadSkinInt(cursor);
}

// Stores what only changes how the control looks, and repaints it.
template <class Field, class Value>
void SetLook(CControlUI& control, Field& field, const Value& value) {
    field = value;
    control.Invalidate();
}

// The images of a field that takes the focus, in the order their states win.
struct TFocusStateImages {
    const CUIString& normal;
    const CUIString& hot;
    const CUIString& focused;
    const CUIString& disabled;
};

// The state's focused and disabled bits follow the control; then the image of the first
// state that holds (disabled, focused, hot) is drawn, or the normal image when that one is
// empty or does not draw.
inline void PaintFocusStateImage(CControlUI& control, HDC hdc, UINT& state, const TFocusStateImages& images) {
    state = control.IsFocused() ? (state | UISTATE_FOCUSED) : (state & ~UISTATE_FOCUSED);
    state = control.IsEnabled() ? (state & ~UISTATE_DISABLED) : (state | UISTATE_DISABLED);
    const CUIString* image = nullptr;
    if ((state & UISTATE_DISABLED) != 0) {
        image = &images.disabled;
    } else if ((state & UISTATE_FOCUSED) != 0) {
        image = &images.focused;
    } else if ((state & UISTATE_HOT) != 0) {
        image = &images.hot;
    }
    if (image != nullptr && !image->IsEmpty() && control.DrawImage(hdc, *image)) return;
    if (!images.normal.IsEmpty()) control.DrawImage(hdc, images.normal);
}

// The images of a control that is pressed like a button, in the order their states win.
struct TButtonStateImages {
    const CUIString& normal;
    const CUIString& hot;
    const CUIString& pushed;
    const CUIString& focused;
    const CUIString& disabled;
};

// The image of the first state that holds (disabled, pushed, hot, focused) is drawn, or the
// normal image when that one is empty or does not draw.
inline void PaintButtonStateImage(CControlUI& control, HDC hdc, UINT state, const TButtonStateImages& images) {
    const CUIString* image = nullptr;
    if ((state & UISTATE_DISABLED) != 0) {
        image = &images.disabled;
    } else if ((state & UISTATE_PUSHED) != 0) {
        image = &images.pushed;
    } else if ((state & UISTATE_HOT) != 0) {
        image = &images.hot;
    } else if ((state & UISTATE_FOCUSED) != 0) {
        image = &images.focused;
    }
    if (image != nullptr && !image->IsEmpty() && control.DrawImage(hdc, *image)) return;
    if (!images.normal.IsEmpty()) control.DrawImage(hdc, images.normal);
}

}  // namespace HiveUI
