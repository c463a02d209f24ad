#include "NativeEditing.h"

#include "UIManager.h"

namespace HiveUI {

RECT ClipToAncestors(const CControlUI& control, RECT rect) {
    const RECT empty = {0, 0, 0, 0};
    for (const CControlUI* ancestor = control.GetParent(); ancestor != nullptr; ancestor = ancestor->GetParent()) {
        const RECT client = ancestor->GetClientPos();
        if (!ancestor->IsVisible() || !::IntersectRect(&rect, &rect, &client)) return empty;
    }
    return rect;
}

bool TakeNativeEditingEvent(CControlUI& field, TEventInfo& event, bool editing) {
    switch (event.Type) {
        case UIEVENT_SETCURSOR:
            if (!field.IsEnabled()) return false;
            ::SetCursor(::LoadCursorW(nullptr, IDC_IBEAM));
            return true;
        case UIEVENT_WINDOWSIZE:
            if (editing && field.GetManager() != nullptr) field.GetManager()->RequestFocus(&field);
            return false;
        case UIEVENT_SCROLLWHEEL:
            return editing;
        default:
            return false;
    }
}

}  // namespace HiveUI
