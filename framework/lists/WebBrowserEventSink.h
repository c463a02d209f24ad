// IWebBrowserEventSink: an optional receiver of the web-browser control's navigation
// events and of the document's UI-handler calls; each operation gets the control first.
// What a receiver does not override answers as the control does without a receiver:
// events are let pass and the UI-handler calls leave the browser its own behaviour.
#pragma once

#include <windows.h>
#include <mshtmhst.h>

namespace HiveUI {

class CWebBrowserUI;

class IWebBrowserEventSink {
public:
    virtual void BeforeNavigate2(CWebBrowserUI*, IDispatch*, VARIANT* /*url*/, VARIANT* /*flags*/,
                                 VARIANT* /*targetFrameName*/, VARIANT* /*postData*/, VARIANT* /*headers*/,
                                 VARIANT_BOOL* /*cancel*/) {}
    virtual void NavigateError(CWebBrowserUI*, IDispatch*, VARIANT* /*url*/, VARIANT* /*targetFrame*/,
                               VARIANT* /*statusCode*/, VARIANT_BOOL* /*cancel*/) {}
    virtual void NavigateComplete2(CWebBrowserUI*, IDispatch*, VARIANT* /*url*/) {}
    // Kept in its slot for receivers written against it; the control never calls it.
    virtual void ProgressChange(CWebBrowserUI*, LONG /*progress*/, LONG /*progressMax*/) {}
    virtual void NewWindow3(CWebBrowserUI*, IDispatch** /*disp*/, VARIANT_BOOL* /*cancel*/, DWORD /*flags*/,
                            BSTR /*urlContext*/, BSTR /*url*/) {}
    virtual void CommandStateChange(CWebBrowserUI*, long /*command*/, VARIANT_BOOL /*enable*/) {}
    virtual void TitleChange(CWebBrowserUI*, BSTR /*title*/) {}
    virtual void DocumentComplete(CWebBrowserUI*, IDispatch*, VARIANT* /*url*/) {}

    // The browser shows its own context menu.
    virtual HRESULT ShowContextMenu(CWebBrowserUI*, DWORD, POINT*, IUnknown*, IDispatch*) { return S_FALSE; }
    virtual HRESULT GetHostInfo(CWebBrowserUI*, DOCHOSTUIINFO*) { return S_OK; }
    virtual HRESULT ShowUI(CWebBrowserUI*, DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                           IOleInPlaceUIWindow*) {
        return S_OK;
    }
    virtual HRESULT HideUI(CWebBrowserUI*) { return S_OK; }
    virtual HRESULT UpdateUI(CWebBrowserUI*) { return S_OK; }
    virtual HRESULT EnableModeless(CWebBrowserUI*, BOOL) { return E_NOTIMPL; }
    virtual HRESULT OnDocWindowActivate(CWebBrowserUI*, BOOL) { return E_NOTIMPL; }
    virtual HRESULT OnFrameWindowActivate(CWebBrowserUI*, BOOL) { return E_NOTIMPL; }
    virtual HRESULT ResizeBorder(CWebBrowserUI*, LPCRECT, IOleInPlaceUIWindow*, BOOL) { return E_NOTIMPL; }
    virtual HRESULT TranslateAccelerator(CWebBrowserUI*, LPMSG, const GUID*, DWORD) { return S_FALSE; }
    virtual HRESULT GetOptionKeyPath(CWebBrowserUI*, LPOLESTR*, DWORD) { return E_NOTIMPL; }
    virtual HRESULT GetDropTarget(CWebBrowserUI*, IDropTarget*, IDropTarget**) { return S_FALSE; }
    virtual HRESULT GetExternal(CWebBrowserUI*, IDispatch**) { return S_FALSE; }
    virtual HRESULT TranslateUrl(CWebBrowserUI*, DWORD, LPWSTR, LPWSTR* urlOut) {
        if (urlOut != nullptr) *urlOut = nullptr;
        return E_NOTIMPL;
    }
    virtual HRESULT FilterDataObject(CWebBrowserUI*, IDataObject*, IDataObject** replacement) {
        if (replacement != nullptr) *replacement = nullptr;
        return E_NOTIMPL;
    }

    // Whatever the control's owner relays through `CWebBrowserUI::RelayToEventHandler`.
    virtual LRESULT Relay(CWebBrowserUI*, UINT /*code*/, WPARAM, LPARAM, WPARAM, LPARAM, LPVOID, LPVOID, LPVOID) {
        return 0;
    }

protected:
    ~IWebBrowserEventSink() = default;
};

}  // namespace HiveUI
