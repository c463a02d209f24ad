#include "UIRichEdit.h"

#include <imm.h>
#include <richedit.h>
#include <windowsx.h>
#include <textserv.h>

#include <cwchar>
#include <vector>

#include "ButtonState.h"
#include "ControlLook.h"
#include "RenderClip.h"
#include "ScopedHandle.h"
#include "SkinValue.h"
#include "TxtWinHost.h"
#include "UIManager.h"
#include "UIRender.h"
#include "UIScrollBar.h"

namespace HiveUI {

namespace {

const UINT kCaretTimer = 20;
const int kDefaultLimit = 32767;

enum MenuCommand : UINT {
    kMenuUndo = 101,
    kMenuCut = 102,
    kMenuCopy = 103,
    kMenuPaste = 104,
    kMenuClear = 105,
    kMenuSelectAll = 106,
    kMenuRedo = 107,
};

bool IsExact(const wchar_t* name, const wchar_t* key) { return wcscmp(name, key) == 0; }
bool IsTrue(const wchar_t* value) { return wcscmp(value, L"true") == 0; }
bool Has(const wchar_t* value, const wchar_t* word) { return wcsstr(value, word) != nullptr; }
bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST; }

RECT Inset(RECT rect, const RECT& inset) {
    rect.left += inset.left;
    rect.top += inset.top;
    rect.right -= inset.right;
    rect.bottom -= inset.bottom;
    return rect;
}

struct CMenuTraits {
    using Handle = HMENU;
    static HMENU Null() { return nullptr; }
    static bool IsValid(HMENU menu) { return menu != nullptr; }
    static void Free(HMENU menu) { ::DestroyMenu(menu); }
};
using CScopedMenu = CScopedHandle<CMenuTraits>;

bool IsShown(const CScrollBarUI* bar) { return bar != nullptr && bar->IsVisible(); }

// The event and notification codes whose records go on to the window as WM_NOTIFY.
bool IsForwardedNotify(DWORD code) {
    switch (code) {
        case EN_MSGFILTER: case EN_SELCHANGE: case EN_DROPFILES: case EN_PROTECTED: case EN_STOPNOUNDO:
        case EN_SAVECLIPBOARD: case EN_OLEOPFAILED: case EN_OBJECTPOSITIONS: case EN_LINK:
        case EN_DRAGDROPDONE:
            return true;
        default:
            return false;
    }
}

}  // namespace

CControlUI* CreateRichEditControl() { return new CRichEditUI; }

CRichEditUI::CRichEditUI()
    : m_host(nullptr),
      m_barShownByText(false),
      m_wantTab(true),
      m_wantReturn(true),
      m_wantCtrlReturn(true),
      m_transparent(true),
      m_rich(true),
      m_readOnly(false),
      m_textColor(0),
      m_font(-1),
      m_limit(kDefaultLimit),
      m_style(ES_MULTILINE),
      m_drawCaret(true),
      m_inited(false),
      m_textPadding{0, 0, 0, 0},
      m_state(0),
      m_tipValueColor(0xFFBAC0C5),
      m_tipValueAlign(DT_SINGLELINE) {}

CRichEditUI::~CRichEditUI() {
    if (m_host != nullptr) {
        m_host->Close();
        m_host->Release();
        m_host = nullptr;
    }
    if (m_manager != nullptr) {
        m_manager->RemoveMessageFilter(this);
        m_manager->KillTimer(this, kCaretTimer);
    }
}

const wchar_t* CRichEditUI::GetClass() const { return L"RichEdit"; }

LPVOID CRichEditUI::GetInterface(const wchar_t* name) {
    if (wcscmp(name, L"RichEdit") == 0) return this;
    return CContainerUI::GetInterface(name);
}

HRESULT CRichEditUI::TxSendMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) const {
    LRESULT ignored = 0;
    if (result == nullptr) result = &ignored;
    *result = 0;
    if (m_host == nullptr || m_host->GetTextServices() == nullptr) return S_FALSE;
    if (msg == WM_KEYDOWN && wParam == VK_RETURN) {
        const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
        if (!m_wantReturn || (ctrl && !m_wantCtrlReturn)) {
            if (m_manager != nullptr) m_manager->SendNotify(const_cast<CRichEditUI*>(this), L"return");
            return S_OK;
        }
    }
    return m_host->GetTextServices()->TxSendMessage(msg, wParam, lParam, result);
}

bool CRichEditUI::OnTxViewChanged() { return true; }

void CRichEditUI::OnTxNotify(DWORD code, void* data) {
    if (code == EN_CHANGE) {
        if (m_manager != nullptr) m_manager->SendNotify(this, L"textchanged");
        return;
    }
    if (!IsForwardedNotify(code) || data == nullptr || m_manager == nullptr) return;
    const HWND wnd = m_manager->GetPaintWindow();
    if (!::IsWindow(wnd)) return;
    NMHDR* header = static_cast<NMHDR*>(data);
    header->hwndFrom = wnd;
    header->idFrom = static_cast<UINT_PTR>(::GetWindowLongPtrW(wnd, GWLP_ID));
    header->code = code;
    ::SendMessageW(wnd, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
}

// ---- Text and editing ----

long CRichEditUI::GetTextLength(DWORD flags) const {
    GETTEXTLENGTHEX request = {flags, 1200};
    LRESULT length = 0;
    TxSendMessage(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&request), 0, &length);
    return static_cast<long>(length);
}

CUIString CRichEditUI::GetText() const {
    if (m_host == nullptr || m_host->GetTextServices() == nullptr) return m_text;
    const long length = GetTextLength(GTL_DEFAULT);
    if (length <= 0) return CUIString();
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    GETTEXTEX request = {};
    request.cb = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    request.flags = GT_DEFAULT;
    request.codepage = 1200;
    LRESULT copied = 0;
    TxSendMessage(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request), reinterpret_cast<LPARAM>(buffer.data()), &copied);
    buffer.back() = L'\0';
    return CUIString(buffer.data());
}

void CRichEditUI::SetText(const wchar_t* text) {
    m_text = text;
    if (m_host == nullptr) return;
    SetSelAll();
    ReplaceSel(text, false);
}

void CRichEditUI::SetSel(long start, long end) {
    CHARRANGE range = {start, end};
    TxSendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range), nullptr);
}

void CRichEditUI::ReplaceSel(const wchar_t* text, bool canUndo) {
    TxSendMessage(EM_REPLACESEL, canUndo ? TRUE : FALSE, reinterpret_cast<LPARAM>(text), nullptr);
}

void CRichEditUI::SetSelAll() { SetSel(0, -1); }

WORD CRichEditUI::GetSelectionType() const {
    LRESULT type = 0;
    TxSendMessage(EM_SELECTIONTYPE, 0, 0, &type);
    return LOWORD(type);
}

bool CRichEditUI::CanUndo() const {
    LRESULT answer = 0;
    return m_host != nullptr && TxSendMessage(EM_CANUNDO, 0, 0, &answer) == S_OK && answer == 1;
}

bool CRichEditUI::CanRedo() const {
    LRESULT answer = 0;
    return m_host != nullptr && TxSendMessage(EM_CANREDO, 0, 0, &answer) == S_OK && answer == 1;
}

bool CRichEditUI::Undo() {
    LRESULT answer = 0;
    return m_host != nullptr && TxSendMessage(EM_UNDO, 0, 0, &answer) == S_OK && answer == 1;
}

bool CRichEditUI::Redo() {
    LRESULT answer = 0;
    return m_host != nullptr && TxSendMessage(EM_REDO, 0, 0, &answer) == S_OK && answer == 1;
}

void CRichEditUI::Cut() { TxSendMessage(WM_CUT, 0, 0, nullptr); }
void CRichEditUI::Copy() { TxSendMessage(WM_COPY, 0, 0, nullptr); }
void CRichEditUI::Paste() { TxSendMessage(WM_PASTE, 0, 0, nullptr); }
void CRichEditUI::Clear() { TxSendMessage(WM_CLEAR, 0, 0, nullptr); }

// ---- Settings ----

void CRichEditUI::SetMultiLine(bool multiLine) {
    m_style = multiLine ? (m_style | ES_MULTILINE) : (m_style & ~ES_MULTILINE);
}

void CRichEditUI::SetTransparent(bool transparent) {
    m_transparent = transparent;
    if (m_host != nullptr) m_host->SetTransparent(transparent);
}

void CRichEditUI::SetRich(bool rich) {
    m_rich = rich;
    if (m_host != nullptr) m_host->SetRichTextFlag(rich);
}

void CRichEditUI::SetFont(int font) {
    m_font = font;
    if (m_host != nullptr && m_manager != nullptr) m_host->SetFont(m_manager->GetFont(font));
}

void CRichEditUI::SetTextColor(DWORD color) {
    m_textColor = color;
    if (m_host != nullptr) m_host->SetColor(color);
}

void CRichEditUI::SetLimitText(int count) {
    m_limit = count < 1 ? kDefaultLimit : count;
    if (m_host != nullptr) m_host->SetMaxLength(m_limit);
}

void CRichEditUI::SetNormalImage(const wchar_t* image) { SetLook(*this, m_normalImage, CUIString(image)); }
void CRichEditUI::SetHotImage(const wchar_t* image) { SetLook(*this, m_hotImage, CUIString(image)); }
void CRichEditUI::SetFocusedImage(const wchar_t* image) { SetLook(*this, m_focusedImage, CUIString(image)); }
void CRichEditUI::SetDisabledImage(const wchar_t* image) { SetLook(*this, m_disabledImage, CUIString(image)); }
void CRichEditUI::SetTextPadding(RECT padding) { SetLook(*this, m_textPadding, padding); }

void CRichEditUI::SetTipValueColor(const wchar_t* color) {
    m_tipValueColor = ReadSkinColor(color, false);
    Invalidate();
}

void CRichEditUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (IsExact(name, L"vscrollbar")) {
        if (IsTrue(value)) m_style |= WS_VSCROLL | ES_DISABLENOSCROLL;
        CContainerUI::SetAttribute(name, value);
    } else if (IsExact(name, L"autovscroll")) {
        if (IsTrue(value)) m_style |= ES_AUTOVSCROLL;
        CContainerUI::SetAttribute(name, value);
    } else if (IsExact(name, L"hscrollbar")) {
        if (IsTrue(value)) m_style |= WS_HSCROLL | ES_DISABLENOSCROLL;
        CContainerUI::SetAttribute(name, value);
    } else if (IsExact(name, L"autohscroll")) {
        if (IsTrue(value)) m_style |= ES_AUTOHSCROLL;
    } else if (_wcsicmp(name, L"multiline") == 0) {
        SetMultiLine(IsTrue(value));
    } else if (IsExact(name, L"wanttab")) {
        SetWantTab(IsTrue(value));
    } else if (IsExact(name, L"wantreturn")) {
        SetWantReturn(IsTrue(value));
    } else if (IsExact(name, L"wantctrlreturn")) {
        SetWantCtrlReturn(IsTrue(value));
    } else if (IsExact(name, L"transparent")) {
        SetTransparent(IsTrue(value));
    } else if (IsExact(name, L"rich")) {
        SetRich(IsTrue(value));
    } else if (IsExact(name, L"readonly")) {
        if (!IsTrue(value)) return;
        m_style |= ES_READONLY;
        m_readOnly = true;
    } else if (IsExact(name, L"password")) {
        if (IsTrue(value)) m_style |= ES_PASSWORD;
    } else if (IsExact(name, L"align")) {
        if (Has(value, L"left")) m_style &= ~(ES_CENTER | ES_RIGHT);
        if (Has(value, L"center")) m_style = (m_style & ~ES_RIGHT) | ES_CENTER;
        if (Has(value, L"right")) m_style = (m_style & ~ES_CENTER) | ES_RIGHT;
    } else if (IsExact(name, L"font")) {
        SetFont(ReadSkinNumber(value));
    } else if (IsExact(name, L"textcolor")) {
        SetTextColor(ReadSkinColor(value, true));
    } else if (_wcsicmp(name, L"maxchar") == 0) {
        SetLimitText(ReadSkinNumber(value));
    } else if (_wcsicmp(name, L"normalimage") == 0) {
        SetNormalImage(value);
    } else if (_wcsicmp(name, L"hotimage") == 0) {
        SetHotImage(value);
    } else if (_wcsicmp(name, L"focusedimage") == 0) {
        SetFocusedImage(value);
    } else if (_wcsicmp(name, L"disabledimage") == 0) {
        SetDisabledImage(value);
    } else if (_wcsicmp(name, L"textpadding") == 0) {
        SetTextPadding(ReadSkinRect(value));
    } else if (_wcsicmp(name, L"tipvalue") == 0) {
        SetTipValue(value);
    } else if (_wcsicmp(name, L"tipvaluecolor") == 0) {
        SetTipValueColor(value);
    } else if (_wcsicmp(name, L"tipvaluealign") == 0) {
        if (Has(value, L"left")) m_tipValueAlign = DT_SINGLELINE;
        if (Has(value, L"center")) m_tipValueAlign = DT_SINGLELINE | DT_CENTER;
        if (Has(value, L"right")) m_tipValueAlign = DT_SINGLELINE | DT_RIGHT;
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

// ---- Creation ----

void CRichEditUI::DoInit() {
    if (m_inited) return;
    auto* host = new CTxtWinHost;
    if (!host->Init(this, m_style, m_text)) {
        host->Close();
        host->Release();
        m_inited = true;
        return;
    }
    m_host = host;
    if (m_transparent) m_host->SetTransparent(true);
    LRESULT ignored = 0;
    TxSendMessage(EM_SETLANGOPTIONS, 0, 0, &ignored);
    TxSendMessage(EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_DROPFILES | ENM_LINK, &ignored);
    m_host->Activate(nullptr);
    if (m_manager != nullptr) {
        m_manager->AddMessageFilter(this);
        if (m_manager->IsLayered()) m_manager->SetTimer(this, kCaretTimer, ::GetCaretBlinkTime());
        if (!IsEnabled()) m_host->SetColor(m_manager->GetDefaultDisabledColor());
    }
    m_inited = true;
}

// ---- Layout ----

LONG CRichEditUI::NaturalHeight(int width) const {
    const RECT& client = m_host->GetClientRect();
    LONG naturalWidth = width;
    LONG naturalHeight = 0;
    const SIZEL extent = {-1, -1};
    if (FAILED(m_host->GetTextServices()->TxGetNaturalSize(DVASPECT_CONTENT, m_manager->GetPaintDC(), nullptr, nullptr,
                                                           TXTNS_FITTOCONTENT, &extent, &naturalWidth,
                                                           &naturalHeight))) {
        return client.bottom - client.top;
    }
    return naturalHeight;
}

// The text services may hide a bar they no longer need; one that the text itself still
// overflows comes back.
void CRichEditUI::FitBarToContent(int barWidth) {
    const RECT& client = m_host->GetClientRect();
    const LONG natural = NaturalHeight(client.right - client.left + barWidth);
    if (natural > client.bottom - client.top) {
        m_verticalScrollBar->SetVisible(true);
        m_verticalScrollBar->SetScrollPos(0);
        m_barShownByText = true;
    } else {
        m_verticalScrollBar->SetVisible(false);
        m_barShownByText = false;
    }
}

void CRichEditUI::SetPos(RECT rect, bool needInvalidate) {
    CControlUI::SetPos(rect, needInvalidate);
    // Both areas as they are on entry: the text services may show or hide a bar below.
    const RECT text = VisibleContentRect(m_inset);
    const RECT children = ScrolledContentRect(m_inset);
    const bool barOnEntry = IsShown(m_verticalScrollBar);
    if (m_host != nullptr && m_host->GetTextServices() != nullptr) {
        m_host->SetClientRect(Inset(text, ScaleRect(m_textPadding)));
        if (barOnEntry && (!m_verticalScrollBar->IsVisible() || m_barShownByText))
            FitBarToContent(m_verticalScrollBar->GetFixedWidth());
    }
    if (m_verticalScrollBar != nullptr && m_verticalScrollBar->IsVisible()) {
        m_verticalScrollBar->SetPos(
            RECT{text.right, text.top, text.right + m_verticalScrollBar->GetFixedWidth(), text.bottom});
    }
    if (m_horizontalScrollBar != nullptr && m_horizontalScrollBar->IsVisible()) {
        m_horizontalScrollBar->SetPos(
            RECT{text.left, text.bottom, text.right, text.bottom + m_horizontalScrollBar->GetFixedHeight()});
    }
    PlaceChildren(children);
}

void CRichEditUI::Move(SIZE offset, bool needInvalidate) {
    CContainerUI::Move(offset, needInvalidate);
    if (m_host != nullptr) m_host->SetClientRect(VisibleContentRect(m_inset));
}

// ---- Scrolling ----

void CRichEditUI::ScrollBy(UINT msg, WORD code) {
    LRESULT ignored = 0;
    TxSendMessage(msg, code, 0, &ignored);
}

void CRichEditUI::SetScrollPos(SIZE pos, bool notify) {
    (void)notify;
    if (m_host == nullptr) return;
    CScrollBarUI* vertical = IsShown(m_verticalScrollBar) ? m_verticalScrollBar : nullptr;
    CScrollBarUI* horizontal = IsShown(m_horizontalScrollBar) ? m_horizontalScrollBar : nullptr;
    const int oldY = vertical != nullptr ? vertical->GetScrollPos() : 0;
    const int oldX = horizontal != nullptr ? horizontal->GetScrollPos() : 0;
    if (vertical != nullptr) vertical->SetScrollPos(pos.cy);
    if (horizontal != nullptr) horizontal->SetScrollPos(pos.cx);
    LRESULT ignored = 0;
    if (vertical != nullptr && vertical->GetScrollPos() != oldY) {
        const int wanted = vertical->GetScrollPos();
        TxSendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, wanted), 0, &ignored);
        // Plain text scrolls by whole lines and may stop short of where the bar was put.
        if (!m_rich && wanted > oldY && vertical->GetScrollPos() <= wanted) vertical->SetScrollPos(wanted);
    }
    if (horizontal != nullptr && horizontal->GetScrollPos() != oldX)
        TxSendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, horizontal->GetScrollPos()), 0, &ignored);
}

void CRichEditUI::LineUp() { ScrollBy(WM_VSCROLL, SB_LINEUP); }

void CRichEditUI::LineDown() {
    CScrollBarUI* vertical = IsShown(m_verticalScrollBar) ? m_verticalScrollBar : nullptr;
    const int before = vertical != nullptr ? vertical->GetScrollPos() : 0;
    ScrollBy(WM_VSCROLL, SB_LINEDOWN);
    if (!m_rich && vertical != nullptr && vertical->GetScrollPos() <= before)
        vertical->SetScrollPos(vertical->GetScrollRange());
}

void CRichEditUI::PageUp() { ScrollBy(WM_VSCROLL, SB_PAGEUP); }
void CRichEditUI::PageDown() { ScrollBy(WM_VSCROLL, SB_PAGEDOWN); }
void CRichEditUI::HomeUp() { ScrollBy(WM_VSCROLL, SB_TOP); }
void CRichEditUI::EndDown() { ScrollBy(WM_VSCROLL, SB_BOTTOM); }
void CRichEditUI::LineLeft() { ScrollBy(WM_HSCROLL, SB_LINELEFT); }
void CRichEditUI::LineRight() { ScrollBy(WM_HSCROLL, SB_LINERIGHT); }
void CRichEditUI::PageLeft() { ScrollBy(WM_HSCROLL, SB_PAGELEFT); }
void CRichEditUI::PageRight() { ScrollBy(WM_HSCROLL, SB_PAGERIGHT); }
void CRichEditUI::HomeLeft() { ScrollBy(WM_HSCROLL, SB_LEFT); }
void CRichEditUI::EndRight() { ScrollBy(WM_HSCROLL, SB_RIGHT); }

// ---- Events ----

void CRichEditUI::BlinkCaret() {
    if (m_host == nullptr || !IsFocused() || m_manager == nullptr) return;
    if (::GetFocus() != m_manager->GetPaintWindow()) return;
    m_drawCaret = !m_drawCaret;
    POINT caret = {};
    ::GetCaretPos(&caret);
    RECT area = {caret.x, caret.y, caret.x + m_host->GetCaretWidth(), caret.y + m_host->GetCaretHeight()};
    for (CControlUI* clip = this; clip != nullptr; clip = clip->GetParent()) {
        if (!::IntersectRect(&area, &area, &clip->GetPos())) return;
    }
    m_manager->InvalidateRect(area);
}

void CRichEditUI::DoEvent(TEventInfo& event) {
    if (!IsMouseEnabled() && event.Type >= UIEVENT_MOUSEMOVE && event.Type <= UIEVENT_SCROLLWHEEL) {
        if (m_parent != nullptr) {
            m_parent->DoEvent(event);
        } else {
            CControlUI::DoEvent(event);
        }
        return;
    }
    LRESULT ignored = 0;
    switch (event.Type) {
        case UIEVENT_SETCURSOR:
            if (IsEnabled() && m_host != nullptr && m_host->DoSetCursor(nullptr, event.ptMouse)) return;
            break;
        case UIEVENT_WINDOWSIZE:
            if (m_host != nullptr) m_host->NeedFreshCaret();
            break;
        case UIEVENT_SETFOCUS:
        case UIEVENT_KILLFOCUS: {
            const bool gain = event.Type == UIEVENT_SETFOCUS;
            if (m_host != nullptr) {
                m_host->Activate(nullptr);
                TxSendMessage(gain ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0, &ignored);
            }
            m_focused = gain;
            Invalidate();
            return;
        }
        case UIEVENT_TIMER:
            if (event.wParam != kCaretTimer) {
                TxSendMessage(WM_TIMER, event.wParam, event.lParam, &ignored);
            } else {
                BlinkCaret();
            }
            return;
        case UIEVENT_SCROLLWHEEL:
            if ((event.wKeyState & MK_CONTROL) != 0) return;
            break;
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_BUTTONUP:
        case UIEVENT_DBLCLICK:
        case UIEVENT_MOUSEMOVE:
        case UIEVENT_KEYDOWN:
        case UIEVENT_KEYUP:
        case UIEVENT_CHAR:
        case UIEVENT_SYSKEY:
            // The message filter already gave these to the text services.
            return;
        default:
            break;
    }
    CContainerUI::DoEvent(event);
}

// ---- The message filter ----

// Mouse messages belong to the text services only over this control's text, and only
// while no other control holds the mouse.
bool CRichEditUI::HostOwnsMouse(UINT msg, LPARAM lParam, bool& handled) {
    if (m_host->IsCaptured()) return true;
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (msg == WM_SETCURSOR) {
        ::GetCursorPos(&pt);
        ::ScreenToClient(m_manager->GetPaintWindow(), &pt);
    } else if (msg == WM_MOUSEWHEEL) {
        ::ScreenToClient(m_manager->GetPaintWindow(), &pt);
    }
    if (msg >= WM_MOUSEMOVE && msg <= WM_RBUTTONUP && m_manager->FindControlAt(pt) != this) return false;
    const RECT& client = m_host->GetClientRect();
    if (!::PtInRect(&client, pt) || m_manager->IsCaptured()) return false;
    if (msg == WM_SETCURSOR) handled = false;
    return true;
}

void CRichEditUI::ShowContextMenu(POINT pt) {
    CScopedMenu menu(::CreatePopupMenu());
    if (menu.Get() == nullptr) return;
    const HMENU popup = menu.Get();
    ::AppendMenuW(popup, MF_STRING, kMenuUndo, L"撤销(&U)");
    ::AppendMenuW(popup, MF_STRING, kMenuRedo, L"重做(&R)");
    ::AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(popup, MF_STRING, kMenuCut, L"剪切(&X)");
    ::AppendMenuW(popup, MF_STRING, kMenuCopy, L"复制(&C)");
    ::AppendMenuW(popup, MF_STRING, kMenuPaste, L"粘帖(&V)");
    ::AppendMenuW(popup, MF_STRING, kMenuClear, L"清空(&L)");
    ::AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(popup, MF_STRING, kMenuSelectAll, L"全选(&A)");
    const auto grey = [popup](UINT id) { ::EnableMenuItem(popup, id, MF_BYCOMMAND | MF_GRAYED); };
    if (!CanUndo()) grey(kMenuUndo);
    if (!CanRedo()) grey(kMenuRedo);
    if (GetSelectionType() == SEL_EMPTY) {
        grey(kMenuCut);
        grey(kMenuCopy);
        grey(kMenuClear);
    }
    if (m_readOnly) {
        grey(kMenuCut);
        grey(kMenuPaste);
        grey(kMenuClear);
    }
    ::ClientToScreen(m_manager->GetPaintWindow(), &pt);
    ::TrackPopupMenu(popup, TPM_RIGHTBUTTON, pt.x, pt.y, 0, m_manager->GetPaintWindow(), nullptr);
}

LRESULT CRichEditUI::MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (!IsVisible() || !IsEnabled() || m_host == nullptr || m_manager == nullptr) return 0;
    if (IsMouseMessage(msg) && !IsMouseEnabled()) return 0;
    if (msg == WM_MOUSEWHEEL && (LOWORD(wParam) & MK_CONTROL) == 0) return 0;
    bool decided = true;
    if (msg == WM_IME_COMPOSITION) {
        const HIMC context = ::ImmGetContext(m_manager->GetPaintWindow());
        if (context != nullptr) {
            POINT caret = {};
            ::GetCaretPos(&caret);
            COMPOSITIONFORM form = {};
            form.dwStyle = CFS_POINT;
            form.ptCurrentPos = caret;
            ::ImmSetCompositionWindow(context, &form);
            ::ImmReleaseContext(m_manager->GetPaintWindow(), context);
        }
        return 0;
    }
    if (IsMouseMessage(msg) || msg == WM_SETCURSOR) {
        if (!HostOwnsMouse(msg, lParam, decided)) return 0;
        if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDOWN) {
            if (!m_manager->IsNoActivate()) ::SetFocus(m_manager->GetPaintWindow());
            SetFocus();
        }
    } else if (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) {
        if (!IsFocused()) return 0;
    } else if (msg == WM_CONTEXTMENU) {
        POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ScreenToClient(m_manager->GetPaintWindow(), &pt);
        if (m_manager->FindControlAt(pt) != this) return 0;
        ShowContextMenu(pt);
        decided = true;
    } else if (msg == WM_COMMAND) {
        if (!IsFocused()) return 0;
        switch (LOWORD(wParam)) {
            case kMenuUndo: Undo(); break;
            case kMenuCut: Cut(); break;
            case kMenuCopy: Copy(); break;
            case kMenuPaste: Paste(); break;
            case kMenuClear: Clear(); break;
            case kMenuSelectAll: SetSelAll(); break;
            case kMenuRedo: Redo(); break;
            default: break;
        }
    } else if (msg == WM_HELP) {
        decided = false;
    } else {
        return 0;
    }
    LRESULT result = 0;
    const HRESULT answer = TxSendMessage(msg, wParam, lParam, &result);
    const bool keyboard = (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || msg == WM_CHAR || msg == WM_IME_CHAR;
    if (answer == S_OK || keyboard || (IsMouseMessage(msg) && m_host->IsCaptured())) handled = decided;
    return result;
}

// ---- Painting ----

void CRichEditUI::DrawCaretLine(HDC hdc) {
    if (!m_manager->IsLayered() || !m_host->IsShowCaret() || !IsFocused() || !m_drawCaret) return;
    POINT caret = {};
    ::GetCaretPos(&caret);
    if (!::PtInRect(&m_item, caret)) return;
    const RECT line = {caret.x, caret.y, caret.x, caret.y + m_host->GetCaretHeight()};
    CUIRender::DrawLine(hdc, line, m_host->GetCaretWidth(), 0);
}

bool CRichEditUI::DoPaint(HDC hdc, const RECT& paint, CControlUI* stopControl) {
    RECT area;
    if (!::IntersectRect(&area, &paint, &m_item)) return true;
    CRenderClip clip;
    CRenderClip::GenerateClip(hdc, area, clip);
    CControlUI::DoPaint(hdc, paint, stopControl);
    if (m_host != nullptr && m_host->GetTextServices() != nullptr) {
        const RECT& client = m_host->GetClientRect();
        const RECTL bounds = {client.left, client.top, client.right, client.bottom};
        RECT update = paint;
        m_host->GetTextServices()->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, hdc, nullptr, &bounds, nullptr,
                                          &update, nullptr, 0, TXTVIEW_ACTIVE);
        if (m_barShownByText && client.bottom - client.top >= NaturalHeight(client.right - client.left))
            NeedLayout();
    }
    if (!m_items.IsEmpty() && !PaintChildren(hdc, paint, stopControl, clip)) return false;
    CScrollBarUI* bars[] = {m_verticalScrollBar, m_horizontalScrollBar};
    for (CScrollBarUI* bar : bars) {
        if (bar == nullptr || !bar->IsVisible()) continue;
        if (bar == stopControl) return false;
        RECT overlap;
        if (::IntersectRect(&overlap, &paint, &bar->GetPos()) && !bar->Paint(hdc, paint, stopControl)) return false;
    }
    if (m_host != nullptr) DrawCaretLine(hdc);
    if (!m_tipValue.IsEmpty() && GetText().IsEmpty() && !IsFocused()) {
        RECT tip = Inset(m_item, ScaleRect(m_textPadding));
        const UINT align = IsMultiLine() ? m_tipValueAlign : (m_tipValueAlign | DT_VCENTER);
        CUIRender::DrawText(hdc, m_manager, tip, m_tipValue, m_tipValueColor, m_font, align);
    }
    return true;
}

void CRichEditUI::PaintStatusImage(HDC hdc) {
    PaintFocusStateImage(*this, hdc, m_state, {m_normalImage, m_hotImage, m_focusedImage, m_disabledImage});
}

}  // namespace HiveUI
