#include "UIFlash.h"

#include <cwchar>

#include "ActiveXGuids.h"

namespace HiveUI {

namespace {

const wchar_t kFlashClsid[] = L"{D27CDB6E-AE6D-11CF-96B8-444553540000}";

}  // namespace

// A skin's Flash element needs no "clsid": the player's is set here.
CFlashUI::CFlashUI() : m_refs(0), m_eventCookie(0) { ::CLSIDFromString(kFlashClsid, &m_clsid); }

CFlashUI::~CFlashUI() { CFlashUI::ReleaseControl(); }

const wchar_t* CFlashUI::GetClass() const { return L"Flash"; }

LPVOID CFlashUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"Flash") == 0) return static_cast<CFlashUI*>(this);
    return CActiveXUI::GetInterface(name);
}

bool CFlashUI::DoCreateControl() {
    if (!CActiveXUI::DoCreateControl()) return false;
    GetControl(kIidShockwaveFlash, m_player.Out());
    RegisterEventHandler(true);
    return true;
}

// Re-creation and destruction release the hosted object here too, so the previous
// player never outlives its replacement.
void CFlashUI::ReleaseControl() {
    if (m_eventCookie != 0) RegisterEventHandler(false);
    m_player.Reset();
    CActiveXUI::ReleaseControl();
}

HRESULT CFlashUI::RegisterEventHandler(bool connect) {
    if (!m_player) return S_FALSE;
    return ConnectEvents(m_player.Get(), kDiidShockwaveFlashEvents, static_cast<_IShockwaveFlashEvents*>(this),
                         connect, m_eventCookie);
}

STDMETHODIMP CFlashUI::QueryInterface(REFIID iid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != kDiidShockwaveFlashEvents) return E_NOINTERFACE;
    *out = static_cast<_IShockwaveFlashEvents*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CFlashUI::AddRef() { return ::InterlockedIncrement(&m_refs); }
STDMETHODIMP_(ULONG) CFlashUI::Release() { return ::InterlockedDecrement(&m_refs); }

// The player's events (ready state, progress, FSCommand, Flash calls) need no answer.
STDMETHODIMP CFlashUI::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) { return S_OK; }

LRESULT CFlashUI::TranslateAccelerator(MSG* msg) { return TranslateThroughObject(m_player.Get(), msg); }

CControlUI* CreateFlashControl() { return new CFlashUI(); }

}  // namespace HiveUI
