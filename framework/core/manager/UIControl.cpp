#include "UIControl.h"

#include <cwchar>

#include "DpiScale.h"
#include "RenderClip.h"
#include "ResourceStore.h"
#include "SkinValue.h"
#include "UIContainer.h"
#include "UIManager.h"
#include "UIRender.h"
#include "UIScrollBar.h"

namespace HiveUI {

namespace {

// Deep enough for any honest chain of styles naming styles, shallow enough to stop a
// style that names itself long before the stack runs out.
const int kMaxStyleDepth = 16;

bool IntersectsNot(RECT& area, const RECT& with) { return !::IntersectRect(&area, &area, &with); }

}  // namespace

CControlUI* CreateControlControl() { return new CControlUI; }

CControlUI::CControlUI()
    : m_manager(nullptr),
      m_parent(nullptr),
      m_updateNeeded(true),
      m_menuUsed(false),
      m_item{0, 0, 0, 0},
      m_padding{0, 0, 0, 0},
      m_fixedXY{0, 0},
      m_fixedSize{0, 0},
      m_minSize{0, 0},
      m_maxSize{9999, 9999},
      m_visible(true),
      m_visibleByParent(true),
      m_enabled(true),
      m_mouseEnabled(true),
      m_keyboardEnabled(true),
      m_focused(false),
      m_float(false),
      m_floatAlign(0),
      m_inSetPos(false),
      m_dragEnabled(false),
      m_dropEnabled(false),
      m_resourceText(false),
      m_shortcut(L'\0'),
      m_tag(0),
      m_bkColor(0),
      m_bkColor2(0),
      m_bkColor3(0),
      m_foreColor(0),
      m_borderColor(0),
      m_focusBorderColor(0),
      m_colorHSL(false),
      m_borderSize(0),
      m_borderStyle(PS_SOLID),
      m_toolTipWidth(300),
      m_cursor(0),
      m_borderRound{0, 0},
      m_paint{0, 0, 0, 0},
      m_borderSides{0, 0, 0, 0},
      m_customAttributes(83),
      m_styleDepth(0) {}

CControlUI::~CControlUI() {
    if (OnDestroy) OnDestroy(this);
    RemoveAllCustomAttributes();
    if (m_manager != nullptr) m_manager->ForgetControl(this);
}

CUIString CControlUI::GetName() const { return m_name; }
void CControlUI::SetName(const wchar_t* name) {
    const CUIString old = m_name;
    m_name = name;
    if (m_manager != nullptr && m_name != old) m_manager->RenameControl(this, old);
}
const wchar_t* CControlUI::GetClass() const { return L"ControlUI"; }

LPVOID CControlUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"Control") == 0) return this;
    return nullptr;
}

UINT CControlUI::GetControlFlags() const { return 0; }
bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }
CPaintManagerUI* CControlUI::GetManager() const { return m_manager; }

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    m_manager = manager;
    m_parent = parent;
    // Nothing of a former parent's scrolling is owed to the new one.
    m_parentShift = parent != nullptr && parent->m_childrenLag ? &parent->m_childShift : nullptr;
    m_placedShift = m_parentShift != nullptr ? *m_parentShift : POINT{0, 0};
    if (init && m_parent != nullptr) Init();
}

CControlUI* CControlUI::GetParent() const { return m_parent; }

CUIString CControlUI::GetText() const {
    if (!m_resourceText) return m_text;
    return CResourceStore::GetInstance()->GetText(m_text, nullptr);
}

void CControlUI::SetText(const wchar_t* text) {
    if (m_text == (text != nullptr ? text : L"")) return;
    m_text = text;
    m_text.Replace(L"{\\n}", L"\n");
    Invalidate();
}

bool CControlUI::IsResourceText() const { return m_resourceText; }

void CControlUI::SetResourceText(bool resource) {
    if (m_resourceText == resource) return;
    m_resourceText = resource;
    Invalidate();
}

bool CControlUI::IsDragEnabled() const { return m_dragEnabled; }
void CControlUI::SetDragEnabled(bool enable) { m_dragEnabled = enable; }
bool CControlUI::IsDropEnabled() const { return m_dropEnabled; }
void CControlUI::SetDropEnabled(bool enable) { m_dropEnabled = enable; }

RECT CControlUI::GetRelativePos() const {
    RECT rc = {0, 0, 0, 0};
    if (m_parent == nullptr) return rc;
    const RECT& parent = m_parent->GetPos();
    rc = GetPos();
    ::OffsetRect(&rc, -parent.left, -parent.top);
    return rc;
}

RECT CControlUI::GetClientPos() const { return GetPos(); }

const RECT& CControlUI::GetPos() const {
    if (m_parentShift != nullptr && (m_placedShift.x != m_parentShift->x || m_placedShift.y != m_parentShift->y))
        CatchUpWithParent();
    return m_item;
}

// Hidden and floating children are not moved by scrolling: they only take note of it.
void CControlUI::CatchUpWithParent() const {
    const POINT shift = *m_parentShift;
    RECT place = m_item;
    ::OffsetRect(&place, m_placedShift.x - shift.x, m_placedShift.y - shift.y);
    auto* self = const_cast<CControlUI*>(this);
    self->m_placedShift = shift;
    if (IsVisible() && !IsFloat()) self->SetPos(place, false);
}

void CControlUI::SetPos(RECT rect, bool needInvalidate) {
    if (m_parentShift != nullptr) m_placedShift = *m_parentShift;
    if (rect.right < rect.left) rect.right = rect.left;
    if (rect.bottom < rect.top) rect.bottom = rect.top;
    RECT invalidate = ::IsRectEmpty(&m_item) ? rect : m_item;
    m_item = rect;
    if (m_manager == nullptr) return;
    if (!m_inSetPos) {
        m_inSetPos = true;
        if (OnSize) OnSize(this);
        m_inSetPos = false;
    }
    m_updateNeeded = false;
    if (!needInvalidate || !IsVisible()) return;
    ::UnionRect(&invalidate, &invalidate, &m_item);
    for (CControlUI* parent = m_parent; parent != nullptr; parent = parent->GetParent()) {
        if (!parent->IsVisible()) return;
        if (IntersectsNot(invalidate, parent->GetPos())) return;
    }
    m_manager->InvalidateRect(invalidate);
}

void CControlUI::Move(SIZE offset, bool) {
    m_fixedXY.cx += offset.cx;
    m_fixedXY.cy += offset.cy;
    NeedParentLayout();
}

int CControlUI::GetWidth() const { return m_item.right - m_item.left; }
int CControlUI::GetHeight() const { return m_item.bottom - m_item.top; }
int CControlUI::GetX() const { return GetPos().left; }
int CControlUI::GetY() const { return GetPos().top; }

int CControlUI::Scale(int n) const { return m_manager != nullptr ? m_manager->GetDpiScale()->Scale(n) : n; }

RECT CControlUI::ScaleRect(const RECT& rc) const {
    RECT scaled = rc;
    if (m_manager != nullptr) m_manager->GetDpiScale()->ScaleRect(scaled);
    return scaled;
}

RECT CControlUI::GetPadding() const { return ScaleRect(m_padding); }

void CControlUI::SetPadding(RECT padding) {
    m_padding = padding;
    NeedParentLayout();
}

SIZE CControlUI::GetFixedXY() const {
    SIZE xy = {Scale(m_fixedXY.cx), Scale(m_fixedXY.cy)};
    return xy;
}

void CControlUI::SetFixedXY(SIZE xy) {
    m_fixedXY = xy;
    NeedParentLayout();
}

int CControlUI::GetFixedWidth() const { return Scale(m_fixedSize.cx); }

void CControlUI::SetFixedWidth(int width) {
    if (width < 0) return;
    m_fixedSize.cx = width;
    NeedParentLayout();
}

int CControlUI::GetFixedHeight() const { return Scale(m_fixedSize.cy); }

void CControlUI::SetFixedHeight(int height) {
    if (height < 0) return;
    m_fixedSize.cy = height;
    NeedParentLayout();
}

int CControlUI::GetMinWidth() const { return Scale(m_minSize.cx); }

void CControlUI::SetMinWidth(int width) {
    if (width < 0 || m_minSize.cx == width) return;
    m_minSize.cx = width;
    NeedParentLayout();
}

int CControlUI::GetMaxWidth() const { return Scale(m_maxSize.cx); }

void CControlUI::SetMaxWidth(int width) {
    if (width < 0 || m_maxSize.cx == width) return;
    m_maxSize.cx = width;
    NeedParentLayout();
}

int CControlUI::GetMinHeight() const { return Scale(m_minSize.cy); }

void CControlUI::SetMinHeight(int height) {
    if (height < 0 || m_minSize.cy == height) return;
    m_minSize.cy = height;
    NeedParentLayout();
}

int CControlUI::GetMaxHeight() const { return Scale(m_maxSize.cy); }

void CControlUI::SetMaxHeight(int height) {
    if (height < 0 || m_maxSize.cy == height) return;
    m_maxSize.cy = height;
    NeedParentLayout();
}

TFloatPercent CControlUI::GetFloatPercent() const { return m_floatPercent; }

void CControlUI::SetFloatPercent(TFloatPercent percent) {
    m_floatPercent = percent;
    NeedParentLayout();
}

void CControlUI::SetFloatAlign(UINT align) {
    m_floatAlign = align;
    NeedParentLayout();
}

UINT CControlUI::GetFloatAlign() const { return m_floatAlign; }

CUIString CControlUI::GetToolTip() const {
    if (!m_resourceText) return m_toolTip;
    return CResourceStore::GetInstance()->GetText(m_toolTip, nullptr);
}

void CControlUI::SetToolTip(const wchar_t* text) {
    m_toolTip = text;
    m_toolTip.Replace(L"<n>", L"\r\n");
}

void CControlUI::SetToolTipWidth(int width) { m_toolTipWidth = width; }
int CControlUI::GetToolTipWidth() const { return Scale(m_toolTipWidth); }
WORD CControlUI::GetCursor() const { return m_cursor; }

void CControlUI::SetCursor(WORD cursor) {
    m_cursor = cursor;
    Invalidate();
}

wchar_t CControlUI::GetShortcut() const { return m_shortcut; }
void CControlUI::SetShortcut(wchar_t ch) { m_shortcut = ch; }
bool CControlUI::IsContextMenuUsed() const { return m_menuUsed; }
void CControlUI::SetContextMenuUsed(bool used) { m_menuUsed = used; }
const CUIString& CControlUI::GetUserData() const { return m_userData; }
void CControlUI::SetUserData(const wchar_t* text) { m_userData = text; }
UINT_PTR CControlUI::GetTag() const { return m_tag; }
void CControlUI::SetTag(UINT_PTR tag) { m_tag = tag; }
bool CControlUI::IsVisible() const { return m_visible && m_visibleByParent; }

void CControlUI::SetVisible(bool visible) {
    if (m_visible == visible) return;
    bool wasVisible = IsVisible();
    m_visible = visible;
    m_focused = false;
    if (!visible && m_manager != nullptr && m_manager->GetFocus() == this) m_manager->SetFocus(nullptr);
    if (IsVisible() != wasVisible) NeedParentLayout();
}

void CControlUI::SetVisibleByParent(bool visible) {
    m_visibleByParent = visible;
    if (!visible && m_manager != nullptr && m_manager->GetFocus() == this) m_manager->SetFocus(nullptr);
}

bool CControlUI::IsEnabled() const { return m_enabled; }

void CControlUI::SetEnabled(bool enable) {
    if (m_enabled == enable) return;
    m_enabled = enable;
    Invalidate();
}

bool CControlUI::IsMouseEnabled() const { return m_mouseEnabled; }
void CControlUI::SetMouseEnabled(bool enable) { m_mouseEnabled = enable; }
bool CControlUI::IsKeyboardEnabled() const { return m_keyboardEnabled; }
void CControlUI::SetKeyboardEnabled(bool enable) { m_keyboardEnabled = enable; }
bool CControlUI::IsFocused() const { return m_focused; }

void CControlUI::SetFocus() {
    if (m_manager != nullptr) m_manager->SetFocus(this);
}

bool CControlUI::IsFloat() const { return m_float; }

void CControlUI::SetFloat(bool isFloat) {
    if (m_float == isFloat) return;
    m_float = isFloat;
    NeedParentLayout();
}

CControlUI* CControlUI::FindControl(FindControlProc proc, LPVOID data, UINT flags) {
    if ((flags & UIFIND_VISIBLE) != 0 && !IsVisible()) return nullptr;
    if ((flags & UIFIND_ENABLED) != 0 && !IsEnabled()) return nullptr;
    if ((flags & UIFIND_HITTEST) != 0 &&
        (!m_mouseEnabled || !::PtInRect(&m_item, *static_cast<const POINT*>(data)))) {
        return nullptr;
    }
    return proc(this, data);
}

void CControlUI::Init() {
    DoInit();
    if (OnInit) OnInit(this);
}

void CControlUI::DoInit() {}

void CControlUI::Event(TEventInfo& event) {
    if (OnEvent(&event)) DoEvent(event);
}

void CControlUI::DoEvent(TEventInfo& event) {
    switch (event.Type) {
        case UIEVENT_SETCURSOR:
            ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(m_cursor != 0 ? m_cursor : 32512)));
            return;
        case UIEVENT_SETFOCUS:
            m_focused = true;
            Invalidate();
            return;
        case UIEVENT_KILLFOCUS:
            m_focused = false;
            Invalidate();
            return;
        case UIEVENT_TIMER:
            if (m_manager != nullptr) m_manager->SendNotify(this, L"timer", event.wParam, event.lParam, false);
            return;
        case UIEVENT_CONTEXTMENU:
            if (m_menuUsed) {
                if (m_manager != nullptr) m_manager->SendNotify(this, L"menu", event.wParam, event.lParam, false);
                return;
            }
            break;
        default:
            break;
    }
    if (m_parent != nullptr) m_parent->DoEvent(event);
}

SIZE CControlUI::EstimateSize(SIZE) {
    SIZE size = {GetFixedWidth(), GetFixedHeight()};
    return size;
}

bool CControlUI::Paint(HDC hdc, const RECT& paint, CControlUI* stopControl) {
    if (stopControl == this) return false;
    if (!::IntersectRect(&m_paint, &paint, &m_item)) return true;
    return DoPaint(hdc, m_paint, stopControl);
}

bool CControlUI::DoPaint(HDC hdc, const RECT&, CControlUI*) {
    SIZE round = GetBorderRound();
    CRenderClip clip;
    if (round.cx > 0 || round.cy > 0) CRenderClip::GenerateRoundClip(hdc, m_paint, m_item, round.cx, round.cy, clip);
    PaintBkColor(hdc);
    PaintBkImage(hdc);
    PaintStatusImage(hdc);
    PaintForeColor(hdc);
    PaintForeImage(hdc);
    PaintText(hdc);
    PaintBorder(hdc);
    return true;
}

void CControlUI::PaintBkColor(HDC hdc) {
    if (m_bkColor == 0) return;
    bool vertical = m_gradient.CompareNoCase(L"hor") != 0;
    DWORD first = GetAdjustColor(m_bkColor);
    if (m_bkColor2 == 0) {
        CUIRender::DrawColor(hdc, (m_bkColor >> 24) == 0xFF ? m_paint : m_item, first);
    } else if (m_bkColor3 == 0) {
        CUIRender::DrawGradient(hdc, m_item, first, GetAdjustColor(m_bkColor2), vertical, 16);
    } else {
        RECT upper = m_item;
        RECT lower = m_item;
        upper.bottom = lower.top = (m_item.top + m_item.bottom) / 2;
        CUIRender::DrawGradient(hdc, upper, first, GetAdjustColor(m_bkColor2), vertical, 8);
        CUIRender::DrawGradient(hdc, lower, GetAdjustColor(m_bkColor2), GetAdjustColor(m_bkColor3), vertical, 8);
    }
}

void CControlUI::PaintBkImage(HDC hdc) {
    if (!m_bkImage.IsEmpty()) DrawImage(hdc, m_bkImage, nullptr);
}

void CControlUI::PaintStatusImage(HDC) {}

void CControlUI::PaintForeColor(HDC hdc) { CUIRender::DrawColor(hdc, m_item, GetAdjustColor(m_foreColor)); }

void CControlUI::PaintForeImage(HDC hdc) {
    if (!m_foreImage.IsEmpty()) DrawImage(hdc, m_foreImage, nullptr);
}

void CControlUI::PaintText(HDC) {}

void CControlUI::PaintBorder(HDC hdc) {
    if (m_borderColor == 0 && m_focusBorderColor == 0) return;
    int size = GetBorderSize();
    SIZE round = GetBorderRound();
    RECT sides = GetBorderRect();
    DWORD border = GetAdjustColor(m_borderColor);
    DWORD focus = GetAdjustColor(m_focusBorderColor);
    if (size >= 1 && (round.cx >= 1 || round.cy >= 1)) {
        DWORD color = (m_focused && m_focusBorderColor != 0) ? focus : border;
        CUIRender::DrawRoundRect(hdc, m_item, size, round.cx, round.cy, color);
    } else if (m_focused && m_focusBorderColor != 0 && size > 0) {
        CUIRender::DrawRect(hdc, m_item, size, focus);
    } else if (sides.left > 0 || sides.top > 0 || sides.right > 0 || sides.bottom > 0) {
        PaintBorderSides(hdc, sides, border);
    } else if (size >= 1) {
        CUIRender::DrawRect(hdc, m_item, size, border);
    }
}

void CControlUI::PaintBorderSides(HDC hdc, const RECT& sides, DWORD color) {
    const RECT& rc = m_item;
    if (sides.left > 0) {
        RECT line = {rc.left, rc.top, rc.left, rc.bottom};
        CUIRender::DrawLine(hdc, line, sides.left, color, m_borderStyle);
    }
    if (sides.top > 0) {
        RECT line = {rc.left, rc.top, rc.right, rc.top};
        CUIRender::DrawLine(hdc, line, sides.top, color, m_borderStyle);
    }
    if (sides.right > 0) {
        RECT line = {rc.right - 1, rc.top, rc.right - 1, rc.bottom};
        CUIRender::DrawLine(hdc, line, sides.right, color, m_borderStyle);
    }
    if (sides.bottom > 0) {
        RECT line = {rc.left, rc.bottom - 1, rc.right, rc.bottom - 1};
        CUIRender::DrawLine(hdc, line, sides.bottom, color, m_borderStyle);
    }
}

void CControlUI::DoPostPaint(HDC, const RECT&) {}

void CControlUI::SetGradient(const wchar_t* gradient) {
    if (m_gradient == gradient) return;
    m_gradient = gradient;
    Invalidate();
}

void CControlUI::SetBkColor(DWORD color) {
    if (m_bkColor == color) return;
    m_bkColor = color;
    Invalidate();
}

void CControlUI::SetBkColor2(DWORD color) {
    if (m_bkColor2 == color) return;
    m_bkColor2 = color;
    Invalidate();
}

void CControlUI::SetBkColor3(DWORD color) {
    if (m_bkColor3 == color) return;
    m_bkColor3 = color;
    Invalidate();
}

void CControlUI::SetForeColor(DWORD color) {
    if (m_foreColor == color) return;
    m_foreColor = color;
    Invalidate();
}

void CControlUI::SetBkImage(const wchar_t* image) {
    if (m_manager != nullptr) m_manager->RemoveImage(image, false);
    if (m_bkImage == image) return;
    m_bkImage = image;
    Invalidate();
}

void CControlUI::SetForeImage(const wchar_t* image) {
    if (m_foreImage == image) return;
    m_foreImage = image;
    Invalidate();
}

void CControlUI::SetBorderColor(DWORD color) {
    if (m_borderColor == color) return;
    m_borderColor = color;
    Invalidate();
}

void CControlUI::SetFocusBorderColor(DWORD color) {
    if (m_focusBorderColor == color) return;
    m_focusBorderColor = color;
    Invalidate();
}

void CControlUI::SetColorHSL(bool colorHSL) {
    if (m_colorHSL == colorHSL) return;
    m_colorHSL = colorHSL;
    Invalidate();
}

int CControlUI::GetBorderSize() const { return Scale(m_borderSize); }

void CControlUI::SetBorderSize(int size) {
    if (m_borderSize == size) return;
    m_borderSize = size;
    Invalidate();
}

RECT CControlUI::GetBorderRect() const { return ScaleRect(m_borderSides); }

void CControlUI::SetBorderRect(int left, int top, int right, int bottom) {
    m_borderSides = RECT{left, top, right, bottom};
    Invalidate();
}

void CControlUI::SetLeftBorderSize(int size) {
    m_borderSides.left = size;
    Invalidate();
}

void CControlUI::SetTopBorderSize(int size) {
    m_borderSides.top = size;
    Invalidate();
}

void CControlUI::SetRightBorderSize(int size) {
    m_borderSides.right = size;
    Invalidate();
}

void CControlUI::SetBottomBorderSize(int size) {
    m_borderSides.bottom = size;
    Invalidate();
}

void CControlUI::SetBorderStyle(int style) {
    m_borderStyle = style;
    Invalidate();
}

SIZE CControlUI::GetBorderRound() const {
    SIZE round = {Scale(m_borderRound.cx), Scale(m_borderRound.cy)};
    return round;
}

void CControlUI::SetBorderRound(SIZE round) {
    m_borderRound = round;
    Invalidate();
}

DWORD CControlUI::GetAdjustColor(DWORD color) const {
    if (!m_colorHSL) return color;
    short hue = 180, saturation = 100, lightness = 100;
    CPaintManagerUI::GetHSL(&hue, &saturation, &lightness);
    return CUIRender::AdjustColor(color, hue, saturation, lightness);
}

bool CControlUI::DrawImage(HDC hdc, const wchar_t* image, const wchar_t* modifier) {
    if (m_manager == nullptr || hdc == nullptr) return false;
    return CUIRender::DrawImageString(hdc, m_manager, m_item, m_paint, image, modifier, nullptr);
}

void CControlUI::Invalidate() {
    if (!IsVisible()) return;
    RECT area = m_item;
    for (CControlUI* parent = m_parent; parent != nullptr; parent = parent->GetParent()) {
        if (IntersectsNot(area, parent->GetPos())) return;
    }
    if (m_manager != nullptr) m_manager->InvalidateRect(area);
}

void CControlUI::InvalidateClipped() {
    if (!IsVisible()) return;
    if (m_parent == nullptr || m_parent->GetInterface(L"Container") == nullptr) {
        Invalidate();
        return;
    }
    // Only the container's item rect less its inset and visible bars shows, not its
    // scrolled content area.
    RECT area = m_parent->GetPos();
    if (const CContainerUI* container = dynamic_cast<const CContainerUI*>(m_parent)) {
        RECT inset = container->GetInset();
        area.left += inset.left;
        area.top += inset.top;
        area.right -= inset.right;
        area.bottom -= inset.bottom;
        const CScrollBarUI* vertical = container->GetVerticalScrollBar();
        if (vertical != nullptr && vertical->IsVisible()) area.right -= vertical->GetFixedWidth();
        const CScrollBarUI* horizontal = container->GetHorizontalScrollBar();
        if (horizontal != nullptr && horizontal->IsVisible()) area.bottom -= horizontal->GetFixedHeight();
    }
    if (IntersectsNot(area, m_item)) return;
    for (CControlUI* ancestor = m_parent->GetParent(); ancestor != nullptr; ancestor = ancestor->GetParent()) {
        if (IntersectsNot(area, ancestor->GetPos())) return;
    }
    if (m_manager != nullptr) m_manager->InvalidateRect(area);
}

void CControlUI::NeedLayout() {
    if (!IsVisible()) return;
    m_updateNeeded = true;
    Invalidate();
    if (m_manager != nullptr) m_manager->NeedUpdate();
}

void CControlUI::NeedParentLayout() {
    if (m_parent != nullptr) {
        m_parent->NeedLayout();
        m_parent->Invalidate();
    } else {
        NeedLayout();
    }
    if (m_manager != nullptr) m_manager->NeedUpdate();
}

void CControlUI::SetVirtualWnd(const wchar_t* name) {
    m_virtualWnd = name;
    if (m_manager != nullptr) m_manager->SetUsedVirtualWnd(true);
}

CUIString CControlUI::GetVirtualWnd() const {
    if (!m_virtualWnd.IsEmpty()) return m_virtualWnd;
    if (m_parent != nullptr) return m_parent->GetVirtualWnd();
    return CUIString();
}

void CControlUI::AddCustomAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr || name[0] == L'\0' || value == nullptr || value[0] == L'\0') return;
    if (m_customAttributes.Find(name) != nullptr) return;
    CUIString* copy = new CUIString(value);
    if (!m_customAttributes.Insert(name, copy)) delete copy;
}

void CControlUI::RemoveAllCustomAttributes() {
    for (int i = 0; i < m_customAttributes.GetSize(); ++i) {
        const wchar_t* key = m_customAttributes.GetAt(i);
        if (key != nullptr) delete static_cast<CUIString*>(m_customAttributes.Find(key, false));
    }
    m_customAttributes.Resize(83);
}

namespace {

struct TCursorWord {
    const wchar_t* word;
    WORD id;
};

const TCursorWord kCursorWords[] = {
    {L"arrow", 32512}, {L"ibeam", 32513},    {L"wait", 32514},     {L"cross", 32515},  {L"uparrow", 32516},
    {L"size", 32640},  {L"icon", 32641},     {L"sizenwse", 32642}, {L"sizenesw", 32643}, {L"sizewe", 32644},
    {L"sizens", 32645}, {L"sizeall", 32646}, {L"no", 32648},       {L"hand", 32649},
};

bool Is(const wchar_t* name, const wchar_t* key) { return _wcsicmp(name, key) == 0; }

UINT ApplyFloatAlignWord(UINT align, const CUIString& word) {
    if (word.CompareNoCase(L"null") == 0) return 0;
    if (word.CompareNoCase(L"left") == 0) return align & ~(UIFLOAT_CENTER | UIFLOAT_RIGHT);
    if (word.CompareNoCase(L"center") == 0) return (align & ~UIFLOAT_RIGHT) | UIFLOAT_CENTER;
    if (word.CompareNoCase(L"right") == 0) return (align & ~UIFLOAT_CENTER) | UIFLOAT_RIGHT;
    if (word.CompareNoCase(L"top") == 0) return align & ~(UIFLOAT_VCENTER | UIFLOAT_BOTTOM);
    if (word.CompareNoCase(L"vcenter") == 0) return (align & ~UIFLOAT_BOTTOM) | UIFLOAT_VCENTER;
    if (word.CompareNoCase(L"bottom") == 0) return (align & ~UIFLOAT_VCENTER) | UIFLOAT_BOTTOM;
    return align;
}

UINT ReadFloatAlign(UINT align, const wchar_t* value) {
    const wchar_t* p = value;
    while (*p != L'\0') {
        const wchar_t* start = p;
        while (*p != L'\0' && *p != L',' && *p != L' ') ++p;
        align = ApplyFloatAlignWord(align, CUIString(start, static_cast<int>(p - start)));
        if (*p != L'\0') ++p;
    }
    return align;
}

TFloatPercent ReadFloatPercent(const wchar_t* value) {
    wchar_t* end = nullptr;
    TFloatPercent percent;
    percent.left = wcstod(value, &end);
    if (*end != L'\0') ++end;
    percent.top = wcstod(end, &end);
    if (*end != L'\0') ++end;
    percent.right = wcstod(end, &end);
    if (*end != L'\0') ++end;
    percent.bottom = wcstod(end, &end);
    return percent;
}

}  // namespace

bool CControlUI::ApplyStyleOf(const wchar_t* value) {
    if (m_manager == nullptr || m_styleDepth >= kMaxStyleDepth) return false;
    const wchar_t* style = m_manager->GetStyle(value);
    if (style == nullptr) return false;
    ++m_styleDepth;
    ApplyAttributeList(style);
    --m_styleDepth;
    return true;
}

void CControlUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (ApplyStyleOf(value)) return;
    if (Is(name, L"innerstyle")) {
        ApplyAttributeList(value);
    } else if (Is(name, L"pos")) {
        RECT rc = ReadSkinRect(value);
        SIZE xy = {rc.left >= 0 ? rc.left : rc.right, rc.top >= 0 ? rc.top : rc.bottom};
        SetFixedXY(xy);
        SetFixedWidth(rc.right - rc.left);
        SetFixedHeight(rc.bottom - rc.top);
    } else if (Is(name, L"float")) {
        if (wcschr(value, L',') != nullptr) {
            SetFloatPercent(ReadFloatPercent(value));
            SetFloat(true);
        } else {
            SetFloat(ReadSkinBool(value));
        }
    } else if (Is(name, L"floatalign")) {
        SetFloatAlign(ReadFloatAlign(m_floatAlign, value));
    } else if (Is(name, L"padding")) {
        SetPadding(ReadSkinRect(value));
    } else if (Is(name, L"gradient")) {
        SetGradient(value);
    } else if (Is(name, L"bkcolor") || Is(name, L"bkcolor1")) {
        SetBkColor(ReadSkinColor(value, true));
    } else if (Is(name, L"bkcolor2")) {
        SetBkColor2(ReadSkinColor(value, true));
    } else if (Is(name, L"bkcolor3")) {
        SetBkColor3(ReadSkinColor(value, true));
    } else if (Is(name, L"forecolor")) {
        SetForeColor(ReadSkinColor(value, true));
    } else if (Is(name, L"bordercolor")) {
        SetBorderColor(ReadSkinColor(value, false));
    } else if (Is(name, L"focusbordercolor")) {
        SetFocusBorderColor(ReadSkinColor(value, false));
    } else if (Is(name, L"colorhsl")) {
        SetColorHSL(ReadSkinBool(value));
    } else if (Is(name, L"bordersize")) {
        if (wcschr(value, L',') == nullptr) {
            const wchar_t* p = value;
            SetBorderSize(ReadSkinInt(p));
            SetBorderRect(0, 0, 0, 0);
        } else {
            RECT rc = ReadSkinRect(value);
            SetBorderRect(rc.left, rc.top, rc.right, rc.bottom);
        }
    } else {
        SetOtherAttribute(name, value);
    }
}

void CControlUI::SetOtherAttribute(const wchar_t* name, const wchar_t* value) {
    const wchar_t* p = value;
    if (Is(name, L"leftbordersize")) {
        SetLeftBorderSize(ReadSkinInt(p));
    } else if (Is(name, L"topbordersize")) {
        SetTopBorderSize(ReadSkinInt(p));
    } else if (Is(name, L"rightbordersize")) {
        SetRightBorderSize(ReadSkinInt(p));
    } else if (Is(name, L"bottombordersize")) {
        SetBottomBorderSize(ReadSkinInt(p));
    } else if (Is(name, L"borderstyle")) {
        SetBorderStyle(ReadSkinInt(p));
    } else if (Is(name, L"borderround")) {
        SetBorderRound(ReadSkinSize(value));
    } else if (Is(name, L"bkimage")) {
        SetBkImage(value);
    } else if (Is(name, L"foreimage")) {
        SetForeImage(value);
    } else if (Is(name, L"width")) {
        SetFixedWidth(ReadSkinInt(p));
    } else if (Is(name, L"height")) {
        SetFixedHeight(ReadSkinInt(p));
    } else if (Is(name, L"minwidth")) {
        SetMinWidth(ReadSkinInt(p));
    } else if (Is(name, L"minheight")) {
        SetMinHeight(ReadSkinInt(p));
    } else if (Is(name, L"maxwidth")) {
        SetMaxWidth(ReadSkinInt(p));
    } else if (Is(name, L"maxheight")) {
        SetMaxHeight(ReadSkinInt(p));
    } else {
        SetTextAttribute(name, value);
    }
}

void CControlUI::SetTextAttribute(const wchar_t* name, const wchar_t* value) {
    if (Is(name, L"name")) {
        SetName(value);
    } else if (Is(name, L"drag")) {
        SetDragEnabled(ReadSkinBool(value));
    } else if (Is(name, L"drop")) {
        SetDropEnabled(ReadSkinBool(value));
    } else if (Is(name, L"resourcetext")) {
        SetResourceText(ReadSkinBool(value));
    } else if (Is(name, L"text")) {
        SetText(value);
    } else if (Is(name, L"tooltip")) {
        SetToolTip(value);
    } else if (Is(name, L"userdata")) {
        SetUserData(value);
    } else if (Is(name, L"enabled")) {
        SetEnabled(ReadSkinBool(value));
    } else if (Is(name, L"mouse")) {
        SetMouseEnabled(ReadSkinBool(value));
    } else if (Is(name, L"keyboard")) {
        SetKeyboardEnabled(ReadSkinBool(value));
    } else if (Is(name, L"visible")) {
        SetVisible(ReadSkinBool(value));
    } else if (Is(name, L"shortcut")) {
        SetShortcut(value[0]);
    } else if (Is(name, L"menu")) {
        SetContextMenuUsed(ReadSkinBool(value));
    } else if (Is(name, L"cursor")) {
        for (const TCursorWord& cursor : kCursorWords) {
            if (Is(value, cursor.word)) SetCursor(cursor.id);
        }
    } else if (Is(name, L"virtualwnd")) {
        SetVirtualWnd(value);
    } else {
        AddCustomAttribute(name, value);
    }
}

void CControlUI::ApplyAttributeList(const wchar_t* list) {
    if (ApplyStyleOf(list)) return;
    ApplyAttributePairs(list);
}

void CControlUI::ApplyAttributePairs(const wchar_t* list) {
    CUIString text = list;
    text.Replace(L"&quot;", L"\"");
    const wchar_t* p = text;
    while (*p != L'\0') {
        const wchar_t* nameStart = p;
        while (*p != L'\0' && *p != L'=') ++p;
        if (*p == L'\0') return;
        CUIString name(nameStart, static_cast<int>(p - nameStart));
        if (*++p != L'"') return;
        const wchar_t* valueStart = ++p;
        while (*p != L'\0' && *p != L'"') ++p;
        if (*p == L'\0') return;
        CUIString value(valueStart, static_cast<int>(p - valueStart));
        SetAttribute(name, value);
        ++p;
        if (*p != L' ' && *p != L',') return;
        ++p;
    }
}

}  // namespace HiveUI
