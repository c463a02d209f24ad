// CPaintManagerUI: notifications (at once or queued for the window's deferred work),
// delayed deletion of controls, and the message filter and accelerator lists.
#include "UIControl.h"
#include "UIManager.h"

namespace HiveUI {

namespace {

bool RemoveFirst(CUIPtrArray& list, void* item) {
    int index = list.Find(item);
    return index >= 0 && list.Remove(index);
}

}  // namespace

void CPaintManagerUI::SendNotify(CControlUI* sender, const wchar_t* type, WPARAM wParam, LPARAM lParam, bool async) {
    TNotifyInfo msg;
    msg.sType = type;
    msg.pSender = sender;
    msg.wParam = wParam;
    msg.lParam = lParam;
    SendNotifyInfo(msg, async);
}

void CPaintManagerUI::SendNotifyInfo(TNotifyInfo& msg, bool async) {
    msg.ptMouse = m_lastMousePos;
    msg.dwTimestamp = ::GetTickCount();
    if (m_usedVirtualWnd && msg.pSender != nullptr) msg.sVirtualWnd = msg.pSender->GetVirtualWnd();
    if (async) {
        TNotifyInfo* queued = new TNotifyInfo;
        queued->sType = msg.sType;
        queued->pSender = msg.pSender;
        queued->dwTimestamp = msg.dwTimestamp;
        queued->ptMouse = msg.ptMouse;
        queued->wParam = msg.wParam;
        queued->lParam = msg.lParam;
        m_asyncNotify.Add(queued);
        PostAsyncNotify();
        return;
    }
    DeliverNotify(msg);
}

// A notifier may delete the sender: the record is listed while it is delivered, so that
// forgetting the control clears it and later notifiers see no sender, not a dangling one.
void CPaintManagerUI::DeliverNotify(TNotifyInfo& msg) {
    struct TListed {
        CUIPtrArray& list;
        TNotifyInfo* record;
        ~TListed() { RemoveFirst(list, record); }
    } listed{m_deliveringNotify, &msg};
    m_deliveringNotify.Add(&msg);
    if (msg.pSender != nullptr && msg.pSender->OnNotify) msg.pSender->OnNotify(&msg);
    for (int i = 0; i < m_notifiers.GetSize(); ++i) static_cast<INotifyUI*>(m_notifiers[i])->Notify(msg);
}

bool CPaintManagerUI::AddNotifier(INotifyUI* notifier) { return m_notifiers.Add(notifier); }
bool CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) { return RemoveFirst(m_notifiers, notifier); }

// Without a window the work waits in its lists until Init binds one.
void CPaintManagerUI::PostAsyncNotify() {
    if (m_asyncNotifyPosted || m_paintWnd == nullptr) return;
    m_asyncNotifyPosted = ::PostMessageW(m_paintWnd, WM_APP + 1, 0, 0) != FALSE;
}

void CPaintManagerUI::AddDelayedCleanup(CControlUI* control) {
    if (control == nullptr) return;
    control->SetManager(this, nullptr, false);
    m_delayedCleanup.Add(control);
    PostAsyncNotify();
}

bool CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* filter) { return m_preMessageFilters.Add(filter); }
bool CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* filter) {
    return RemoveFirst(m_preMessageFilters, filter);
}
bool CPaintManagerUI::AddMessageFilter(IMessageFilterUI* filter) { return m_messageFilters.Add(filter); }
bool CPaintManagerUI::RemoveMessageFilter(IMessageFilterUI* filter) { return RemoveFirst(m_messageFilters, filter); }

bool CPaintManagerUI::AddTranslateAccelerator(ITranslateAccelerator* translator) {
    return m_translateAccelerators.Add(translator);
}
bool CPaintManagerUI::RemoveTranslateAccelerator(ITranslateAccelerator* translator) {
    return RemoveFirst(m_translateAccelerators, translator);
}

}  // namespace HiveUI
