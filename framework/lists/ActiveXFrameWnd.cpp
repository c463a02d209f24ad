#include "ActiveXFrameWnd.h"

#include "UIActiveX.h"
#include "UIManager.h"

namespace HiveUI {

CActiveXFrameWnd::CActiveXFrameWnd(CActiveXUI* owner) : m_refs(1), m_owner(owner), m_activeObject(nullptr) {}

CActiveXFrameWnd::~CActiveXFrameWnd() {
    if (m_activeObject != nullptr) m_activeObject->Release();
}

STDMETHODIMP CActiveXFrameWnd::QueryInterface(REFIID iid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IOleWindow && iid != IID_IOleInPlaceFrame && iid != IID_IOleInPlaceUIWindow) {
        return E_NOINTERFACE;
    }
    *out = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CActiveXFrameWnd::AddRef() { return ++m_refs; }

STDMETHODIMP_(ULONG) CActiveXFrameWnd::Release() {
    LONG refs = --m_refs;
    if (refs == 0) delete this;
    return refs;
}

STDMETHODIMP CActiveXFrameWnd::GetWindow(HWND* wnd) {
    if (wnd == nullptr) return E_POINTER;
    *wnd = nullptr;
    if (m_owner == nullptr || m_owner->GetManager() == nullptr) return E_UNEXPECTED;
    *wnd = m_owner->GetManager()->GetPaintWindow();
    return S_OK;
}

STDMETHODIMP CActiveXFrameWnd::ContextSensitiveHelp(BOOL) { return S_OK; }
STDMETHODIMP CActiveXFrameWnd::GetBorder(LPRECT) { return S_OK; }
STDMETHODIMP CActiveXFrameWnd::RequestBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP CActiveXFrameWnd::SetBorderSpace(LPCBORDERWIDTHS) { return S_OK; }

STDMETHODIMP CActiveXFrameWnd::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
    if (object != nullptr) object->AddRef();
    if (m_activeObject != nullptr) m_activeObject->Release();
    m_activeObject = object;
    return S_OK;
}

STDMETHODIMP CActiveXFrameWnd::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return S_OK; }
STDMETHODIMP CActiveXFrameWnd::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
STDMETHODIMP CActiveXFrameWnd::RemoveMenus(HMENU) { return S_OK; }
STDMETHODIMP CActiveXFrameWnd::SetStatusText(LPCOLESTR) { return S_OK; }
STDMETHODIMP CActiveXFrameWnd::EnableModeless(BOOL) { return S_OK; }
STDMETHODIMP CActiveXFrameWnd::TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }

}  // namespace HiveUI
