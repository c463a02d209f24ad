#include "UICombo.h"

#include <cwchar>

#include "ButtonState.h"
#include "ComboWnd.h"
#include "ControlLook.h"
#include "SkinResources.h"
#include "UIManager.h"
#include "UIRender.h"

namespace HiveUI {

namespace {

IListItemUI* AsRow(CControlUI* control) {
    return control != nullptr ? static_cast<IListItemUI*>(control->GetInterface(L"ListItem")) : nullptr;
}

UINT SetFlags(UINT style, UINT flags, bool on) { return on ? (style | flags) : (style & ~flags); }

// The combo's own text placement: a horizontal position other than the left one and the
// top and bottom placements leave the single-line mode as the words say.
UINT ApplyComboAlign(UINT style, const wchar_t* value) {
    if (wcsstr(value, L"left") != nullptr) style &= ~(DT_CENTER | DT_RIGHT | DT_SINGLELINE);
    if (wcsstr(value, L"center") != nullptr) style = (style & ~DT_RIGHT) | DT_CENTER;
    if (wcsstr(value, L"right") != nullptr) style = (style & ~(DT_CENTER | DT_SINGLELINE)) | DT_RIGHT;
    return style;
}

UINT ApplyComboVAlign(UINT style, const wchar_t* value) {
    if (wcsstr(value, L"top") != nullptr) style = (style & ~(DT_BOTTOM | DT_VCENTER)) | DT_SINGLELINE;
    if (wcsstr(value, L"vcenter") != nullptr) style = (style & ~DT_BOTTOM) | DT_VCENTER | DT_SINGLELINE;
    if (wcsstr(value, L"bottom") != nullptr) style = (style & ~DT_VCENTER) | DT_BOTTOM | DT_SINGLELINE;
    return style;
}

struct ImageKey {
    const wchar_t* name;
    CUIString CComboUI::*field;
};

// The list-style keys whose change shows in the closed combo.
bool RepaintsClosedCombo(const wchar_t* name) {
    return IsKey(name, L"itemfont") || IsKey(name, L"itemtextpadding") || IsKey(name, L"itemtextcolor");
}

}  // namespace

CControlUI* CreateComboControl() { return new CComboUI; }

CComboUI::CComboUI()
    : m_window(nullptr),
      m_curSel(-1),
      m_textColor(0),
      m_disabledTextColor(0),
      m_font(-1),
      m_textStyle(DT_VCENTER | DT_SINGLELINE),
      m_textPadding{0, 0, 0, 0},
      m_showHtml(false),
      m_showShadow(false),
      m_buttonState(0),
      m_dropBoxSize{0, 150},
      m_dropBoxInset{0, 0, 0, 0},
      m_scrollSelect(true) {
    m_listStyle.uTextStyle = DT_VCENTER;
}

CComboUI::~CComboUI() {
    // The drop-down lists our rows and calls back into us: it must not outlive us.
    if (m_window != nullptr) m_window->OwnerGone();
}

const wchar_t* CComboUI::GetClass() const { return L"ComboUI"; }

LPVOID CComboUI::GetInterface(const wchar_t* name) {
    if (IsKey(name, L"Combo")) return static_cast<CComboUI*>(this);
    if (IsKey(name, L"IListOwner")) return static_cast<IListOwnerUI*>(this);
    return CContainerUI::GetInterface(name);
}

UINT CComboUI::GetControlFlags() const { return UIFLAG_TABSTOP | UIFLAG_SETCURSOR; }

int CComboUI::GetListType() { return UILIST_COMBO; }
TListStyle* CComboUI::GetListStyle() { return &m_listStyle; }
int CComboUI::GetCurSel() const { return m_curSel; }
bool CComboUI::SelectMultiItem(int index, bool takeFocus) { return SelectItem(index, takeFocus); }
bool CComboUI::UnSelectItem(int, bool) { return false; }

bool CComboUI::SelectItem(int index, bool takeFocus) {
    if (index == m_curSel) return true;
    const int old = m_curSel;
    if (m_curSel >= 0) {
        IListItemUI* row = AsRow(GetItemAt(m_curSel));
        if (row == nullptr) return false;
        row->Select(false);
        m_curSel = -1;
    }
    if (index < 0 || GetCount() == 0) return false;
    if (index >= GetCount()) index = GetCount() - 1;
    CControlUI* control = GetItemAt(index);
    IListItemUI* row = AsRow(control);
    if (row == nullptr || !control->IsEnabled()) return false;
    m_curSel = index;
    if (m_window != nullptr || takeFocus) control->SetFocus();
    row->Select(true);
    if (m_manager != nullptr) m_manager->SendNotify(this, L"itemselect", static_cast<WPARAM>(m_curSel), old);
    Invalidate();
    return true;
}

// ---- Rows

void CComboUI::RenumberRows(int from) {
    for (int i = from < 0 ? 0 : from; i < GetCount(); ++i) {
        if (IListItemUI* row = AsRow(GetItemAt(i))) row->SetIndex(i);
    }
}

void CComboUI::HideRows() {
    const RECT empty = {0, 0, 0, 0};
    for (int i = 0; i < GetCount(); ++i) GetItemAt(i)->SetPos(empty, false);
}

bool CComboUI::Add(CControlUI* control) {
    if (IListItemUI* row = AsRow(control)) {
        row->SetOwner(this);
        row->SetIndex(GetCount());
    }
    return CContainerUI::Add(control);
}

bool CComboUI::AddAt(CControlUI* control, int index) {
    if (!CContainerUI::AddAt(control, index)) return false;
    if (IListItemUI* row = AsRow(control)) {
        row->SetOwner(this);
        row->SetIndex(index);
    }
    RenumberRows(index + 1);
    if (m_curSel >= index) ++m_curSel;
    return true;
}

bool CComboUI::SetItemIndex(CControlUI* control, int index) {
    const int old = GetItemIndex(control);
    if (old < 0) return false;
    if (old == index) return true;
    IListItemUI* selected = AsRow(GetItemAt(m_curSel));
    if (!CContainerUI::SetItemIndex(control, index)) return false;
    RenumberRows(old < index ? old : index);
    if (selected != nullptr) m_curSel = selected->GetIndex();
    return true;
}

bool CComboUI::Remove(CControlUI* control) {
    const int index = GetItemIndex(control);
    if (index < 0) return false;
    // An open drop-down lists the same rows: it lets go of this one before it is freed.
    if (m_window != nullptr) m_window->ForgetItem(control);
    if (!CContainerUI::Remove(control)) return false;
    AfterRemoval(index);
    return true;
}

bool CComboUI::RemoveAt(int index) { return Remove(GetItemAt(index)); }

void CComboUI::AfterRemoval(int removed) {
    RenumberRows(removed);
    if (removed == m_curSel) {
        m_curSel = -1;
        SelectItem(FindSelectable(removed, false), false);
    } else if (removed < m_curSel) {
        --m_curSel;
    }
}

void CComboUI::RemoveAll() {
    m_curSel = -1;
    if (m_window != nullptr) m_window->ForgetAllItems();
    CContainerUI::RemoveAll();
}

// ---- Behaviour

bool CComboUI::Activate() {
    if (!CControlUI::Activate()) return false;
    if (m_manager != nullptr) m_manager->SendNotify(this, L"predropdown");
    if (m_window != nullptr) return true;
    m_window = new CComboWnd;
    m_window->Init(this);
    if (m_manager != nullptr) m_manager->SendNotify(this, L"dropdown");
    Invalidate();
    return true;
}

CUIString CComboUI::GetText() const {
    CControlUI* item = GetItemAt(m_curSel);
    return item != nullptr ? item->GetText() : CUIString();
}

void CComboUI::SetEnabled(bool enable) {
    CContainerUI::SetEnabled(enable);
    if (!IsEnabled()) m_buttonState = 0;
}

SIZE CComboUI::EstimateSize(SIZE available) {
    if (GetFixedHeight() != 0 || m_manager == nullptr) return CControlUI::EstimateSize(available);
    TFontEntry* font = m_manager->GetDefaultFontInfo();
    const int height = font != nullptr ? static_cast<int>(font->metrics.tmHeight) : 0;
    return SIZE{GetFixedWidth(), height + 12};
}

void CComboUI::SetPos(RECT rect, bool needInvalidate) {
    if (EqualRect(&rect, &m_item)) return;
    if (m_window != nullptr) m_window->Close();
    HideRows();
    CControlUI::SetPos(rect, needInvalidate);
}

void CComboUI::Move(SIZE offset, bool needInvalidate) { CControlUI::Move(offset, needInvalidate); }

bool CComboUI::DoPaint(HDC hdc, const RECT& paint, CControlUI* stopControl) {
    return CControlUI::DoPaint(hdc, paint, stopControl);
}

bool CComboUI::DoKeyDown(TEventInfo& event) {
    const int last = GetCount() - 1;
    switch (event.chKey) {
        case VK_UP:
        case VK_PRIOR:
            SelectItem(FindSelectable(m_curSel - 1, false));
            return true;
        case VK_DOWN:
        case VK_NEXT:
            SelectItem(FindSelectable(m_curSel + 1, true));
            return true;
        case VK_HOME:
            SelectItem(FindSelectable(0, false));
            return true;
        case VK_END:
            SelectItem(FindSelectable(last, true));
            return true;
        case VK_F4:
            Activate();
            return true;
        default:
            return false;
    }
}

void CComboUI::DoEvent(TEventInfo& event) {
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        if (m_parent != nullptr) {
            m_parent->DoEvent(event);
        } else {
            CContainerUI::DoEvent(event);
        }
        return;
    }
    switch (event.Type) {
        case UIEVENT_SETFOCUS:
        case UIEVENT_KILLFOCUS:
            Invalidate();
            break;
        case UIEVENT_BUTTONDOWN:
            if (IsEnabled()) {
                Activate();
                m_buttonState |= UISTATE_PUSHED | UISTATE_CAPTURED;
            }
            return;
        case UIEVENT_BUTTONUP:
            if ((m_buttonState & UISTATE_CAPTURED) != 0) {
                m_buttonState &= ~UISTATE_CAPTURED;
                Invalidate();
            }
            return;
        case UIEVENT_MOUSEMOVE:
        case UIEVENT_CONTEXTMENU:
            return;
        case UIEVENT_KEYDOWN:
            if (DoKeyDown(event)) return;
            break;
        case UIEVENT_SCROLLWHEEL:
            if (m_scrollSelect) {
                const bool down = LOWORD(event.wParam) == SB_LINEDOWN;
                SelectItem(FindSelectable(m_curSel + (down ? 1 : -1), down));
            }
            return;
        case UIEVENT_MOUSEENTER:
            if (PtInRect(&m_item, event.ptMouse)) {
                m_buttonState |= UISTATE_HOT;
                Invalidate();
            }
            return;
        case UIEVENT_MOUSELEAVE:
            if ((m_buttonState & UISTATE_HOT) != 0) {
                m_buttonState &= ~UISTATE_HOT;
                Invalidate();
            }
            return;
        default:
            break;
    }
    CControlUI::DoEvent(event);
}

// ---- Painting

void CComboUI::PaintStatusImage(HDC hdc) {
    m_buttonState = SetFlags(m_buttonState, UISTATE_FOCUSED, IsFocused());
    m_buttonState = SetFlags(m_buttonState, UISTATE_DISABLED, !IsEnabled());
    PaintButtonStateImage(*this, hdc, m_buttonState,
                          {m_normalImage, m_hotImage, m_pushedImage, m_focusedImage, m_disabledImage});
}

void CComboUI::PaintText(HDC hdc) {
    if (m_manager == nullptr) return;
    if (m_textColor == 0) m_textColor = m_manager->GetDefaultFontColor();
    if (m_disabledTextColor == 0) m_disabledTextColor = m_manager->GetDefaultDisabledColor();
    RECT rect = m_item;
    rect.left += m_textPadding.left;
    rect.top += m_textPadding.top;
    rect.right -= m_textPadding.right;
    rect.bottom -= m_textPadding.bottom;
    const CUIString text = GetText();
    if (text.IsEmpty()) return;
    const DWORD color = IsEnabled() ? m_textColor : m_disabledTextColor;
    if (m_showHtml) {
        int links = 0;
        CUIRender::DrawHtmlText(hdc, m_manager, rect, text, color, nullptr, nullptr, links, m_font, m_textStyle);
    } else {
        CUIRender::DrawText(hdc, m_manager, rect, text, color, m_font, m_textStyle);
    }
}

// ---- Attributes

void CComboUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    static const ImageKey kImages[] = {
        {L"normalimage", &CComboUI::m_normalImage},   {L"hotimage", &CComboUI::m_hotImage},
        {L"pushedimage", &CComboUI::m_pushedImage},   {L"focusedimage", &CComboUI::m_focusedImage},
        {L"disabledimage", &CComboUI::m_disabledImage},
    };
    const bool isTrue = ReadSkinBool(value);
    if (IsKey(name, L"align")) {
        m_textStyle = ApplyComboAlign(m_textStyle, value);
    } else if (IsKey(name, L"valign")) {
        m_textStyle = ApplyComboVAlign(m_textStyle, value);
    } else if (IsKey(name, L"endellipsis")) {
        m_textStyle = SetFlags(m_textStyle, DT_END_ELLIPSIS, isTrue);
    } else if (IsKey(name, L"wordbreak")) {
        m_textStyle = isTrue ? ((m_textStyle & ~DT_SINGLELINE) | DT_WORDBREAK | DT_EDITCONTROL)
                             : ((m_textStyle & ~(DT_WORDBREAK | DT_EDITCONTROL)) | DT_SINGLELINE);
    } else if (IsKey(name, L"font")) {
        SetLook(*this, m_font, ReadSkinNumber(value));
    } else if (IsKey(name, L"textcolor")) {
        SetLook(*this, m_textColor, ReadSkinColor(value, false));
    } else if (IsKey(name, L"disabledtextcolor")) {
        SetLook(*this, m_disabledTextColor, ReadSkinColor(value, false));
    } else if (IsKey(name, L"textpadding")) {
        SetLook(*this, m_textPadding, ReadSkinRect(value));
    } else if (IsKey(name, L"showhtml")) {
        if (m_showHtml != isTrue) SetLook(*this, m_showHtml, isTrue);
    } else if (IsKey(name, L"showshadow")) {
        if (m_showShadow != isTrue) SetLook(*this, m_showShadow, isTrue);
    } else if (IsKey(name, L"scrollselect")) {
        m_scrollSelect = isTrue;
    } else if (IsKey(name, L"dropbox")) {
        m_dropBoxAttributes = value;
    } else if (IsKey(name, L"dropboxsize")) {
        m_dropBoxSize = ReadSkinSize(value);
    } else if (IsKey(name, L"dropboxinset")) {
        m_dropBoxInset = ReadSkinRect(value);
    } else {
        for (const ImageKey& key : kImages) {
            if (!IsKey(name, key.name)) continue;
            SetLook(*this, this->*key.field, CUIString(value));
            return;
        }
        // The right-button selection belongs to lists only.
        const ListStyleChange change = wcscmp(name, L"itemrselected") == 0
                                           ? ListStyleChange::kUnknownKey
                                           : SetListStyleAttribute(m_listStyle, name, value);
        if (change == ListStyleChange::kUnknownKey) {
            CContainerUI::SetAttribute(name, value);
        } else if (RepaintsClosedCombo(name) || (IsKey(name, L"itemshowhtml") && change != ListStyleChange::kNothing)) {
            Invalidate();
        }
    }
}

}  // namespace HiveUI
