#include "TxtWinHost.h"

#include <imm.h>

#include <cstring>
#include <cwchar>

#include "UIManager.h"
#include "UIRender.h"
#include "UIRichEdit.h"
#include "UIScrollBar.h"

// The toolchain declares these identifiers but its libraries do not define them.
extern "C" const IID IID_ITextHost = {0xC5BDD8D0, 0xD26E, 0x11CE, {0xA8, 0x9E, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};
extern "C" const IID IID_ITextServices = {0x8D33F740, 0xCF58, 0x11CE, {0xA8, 0x9D, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};

namespace HiveUI {

namespace {

const LONG kDefaultMaxLength = 32767;

COLORREF ToColorRef(DWORD argb) { return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF); }

LONG DeviceDpi(HDC dc, int index) {
    const int dpi = dc != nullptr ? ::GetDeviceCaps(dc, index) : 0;
    return dpi > 0 ? dpi : 96;
}

// Wine has been seen to leave out-parameters alone on failure: every caller's value is
// set before the call.
template <class T>
void Zero(T& value) {
    std::memset(&value, 0, sizeof(value));
}

}  // namespace

CTxtWinHost::CTxtWinHost()
    : m_refs(0),
      m_owner(nullptr),
      m_services(nullptr),
      m_library(nullptr),
      m_flags(0),
      m_caretWidth(0),
      m_caretHeight(0),
      m_lastCaretWidth(0),
      m_lastCaretHeight(0),
      m_selBarWidth(0),
      m_maxLength(kDefaultMaxLength),
      m_style(0),
      m_client{0, 0, 0, 0},
      m_extent{0, 0},
      m_acceleratorPos(-1),
      m_passwordChar(0) {
    Zero(m_charFormat);
    Zero(m_paraFormat);
}

CTxtWinHost::~CTxtWinHost() {
    Close();
    if (m_library != nullptr) ::FreeLibrary(m_library);
}

void CTxtWinHost::Close() {
    m_owner = nullptr;
    if (m_services == nullptr) return;
    ITextServices* services = m_services;
    m_services = nullptr;
    services->OnTxInPlaceDeactivate();
    services->Release();
}

bool CTxtWinHost::Init(CRichEditUI* owner, DWORD style, const wchar_t* text) {
    m_refs = 1;
    m_owner = owner;
    CPaintManagerUI* manager = owner->GetManager();
    InitCharFormat(manager != nullptr ? manager->GetFont(owner->GetFont()) : nullptr);
    InitParaFormat();
    m_style = ES_MULTILINE;
    SetFlag(kRich, owner->IsRich());
    m_maxLength = owner->GetLimitText() < 1 ? kDefaultMaxLength : owner->GetLimitText();
    m_style = style;
    SetFlag(kWordWrap, (m_style & (ES_AUTOHSCROLL | WS_HSCROLL)) == 0);
    if ((m_style & ES_CENTER) != 0) {
        m_paraFormat.wAlignment = PFA_CENTER;
    } else if ((m_style & ES_RIGHT) != 0) {
        m_paraFormat.wAlignment = PFA_RIGHT;
    }
    SetFlag(kInPlaceActive, true);
    m_library = ::LoadLibraryW(L"Msftedit.dll");
    if (m_library == nullptr) return false;
    // Through a plain function type: the entry's own type is known only to us.
    const auto entry = reinterpret_cast<void (*)()>(::GetProcAddress(m_library, "CreateTextServices"));
    const auto create = reinterpret_cast<PCreateTextServices>(entry);
    if (create == nullptr) return false;
    IUnknown* unknown = nullptr;
    if (FAILED(create(nullptr, this, &unknown)) || unknown == nullptr) return false;
    void* services = nullptr;
    const HRESULT asked = unknown->QueryInterface(IID_ITextServices, &services);
    unknown->Release();
    if (FAILED(asked) || services == nullptr) return false;
    m_services = static_cast<ITextServices*>(services);
    if (text != nullptr && *text != L'\0') return SUCCEEDED(m_services->TxSetText(text));
    return true;
}

HWND CTxtWinHost::Window() const {
    if (m_owner == nullptr || m_owner->GetManager() == nullptr) return nullptr;
    const HWND wnd = m_owner->GetManager()->GetPaintWindow();
    return ::IsWindow(wnd) ? wnd : nullptr;
}

void CTxtWinHost::InitCharFormat(HFONT font) {
    Zero(m_charFormat);
    m_charFormat.cbSize = sizeof(m_charFormat);
    m_charFormat.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_OFFSET |
                          CFM_CHARSET;
    DWORD color = m_owner != nullptr ? m_owner->GetTextColor() : 0;
    CPaintManagerUI* manager = m_owner != nullptr ? m_owner->GetManager() : nullptr;
    // Black is the transparent key of a layered window's surface.
    if (manager != nullptr && manager->IsLayered()) CUIRender::AvoidBlackColor(color);
    m_charFormat.crTextColor = ToColorRef(color);
    if (font == nullptr) return;
    LOGFONTW logFont;
    Zero(logFont);
    ::GetObjectW(font, sizeof(logFont), &logFont);
    const HDC dc = manager != nullptr ? manager->GetPaintDC() : nullptr;
    m_charFormat.yHeight = logFont.lfHeight * -1440 / DeviceDpi(dc, LOGPIXELSY);
    m_charFormat.yOffset = 0;
    m_charFormat.dwEffects = 0;
    if (logFont.lfWeight >= FW_BOLD) m_charFormat.dwEffects |= CFE_BOLD;
    if (logFont.lfItalic) m_charFormat.dwEffects |= CFE_ITALIC;
    if (logFont.lfUnderline) m_charFormat.dwEffects |= CFE_UNDERLINE;
    m_charFormat.bCharSet = logFont.lfCharSet;
    m_charFormat.bPitchAndFamily = logFont.lfPitchAndFamily;
    wcsncpy(m_charFormat.szFaceName, logFont.lfFaceName, LF_FACESIZE - 1);
}

void CTxtWinHost::InitParaFormat() {
    Zero(m_paraFormat);
    m_paraFormat.cbSize = sizeof(m_paraFormat);
    m_paraFormat.dwMask = PFM_ALL | PFM_RTLPARA;
    m_paraFormat.wAlignment = PFA_LEFT;
    m_paraFormat.cTabCount = 1;
    m_paraFormat.rgxTabs[0] = lDefaultTab;
}

void CTxtWinHost::PropertyChanged(DWORD bit, DWORD value) {
    if (m_services != nullptr) m_services->OnTxPropertyBitsChange(bit, value);
}

HRESULT STDMETHODCALLTYPE CTxtWinHost::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_ITextHost)) return E_NOINTERFACE;
    *object = static_cast<ITextHost*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CTxtWinHost::AddRef() { return ++m_refs; }

ULONG STDMETHODCALLTYPE CTxtWinHost::Release() {
    const ULONG left = --m_refs;
    if (left == 0) delete this;
    return left;
}

HDC CTxtWinHost::TxGetDC() {
    if (Window() == nullptr) return nullptr;
    return m_owner->GetManager()->GetPaintDC();
}

INT CTxtWinHost::TxReleaseDC(HDC hdc) {
    (void)hdc;
    return 1;
}

WINBOOL CTxtWinHost::TxShowScrollBar(INT bar, WINBOOL show) {
    if (m_owner == nullptr) return FALSE;
    CScrollBarUI* vertical = m_owner->GetVerticalScrollBar();
    CScrollBarUI* horizontal = m_owner->GetHorizontalScrollBar();
    if (vertical != nullptr && (bar == SB_VERT || bar == SB_BOTH)) vertical->SetVisible(show == TRUE);
    if (horizontal != nullptr && (bar == SB_HORZ || bar == SB_BOTH)) horizontal->SetVisible(show == TRUE);
    return TRUE;
}

WINBOOL CTxtWinHost::TxEnableScrollBar(INT bars, INT arrows) {
    if (m_owner == nullptr) return FALSE;
    const bool vertical = bars == SB_VERT || bars == SB_BOTH;
    const bool horizontal = bars == SB_HORZ || bars == SB_BOTH;
    m_owner->EnableScrollBar(vertical || m_owner->GetVerticalScrollBar() != nullptr,
                             horizontal || m_owner->GetHorizontalScrollBar() != nullptr);
    const bool show = arrows != ESB_DISABLE_BOTH;
    if (vertical && m_owner->GetVerticalScrollBar() != nullptr) m_owner->GetVerticalScrollBar()->SetVisible(show);
    if (horizontal && m_owner->GetHorizontalScrollBar() != nullptr)
        m_owner->GetHorizontalScrollBar()->SetVisible(show);
    return TRUE;
}

WINBOOL CTxtWinHost::TxSetScrollRange(INT bar, LONG minPos, INT maxPos, WINBOOL redraw) {
    (void)redraw;
    if (m_owner == nullptr) return FALSE;
    CScrollBarUI* target = bar == SB_VERT ? m_owner->GetVerticalScrollBar() : m_owner->GetHorizontalScrollBar();
    if (target == nullptr) return FALSE;
    const LONG page = bar == SB_VERT ? m_client.bottom - m_client.top : m_client.right - m_client.left;
    const LONG extra = maxPos - minPos - page;
    if (extra > 0) {
        target->SetVisible(true);
        target->SetScrollRange(extra);
    } else {
        target->SetVisible(false);
    }
    return TRUE;
}

WINBOOL CTxtWinHost::TxSetScrollPos(INT bar, INT pos, WINBOOL redraw) {
    (void)redraw;
    if (m_owner == nullptr) return FALSE;
    CScrollBarUI* target = bar == SB_VERT ? m_owner->GetVerticalScrollBar() : m_owner->GetHorizontalScrollBar();
    if (target != nullptr) target->SetScrollPos(pos);
    return TRUE;
}

void CTxtWinHost::TxInvalidateRect(LPCRECT rect, WINBOOL erase) {
    (void)erase;
    if (Window() == nullptr) return;
    m_owner->GetManager()->InvalidateRect(rect != nullptr ? *rect : m_client);
}

void CTxtWinHost::TxViewChange(WINBOOL update) {
    (void)update;
    if (m_owner != nullptr && m_owner->OnTxViewChanged()) m_owner->Invalidate();
}

WINBOOL CTxtWinHost::TxCreateCaret(HBITMAP bitmap, INT width, INT height) {
    m_caretWidth = width;
    m_caretHeight = height;
    const HWND wnd = Window();
    return wnd != nullptr && ::CreateCaret(wnd, bitmap, width, height);
}

WINBOOL CTxtWinHost::TxShowCaret(WINBOOL show) {
    SetFlag(kCaretShown, show != FALSE);
    const HWND wnd = Window();
    if (wnd == nullptr) return FALSE;
    return show ? ::ShowCaret(wnd) : ::HideCaret(wnd);
}

void CTxtWinHost::InvalidateCaret(POINT pt, SIZE size) {
    m_owner->GetManager()->InvalidateRect(RECT{pt.x, pt.y, pt.x + size.cx, pt.y + size.cy});
}

WINBOOL CTxtWinHost::TxSetCaretPos(INT x, INT y) {
    if (Window() == nullptr) return FALSE;
    POINT old = {};
    ::GetCaretPos(&old);
    const SIZE lastSize = {m_lastCaretWidth, m_lastCaretHeight};
    if (m_owner->GetManager()->IsLayered()) {
        InvalidateCaret(old, lastSize);
        InvalidateCaret(POINT{x, y}, SIZE{m_caretWidth, m_caretHeight});
    } else if ((m_flags & kCaretRefresh) != 0) {
        InvalidateCaret(old, lastSize);
        SetFlag(kCaretRefresh, false);
    }
    m_lastCaretWidth = m_caretWidth;
    m_lastCaretHeight = m_caretHeight;
    return ::SetCaretPos(x, y);
}

WINBOOL CTxtWinHost::TxSetTimer(UINT id, UINT timeout) {
    if (m_owner == nullptr || m_owner->GetManager() == nullptr) return FALSE;
    SetFlag(kTimer, true);
    return m_owner->GetManager()->SetTimer(m_owner, id, timeout);
}

void CTxtWinHost::TxKillTimer(UINT id) {
    if (m_owner == nullptr || m_owner->GetManager() == nullptr) return;
    m_owner->GetManager()->KillTimer(m_owner, id);
    SetFlag(kTimer, false);
}

void CTxtWinHost::TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN update, LPRECT updateRect,
                                   UINT flags) {
    (void)dx, (void)dy, (void)scroll, (void)clip, (void)update, (void)updateRect, (void)flags;
}

void CTxtWinHost::TxSetCapture(WINBOOL capture) {
    if (m_owner == nullptr || m_owner->GetManager() == nullptr) return;
    if (capture) {
        m_owner->GetManager()->SetCapture();
    } else {
        m_owner->GetManager()->ReleaseCapture();
    }
    SetFlag(kCaptured, capture != FALSE);
}

void CTxtWinHost::TxSetFocus() {
    if (m_owner != nullptr) m_owner->SetFocus();
}

void CTxtWinHost::TxSetCursor(HCURSOR cursor, WINBOOL text) {
    (void)text;
    ::SetCursor(cursor);
}

WINBOOL CTxtWinHost::TxScreenToClient(LPPOINT pt) {
    const HWND wnd = Window();
    return wnd != nullptr && pt != nullptr && ::ScreenToClient(wnd, pt);
}

WINBOOL CTxtWinHost::TxClientToScreen(LPPOINT pt) {
    const HWND wnd = Window();
    return wnd != nullptr && pt != nullptr && ::ClientToScreen(wnd, pt);
}

HRESULT CTxtWinHost::TxActivate(LONG* oldState) {
    (void)oldState;
    return S_OK;
}

HRESULT CTxtWinHost::TxDeactivate(LONG newState) {
    (void)newState;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetClientRect(LPRECT rect) {
    if (rect == nullptr) return E_INVALIDARG;
    *rect = m_client;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetViewInset(LPRECT rect) {
    if (rect == nullptr) return E_INVALIDARG;
    *rect = RECT{0, 0, 0, 0};
    return S_OK;
}

HRESULT CTxtWinHost::TxGetCharFormat(const CHARFORMATW** format) {
    *format = reinterpret_cast<const CHARFORMATW*>(&m_charFormat);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetParaFormat(const PARAFORMAT** format) {
    *format = reinterpret_cast<const PARAFORMAT*>(&m_paraFormat);
    return S_OK;
}

COLORREF CTxtWinHost::TxGetSysColor(int index) { return ::GetSysColor(index); }

HRESULT CTxtWinHost::TxGetBackStyle(TXTBACKSTYLE* style) {
    *style = (m_flags & kTransparent) != 0 ? TXTBACK_TRANSPARENT : TXTBACK_OPAQUE;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetMaxLength(DWORD* length) {
    *length = static_cast<DWORD>(m_maxLength);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetScrollBars(DWORD* bars) {
    *bars = m_style & (WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_DISABLENOSCROLL);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetPasswordChar(TCHAR* ch) {
    *ch = m_passwordChar;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetAcceleratorPos(LONG* pos) {
    *pos = m_acceleratorPos;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetExtent(LPSIZEL extent) {
    *extent = m_extent;
    return S_OK;
}

HRESULT CTxtWinHost::OnTxCharFormatChange(const CHARFORMATW* format) {
    (void)format;
    return S_OK;
}

HRESULT CTxtWinHost::OnTxParaFormatChange(const PARAFORMAT* format) {
    (void)format;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetPropertyBits(DWORD mask, DWORD* bits) {
    DWORD value = 0;
    if ((m_flags & kRich) != 0) value |= TXTBIT_RICHTEXT;
    if ((m_style & ES_MULTILINE) != 0) value |= TXTBIT_MULTILINE;
    if ((m_style & ES_READONLY) != 0) value |= TXTBIT_READONLY;
    if ((m_style & ES_PASSWORD) != 0) value |= TXTBIT_USEPASSWORD;
    if ((m_style & ES_NOHIDESEL) == 0) value |= TXTBIT_HIDESELECTION;
    if ((m_flags & kAutoWordSel) != 0) value |= TXTBIT_AUTOWORDSEL;
    if ((m_flags & kWordWrap) != 0) value |= TXTBIT_WORDWRAP;
    if ((m_flags & kAllowBeep) != 0) value |= TXTBIT_ALLOWBEEP;
    if ((m_flags & kSaveSelection) != 0) value |= TXTBIT_SAVESELECTION;
    *bits = value & mask;
    return S_OK;
}

HRESULT CTxtWinHost::TxNotify(DWORD code, void* data) {
    if (code == EN_REQUESTRESIZE) {
        if (data == nullptr) return S_OK;
        const RECT& requested = static_cast<const REQRESIZE*>(data)->rc;
        m_client = RECT{m_client.left, m_client.top, m_client.left + requested.right, m_client.top + requested.bottom};
        return S_OK;
    }
    if (m_owner != nullptr) m_owner->OnTxNotify(code, data);
    return S_OK;
}

HIMC CTxtWinHost::TxImmGetContext() { return nullptr; }

void CTxtWinHost::TxImmReleaseContext(HIMC context) { (void)context; }

HRESULT CTxtWinHost::TxGetSelectionBarWidth(LONG* width) {
    *width = m_selBarWidth;
    return S_OK;
}

void CTxtWinHost::SetFont(HFONT font) {
    if (font == nullptr) return;
    InitCharFormat(font);
    PropertyChanged(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::SetColor(DWORD argb) {
    m_charFormat.crTextColor = ToColorRef(argb);
    PropertyChanged(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::SetMaxLength(LONG length) {
    m_maxLength = length < 1 ? kDefaultMaxLength : length;
    PropertyChanged(TXTBIT_MAXLENGTHCHANGE, TXTBIT_MAXLENGTHCHANGE);
}

void CTxtWinHost::SetRichTextFlag(bool rich) {
    SetFlag(kRich, rich);
    PropertyChanged(TXTBIT_RICHTEXT, rich ? TXTBIT_RICHTEXT : 0);
}

void CTxtWinHost::SetTransparent(bool transparent) {
    SetFlag(kTransparent, transparent);
    PropertyChanged(TXTBIT_BACKSTYLECHANGE, 0);
}

void CTxtWinHost::SetClientRect(const RECT& rect) {
    m_client = rect;
    CPaintManagerUI* manager = m_owner != nullptr ? m_owner->GetManager() : nullptr;
    const HDC dc = manager != nullptr ? manager->GetPaintDC() : nullptr;
    m_extent.cx = ::MulDiv(rect.right - rect.left, 2540, DeviceDpi(dc, LOGPIXELSX));
    m_extent.cy = ::MulDiv(rect.bottom - rect.top, 2540, DeviceDpi(dc, LOGPIXELSY));
    PropertyChanged(TXTBIT_EXTENTCHANGE, TXTBIT_EXTENTCHANGE);
}

bool CTxtWinHost::Activate(const RECT* rect) {
    SetFlag(kInPlaceActive, true);
    if (m_services != nullptr && SUCCEEDED(m_services->OnTxInPlaceActivate(rect))) return true;
    SetFlag(kInPlaceActive, false);
    return false;
}

bool CTxtWinHost::DoSetCursor(const RECT* rect, POINT pt) {
    const RECT area = rect != nullptr ? *rect : m_client;
    if (!::PtInRect(&area, pt) || m_services == nullptr) return false;
    const RECT* client = ((m_flags & kInPlaceActive) != 0 && rect == nullptr) ? nullptr : &area;
    m_services->OnTxSetCursor(DVASPECT_CONTENT, -1, nullptr, nullptr, TxGetDC(), nullptr, client, pt.x, pt.y);
    return true;
}

}  // namespace HiveUI
