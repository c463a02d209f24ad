#include "ActiveXCtrl.h"

#include "ActiveXEnum.h"
#include "ActiveXFrameWnd.h"
#include "ActiveXWnd.h"
#include "ScopedHandle.h"
#include "UIActiveX.h"
#include "UIManager.h"

namespace HiveUI {

CActiveXCtrl::CActiveXCtrl(CActiveXUI* owner)
    : m_refs(1),
      m_owner(owner),
      m_window(nullptr),
      m_locked(false),
      m_focused(false),
      m_captured(false),
      m_uiActivated(false),
      m_inPlaceActive(false),
      m_windowless(true),
      m_runningLocked(false),
      m_accelerators(nullptr) {}

CActiveXCtrl::~CActiveXCtrl() {
    DestroyHostWindow();
    m_unkSite.Reset();
    m_viewObject.Reset();
    m_inPlaceObject.Reset();
    if (m_accelerators != nullptr) ::DestroyAcceleratorTable(m_accelerators);
}

STDMETHODIMP CActiveXCtrl::QueryInterface(REFIID iid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleInPlaceSiteWindowless || iid == IID_IOleInPlaceSiteEx ||
        iid == IID_IOleInPlaceSite || iid == IID_IOleWindow) {
        *out = static_cast<IOleInPlaceSiteWindowless*>(this);
    } else if (iid == IID_IOleClientSite) {
        *out = static_cast<IOleClientSite*>(this);
    } else if (iid == IID_IOleControlSite) {
        *out = static_cast<IOleControlSite*>(this);
    } else if (iid == IID_IOleContainer) {
        *out = static_cast<IOleContainer*>(this);
    } else if (iid == IID_IObjectWithSite) {
        *out = static_cast<IObjectWithSite*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CActiveXCtrl::AddRef() { return ++m_refs; }

STDMETHODIMP_(ULONG) CActiveXCtrl::Release() {
    LONG refs = --m_refs;
    if (refs == 0) delete this;
    return refs;
}

RECT CActiveXCtrl::ObjectRect() const {
    RECT rc = m_owner->GetPos();
    if (!m_windowless) ::OffsetRect(&rc, -rc.left, -rc.top);
    return rc;
}

HRESULT CActiveXCtrl::CreateHostWindow() {
    if (m_window != nullptr) return S_OK;
    if (m_owner->GetManager() == nullptr) return E_UNEXPECTED;
    m_window = new CActiveXWnd();
    if (m_window->Init(this, m_owner->GetManager()->GetPaintWindow()) == nullptr) {
        // A window that was never made has no final message to free its object.
        if (m_window != nullptr) delete m_window;
        m_window = nullptr;
        return E_FAIL;
    }
    return S_OK;
}

void CActiveXCtrl::DestroyHostWindow() {
    if (m_window == nullptr) return;
    HWND wnd = m_window->GetHWND();
    m_window = nullptr;
    if (m_owner != nullptr && m_owner->m_hostWnd == wnd) m_owner->m_hostWnd = nullptr;
    if (wnd != nullptr) ::DestroyWindow(wnd);
}

// ---- IObjectWithSite ----

STDMETHODIMP CActiveXCtrl::SetSite(IUnknown* site) {
    if (site != nullptr) site->AddRef();
    m_unkSite.Reset(site);
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetSite(REFIID iid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (!m_unkSite) return E_FAIL;
    return m_unkSite->QueryInterface(iid, out);
}

// ---- IOleClientSite ----

STDMETHODIMP CActiveXCtrl::SaveObject() { return E_NOTIMPL; }

STDMETHODIMP CActiveXCtrl::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker != nullptr) *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CActiveXCtrl::GetContainer(IOleContainer** container) {
    if (container == nullptr) return E_POINTER;
    *container = nullptr;
    HRESULT hr = E_NOTIMPL;
    if (m_unkSite) hr = m_unkSite->QueryInterface(IID_IOleContainer, reinterpret_cast<void**>(container));
    if (FAILED(hr)) hr = QueryInterface(IID_IOleContainer, reinterpret_cast<void**>(container));
    return hr;
}

STDMETHODIMP CActiveXCtrl::ShowObject() {
    if (m_owner == nullptr) return E_UNEXPECTED;
    CWindowDCGuard dc(m_owner->m_hostWnd);
    if (dc.Get() == nullptr) return E_FAIL;
    if (!m_viewObject) return S_OK;
    RECT rc = ObjectRect();
    RECTL bounds = {rc.left, rc.top, rc.right, rc.bottom};
    m_viewObject->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc.Get(), &bounds, &bounds, nullptr, 0);
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::OnShowWindow(BOOL) { return E_NOTIMPL; }
STDMETHODIMP CActiveXCtrl::RequestNewObjectLayout() { return E_NOTIMPL; }

// ---- IOleInPlaceSiteWindowless ----

STDMETHODIMP CActiveXCtrl::CanWindowlessActivate() { return S_OK; }

STDMETHODIMP CActiveXCtrl::GetCapture() {
    if (m_owner == nullptr) return E_UNEXPECTED;
    return m_captured ? S_OK : S_FALSE;
}

STDMETHODIMP CActiveXCtrl::SetCapture(BOOL capture) {
    if (m_owner == nullptr) return E_UNEXPECTED;
    m_captured = capture == TRUE;
    if (m_captured) {
        ::SetCapture(m_owner->m_hostWnd);
    } else {
        ::ReleaseCapture();
    }
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetFocus() {
    if (m_owner == nullptr) return E_UNEXPECTED;
    return m_focused ? S_OK : S_FALSE;
}

STDMETHODIMP CActiveXCtrl::SetFocus(BOOL focus) {
    if (m_owner == nullptr) return E_UNEXPECTED;
    if (focus) m_owner->SetFocus();
    m_focused = focus == TRUE;
    return S_OK;
}

// A windowless object draws only through the control's paint: the window's own DC
// would be painted over by the next frame.
STDMETHODIMP CActiveXCtrl::GetDC(LPCRECT, DWORD flags, HDC* dc) {
    if (dc == nullptr) return E_POINTER;
    *dc = nullptr;
    if (m_owner == nullptr) return E_UNEXPECTED;
    if (m_windowless) return S_FALSE;
    *dc = ::GetDC(m_owner->m_hostWnd);
    if (*dc == nullptr) return E_FAIL;
    if ((flags & OLEDC_PAINTBKGND) != 0) {
        RECT rc = m_owner->GetPos();
        ::OffsetRect(&rc, -rc.left, -rc.top);
        ::FillRect(*dc, &rc, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    }
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::ReleaseDC(HDC dc) {
    if (m_owner == nullptr) return E_UNEXPECTED;
    ::ReleaseDC(m_owner->m_hostWnd, dc);
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::InvalidateRect(LPCRECT rect, BOOL erase) {
    if (m_owner == nullptr) return E_UNEXPECTED;
    if (m_owner->m_hostWnd == nullptr) return E_FAIL;
    return ::InvalidateRect(m_owner->m_hostWnd, rect, erase) ? S_OK : E_FAIL;
}

STDMETHODIMP CActiveXCtrl::InvalidateRgn(HRGN region, BOOL erase) {
    if (m_owner == nullptr) return E_UNEXPECTED;
    if (m_owner->m_hostWnd == nullptr) return E_FAIL;
    return ::InvalidateRgn(m_owner->m_hostWnd, region, erase) ? S_OK : E_FAIL;
}

STDMETHODIMP CActiveXCtrl::ScrollRect(INT, INT, LPCRECT, LPCRECT) { return S_OK; }
STDMETHODIMP CActiveXCtrl::AdjustRect(LPRECT) { return S_OK; }

STDMETHODIMP CActiveXCtrl::OnDefWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (m_owner == nullptr) return E_UNEXPECTED;
    LRESULT answer = ::DefWindowProcW(m_owner->m_hostWnd, msg, wParam, lParam);
    if (result != nullptr) *result = answer;
    return S_OK;
}

// ---- IOleInPlaceSiteEx ----

STDMETHODIMP CActiveXCtrl::OnInPlaceActivateEx(BOOL*, DWORD flags) {
    if (m_owner == nullptr || !m_owner->m_object || m_owner->GetManager() == nullptr) return E_UNEXPECTED;
    CActiveXUI* owner = m_owner;
    CPaintManagerUI* manager = owner->GetManager();
    if (!m_runningLocked) m_runningLocked = SUCCEEDED(::OleLockRunning(owner->m_object.Get(), TRUE, FALSE));
    HRESULT hr = E_FAIL;
    if ((flags & ACTIVATE_WINDOWLESS) != 0) {
        m_windowless = true;
        hr = m_inPlaceObject.QueryFrom(owner->m_object.Get(), IID_IOleInPlaceObjectWindowless);
        if (SUCCEEDED(hr)) {
            owner->m_hostWnd = manager->GetPaintWindow();
            // Activation may come again after a deactivation; one filter entry is enough.
            manager->RemoveMessageFilter(owner);
            manager->AddMessageFilter(owner);
        }
    }
    if (FAILED(hr)) {
        m_windowless = false;
        hr = CreateHostWindow();
        if (FAILED(hr)) return hr;
        hr = m_inPlaceObject.QueryFrom(owner->m_object.Get(), IID_IOleInPlaceObject);
    }
    if (m_inPlaceObject && !owner->IsExternallyManaged()) {
        RECT rc = ObjectRect();
        m_inPlaceObject->SetObjectRects(&rc, &rc);
    }
    m_inPlaceActive = SUCCEEDED(hr);
    return hr;
}

STDMETHODIMP CActiveXCtrl::OnInPlaceDeactivateEx(BOOL) {
    m_inPlaceActive = false;
    m_inPlaceObject.Reset();
    DestroyHostWindow();
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::RequestUIActivate() { return S_OK; }

// ---- IOleInPlaceSite ----

STDMETHODIMP CActiveXCtrl::CanInPlaceActivate() { return S_OK; }
STDMETHODIMP CActiveXCtrl::OnInPlaceActivate() { return OnInPlaceActivateEx(nullptr, 0); }

STDMETHODIMP CActiveXCtrl::OnUIActivate() {
    m_uiActivated = true;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                            LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
    if (frame != nullptr) *frame = nullptr;
    if (doc != nullptr) *doc = nullptr;
    if (frame == nullptr || doc == nullptr || pos == nullptr || clip == nullptr || info == nullptr) return E_POINTER;
    if (m_owner == nullptr || m_owner->GetManager() == nullptr) return E_UNEXPECTED;
    if (m_window != nullptr) {
        ::GetClientRect(m_window->GetHWND(), pos);
    } else {
        *pos = ObjectRect();
    }
    *clip = *pos;
    *frame = new CActiveXFrameWnd(m_owner);
    if (m_accelerators == nullptr) {
        ACCEL none = {0, 0, 0};
        m_accelerators = ::CreateAcceleratorTableW(&none, 1);
    }
    info->cb = sizeof(OLEINPLACEFRAMEINFO);
    info->fMDIApp = FALSE;
    info->hwndFrame = m_owner->GetManager()->GetPaintWindow();
    info->haccel = m_accelerators;
    info->cAccelEntries = 1;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::Scroll(SIZE) { return E_NOTIMPL; }

STDMETHODIMP CActiveXCtrl::OnUIDeactivate(BOOL) {
    m_uiActivated = false;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::OnInPlaceDeactivate() { return OnInPlaceDeactivateEx(TRUE); }
STDMETHODIMP CActiveXCtrl::DiscardUndoState() { return E_NOTIMPL; }
STDMETHODIMP CActiveXCtrl::DeactivateAndUndo() { return E_NOTIMPL; }
STDMETHODIMP CActiveXCtrl::OnPosRectChange(LPCRECT) { return E_NOTIMPL; }

// ---- IOleWindow ----

STDMETHODIMP CActiveXCtrl::GetWindow(HWND* wnd) {
    if (wnd == nullptr) return E_POINTER;
    *wnd = nullptr;
    if (m_owner == nullptr) return E_UNEXPECTED;
    if (m_owner->m_hostWnd == nullptr) CreateHostWindow();
    if (m_owner->m_hostWnd == nullptr) return E_FAIL;
    *wnd = m_owner->m_hostWnd;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::ContextSensitiveHelp(BOOL) { return S_OK; }

// ---- IOleControlSite ----

STDMETHODIMP CActiveXCtrl::OnControlInfoChanged() { return S_OK; }
STDMETHODIMP CActiveXCtrl::LockInPlaceActive(BOOL) { return S_OK; }

STDMETHODIMP CActiveXCtrl::GetExtendedControl(IDispatch** dispatch) {
    if (dispatch == nullptr) return E_POINTER;
    *dispatch = nullptr;
    if (m_owner == nullptr || !m_owner->m_object) return E_UNEXPECTED;
    return m_owner->m_object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch));
}

STDMETHODIMP CActiveXCtrl::TransformCoords(POINTL*, POINTF*, DWORD) { return S_OK; }
STDMETHODIMP CActiveXCtrl::TranslateAccelerator(MSG*, DWORD) { return S_FALSE; }

STDMETHODIMP CActiveXCtrl::OnFocus(BOOL gotFocus) {
    m_focused = gotFocus == TRUE;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::ShowPropertyFrame() { return E_NOTIMPL; }

// ---- IOleContainer ----

STDMETHODIMP CActiveXCtrl::ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker** moniker) {
    if (moniker != nullptr) *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CActiveXCtrl::EnumObjects(DWORD, IEnumUnknown** enumerator) {
    if (enumerator == nullptr) return E_POINTER;
    *enumerator = nullptr;
    if (m_owner == nullptr) return E_UNEXPECTED;
    *enumerator = new CActiveXEnum(m_owner->m_object.Get());
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::LockContainer(BOOL lock) {
    m_locked = lock != FALSE;
    return S_OK;
}

}  // namespace HiveUI
