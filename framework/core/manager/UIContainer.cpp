#include "UIContainer.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>

#include "LayoutAxis.h"
#include "RenderClip.h"
#include "SkinResources.h"
#include "SkinValue.h"
#include "UIManager.h"
#include "UIScrollBar.h"

namespace HiveUI {

namespace {

// Step of a line or column when the skin gives none.
const int kDefaultScrollStep = 8;

bool Is(const wchar_t* name, const wchar_t* expected) { return _wcsicmp(name, expected) == 0; }

bool Meets(const RECT& a, const RECT& b) {
    RECT common;
    return ::IntersectRect(&common, &a, &b) != FALSE;
}

// How far a shown bar moved on the way to the position (the bar clamps it).
int MoveBarTo(CScrollBarUI* bar, int pos) {
    if (bar == nullptr) return 0;
    const int old = bar->GetScrollPos();
    bar->SetScrollPos(pos);
    return bar->GetScrollPos() - old;
}

int Clamp(int value, int low, int high) {
    if (value < low) value = low;
    if (value > high) value = high;
    return value;
}

}  // namespace

CControlUI* CreateContainerControl() { return new CContainerUI; }

CContainerUI::CContainerUI()
    : m_inset{0, 0, 0, 0},
      m_childPadding(0),
      m_childAlign(UICHILD_LEFT),
      m_childVAlign(UICHILD_TOP),
      m_autoDestroy(true),
      m_delayedDestroy(true),
      m_mouseChildEnabled(true),
      m_scrollStepSize(0),
      m_verticalScrollBar(nullptr),
      m_horizontalScrollBar(nullptr) {}

CContainerUI::~CContainerUI() {
    // Children go with their container, not some time later.
    m_delayedDestroy = false;
    RemoveAll();
    delete m_verticalScrollBar;
    delete m_horizontalScrollBar;
}

const wchar_t* CContainerUI::GetClass() const { return L"ContainerUI"; }

LPVOID CContainerUI::GetInterface(const wchar_t* name) {
    if (Is(name, L"IContainer")) return static_cast<IContainerUI*>(this);
    if (Is(name, L"Container")) return static_cast<CContainerUI*>(this);
    return CControlUI::GetInterface(name);
}

CControlUI* CContainerUI::GetItemAt(int index) const {
    if (index < 0 || index >= m_items.GetSize()) return nullptr;
    return static_cast<CControlUI*>(m_items[index]);
}

int CContainerUI::GetItemIndex(CControlUI* control) const { return m_items.Find(control); }
int CContainerUI::GetCount() const { return m_items.GetSize(); }

bool CContainerUI::SetItemIndex(CControlUI* control, int index) {
    int from = m_items.Find(control);
    // A move to a place the list does not have would drop the child from the list.
    if (from < 0 || index < 0 || index >= m_items.GetSize()) return false;
    NeedLayout();
    m_items.Remove(from);
    return m_items.InsertAt(index, control);
}

bool CContainerUI::InsertChild(CControlUI* control, int index) {
    if (m_manager != nullptr) m_manager->InitControls(control, this);
    if (IsVisible()) {
        NeedLayout();
    } else {
        control->SetVisibleByParent(false);
    }
    return index < 0 ? m_items.Add(control) : m_items.InsertAt(index, control);
}

bool CContainerUI::Add(CControlUI* control) {
    if (control == nullptr) return false;
    return InsertChild(control, -1);
}

bool CContainerUI::AddAt(CControlUI* control, int index) {
    // Refused before the child is bound, so a failed insertion leaves it untouched.
    if (control == nullptr || index < 0 || index > m_items.GetSize()) return false;
    return InsertChild(control, index);
}

void CContainerUI::DestroyChild(CControlUI* control) {
    if (!m_autoDestroy) return;
    if (m_delayedDestroy && m_manager != nullptr) {
        m_manager->AddDelayedCleanup(control);
    } else {
        delete control;
    }
}

bool CContainerUI::Remove(CControlUI* control) {
    if (control == nullptr) return false;
    int index = m_items.Find(control);
    if (index < 0) return false;
    NeedLayout();
    DestroyChild(control);
    return m_items.Remove(index);
}

bool CContainerUI::RemoveAt(int index) {
    CControlUI* control = ChildAt(index);
    return control != nullptr && Remove(control);
}

void CContainerUI::RemoveAll() {
    // Taken out first: a child's destructor must not find itself still listed.
    CUIPtrArray items = m_items;
    m_items.Empty();
    for (int i = 0; i < items.GetSize(); ++i) DestroyChild(static_cast<CControlUI*>(items[i]));
    NeedLayout();
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    for (int i = 0; i < m_items.GetSize(); ++i) ChildAt(i)->SetManager(manager, this, init);
    if (m_verticalScrollBar != nullptr) m_verticalScrollBar->SetManager(manager, this, init);
    if (m_horizontalScrollBar != nullptr) m_horizontalScrollBar->SetManager(manager, this, init);
    CControlUI::SetManager(manager, parent, init);
}

CScrollBarUI* CContainerUI::ShownBar(CScrollBarUI* bar) {
    return bar != nullptr && bar->IsVisible() ? bar : nullptr;
}

CScrollBarUI* CContainerUI::BarAlong(const TLayoutAxis& axis) const {
    return axis.vertical ? m_verticalScrollBar : m_horizontalScrollBar;
}

RECT CContainerUI::ScrolledContentRect(const RECT& inset) const {
    RECT rc = VisibleContentRect(inset);
    for (const TLayoutAxis* axis : {&kVerticalAxis, &kHorizontalAxis}) {
        if (CScrollBarUI* bar = ShownBar(BarAlong(*axis))) {
            rc.*axis->start -= bar->GetScrollPos();
            rc.*axis->end += bar->GetScrollRange() - bar->GetScrollPos();
        }
    }
    return rc;
}

RECT CContainerUI::VisibleContentRect(const RECT& inset) const {
    RECT rc = {m_item.left + inset.left, m_item.top + inset.top, m_item.right - inset.right,
               m_item.bottom - inset.bottom};
    if (CScrollBarUI* bar = ShownBar(m_verticalScrollBar)) rc.right -= bar->GetFixedWidth();
    if (CScrollBarUI* bar = ShownBar(m_horizontalScrollBar)) rc.bottom -= bar->GetFixedHeight();
    return rc;
}

RECT CContainerUI::GetClientPos() const { return ScrolledContentRect(GetInset()); }

void CContainerUI::SetPos(RECT rect, bool needInvalidate) {
    CControlUI::SetPos(rect, needInvalidate);
    if (m_items.IsEmpty()) return;
    PlaceChildren(ScrolledContentRect(m_inset));
}

void CContainerUI::PlaceChildren(const RECT& rc) {
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = ChildAt(i);
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        int width = rc.right - rc.left;
        width = std::min(std::max(width, child->GetMinWidth()), child->GetMaxWidth());
        int height = rc.bottom - rc.top;
        height = std::min(std::max(height, child->GetMinHeight()), child->GetMaxHeight());
        RECT place = {rc.left, rc.top, rc.left + width, rc.top + height};
        child->SetPos(place, false);
    }
}

void CContainerUI::Move(SIZE offset, bool needInvalidate) {
    CControlUI::Move(offset, needInvalidate);
    if (CScrollBarUI* bar = ShownBar(m_verticalScrollBar)) bar->Move(offset, false);
    if (CScrollBarUI* bar = ShownBar(m_horizontalScrollBar)) bar->Move(offset, false);
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = ChildAt(i);
        if (child->IsVisible()) child->Move(offset, false);
    }
}

void CContainerUI::SetVisible(bool visible) {
    if (m_visible == visible) return;
    CControlUI::SetVisible(visible);
    for (int i = 0; i < m_items.GetSize(); ++i) ChildAt(i)->SetVisibleByParent(IsVisible());
}

void CContainerUI::SetVisibleByParent(bool visible) {
    CControlUI::SetVisibleByParent(visible);
    // A hidden container keeps its children hidden whatever its own parent does.
    for (int i = 0; i < m_items.GetSize(); ++i) ChildAt(i)->SetVisibleByParent(IsVisible());
}

void CContainerUI::SetEnabled(bool enable) {
    if (m_enabled == enable) return;
    m_enabled = enable;
    for (int i = 0; i < m_items.GetSize(); ++i) ChildAt(i)->SetEnabled(enable);
    Invalidate();
}

void CContainerUI::SetMouseEnabled(bool enable) {
    if (m_verticalScrollBar != nullptr) m_verticalScrollBar->SetMouseEnabled(enable);
    if (m_horizontalScrollBar != nullptr) m_horizontalScrollBar->SetMouseEnabled(enable);
    CControlUI::SetMouseEnabled(enable);
}

RECT CContainerUI::GetInset() const { return ScaleRect(m_inset); }

void CContainerUI::SetInset(RECT inset) {
    m_inset = inset;
    NeedLayout();
}

int CContainerUI::GetChildPadding() const { return Scale(m_childPadding); }

void CContainerUI::SetChildPadding(int padding) {
    m_childPadding = padding;
    NeedLayout();
}

UINT CContainerUI::GetChildAlign() const { return m_childAlign; }

void CContainerUI::SetChildAlign(UINT align) {
    m_childAlign = align;
    NeedLayout();
}

UINT CContainerUI::GetChildVAlign() const { return m_childVAlign; }

void CContainerUI::SetChildVAlign(UINT align) {
    m_childVAlign = align;
    NeedLayout();
}

bool CContainerUI::IsAutoDestroy() const { return m_autoDestroy; }
void CContainerUI::SetAutoDestroy(bool autoDestroy) { m_autoDestroy = autoDestroy; }
bool CContainerUI::IsDelayedDestroy() const { return m_delayedDestroy; }
void CContainerUI::SetDelayedDestroy(bool delayed) { m_delayedDestroy = delayed; }
bool CContainerUI::IsMouseChildEnabled() const { return m_mouseChildEnabled; }
void CContainerUI::SetMouseChildEnabled(bool enable) { m_mouseChildEnabled = enable; }

int CContainerUI::FindSelectable(int index, bool forward) const {
    int count = m_items.GetSize();
    if (count == 0) return -1;
    index = Clamp(index, 0, count - 1);
    auto selectable = [this](int i) {
        CControlUI* child = ChildAt(i);
        return child->GetInterface(L"ListItem") != nullptr && child->IsVisible() && child->IsEnabled();
    };
    if (forward) {
        for (int i = index; i < count; ++i) {
            if (selectable(i)) return i;
        }
        return -1;
    }
    for (int i = index; i >= 0; --i) {
        if (selectable(i)) return i;
    }
    return FindSelectable(0, true);
}

SIZE CContainerUI::GetScrollPos() const {
    SIZE pos = {0, 0};
    if (CScrollBarUI* bar = ShownBar(m_verticalScrollBar)) pos.cy = bar->GetScrollPos();
    if (CScrollBarUI* bar = ShownBar(m_horizontalScrollBar)) pos.cx = bar->GetScrollPos();
    return pos;
}

SIZE CContainerUI::GetScrollRange() const {
    SIZE range = {0, 0};
    if (CScrollBarUI* bar = ShownBar(m_verticalScrollBar)) range.cy = bar->GetScrollRange();
    if (CScrollBarUI* bar = ShownBar(m_horizontalScrollBar)) range.cx = bar->GetScrollRange();
    return range;
}

void CContainerUI::SetScrollPos(SIZE pos, bool notify) {
    const int dy = MoveBarTo(ShownBar(m_verticalScrollBar), pos.cy);
    const int dx = MoveBarTo(ShownBar(m_horizontalScrollBar), pos.cx);
    if (dx == 0 && dy == 0) return;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = ChildAt(i);
        if (!child->IsVisible() || child->IsFloat()) continue;
        RECT rc = child->GetPos();
        ::OffsetRect(&rc, -dx, -dy);
        child->SetPos(rc, true);
    }
    Invalidate();
    if (m_verticalScrollBar == nullptr || m_manager == nullptr || !notify) return;
    int line = m_verticalScrollBar->GetLineSize();
    // The line number divides by the line size; a bar never holds one below 1.
    if (line < 1) return;
    m_manager->SendNotify(this, L"scroll", static_cast<WPARAM>((m_verticalScrollBar->GetScrollPos() + line) / line),
                          0, false);
}

void CContainerUI::SetScrollStepSize(int size) {
    if (size > 0) m_scrollStepSize = size;
}

int CContainerUI::GetScrollStepSize() const { return Scale(m_scrollStepSize); }

int CContainerUI::LineStep() const {
    if (m_scrollStepSize != 0) return GetScrollStepSize();
    if (m_manager == nullptr) return kDefaultScrollStep;
    TFontEntry* font = m_manager->GetDefaultFontInfo();
    return (font != nullptr ? static_cast<int>(font->metrics.tmHeight) : 0) + kDefaultScrollStep;
}

int CContainerUI::ColumnStep() const { return m_scrollStepSize != 0 ? GetScrollStepSize() : kDefaultScrollStep; }

// Scrolling along one axis; the other axis keeps its position.
void CContainerUI::ScrollAlong(const TLayoutAxis& axis, int delta) {
    SIZE pos = GetScrollPos();
    pos.*axis.extent += delta;
    SetScrollPos(pos, true);
}

void CContainerUI::ScrollAlongTo(const TLayoutAxis& axis, int value) {
    SIZE pos = GetScrollPos();
    pos.*axis.extent = value;
    SetScrollPos(pos, true);
}

// What shows of the content along the axis: the inner size, less the bar across it.
int CContainerUI::PageAlong(const TLayoutAxis& axis) const {
    const RECT inset = GetInset();
    int page = Extent(m_item, axis) - inset.*axis.start - inset.*axis.end;
    if (CScrollBarUI* bar = ShownBar(BarAlong(CrossAxis(axis)))) page -= (bar->*axis.fixed)();
    return page;
}

// The range is only right once pending areas are painted (and so laid out).
void CContainerUI::ScrollToEnd(const TLayoutAxis& axis) {
    if (m_manager != nullptr) ::UpdateWindow(m_manager->GetPaintWindow());
    ScrollAlongTo(axis, GetScrollRange().*axis.extent);
}

void CContainerUI::LineUp() { ScrollAlong(kVerticalAxis, -LineStep()); }
void CContainerUI::LineDown() { ScrollAlong(kVerticalAxis, LineStep()); }
void CContainerUI::PageUp() { ScrollAlong(kVerticalAxis, -PageAlong(kVerticalAxis)); }
void CContainerUI::PageDown() { ScrollAlong(kVerticalAxis, PageAlong(kVerticalAxis)); }
void CContainerUI::HomeUp() { ScrollAlongTo(kVerticalAxis, 0); }
void CContainerUI::EndDown() { ScrollToEnd(kVerticalAxis); }
void CContainerUI::LineLeft() { ScrollAlong(kHorizontalAxis, -ColumnStep()); }
void CContainerUI::LineRight() { ScrollAlong(kHorizontalAxis, ColumnStep()); }
void CContainerUI::PageLeft() { ScrollAlong(kHorizontalAxis, -PageAlong(kHorizontalAxis)); }
void CContainerUI::PageRight() { ScrollAlong(kHorizontalAxis, PageAlong(kHorizontalAxis)); }
void CContainerUI::HomeLeft() { ScrollAlongTo(kHorizontalAxis, 0); }
void CContainerUI::EndRight() { ScrollToEnd(kHorizontalAxis); }

void CContainerUI::EnableScrollBar(bool enableVertical, bool enableHorizontal) {
    if (enableVertical && m_verticalScrollBar == nullptr) {
        m_verticalScrollBar = new CScrollBarUI;
        m_verticalScrollBar->SetOwner(this);
        m_verticalScrollBar->SetManager(m_manager, nullptr, false);
        const wchar_t* defaults = m_manager != nullptr ? m_manager->GetDefaultAttributeList(L"VScrollBar") : nullptr;
        if (defaults != nullptr) m_verticalScrollBar->ApplyAttributeList(defaults);
    } else if (!enableVertical && m_verticalScrollBar != nullptr) {
        delete m_verticalScrollBar;
        m_verticalScrollBar = nullptr;
    }
    if (enableHorizontal && m_horizontalScrollBar == nullptr) {
        m_horizontalScrollBar = new CScrollBarUI;
        m_horizontalScrollBar->SetHorizontal(true);
        m_horizontalScrollBar->SetOwner(this);
        m_horizontalScrollBar->SetManager(m_manager, nullptr, false);
        const wchar_t* defaults = m_manager != nullptr ? m_manager->GetDefaultAttributeList(L"HScrollBar") : nullptr;
        if (defaults != nullptr) m_horizontalScrollBar->ApplyAttributeList(defaults);
    } else if (!enableHorizontal && m_horizontalScrollBar != nullptr) {
        delete m_horizontalScrollBar;
        m_horizontalScrollBar = nullptr;
    }
    NeedLayout();
}

CScrollBarUI* CContainerUI::GetVerticalScrollBar() const { return m_verticalScrollBar; }
CScrollBarUI* CContainerUI::GetHorizontalScrollBar() const { return m_horizontalScrollBar; }

void CContainerUI::SetFloatPos(int index) {
    CControlUI* child = ChildAt(index);
    if (child == nullptr || !child->IsVisible() || !child->IsFloat()) return;
    SIZE xy = child->GetFixedXY();
    int w = child->GetFixedWidth();
    int h = child->GetFixedHeight();
    int width = m_item.right - m_item.left;
    int height = m_item.bottom - m_item.top;
    UINT align = child->GetFloatAlign();
    RECT rc;
    if (align != 0) {
        rc = {0, 0, w, h};
        int dx = (align & UIFLOAT_CENTER) != 0 ? (width - w) / 2 : (align & UIFLOAT_RIGHT) != 0 ? width - w : xy.cx;
        int dy = (align & UIFLOAT_VCENTER) != 0 ? (height - h) / 2 : (align & UIFLOAT_BOTTOM) != 0 ? height - h : xy.cy;
        ::OffsetRect(&rc, dx + m_item.left, dy + m_item.top);
    } else {
        TFloatPercent percent = child->GetFloatPercent();
        rc.left = static_cast<int>(width * percent.left) + xy.cx + m_item.left;
        rc.top = static_cast<int>(height * percent.top) + xy.cy + m_item.top;
        rc.right = static_cast<int>(width * percent.right) + xy.cx + w + m_item.left;
        rc.bottom = static_cast<int>(height * percent.bottom) + xy.cy + h + m_item.top;
    }
    child->SetPos(rc, false);
}

void CContainerUI::ProcessScrollBar(RECT rect, int requiredWidth, int requiredHeight) {
    // Each re-layout runs this again with fresh numbers, so the stale pass stops.
    if (FitScrollBar(kHorizontalAxis, rect, requiredWidth)) return;
    FitScrollBar(kVerticalAxis, rect, requiredHeight);
}

// Shows, places and ranges the bar along the axis for the room the children need;
// true when that laid the container out again.
bool CContainerUI::FitScrollBar(const TLayoutAxis& axis, const RECT& rect, int required) {
    CScrollBarUI* bar = BarAlong(axis);
    if (bar == nullptr) return false;
    const int excess = required - Extent(rect, axis);
    if (excess > 0 && !bar->IsVisible()) {
        bar->SetVisible(true);
        bar->SetScrollRange(excess);
        bar->SetScrollPos(0);
        SetPos(m_item, true);
        return true;
    }
    if (bar->IsVisible() && excess > 0) {
        // The bar runs along the rect and sits just past it across.
        const TLayoutAxis& across = CrossAxis(axis);
        RECT place = rect;
        place.*across.start = rect.*across.end;
        place.*across.end = rect.*across.end + (bar->*across.fixed)();
        bar->SetPos(place, true);
        if (bar->GetScrollRange() == excess) return false;
        const int old = bar->GetScrollPos();
        bar->SetScrollRange(std::abs(excess));
        if (bar->GetScrollPos() >= old) return false;
        SetPos(m_item, true);
        return true;
    }
    if (!bar->IsVisible()) return false;
    bar->SetVisible(false);
    bar->SetScrollPos(0);
    bar->SetScrollRange(0);
    SetPos(m_item, true);
    return true;
}

bool CContainerUI::DoScrollKey(TEventInfo& event, CScrollBarUI* bar, bool vertical) {
    if (bar == nullptr || !bar->IsVisible() || !bar->IsEnabled()) return false;
    if (event.Type == UIEVENT_KEYDOWN) {
        switch (event.chKey) {
            case VK_PRIOR: vertical ? PageUp() : PageLeft(); return true;
            case VK_NEXT: vertical ? PageDown() : PageRight(); return true;
            case VK_END: vertical ? EndDown() : EndRight(); return true;
            case VK_HOME: vertical ? HomeUp() : HomeLeft(); return true;
            case VK_UP: vertical ? LineUp() : LineLeft(); return true;
            case VK_DOWN: vertical ? LineDown() : LineRight(); return true;
            default: return false;
        }
    }
    if (event.Type == UIEVENT_SCROLLWHEEL) {
        switch (LOWORD(event.wParam)) {
            case SB_LINEUP: vertical ? LineUp() : LineLeft(); return true;
            case SB_LINEDOWN: vertical ? LineDown() : LineRight(); return true;
            default: return false;
        }
    }
    return false;
}

void CContainerUI::DoEvent(TEventInfo& event) {
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        if (m_parent != nullptr) {
            m_parent->DoEvent(event);
        } else {
            CControlUI::DoEvent(event);
        }
        return;
    }
    if (event.Type == UIEVENT_SETFOCUS || event.Type == UIEVENT_KILLFOCUS) {
        m_focused = event.Type == UIEVENT_SETFOCUS;
        return;
    }
    if (DoScrollKey(event, m_verticalScrollBar, true)) return;
    if (DoScrollKey(event, m_horizontalScrollBar, false)) return;
    CControlUI::DoEvent(event);
}

CControlUI* CContainerUI::FindControl(FindControlProc proc, LPVOID data, UINT flags) {
    if ((flags & UIFIND_VISIBLE) != 0 && !IsVisible()) return nullptr;
    if ((flags & UIFIND_ENABLED) != 0 && !IsEnabled()) return nullptr;
    bool hitTest = (flags & UIFIND_HITTEST) != 0;
    if (hitTest && !::PtInRect(&m_item, *static_cast<const POINT*>(data))) return nullptr;
    if ((flags & UIFIND_UPDATETEST) != 0 && proc(this, data) != nullptr) return nullptr;
    // A hit test reaches the container itself and its bars only while its mouse is on.
    bool selfReachable = !hitTest || IsMouseEnabled();
    CControlUI* found = nullptr;
    if ((flags & UIFIND_ME_FIRST) != 0 && selfReachable) {
        found = proc(this, data);
        if (found != nullptr) return found;
    }
    if (selfReachable && m_verticalScrollBar != nullptr) found = m_verticalScrollBar->FindControl(proc, data, flags);
    if (found != nullptr) return found;
    if (selfReachable && m_horizontalScrollBar != nullptr) found = m_horizontalScrollBar->FindControl(proc, data, flags);
    if (found != nullptr) return found;
    if (!hitTest || m_mouseChildEnabled) {
        RECT content = VisibleContentRect(m_inset);
        int first = 0, last = m_items.GetSize();
        if (hitTest) {
            const POINT at = *static_cast<const POINT*>(data);
            ChildrenMeeting(RECT{at.x, at.y, at.x + 1, at.y + 1}, first, last);
        }
        bool topFirst = (flags & UIFIND_TOP_FIRST) != 0;
        for (int n = first; n < last; ++n) {
            CControlUI* child = ChildAt(topFirst ? first + last - 1 - n : n);
            found = child->FindControl(proc, data, flags);
            if (found == nullptr) continue;
            if (!hitTest || found->IsFloat() || ::PtInRect(&content, *static_cast<const POINT*>(data))) return found;
        }
    }
    if ((flags & UIFIND_ME_FIRST) == 0 && selfReachable) return proc(this, data);
    return nullptr;
}

void CContainerUI::ApplyScrollBarStyle(CScrollBarUI* bar, const wchar_t* style) {
    const wchar_t* list = m_manager != nullptr ? m_manager->GetStyle(style) : nullptr;
    bar->ApplyAttributeList(list != nullptr ? list : style);
}

void CContainerUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (Is(name, L"inset")) {
        SetInset(ReadSkinRect(value));
    } else if (Is(name, L"mousechild")) {
        SetMouseChildEnabled(ReadSkinBool(value));
    } else if (Is(name, L"vscrollbar")) {
        EnableScrollBar(ReadSkinBool(value), m_horizontalScrollBar != nullptr);
    } else if (Is(name, L"vscrollbarstyle")) {
        m_verticalScrollBarStyle = value;
        EnableScrollBar(true, m_horizontalScrollBar != nullptr);
        ApplyScrollBarStyle(m_verticalScrollBar, value);
    } else if (Is(name, L"hscrollbar")) {
        EnableScrollBar(m_verticalScrollBar != nullptr, ReadSkinBool(value));
    } else if (Is(name, L"hscrollbarstyle")) {
        m_horizontalScrollBarStyle = value;
        EnableScrollBar(m_verticalScrollBar != nullptr, true);
        ApplyScrollBarStyle(m_horizontalScrollBar, value);
    } else if (Is(name, L"childpadding")) {
        SetChildPadding(_wtoi(value));
    } else if (wcscmp(name, L"childalign") == 0) {
        if (wcscmp(value, L"left") == 0) m_childAlign = UICHILD_LEFT;
        if (wcscmp(value, L"center") == 0) m_childAlign = UICHILD_CENTER;
        if (wcscmp(value, L"right") == 0) m_childAlign = UICHILD_RIGHT;
    } else if (wcscmp(name, L"childvalign") == 0) {
        if (wcscmp(value, L"top") == 0) m_childVAlign = UICHILD_TOP;
        if (wcscmp(value, L"vcenter") == 0) m_childVAlign = UICHILD_VCENTER;
        if (wcscmp(value, L"bottom") == 0) m_childVAlign = UICHILD_BOTTOM;
    } else if (Is(name, L"scrollstepsize")) {
        SetScrollStepSize(_wtoi(value));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

bool CContainerUI::PaintChildren(HDC hdc, const RECT& paint, CControlUI* stopControl, CRenderClip& outer) {
    RECT content = VisibleContentRect(GetInset());
    RECT inner;
    bool contentShows = ::IntersectRect(&inner, &paint, &content) != FALSE;
    CRenderClip childClip;
    if (contentShows) CRenderClip::GenerateClip(hdc, inner, childClip);
    int first = 0, last = m_items.GetSize();
    // A child the paint stops at is met in order wherever it stands.
    if (stopControl == nullptr || stopControl->GetParent() != this) ChildrenMeeting(paint, first, last);
    for (int i = first; i < last; ++i) {
        CControlUI* child = ChildAt(i);
        if (child == stopControl) return false;
        if (!child->IsVisible() || !Meets(paint, child->GetPos())) continue;
        bool painted = true;
        if (child->IsFloat()) {
            if (!Meets(m_item, child->GetPos())) continue;
            // Floating children may sit over the inset and the bars: the container's own clip holds.
            CRenderClip& underneath = contentShows ? childClip : outer;
            if (contentShows) CRenderClip::UseOldClipBegin(hdc, underneath);
            painted = child->Paint(hdc, paint, stopControl);
            if (contentShows) CRenderClip::UseOldClipEnd(hdc, underneath);
        } else if (contentShows && Meets(content, child->GetPos())) {
            painted = child->Paint(hdc, paint, stopControl);
        }
        if (!painted) return false;
    }
    return true;
}

void CContainerUI::ChildrenMeeting(const RECT&, int& first, int& last) const {
    first = 0;
    last = m_items.GetSize();
}

bool CContainerUI::DoPaint(HDC hdc, const RECT& paint, CControlUI* stopControl) {
    RECT area;
    if (!::IntersectRect(&area, &paint, &m_item)) return true;
    CRenderClip clip;
    CRenderClip::GenerateClip(hdc, area, clip);
    PaintOwnUncovered(hdc, area, paint, stopControl);
    if (!m_items.IsEmpty() && !PaintChildren(hdc, paint, stopControl, clip)) return false;
    CScrollBarUI* bars[] = {m_verticalScrollBar, m_horizontalScrollBar};
    for (CScrollBarUI* bar : bars) {
        if (bar == nullptr || !bar->IsVisible()) continue;
        if (bar == stopControl) return false;
        if (Meets(paint, bar->GetPos()) && !bar->Paint(hdc, paint, stopControl)) return false;
    }
    return true;
}

}  // namespace HiveUI
