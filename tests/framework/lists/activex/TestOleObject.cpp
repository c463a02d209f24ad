#include "TestOleObject.h"

#include <cstdio>

LONG TestOleObject::live = 0;
LONG TestOleObject::overReleases = 0;
std::vector<std::string> TestOleObject::log;
TestOleOptions TestOleObject::options;
TestOleObject* TestOleObject::last = nullptr;

namespace {

template <class T>
void Drop(T*& p) {
    if (p != nullptr) p->Release();
    p = nullptr;
}

LRESULT CALLBACK OwnWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_LBUTTONDOWN || msg == WM_KEYDOWN) {
        TestOleObject::log.push_back(msg == WM_KEYDOWN ? "wnd:key" : "wnd:click");
        if (msg == WM_LBUTTONDOWN) SetFocus(wnd);
        return 0;
    }
    return DefWindowProcW(wnd, msg, wParam, lParam);
}

}  // namespace

TestOleObject::TestOleObject() : options_(options) {
    ++live;
    last = this;
}

STDMETHODIMP TestOleObject::QueryInterface(REFIID iid, void** out) {
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleObject) *out = static_cast<IOleObject*>(this);
    if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject || iid == IID_IOleInPlaceObjectWindowless) {
        *out = static_cast<IOleInPlaceObjectWindowless*>(this);
    }
    if (iid == IID_IViewObject || iid == IID_IViewObject2 || (iid == IID_IViewObjectEx && options_.viewObjectEx)) {
        *out = static_cast<IViewObjectEx*>(this);
    }
    if (iid == IID_IOleControl) *out = static_cast<IOleControl*>(this);
    if (iid == IID_IPersistStreamInit) *out = static_cast<IPersistStreamInit*>(this);
    if (iid == IID_IObjectWithSite) *out = static_cast<IObjectWithSite*>(this);
    if (*out == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) TestOleObject::AddRef() { return ++refs_; }

// A released object stays allocated, so that one release too many is counted instead
// of touching freed memory.
STDMETHODIMP_(ULONG) TestOleObject::Release() {
    if (refs_ <= 0) return ++overReleases, 0;
    LONG refs = --refs_;
    if (refs == 0) {
        --live;
        if (last == this) last = nullptr;
    }
    return refs;
}

STDMETHODIMP TestOleObject::SetClientSite(IOleClientSite* site) {
    log.push_back(site != nullptr ? "SetClientSite" : "SetClientSite:null");
    if (site != nullptr) site->AddRef();
    Drop(clientSite_);
    clientSite_ = site;
    return S_OK;
}

STDMETHODIMP TestOleObject::GetClientSite(IOleClientSite** site) {
    *site = clientSite_;
    if (clientSite_ != nullptr) clientSite_->AddRef();
    return S_OK;
}

STDMETHODIMP TestOleObject::SetHostNames(LPCOLESTR, LPCOLESTR) {
    log.push_back("SetHostNames");
    return S_OK;
}

STDMETHODIMP TestOleObject::Close(DWORD) {
    log.push_back("Close");
    return InPlaceDeactivate();
}

STDMETHODIMP TestOleObject::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT) {
    log.push_back("DoVerb:" + std::to_string(verb));
    if (verb == OLEIVERB_INPLACEACTIVATE) return ActivateInPlace(site, parent);
    if (verb == OLEIVERB_UIACTIVATE && inPlaceSite_ != nullptr) return inPlaceSite_->OnUIActivate();
    return S_OK;
}

HRESULT TestOleObject::ActivateInPlace(IOleClientSite* site, HWND) {
    if (inPlaceSite_ != nullptr || site == nullptr) return S_OK;
    if (options_.windowless &&
        SUCCEEDED(site->QueryInterface(IID_IOleInPlaceSiteWindowless, reinterpret_cast<void**>(&windowlessSite_))) &&
        windowlessSite_->CanWindowlessActivate() == S_OK) {
        inPlaceSite_ = windowlessSite_;
        inPlaceSite_->AddRef();
        BOOL noRedraw = FALSE;
        return windowlessSite_->OnInPlaceActivateEx(&noRedraw, ACTIVATE_WINDOWLESS);
    }
    Drop(windowlessSite_);
    if (FAILED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlaceSite_)))) return E_FAIL;
    inPlaceSite_->OnInPlaceActivate();
    HWND parent = nullptr;
    inPlaceSite_->GetWindow(&parent);
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* doc = nullptr;
    RECT pos = {}, clip = {};
    OLEINPLACEFRAMEINFO info = {};
    info.cb = sizeof(info);
    inPlaceSite_->GetWindowContext(&frame, &doc, &pos, &clip, &info);
    Drop(frame);
    Drop(doc);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = OwnWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TallyhiveTestOleWnd";
    wc.hbrBackground = CreateSolidBrush(kColor);
    RegisterClassW(&wc);
    wnd_ = CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD | WS_VISIBLE, pos.left, pos.top, pos.right - pos.left,
                           pos.bottom - pos.top, parent, nullptr, wc.hInstance, nullptr);
    return wnd_ != nullptr ? S_OK : E_FAIL;
}

STDMETHODIMP TestOleObject::SetExtent(DWORD, SIZEL*) {
    log.push_back("SetExtent");
    return S_OK;
}

STDMETHODIMP TestOleObject::GetMiscStatus(DWORD, DWORD* status) {
    *status = options_.misc;
    return S_OK;
}

STDMETHODIMP TestOleObject::GetWindow(HWND* wnd) {
    *wnd = wnd_;
    return wnd_ != nullptr ? S_OK : E_FAIL;
}

STDMETHODIMP TestOleObject::InPlaceDeactivate() {
    if (inPlaceSite_ == nullptr) return S_OK;
    if (wnd_ != nullptr && IsWindow(wnd_)) DestroyWindow(wnd_);
    wnd_ = nullptr;
    inPlaceSite_->OnInPlaceDeactivate();
    Drop(inPlaceSite_);
    Drop(windowlessSite_);
    return S_OK;
}

STDMETHODIMP TestOleObject::SetObjectRects(LPCRECT pos, LPCRECT) {
    char text[64];
    snprintf(text, sizeof(text), "SetObjectRects:%ld,%ld,%ld,%ld", pos->left, pos->top, pos->right, pos->bottom);
    log.push_back(text);
    if (wnd_ != nullptr) MoveWindow(wnd_, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top, TRUE);
    return S_OK;
}

STDMETHODIMP TestOleObject::OnWindowMessage(UINT msg, WPARAM, LPARAM, LRESULT* result) {
    char text[16];
    snprintf(text, sizeof(text), "msg:%x", msg);
    log.push_back(text);
    if (msg == WM_LBUTTONDOWN) {
        windowlessSite_->SetFocus(TRUE);
        windowlessSite_->SetCapture(TRUE);
    } else if (msg == WM_LBUTTONUP) {
        windowlessSite_->SetCapture(FALSE);
    }
    *result = 0;
    return S_OK;
}

STDMETHODIMP TestOleObject::Draw(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                                 BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    RECT rc = {bounds->left, bounds->top, bounds->right, bounds->bottom};
    HBRUSH brush = CreateSolidBrush(kColor);
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
    return S_OK;
}

// Only the left half of the object takes the mouse.
STDMETHODIMP TestOleObject::QueryHitPoint(DWORD, LPCRECT bounds, POINT pt, LONG, DWORD* hit) {
    RECT left = *bounds;
    left.right = (bounds->left + bounds->right) / 2;
    *hit = PtInRect(&left, pt) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    return S_OK;
}

STDMETHODIMP TestOleObject::InitNew() {
    log.push_back("InitNew");
    return options_.failInitNew ? E_FAIL : S_OK;
}

STDMETHODIMP TestOleObject::SetSite(IUnknown* site) {
    log.push_back(site != nullptr ? "SetSite" : "SetSite:null");
    if (site != nullptr) site->AddRef();
    Drop(site_);
    site_ = site;
    return S_OK;
}

STDMETHODIMP TestOleFactory::QueryInterface(REFIID iid, void** out) {
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
}

STDMETHODIMP TestOleFactory::CreateInstance(IUnknown*, REFIID iid, void** out) {
    IOleObject* object = new TestOleObject();
    HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
}
