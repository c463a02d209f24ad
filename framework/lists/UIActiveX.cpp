#include "UIActiveX.h"

#include <ocidl.h>
#include <windowsx.h>

#include <cwchar>

#include "ActiveXCtrl.h"
#include "ScopedHandle.h"
#include "UIManager.h"

namespace HiveUI {

namespace {

// Identifier texts longer than this are cut; no identifier is that long.
const int kMaxIdentifierText = 99;

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, LPVOID*);

bool IsNull(const CLSID& clsid) { return ::IsEqualCLSID(clsid, IID_NULL) != FALSE; }

}  // namespace

CActiveXUI::CActiveXUI()
    : m_clsid(IID_NULL),
      m_created(false),
      m_delayCreate(true),
      m_externallyManaged(false),
      m_site(nullptr),
      m_hostWnd(nullptr) {}

CActiveXUI::~CActiveXUI() { CActiveXUI::ReleaseControl(); }

const wchar_t* CActiveXUI::GetClass() const { return L"ActiveXUI"; }

LPVOID CActiveXUI::GetInterface(const wchar_t* name) {
    if (wcscmp(name, L"ActiveX") == 0) return static_cast<CActiveXUI*>(this);
    return CControlUI::GetInterface(name);
}

bool CActiveXUI::CreateControl(const wchar_t* text) {
    wchar_t buffer[kMaxIdentifierText + 1] = {};
    if (text != nullptr) wcsncpy(buffer, text, kMaxIdentifierText);
    CLSID clsid = IID_NULL;
    HRESULT hr = buffer[0] == L'{' ? ::CLSIDFromString(buffer, &clsid) : ::CLSIDFromProgID(buffer, &clsid);
    if (FAILED(hr)) clsid = IID_NULL;
    return CreateControl(clsid);
}

bool CActiveXUI::CreateControl(const CLSID& clsid) {
    if (IsNull(clsid)) return false;
    m_created = false;
    m_clsid = clsid;
    if (m_delayCreate) return true;
    return DoCreateControl();
}

HRESULT CActiveXUI::GetControl(const IID& iid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (!m_object) return E_PENDING;
    return m_object->QueryInterface(iid, out);
}

void CActiveXUI::SetDelayCreate(bool delay) {
    if (m_delayCreate && !delay && !m_created && !IsNull(m_clsid)) DoCreateControl();
    m_delayCreate = delay;
}

bool CActiveXUI::IsWindowedHost() const { return m_site != nullptr && !m_site->m_windowless && m_hostWnd != nullptr; }

void CActiveXUI::ShowHostWindow() {
    if (IsWindowedHost()) ::ShowWindow(m_hostWnd, IsVisible() ? SW_SHOW : SW_HIDE);
}

void CActiveXUI::SetVisible(bool visible) {
    CControlUI::SetVisible(visible);
    ShowHostWindow();
}

void CActiveXUI::SetVisibleByParent(bool visible) {
    CControlUI::SetVisibleByParent(visible);
    ShowHostWindow();
}

// Creation waits for a window to activate the object in: a control positioned before
// it has a manager would otherwise keep an object that is never shown.
void CActiveXUI::SetPos(RECT rect, bool needInvalidate) {
    CControlUI::SetPos(rect, needInvalidate);
    if (!m_created && m_manager != nullptr && !IsNull(m_clsid)) DoCreateControl();
    if (!m_object || m_site == nullptr) return;
    CWindowDCGuard screen(nullptr);
    SIZEL himetric = {::MulDiv(2540, GetWidth(), ::GetDeviceCaps(screen.Get(), LOGPIXELSX)),
                      ::MulDiv(2540, GetHeight(), ::GetDeviceCaps(screen.Get(), LOGPIXELSY))};
    m_object->SetExtent(DVASPECT_CONTENT, &himetric);
    if (m_site->m_inPlaceObject) {
        RECT rc = m_site->ObjectRect();
        m_site->m_inPlaceObject->SetObjectRects(&rc, &rc);
    }
    if (IsWindowedHost()) ::MoveWindow(m_hostWnd, m_item.left, m_item.top, GetWidth(), GetHeight(), TRUE);
}

// The layout pass that follows places the host window exactly; until then it stays
// with the control.
void CActiveXUI::Move(SIZE offset, bool needInvalidate) {
    CControlUI::Move(offset, needInvalidate);
    if (IsWindowedHost()) ::MoveWindow(m_hostWnd, m_item.left, m_item.top, GetWidth(), GetHeight(), TRUE);
}

bool CActiveXUI::DoPaint(HDC hdc, const RECT&, CControlUI*) {
    if (m_site != nullptr && m_site->m_windowless && m_site->m_viewObject) {
        RECTL bounds = {m_item.left, m_item.top, m_item.right, m_item.bottom};
        m_site->m_viewObject->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, hdc, &bounds, &bounds, nullptr, 0);
    }
    return true;
}

void CActiveXUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (wcscmp(name, L"clsid") == 0) {
        CreateControl(value);
    } else if (wcscmp(name, L"modulename") == 0) {
        SetModuleName(value);
    } else if (wcscmp(name, L"delaycreate") == 0) {
        SetDelayCreate(wcscmp(value, L"true") == 0);
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

// WM_SETCURSOR carries a hit-test code and the wheel a screen point, not a client point.
POINT CActiveXUI::HitPoint(UINT msg, LPARAM lParam) const {
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (msg == WM_SETCURSOR) ::GetCursorPos(&pt);
    if (msg == WM_SETCURSOR || msg == WM_MOUSEWHEEL) ::ScreenToClient(m_manager->GetPaintWindow(), &pt);
    return pt;
}

// An object that cannot tell its hit area is hit wherever it is drawn.
bool CActiveXUI::HitsObject(UINT msg, LPARAM lParam) const {
    POINT pt = HitPoint(msg, lParam);
    CComRef<IViewObjectEx> viewEx;
    if (FAILED(viewEx.QueryFrom(m_site->m_viewObject.Get(), IID_IViewObjectEx))) {
        return ::PtInRect(&m_item, pt) != FALSE;
    }
    DWORD hit = HITRESULT_OUTSIDE;
    viewEx->QueryHitPoint(DVASPECT_CONTENT, &m_item, pt, 0, &hit);
    return hit == HITRESULT_HIT;
}

LRESULT CActiveXUI::MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (m_site == nullptr || m_manager == nullptr || !m_site->m_inPlaceActive || !m_site->m_windowless ||
        !m_site->m_inPlaceObject) {
        return 0;
    }
    const bool mouse = msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST;
    bool marksHandled = true;
    if (mouse || msg == WM_SETCURSOR) {
        if (mouse && !IsMouseEnabled()) return 0;
        if (!m_site->m_captured && !HitsObject(msg, lParam)) return 0;
        marksHandled = msg != WM_SETCURSOR;
    } else if (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) {
        if (!IsFocused()) return 0;
    } else if (msg == WM_HELP || msg == WM_CONTEXTMENU) {
        marksHandled = false;
    } else {
        return 0;
    }
    IOleInPlaceObjectWindowless* object = static_cast<IOleInPlaceObjectWindowless*>(m_site->m_inPlaceObject.Get());
    LRESULT result = 0;
    if (object->OnWindowMessage(msg, wParam, lParam, &result) == S_OK) handled = marksHandled;
    return result;
}

void CActiveXUI::ReleaseControl() {
    if (m_manager != nullptr) m_manager->RemoveMessageFilter(this);
    if (m_object) {
        CComRef<IObjectWithSite> withSite;
        if (SUCCEEDED(withSite.QueryFrom(m_object.Get(), IID_IObjectWithSite))) withSite->SetSite(nullptr);
        if (m_site != nullptr && m_site->m_runningLocked) {
            m_site->m_runningLocked = false;
            ::OleLockRunning(m_object.Get(), FALSE, FALSE);
        }
        if (!m_externallyManaged) m_object->Close(OLECLOSE_NOSAVE);
        m_object->SetClientSite(nullptr);
        m_object.Reset();
    }
    if (m_site != nullptr) {
        CActiveXCtrl* site = m_site;
        m_site = nullptr;
        site->m_owner = nullptr;
        site->Release();
    }
    m_hostWnd = nullptr;
}

// The library stays loaded: objects it made may outlive this control.
IUnknown* CActiveXUI::CreateFromModule() const {
    if (m_moduleName.IsEmpty()) return nullptr;
    HMODULE module = ::LoadLibraryW(m_moduleName);
    if (module == nullptr) return nullptr;
    auto getClassObject =
        reinterpret_cast<GetClassObjectFn>(reinterpret_cast<void*>(::GetProcAddress(module, "DllGetClassObject")));
    if (getClassObject == nullptr) return nullptr;
    CComRef<IClassFactory> factory;
    if (FAILED(getClassObject(m_clsid, IID_IClassFactory, factory.Out())) || !factory) return nullptr;
    CComRef<IUnknown> object;
    if (FAILED(factory->CreateInstance(nullptr, IID_IOleObject, object.Out()))) return nullptr;
    return object.Detach();
}

bool CActiveXUI::DoCreateControl() {
    ReleaseControl();
    m_created = true;
    CComRef<IUnknown> first(CreateFromModule());
    if (!first && FAILED(::CoCreateInstance(m_clsid, nullptr, CLSCTX_ALL, IID_IOleControl, first.Out()))) return false;
    if (!first || FAILED(m_object.QueryFrom(first.Get(), IID_IOleObject))) return false;
    first.Reset();
    m_site = new CActiveXCtrl(this);
    CComRef<IOleClientSite> clientSite;
    m_site->QueryInterface(IID_IOleClientSite, clientSite.Out());
    return SUCCEEDED(SetUpObject(clientSite.Get()));
}

HRESULT CActiveXUI::SetUpObject(IOleClientSite* clientSite) {
    DWORD misc = 0;
    m_object->GetMiscStatus(DVASPECT_CONTENT, &misc);
    if ((misc & OLEMISC_SETCLIENTSITEFIRST) != 0) m_object->SetClientSite(clientSite);
    CComRef<IPersistStreamInit> persist;
    if (SUCCEEDED(persist.QueryFrom(m_object.Get(), IID_IPersistStreamInit))) {
        HRESULT hr = persist->InitNew();
        if (FAILED(hr)) return hr;
    }
    if ((misc & OLEMISC_SETCLIENTSITEFIRST) == 0) m_object->SetClientSite(clientSite);
    CComRef<IViewObject>& view = m_site->m_viewObject;
    HRESULT hr = view.QueryFrom(m_object.Get(), IID_IViewObjectEx);
    if (FAILED(hr)) hr = view.QueryFrom(m_object.Get(), IID_IViewObject2);
    if (FAILED(hr)) hr = view.QueryFrom(m_object.Get(), IID_IViewObject);
    m_object->SetHostNames(L"UIActiveX", nullptr);
    if (m_manager != nullptr) m_manager->SendNotify(this, L"showactivex", 0, 0, false);
    if ((misc & OLEMISC_INVISIBLEATRUNTIME) == 0 && m_manager != nullptr) {
        try {
            hr = m_object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, clientSite, 0, m_manager->GetPaintWindow(),
                                  &m_item);
        } catch (...) {
            hr = E_UNEXPECTED;
        }
    }
    CComRef<IObjectWithSite> withSite;
    if (m_object && SUCCEEDED(withSite.QueryFrom(m_object.Get(), IID_IObjectWithSite))) {
        withSite->SetSite(static_cast<IOleClientSite*>(m_site));
    }
    return hr;
}

HRESULT CActiveXUI::TranslateThroughObject(IUnknown* object, MSG* msg) const {
    if (msg == nullptr || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return S_FALSE;
    if (object == nullptr) return E_NOTIMPL;
    HWND focus = ::GetFocus();
    if (m_hostWnd == nullptr || focus == nullptr || (focus != m_hostWnd && !::IsChild(m_hostWnd, focus))) {
        return S_FALSE;
    }
    CComRef<IOleInPlaceActiveObject> active;
    HRESULT hr = active.QueryFrom(object, IID_IOleInPlaceActiveObject);
    if (FAILED(hr)) return hr;
    return active->TranslateAccelerator(msg);
}

HRESULT CActiveXUI::ConnectEvents(IUnknown* source, const IID& events, IUnknown* sink, bool connect, DWORD& cookie) {
    CComRef<IConnectionPointContainer> container;
    HRESULT hr = container.QueryFrom(source, IID_IConnectionPointContainer);
    if (FAILED(hr)) return hr;
    CComRef<IConnectionPoint> point;
    hr = container->FindConnectionPoint(events, reinterpret_cast<IConnectionPoint**>(point.Out()));
    if (FAILED(hr) || !point) return FAILED(hr) ? hr : E_FAIL;
    if (connect) return point->Advise(sink, &cookie);
    hr = point->Unadvise(cookie);
    cookie = 0;
    return hr;
}

CControlUI* CreateActiveXControl() { return new CActiveXUI(); }

}  // namespace HiveUI
