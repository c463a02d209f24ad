#include "NativeFieldUI.h"

#include "NativeEditing.h"
#include "UIManager.h"

namespace HiveUI {

void CNativeFieldUI::OpenAndShow() {
    if (StartNativeWindow()) NativeWindow()->ShowWindow(true, true);
}

void CNativeFieldUI::DoEvent(TEventInfo& event) {
    if (HandOnUntakenMouse(event, [&] { CLabelUI::DoEvent(event); })) return;
    if (TakeNativeEditingEvent(*this, event, NativeWindow() != nullptr)) return;
    switch (event.Type) {
        case UIEVENT_SETFOCUS:
            if (!IsEnabled()) break;
            if (NativeWindow() != nullptr) return;
            OpenAndShow();
            break;
        case UIEVENT_KILLFOCUS:
            if (IsEnabled()) Invalidate();
            break;
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK:
        case UIEVENT_RBUTTONDOWN:
            if (!IsEnabled()) return;
            if (m_manager != nullptr) m_manager->ReleaseCapture();
            if (NativeWindow() != nullptr || IsFocused()) OpenAndShow();
            return;
        case UIEVENT_MOUSEMOVE:
        case UIEVENT_BUTTONUP:
        case UIEVENT_CONTEXTMENU:
        case UIEVENT_MOUSEENTER:
        case UIEVENT_MOUSELEAVE:
            return;
        default:
            break;
    }
    CLabelUI::DoEvent(event);
}

}  // namespace HiveUI
