// CPaintManagerUI: keyboard focus, tab order, shortcuts, mouse capture and the tree
// searches that find controls by point or by layout need.
#include "UIControl.h"
#include "UIManager.h"

namespace HiveUI {

// The losing control learns which control gains the focus (none is possible).
void CPaintManagerUI::DropFocus(CControlUI* gaining) {
    if (m_focus == nullptr) return;
    CControlUI* losing = m_focus;
    TEventInfo event = MakeEvent(UIEVENT_KILLFOCUS, gaining);
    losing->Event(event);
    SendNotify(losing, L"killfocus");
    m_focus = nullptr;
}

void CPaintManagerUI::SetFocus(CControlUI* control) {
    // A focus chosen now replaces a tab move still waiting for the next paint.
    m_focusNeeded = false;
    m_tabFrom = nullptr;
    if (m_paintWnd != nullptr && ::GetFocus() != m_paintWnd && control != m_focus) ::SetFocus(m_paintWnd);
    if (control == m_focus) return;
    DropFocus(control);
    if (control == nullptr || control->GetManager() != this || !control->IsVisible() || !control->IsEnabled()) return;
    m_focus = control;
    TEventInfo event = MakeEvent(UIEVENT_SETFOCUS, control);
    control->Event(event);
    SendNotify(control, L"setfocus");
}

namespace {

// The tab stop that comes before a control in tree order, found in one walk.
struct TTabStopBefore {
    CControlUI* target = nullptr;
    CControlUI* last = nullptr;
    bool reached = false;
};

CControlUI* CALLBACK FindTabStopBefore(CControlUI* control, LPVOID data) {
    TTabStopBefore* find = static_cast<TTabStopBefore*>(data);
    if (control == find->target) {
        find->reached = true;
        return control;
    }
    if ((control->GetControlFlags() & UIFLAG_TABSTOP) != 0) find->last = control;
    return nullptr;
}

}  // namespace

// A native editing window that closes hands the focus back through the next paint:
// the tab order then moves forward from the stop before the control onto the control.
// That stop only marks where the move starts: it never holds the focus, so it gets no
// "killfocus" for a "setfocus" it never had.
void CPaintManagerUI::RequestFocus(CControlUI* control) {
    if (m_paintWnd != nullptr) ::SetFocus(m_paintWnd);
    if (control == nullptr) return;
    DropFocus(control);
    TTabStopBefore find;
    find.target = control;
    const UINT flags = UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_ME_FIRST;
    if (m_root != nullptr) m_root->FindControl(FindTabStopBefore, &find, flags);
    m_tabFrom = find.reached ? find.last : nullptr;
    m_focusNeeded = true;
    if (m_root != nullptr) m_root->NeedLayout();
}

bool CPaintManagerUI::SetNextTabControl(bool forward) {
    if (m_updateNeeded && forward) {
        m_focusNeeded = true;
        ::InvalidateRect(m_paintWnd, nullptr, FALSE);
        return true;
    }
    if (m_root == nullptr) return true;
    const UINT flags = UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_ME_FIRST;
    TFindTabInfo info;
    info.focus = m_focus != nullptr ? m_focus : m_tabFrom;
    info.forward = forward;
    m_tabFrom = nullptr;
    CControlUI* control = m_root->FindControl(NextTabStop, &info, flags);
    if (control == nullptr) {
        if (forward) {
            TFindTabInfo again;
            again.forward = true;
            control = m_root->FindControl(NextTabStop, &again, flags);
        } else {
            control = info.last;
        }
    }
    if (control != nullptr) SetFocus(control);
    m_focusNeeded = false;
    return true;
}

CControlUI* CALLBACK CPaintManagerUI::NextTabStop(CControlUI* control, LPVOID data) {
    TFindTabInfo* info = static_cast<TFindTabInfo*>(data);
    if (control == info->focus) {
        if (info->forward) info->nextIsIt = true;
        return info->forward ? nullptr : info->last;
    }
    if ((control->GetControlFlags() & UIFLAG_TABSTOP) == 0) return nullptr;
    info->last = control;
    if (info->forward && (info->nextIsIt || info->focus == nullptr)) return control;
    return nullptr;
}

CControlUI* CALLBACK CPaintManagerUI::MatchShortcut(CControlUI* control, LPVOID data) {
    TFindShortcut* find = static_cast<TFindShortcut*>(data);
    if (!control->IsVisible()) return nullptr;
    CUIString className = control->GetClass();
    bool label = className.Find(L"LabelUI") >= 0;
    if (find->pickNext && !label) return control;
    wchar_t shortcut = control->GetShortcut();
    if (shortcut == 0) return nullptr;
    shortcut = static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(::CharUpperW(reinterpret_cast<LPWSTR>(shortcut))));
    if (shortcut != find->ch) return nullptr;
    find->pickNext = true;
    return label ? nullptr : control;
}

void CPaintManagerUI::SetCapture() {
    ::SetCapture(m_paintWnd);
    m_mouseCapture = true;
}

void CPaintManagerUI::ReleaseCapture() {
    ::ReleaseCapture();
    m_mouseCapture = false;
    m_dragMode = false;
}

CControlUI* CPaintManagerUI::FindControl(const wchar_t* name) const {
    return static_cast<CControlUI*>(m_nameHash.Find(name));
}

// A control of the attached tree named or renamed is found under its new name; one
// that is not attached yet (a tree being built) joins the map when it is attached.
void CPaintManagerUI::RenameControl(CControlUI* control, const CUIString& oldName) {
    if (!oldName.IsEmpty() && m_nameHash.Find(oldName) == control) m_nameHash.Remove(oldName);
    CControlUI* top = control;
    while (top->GetParent() != nullptr) top = top->GetParent();
    const CUIString name = control->GetName();
    if (top == m_root && !name.IsEmpty()) m_nameHash.Set(name, control);
}

CControlUI* CALLBACK CPaintManagerUI::CollectNamedControl(CControlUI* control, LPVOID data) {
    const CUIString name = control->GetName();
    if (!name.IsEmpty()) static_cast<CPaintManagerUI*>(data)->m_nameHash.Set(name, control);
    return nullptr;
}

CControlUI* CPaintManagerUI::FindControlAt(POINT pt) const {
    if (m_root == nullptr) return nullptr;
    return m_root->FindControl(HitTestControl, &pt, UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

CControlUI* CALLBACK CPaintManagerUI::HitTestControl(CControlUI* control, LPVOID data) {
    const POINT* pt = static_cast<const POINT*>(data);
    RECT rc = control->GetPos();
    return ::PtInRect(&rc, *pt) ? control : nullptr;
}

CControlUI* CALLBACK CPaintManagerUI::CollectLayoutNeeded(CControlUI* control, LPVOID data) {
    if (control->IsLayoutNeeded()) static_cast<CPaintManagerUI*>(data)->m_foundControls.Add(control);
    return nullptr;
}

}  // namespace HiveUI
