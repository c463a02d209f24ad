#include "UIAnimationTabLayout.h"

#include <algorithm>

#include "UIManager.h"

namespace HiveUI {

CAnimationTabLayoutUI::CAnimationTabLayoutUI() : CUIAnimation(this) {}

const wchar_t* CAnimationTabLayoutUI::GetClass() const { return L"AnimationTabLayoutUI"; }

LPVOID CAnimationTabLayoutUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"AnimationTabLayout") == 0) return static_cast<CAnimationTabLayoutUI*>(this);
    return CTabLayoutUI::GetInterface(name);
}

bool CAnimationTabLayoutUI::SelectItem(int index) {
    if (index < 0 || index >= GetCount()) return false;
    if (index == m_curSel) return true;
    m_direction = index > m_curSel ? -1 : 1;
    const int oldSel = m_curSel;
    m_curSel = index;
    ShowOnly(index);
    m_currentPage = GetItemAt(index);
    m_pageShown = false;
    NeedParentLayout();
    m_currentPage->SetVisible(false);
    AnimationSwitch();
    NotifySelection(oldSel);
    return true;
}

void CAnimationTabLayoutUI::AnimationSwitch() {
    // A switch during a slide starts from the layout's own place, not the moved one.
    if (!IsAnimationRunning(kSlideAnimation)) m_oldItem = m_item;
    const RECT& r = m_oldItem;
    if (m_vertical) {
        const int shift = (r.bottom - r.top) * m_direction;
        m_curPos = {r.left, r.top - shift, r.right, r.bottom - shift};
    } else {
        const int shift = (r.right - r.left) * m_direction - kStartInset * m_direction;
        m_curPos = {r.left - shift, r.top, r.right - shift, r.bottom};
    }
    StopAnimation(kSlideAnimation);
    if (StartAnimation(kFrameElapse, kFrames, kSlideAnimation, false)) return;
    // Without a running animation the page would stay hidden: it shows in place at once.
    ShowCurrentPage();
    SetPos(m_oldItem, true);
    NeedParentLayout();
}

void CAnimationTabLayoutUI::ShowCurrentPage() {
    m_pageShown = true;
    // The page may have been removed since the switch began.
    if (m_currentPage != nullptr && GetItemIndex(m_currentPage) >= 0) m_currentPage->SetVisible(true);
}

void CAnimationTabLayoutUI::OnAnimationStep(int totalFrames, int currentFrame, int) {
    if (!m_pageShown) ShowCurrentPage();
    if (totalFrames <= 0) return;
    if (currentFrame != totalFrames) {
        // Each step is cut at the target, so the page never slides past its place.
        if (m_vertical) {
            const int step = (m_oldItem.bottom - m_oldItem.top) * m_direction / totalFrames;
            const int top = m_direction < 0 ? std::max<int>(m_curPos.top + step, m_oldItem.top)
                                            : std::min<int>(m_curPos.top + step, m_oldItem.top);
            OffsetRect(&m_curPos, 0, top - m_curPos.top);
        } else {
            const int step = (m_oldItem.right - m_oldItem.left) * m_direction / totalFrames;
            const int left = m_direction < 0 ? std::max<int>(m_curPos.left + step, m_oldItem.left)
                                             : std::min<int>(m_curPos.left + step, m_oldItem.left);
            OffsetRect(&m_curPos, left - m_curPos.left, 0);
        }
    } else {
        m_curPos = m_oldItem;
        m_item = m_oldItem;
    }
    SetPos(m_curPos, true);
}

void CAnimationTabLayoutUI::OnAnimationStop(int) {
    SetPos(m_oldItem, true);
    NeedParentLayout();
}

void CAnimationTabLayoutUI::DoEvent(TEventInfo& event) {
    if (event.Type == UIEVENT_TIMER) OnAnimationElapse(static_cast<int>(event.wParam));
    CTabLayoutUI::DoEvent(event);
}

void CAnimationTabLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (_wcsicmp(name, L"animation_direction") == 0 && _wcsicmp(value, L"vertical") == 0) m_vertical = true;
    CTabLayoutUI::SetAttribute(name, value);
}

CControlUI* CreateAnimationTabLayoutControl() { return new CAnimationTabLayoutUI; }

}  // namespace HiveUI
