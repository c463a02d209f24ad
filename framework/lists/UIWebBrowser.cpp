#include "UIWebBrowser.h"

#include <exdispid.h>
#include <mshtml.h>

#include <cstring>
#include <cwchar>

#include "ActiveXGuids.h"
#include "UIManager.h"

namespace HiveUI {

namespace {

// Event arguments arrive last first; At reads them in the event's own order.
class CEventArgs {
public:
    explicit CEventArgs(DISPPARAMS* params) : m_params(params) {}
    UINT Count() const { return m_params != nullptr && m_params->rgvarg != nullptr ? m_params->cArgs : 0; }
    VARIANT* At(UINT index) const { return &m_params->rgvarg[m_params->cArgs - 1 - index]; }

    IDispatch* Dispatch(UINT index) const {
        VARIANT* v = At(index);
        return v->vt == VT_DISPATCH ? v->pdispVal : nullptr;
    }
    IDispatch** DispatchRef(UINT index) const {
        VARIANT* v = At(index);
        return v->vt == (VT_BYREF | VT_DISPATCH) ? v->ppdispVal : nullptr;
    }
    // The browser passes most values by reference to a variant.
    VARIANT* Value(UINT index) const {
        VARIANT* v = At(index);
        return v->vt == (VT_BYREF | VT_VARIANT) ? v->pvarVal : v;
    }
    VARIANT_BOOL* BoolRef(UINT index) const {
        VARIANT* v = At(index);
        return v->vt == (VT_BYREF | VT_BOOL) ? v->pboolVal : nullptr;
    }
    BSTR String(UINT index) const {
        VARIANT* v = Value(index);
        if (v->vt == VT_BSTR) return v->bstrVal;
        return v->vt == (VT_BYREF | VT_BSTR) ? *v->pbstrVal : nullptr;
    }
    LONG Long(UINT index) const { return Converted(index, VT_I4).lVal; }
    VARIANT_BOOL Bool(UINT index) const { return Converted(index, VT_BOOL).boolVal; }

private:
    VARIANT Converted(UINT index, VARTYPE type) const {
        VARIANT copy;
        ::VariantInit(&copy);
        if (FAILED(::VariantChangeType(&copy, Value(index), 0, type))) copy.vt = VT_EMPTY;
        return copy;
    }

    DISPPARAMS* m_params;
};

// How many arguments each handled event brings; -1 for events the control ignores.
int EventArgumentCount(DISPID id) {
    switch (id) {
        case DISPID_STATUSTEXTCHANGE:
            return 0;
        case DISPID_TITLECHANGE:
            return 1;
        case DISPID_COMMANDSTATECHANGE:
        case DISPID_NAVIGATECOMPLETE2:
        case DISPID_DOCUMENTCOMPLETE:
            return 2;
        case DISPID_NAVIGATEERROR:
        case DISPID_NEWWINDOW3:
            return 5;
        case DISPID_BEFORENAVIGATE2:
            return 7;
        default:
            return -1;
    }
}

// Stands in when no receiver is set: its answers are the control's own.
class CDefaultEventSink : public IWebBrowserEventSink {};

template <class T>
HRESULT NullOut(T** out, HRESULT hr) {
    if (out != nullptr) *out = nullptr;
    return hr;
}

}  // namespace

CWebBrowserUI::CWebBrowserUI() : m_refs(0), m_eventCookie(0), m_autoNavigate(false), m_eventHandler(nullptr) {
    m_clsid = kClsidWebBrowser;
}

// The object is closed while this is still a browser control: it may call back.
CWebBrowserUI::~CWebBrowserUI() { CWebBrowserUI::ReleaseControl(); }

const wchar_t* CWebBrowserUI::GetClass() const { return L"WebBrowserUI"; }

LPVOID CWebBrowserUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"WebBrowser") == 0) return static_cast<CWebBrowserUI*>(this);
    return CActiveXUI::GetInterface(name);
}

void CWebBrowserUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (_wcsicmp(name, L"homepage") == 0) {
        SetHomePage(value);
    } else if (_wcsicmp(name, L"autonavi") == 0) {
        SetAutoNavigation(_wcsicmp(value, L"true") == 0);
    } else {
        CActiveXUI::SetAttribute(name, value);
    }
}

void CWebBrowserUI::Navigate2(const wchar_t* url) {
    if (url == nullptr || *url == L'\0' || !m_browser) return;
    VARIANT target;
    ::VariantInit(&target);
    target.vt = VT_BSTR;
    target.bstrVal = ::SysAllocString(url);
    m_browser->Navigate2(&target, nullptr, nullptr, nullptr, nullptr);
    ::VariantClear(&target);
}

bool CWebBrowserUI::DoCreateControl() {
    if (!CActiveXUI::DoCreateControl()) return false;
    if (m_manager != nullptr) m_manager->AddTranslateAccelerator(this);
    GetControl(IID_IWebBrowser2, m_browser.Out());
    if (m_autoNavigate && !m_homePage.IsEmpty()) Navigate2(m_homePage);
    RegisterEventHandler(true);
    return true;
}

// Re-creation and destruction release the hosted object here too, so the previous
// browser never outlives its replacement.
void CWebBrowserUI::ReleaseControl() {
    m_created = false;
    if (m_manager != nullptr) m_manager->RemoveTranslateAccelerator(this);
    if (m_eventCookie != 0) RegisterEventHandler(false);
    m_browser.Reset();
    CActiveXUI::ReleaseControl();
}

HRESULT CWebBrowserUI::RegisterEventHandler(bool connect) {
    CComRef<IWebBrowser2> browser;
    HRESULT hr = GetControl(IID_IWebBrowser2, browser.Out());
    if (FAILED(hr)) return hr;
    return ConnectEvents(browser.Get(), DIID_DWebBrowserEvents2, static_cast<IDispatch*>(this), connect, m_eventCookie);
}

LRESULT CWebBrowserUI::RelayToEventHandler(UINT code, WPARAM wParam1, LPARAM lParam1, WPARAM wParam2, LPARAM lParam2,
                                           LPVOID data1, LPVOID data2, LPVOID data3) {
    return Handler().Relay(this, code, wParam1, lParam1, wParam2, lParam2, data1, data2, data3);
}

// ---- IUnknown ----

STDMETHODIMP CWebBrowserUI::QueryInterface(REFIID iid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDocHostUIHandler) {
        *out = static_cast<IDocHostUIHandler*>(this);
    } else if (iid == IID_IDispatch) {
        *out = static_cast<IDispatch*>(this);
    } else if (iid == IID_IServiceProvider) {
        *out = static_cast<IServiceProvider*>(this);
    } else if (iid == IID_IInternetSecurityManager) {
        *out = static_cast<IInternetSecurityManager*>(this);
    } else if (iid == IID_IOleCommandTarget) {
        *out = static_cast<IOleCommandTarget*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CWebBrowserUI::AddRef() { return ::InterlockedIncrement(&m_refs); }
STDMETHODIMP_(ULONG) CWebBrowserUI::Release() { return ::InterlockedDecrement(&m_refs); }

// ---- IDispatch ----

STDMETHODIMP CWebBrowserUI::Invoke(DISPID id, REFIID iid, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
    if (iid != IID_NULL) return E_INVALIDARG;
    return DispatchEvent(id, params);
}

HRESULT CWebBrowserUI::DispatchEvent(DISPID id, DISPPARAMS* params) {
    const int needed = EventArgumentCount(id);
    if (needed < 0) return DISP_E_MEMBERNOTFOUND;
    CEventArgs args(params);
    if (args.Count() < static_cast<UINT>(needed)) return DISP_E_BADPARAMCOUNT;
    if (id == DISPID_NAVIGATECOMPLETE2) OnNavigateComplete();
    IWebBrowserEventSink& handler = Handler();
    switch (id) {
        case DISPID_COMMANDSTATECHANGE:
            handler.CommandStateChange(this, args.Long(0), args.Bool(1));
            break;
        case DISPID_TITLECHANGE:
            handler.TitleChange(this, args.String(0));
            break;
        case DISPID_BEFORENAVIGATE2:
            handler.BeforeNavigate2(this, args.Dispatch(0), args.Value(1), args.Value(2), args.Value(3),
                                     args.Value(4), args.Value(5), args.BoolRef(6));
            break;
        case DISPID_NAVIGATECOMPLETE2:
            handler.NavigateComplete2(this, args.Dispatch(0), args.Value(1));
            break;
        case DISPID_DOCUMENTCOMPLETE:
            handler.DocumentComplete(this, args.Dispatch(0), args.Value(1));
            break;
        case DISPID_NAVIGATEERROR:
            handler.NavigateError(this, args.Dispatch(0), args.Value(1), args.Value(2), args.Value(3),
                                   args.BoolRef(4));
            break;
        case DISPID_NEWWINDOW3:
            handler.NewWindow3(this, args.DispatchRef(0), args.BoolRef(1), static_cast<DWORD>(args.Long(2)),
                                args.String(3), args.String(4));
            break;
        default:
            break;
    }
    return S_OK;
}

IWebBrowserEventSink& CWebBrowserUI::Handler() const {
    static CDefaultEventSink none;
    return m_eventHandler != nullptr ? *m_eventHandler : none;
}

// Every new document gets this control as its UI handler again.
void CWebBrowserUI::OnNavigateComplete() {
    if (!m_browser) return;
    CComRef<IDispatch> document;
    if (FAILED(m_browser->get_Document(reinterpret_cast<IDispatch**>(document.Out()))) || !document) return;
    CComRef<ICustomDoc> custom;
    if (SUCCEEDED(custom.QueryFrom(document.Get(), kIidCustomDoc))) {
        custom->SetUIHandler(static_cast<IDocHostUIHandler*>(this));
    }
}

// ---- IDocHostUIHandler ----

STDMETHODIMP CWebBrowserUI::ShowContextMenu(DWORD id, POINT* pt, IUnknown* target, IDispatch* object) {
    return Handler().ShowContextMenu(this, id, pt, target, object);
}

STDMETHODIMP CWebBrowserUI::GetHostInfo(DOCHOSTUIINFO* info) {
    if (info == nullptr) return E_POINTER;
    info->dwFlags |= DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_NO3DOUTERBORDER;
    return Handler().GetHostInfo(this, info);
}

STDMETHODIMP CWebBrowserUI::ShowUI(DWORD id, IOleInPlaceActiveObject* activeObject, IOleCommandTarget* commandTarget,
                                   IOleInPlaceFrame* frame, IOleInPlaceUIWindow* doc) {
    return Handler().ShowUI(this, id, activeObject, commandTarget, frame, doc);
}

STDMETHODIMP CWebBrowserUI::HideUI() { return Handler().HideUI(this); }
STDMETHODIMP CWebBrowserUI::UpdateUI() { return Handler().UpdateUI(this); }
STDMETHODIMP CWebBrowserUI::EnableModeless(BOOL enable) { return Handler().EnableModeless(this, enable); }

STDMETHODIMP CWebBrowserUI::OnDocWindowActivate(BOOL activate) {
    return Handler().OnDocWindowActivate(this, activate);
}

STDMETHODIMP CWebBrowserUI::OnFrameWindowActivate(BOOL activate) {
    return Handler().OnFrameWindowActivate(this, activate);
}

STDMETHODIMP CWebBrowserUI::ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) {
    return Handler().ResizeBorder(this, border, window, frameWindow);
}

STDMETHODIMP CWebBrowserUI::TranslateAccelerator(LPMSG msg, const GUID* group, DWORD id) {
    return Handler().TranslateAccelerator(this, msg, group, id);
}

STDMETHODIMP CWebBrowserUI::GetOptionKeyPath(LPOLESTR* key, DWORD reserved) {
    return Handler().GetOptionKeyPath(this, key, reserved);
}

STDMETHODIMP CWebBrowserUI::GetDropTarget(IDropTarget* dropTarget, IDropTarget** replacement) {
    return Handler().GetDropTarget(this, dropTarget, replacement);
}

STDMETHODIMP CWebBrowserUI::GetExternal(IDispatch** external) { return Handler().GetExternal(this, external); }

STDMETHODIMP CWebBrowserUI::TranslateUrl(DWORD translate, LPWSTR urlIn, LPWSTR* urlOut) {
    return Handler().TranslateUrl(this, translate, urlIn, urlOut);
}

STDMETHODIMP CWebBrowserUI::FilterDataObject(IDataObject* object, IDataObject** replacement) {
    return Handler().FilterDataObject(this, object, replacement);
}

// ---- IServiceProvider ----

// The control is a security manager and no download manager.
STDMETHODIMP CWebBrowserUI::QueryService(REFGUID service, REFIID iid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (service != IID_IInternetSecurityManager || iid != IID_IInternetSecurityManager) return E_NOINTERFACE;
    *out = static_cast<IInternetSecurityManager*>(this);
    AddRef();
    return S_OK;
}

// ---- IOleCommandTarget ----

STDMETHODIMP CWebBrowserUI::QueryStatus(const GUID*, ULONG, OLECMD[], OLECMDTEXT*) { return OLECMDERR_E_NOTSUPPORTED; }

STDMETHODIMP CWebBrowserUI::Exec(const GUID* group, DWORD id, DWORD, VARIANT* in, VARIANT* out) {
    if (group == nullptr || *group != kCgidDocHostCommandHandler) return OLECMDERR_E_UNKNOWNGROUP;
    if (id != OLECMDID_SHOWSCRIPTERROR) return OLECMDERR_E_NOTSUPPORTED;
    HRESULT hr = ReadScriptError(in);
    // True keeps the page's scripts running and shows no dialog.
    if (out != nullptr) {
        ::VariantClear(out);
        out->vt = VT_BOOL;
        out->boolVal = VARIANT_TRUE;
    }
    return hr;
}

// The error's details are taken from the window's event object as the browser hands
// them to its host; they are not shown.
HRESULT CWebBrowserUI::ReadScriptError(VARIANT* in) {
    if (in == nullptr || (in->vt != VT_UNKNOWN && in->vt != VT_DISPATCH) || in->punkVal == nullptr) return E_INVALIDARG;
    CComRef<IHTMLDocument2> document;
    HRESULT hr = document.QueryFrom(in->punkVal, IID_IHTMLDocument2);
    if (FAILED(hr)) return hr;
    CComRef<IHTMLWindow2> window;
    hr = document->get_parentWindow(reinterpret_cast<IHTMLWindow2**>(window.Out()));
    if (FAILED(hr) || !window) return FAILED(hr) ? hr : E_FAIL;
    CComRef<IHTMLEventObj> event;
    hr = window->get_event(reinterpret_cast<IHTMLEventObj**>(event.Out()));
    if (FAILED(hr) || !event) return FAILED(hr) ? hr : E_FAIL;
    static const wchar_t* const kNames[] = {L"errorLine", L"errorCharacter", L"errorCode", L"errorMessage",
                                            L"errorUrl"};
    for (const wchar_t* name : kNames) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID dispid = DISPID_UNKNOWN;
        hr = event->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &dispid);
        if (FAILED(hr)) continue;
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        VARIANT value;
        ::VariantInit(&value);
        hr = event->Invoke(dispid, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_PROPERTYGET, &none, &value, nullptr,
                           nullptr);
        ::VariantClear(&value);
    }
    return hr;
}

// ---- ITranslateAccelerator ----

LRESULT CWebBrowserUI::TranslateAccelerator(MSG* msg) { return TranslateThroughObject(m_browser.Get(), msg); }

// ---- IInternetSecurityManager ----

STDMETHODIMP CWebBrowserUI::SetSecuritySite(IInternetSecurityMgrSite*) { return INET_E_DEFAULT_ACTION; }

STDMETHODIMP CWebBrowserUI::GetSecuritySite(IInternetSecurityMgrSite** site) {
    return NullOut(site, INET_E_DEFAULT_ACTION);
}

STDMETHODIMP CWebBrowserUI::MapUrlToZone(LPCWSTR, DWORD*, DWORD) { return INET_E_DEFAULT_ACTION; }
STDMETHODIMP CWebBrowserUI::GetSecurityId(LPCWSTR, BYTE*, DWORD*, DWORD_PTR) { return INET_E_DEFAULT_ACTION; }

STDMETHODIMP CWebBrowserUI::ProcessUrlAction(LPCWSTR, DWORD, BYTE* policy, DWORD policySize, BYTE*, DWORD, DWORD,
                                             DWORD) {
    if (policy != nullptr && policySize >= sizeof(DWORD)) {
        const DWORD allow = URLPOLICY_ALLOW;
        memcpy(policy, &allow, sizeof(allow));
    }
    return S_OK;
}

STDMETHODIMP CWebBrowserUI::QueryCustomPolicy(LPCWSTR, REFGUID, BYTE** policy, DWORD* policySize, BYTE*, DWORD,
                                              DWORD) {
    if (policySize != nullptr) *policySize = 0;
    return NullOut(policy, INET_E_DEFAULT_ACTION);
}

STDMETHODIMP CWebBrowserUI::SetZoneMapping(DWORD, LPCWSTR, DWORD) { return INET_E_DEFAULT_ACTION; }

STDMETHODIMP CWebBrowserUI::GetZoneMappings(DWORD, IEnumString** mappings, DWORD) {
    return NullOut(mappings, INET_E_DEFAULT_ACTION);
}

CControlUI* CreateWebBrowserControl() { return new CWebBrowserUI(); }

}  // namespace HiveUI
