// CTxtWinHost: the text host through which a CRichEditUI lends its rectangle, its
// manager's window and device, scroll bars, caret and timers to a windowless text
// services object of the system's rich edit library.
#pragma once

#include <windows.h>
#include <richedit.h>
#include <textserv.h>

namespace HiveUI {

class CRichEditUI;

class CTxtWinHost final : public ITextHost {
public:
    CTxtWinHost();
    CTxtWinHost(const CTxtWinHost&) = delete;
    CTxtWinHost& operator=(const CTxtWinHost&) = delete;

    // Creates the text services; false when the library, its entry or the interface is
    // missing or the initial text is refused.
    bool Init(CRichEditUI* owner, DWORD style, const wchar_t* text);
    ITextServices* GetTextServices() const { return m_services; }
    // Deactivates and releases the text services and forgets the control; later calls
    // from the services find neither. Runs before the control lets the host go.
    void Close();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // ITextHost
    HDC TxGetDC() override;
    INT TxReleaseDC(HDC hdc) override;
    WINBOOL TxShowScrollBar(INT bar, WINBOOL show) override;
    WINBOOL TxEnableScrollBar(INT bars, INT arrows) override;
    WINBOOL TxSetScrollRange(INT bar, LONG minPos, INT maxPos, WINBOOL redraw) override;
    WINBOOL TxSetScrollPos(INT bar, INT pos, WINBOOL redraw) override;
    void TxInvalidateRect(LPCRECT rect, WINBOOL erase) override;
    void TxViewChange(WINBOOL update) override;
    WINBOOL TxCreateCaret(HBITMAP bitmap, INT width, INT height) override;
    WINBOOL TxShowCaret(WINBOOL show) override;
    WINBOOL TxSetCaretPos(INT x, INT y) override;
    WINBOOL TxSetTimer(UINT id, UINT timeout) override;
    void TxKillTimer(UINT id) override;
    void TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN update, LPRECT updateRect,
                          UINT flags) override;
    void TxSetCapture(WINBOOL capture) override;
    void TxSetFocus() override;
    void TxSetCursor(HCURSOR cursor, WINBOOL text) override;
    WINBOOL TxScreenToClient(LPPOINT pt) override;
    WINBOOL TxClientToScreen(LPPOINT pt) override;
    HRESULT TxActivate(LONG* oldState) override;
    HRESULT TxDeactivate(LONG newState) override;
    HRESULT TxGetClientRect(LPRECT rect) override;
    HRESULT TxGetViewInset(LPRECT rect) override;
    HRESULT TxGetCharFormat(const CHARFORMATW** format) override;
    HRESULT TxGetParaFormat(const PARAFORMAT** format) override;
    COLORREF TxGetSysColor(int index) override;
    HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override;
    HRESULT TxGetMaxLength(DWORD* length) override;
    HRESULT TxGetScrollBars(DWORD* bars) override;
    HRESULT TxGetPasswordChar(TCHAR* ch) override;
    HRESULT TxGetAcceleratorPos(LONG* pos) override;
    HRESULT TxGetExtent(LPSIZEL extent) override;
    HRESULT OnTxCharFormatChange(const CHARFORMATW* format) override;
    HRESULT OnTxParaFormatChange(const PARAFORMAT* format) override;
    HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override;
    HRESULT TxNotify(DWORD code, void* data) override;
    HIMC TxImmGetContext() override;
    void TxImmReleaseContext(HIMC context) override;
    HRESULT TxGetSelectionBarWidth(LONG* width) override;

    void SetFont(HFONT font);
    void SetColor(DWORD argb);
    void SetMaxLength(LONG length);
    void SetRichTextFlag(bool rich);
    void SetTransparent(bool transparent);
    void SetClientRect(const RECT& rect);
    const RECT& GetClientRect() const { return m_client; }
    bool Activate(const RECT* rect);
    bool DoSetCursor(const RECT* rect, POINT pt);
    int GetCaretWidth() const { return m_caretWidth; }
    int GetCaretHeight() const { return m_caretHeight; }
    bool IsCaptured() const { return (m_flags & kCaptured) != 0; }
    bool IsShowCaret() const { return (m_flags & kCaretShown) != 0; }
    void NeedFreshCaret() { m_flags |= kCaretRefresh; }

private:
    enum HostFlag : DWORD {
        kAutoWordSel = 1u << 0,
        kWordWrap = 1u << 1,
        kAllowBeep = 1u << 2,
        kRich = 1u << 3,
        kSaveSelection = 1u << 4,
        kInPlaceActive = 1u << 5,
        kTransparent = 1u << 6,
        kTimer = 1u << 7,
        kCaptured = 1u << 8,
        kCaretShown = 1u << 9,
        kCaretRefresh = 1u << 10,
    };

    ~CTxtWinHost();
    void SetFlag(DWORD flag, bool on) { m_flags = on ? (m_flags | flag) : (m_flags & ~flag); }
    // The manager's window, or none once it has gone.
    HWND Window() const;
    void InitCharFormat(HFONT font);
    void InitParaFormat();
    void PropertyChanged(DWORD bit, DWORD value);
    void InvalidateCaret(POINT pt, SIZE size);

    ULONG m_refs;
    CRichEditUI* m_owner;
    ITextServices* m_services;
    HMODULE m_library;
    DWORD m_flags;
    int m_caretWidth;
    int m_caretHeight;
    int m_lastCaretWidth;
    int m_lastCaretHeight;
    LONG m_selBarWidth;
    LONG m_maxLength;
    DWORD m_style;
    RECT m_client;
    SIZEL m_extent;
    CHARFORMAT2W m_charFormat;
    PARAFORMAT2 m_paraFormat;
    LONG m_acceleratorPos;
    wchar_t m_passwordChar;
};

}  // namespace HiveUI
