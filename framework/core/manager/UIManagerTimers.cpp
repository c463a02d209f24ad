// CPaintManagerUI: control timers mapped onto the window's Win32 timers. Win32 ids cycle
// through 240 values per window, skipping those still held; a killed timer keeps its id
// to be started again.
#include "UIControl.h"
#include "UIManager.h"

namespace HiveUI {

namespace {

struct TTimerInfo {
    CControlUI* control;
    UINT localId;
    HWND wnd;
    UINT win32Id;
    bool killed;
};

}  // namespace

// After the ids wrap, an id that a record still holds (live, or killed and waiting to
// be started again) would make the system replace that control's timer with another's.
bool CPaintManagerUI::NextFreeTimerId() {
    for (int tries = 0; tries < 240; ++tries) {
        m_timerId = (m_timerId + 1) % 240;
        bool held = false;
        for (int i = 0; i < m_timers.GetSize() && !held; ++i) {
            const TTimerInfo* timer = static_cast<const TTimerInfo*>(m_timers[i]);
            held = timer->wnd == m_paintWnd && timer->win32Id == static_cast<UINT>(m_timerId);
        }
        if (!held) return true;
    }
    return false;
}

bool CPaintManagerUI::SetTimer(CControlUI* control, UINT timerId, UINT elapse) {
    for (int i = 0; i < m_timers.GetSize(); ++i) {
        TTimerInfo* timer = static_cast<TTimerInfo*>(m_timers[i]);
        if (timer->control != control || timer->wnd != m_paintWnd || timer->localId != timerId) continue;
        if (!timer->killed) return false;
        if (::SetTimer(m_paintWnd, timer->win32Id, elapse, nullptr) == 0) return false;
        timer->killed = false;
        return true;
    }
    if (!NextFreeTimerId()) return false;
    if (::SetTimer(m_paintWnd, static_cast<UINT_PTR>(m_timerId), elapse, nullptr) == 0) return false;
    TTimerInfo* timer = new TTimerInfo{control, timerId, m_paintWnd, static_cast<UINT>(m_timerId), false};
    if (m_timers.Add(timer)) return true;
    delete timer;
    return false;
}

bool CPaintManagerUI::KillTimer(CControlUI* control, UINT timerId) {
    for (int i = 0; i < m_timers.GetSize(); ++i) {
        TTimerInfo* timer = static_cast<TTimerInfo*>(m_timers[i]);
        if (timer->control != control || timer->wnd != m_paintWnd || timer->localId != timerId || timer->killed) {
            continue;
        }
        if (::IsWindow(m_paintWnd)) ::KillTimer(timer->wnd, timer->win32Id);
        timer->killed = true;
        return true;
    }
    return false;
}

void CPaintManagerUI::KillControlTimers(CControlUI* control) {
    for (int i = m_timers.GetSize() - 1; i >= 0; --i) {
        TTimerInfo* timer = static_cast<TTimerInfo*>(m_timers[i]);
        if (timer->control != control || timer->wnd != m_paintWnd) continue;
        if (!timer->killed) ::KillTimer(timer->wnd, timer->win32Id);
        m_timers.Remove(i);
        delete timer;
    }
}

void CPaintManagerUI::RemoveAllTimers() {
    for (int i = 0; i < m_timers.GetSize(); ++i) {
        TTimerInfo* timer = static_cast<TTimerInfo*>(m_timers[i]);
        if (timer->wnd == m_paintWnd && !timer->killed && ::IsWindow(m_paintWnd)) {
            ::KillTimer(timer->wnd, timer->win32Id);
        }
        delete timer;
    }
    m_timers.Empty();
}

void CPaintManagerUI::OnTimer(WPARAM wParam, LPARAM lParam) {
    for (int i = 0; i < m_timers.GetSize(); ++i) {
        TTimerInfo* timer = static_cast<TTimerInfo*>(m_timers[i]);
        if (timer->wnd != m_paintWnd || timer->win32Id != LOWORD(wParam) || timer->killed) continue;
        TEventInfo event = MakeEvent(UIEVENT_TIMER, timer->control, timer->localId, lParam);
        timer->control->Event(event);
        return;
    }
}

}  // namespace HiveUI
