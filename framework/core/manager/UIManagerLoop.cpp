// CPaintManagerUI: the process's message loop and the pre-translation that offers each
// message to the accelerators and pre-message handlers of the managers it concerns.
#include "UIManager.h"

namespace HiveUI {

bool CPaintManagerUI::TranslateAccelerator(MSG* msg) {
    for (int i = 0; i < m_translateAccelerators.GetSize(); ++i) {
        if (static_cast<ITranslateAccelerator*>(m_translateAccelerators[i])->TranslateAccelerator(msg) == 0) {
            return true;
        }
    }
    return false;
}

// A child window's message also concerns the managers of the windows around it, but
// it is still dispatched to the child unless an accelerator translated it. Each manager
// sees it once, even when its own window is the child and the walk passes many levels.
bool CPaintManagerUI::PreTranslateMessage(const MSG* msg) {
    if (msg == nullptr || msg->hwnd == nullptr) return false;
    MSG copy = *msg;
    LRESULT result = 0;
    if ((::GetWindowLongPtrW(msg->hwnd, GWL_STYLE) & WS_CHILD) != 0) {
        for (int i = 0; i < s_managers.GetSize(); ++i) {
            CPaintManagerUI* manager = static_cast<CPaintManagerUI*>(s_managers[i]);
            for (HWND level = ::GetParent(msg->hwnd); level != nullptr; level = ::GetParent(level)) {
                if (manager->m_paintWnd != msg->hwnd && manager->m_paintWnd != level) continue;
                if (manager->TranslateAccelerator(&copy)) return true;
                manager->PreMessageHandler(copy.message, copy.wParam, copy.lParam, result);
                break;
            }
        }
        return false;
    }
    for (int i = 0; i < s_managers.GetSize(); ++i) {
        CPaintManagerUI* manager = static_cast<CPaintManagerUI*>(s_managers[i]);
        if (manager->m_paintWnd != msg->hwnd) continue;
        return manager->TranslateAccelerator(&copy) ||
               manager->PreMessageHandler(copy.message, copy.wParam, copy.lParam, result);
    }
    return false;
}

// One message's failure must not end the program's loop.
void CPaintManagerUI::MessageLoop() {
    MSG msg = {};
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        try {
            if (PreTranslateMessage(&msg)) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        } catch (...) {
        }
    }
}

}  // namespace HiveUI
