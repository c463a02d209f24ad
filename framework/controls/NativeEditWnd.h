// CNativeEditWnd: what the native editing windows of the edit, date-time and IP address
// fields share: the field they edit for, letting go of it when it goes first, and
// deleting themselves with their window once it existed.
#pragma once

#include <windows.h>

#include "NativeEditing.h"
#include "WindowWnd.h"

namespace HiveUI {

template <class Owner>
class CNativeEditWnd : public CWindowWnd {
public:
    // The windows delete themselves through this base.
    virtual ~CNativeEditWnd() = default;

    // The owner is going: the window must not reach it again.
    void Abandon() {
        m_owner = nullptr;
        CloseOrphanedWindow(m_hWnd);
    }

    void OnFinalMessage(HWND) override {
        if (m_owner != nullptr && m_owner->m_window == this) m_owner->m_window = nullptr;
        m_owner = nullptr;
        if (m_created) delete this;
    }

protected:
    // Creates the window over the rectangle in the owner's manager window; a window that
    // could not be made leaves the object to its maker, which deletes it.
    bool CreateOver(const RECT& rect, DWORD style) {
        HWND parent = m_owner->GetManager()->GetPaintWindow();
        if (CreateInRect(parent, nullptr, style, 0, rect) == nullptr) return false;
        m_created = true;
        return true;
    }

    Owner* m_owner = nullptr;

private:
    bool m_created = false;
};

}  // namespace HiveUI
