// CWebBrowserUI: hosts the system web-browser object, navigates to a home page, takes
// the browser's events, keeps itself the document's UI handler, silences script-error
// dialogs, passes keys to the browser while it has the focus and allows every URL
// action. Its COM interfaces are counted but live as long as the control.
#pragma once

#include <windows.h>
#include <docobj.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <servprov.h>
#include <urlmon.h>

#include "EventSinkDispatch.h"
#include "TranslateAccelerator.h"
#include "UIActiveX.h"
#include "WebBrowserEventSink.h"

namespace HiveUI {

class CWebBrowserUI : public CActiveXUI,
                      public IDocHostUIHandler,
                      public IServiceProvider,
                      public IOleCommandTarget,
                      public CEventSinkDispatch<IDispatch>,
                      public ITranslateAccelerator,
                      public IInternetSecurityManager {
public:
    CWebBrowserUI();
    ~CWebBrowserUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    void SetHomePage(const wchar_t* url) { m_homePage = url; }
    const CUIString& GetHomePage() const { return m_homePage; }
    void SetAutoNavigation(bool autoNavigate) { m_autoNavigate = autoNavigate; }
    bool IsAutoNavigation() const { return m_autoNavigate; }
    void SetWebBrowserEventHandler(IWebBrowserEventSink* handler) { m_eventHandler = handler; }
    IWebBrowser2* GetWebBrowser2() const { return m_browser.Get(); }

    void Navigate2(const wchar_t* url);
    HRESULT RegisterEventHandler(bool connect);
    virtual LRESULT RelayToEventHandler(UINT code, WPARAM wParam1, LPARAM lParam1, WPARAM wParam2, LPARAM lParam2,
                                        LPVOID data1, LPVOID data2, LPVOID data3);

    // IUnknown (all interfaces)
    STDMETHOD(QueryInterface)(REFIID iid, void** out) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;

    // IDispatch: the DWebBrowserEvents2 sink
    STDMETHOD(Invoke)(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argError) override;

    // IDocHostUIHandler
    STDMETHOD(ShowContextMenu)(DWORD id, POINT* pt, IUnknown* target, IDispatch* object) override;
    STDMETHOD(GetHostInfo)(DOCHOSTUIINFO* info) override;
    STDMETHOD(ShowUI)(DWORD id, IOleInPlaceActiveObject* activeObject, IOleCommandTarget* commandTarget,
                      IOleInPlaceFrame* frame, IOleInPlaceUIWindow* doc) override;
    STDMETHOD(HideUI)() override;
    STDMETHOD(UpdateUI)() override;
    STDMETHOD(EnableModeless)(BOOL enable) override;
    STDMETHOD(OnDocWindowActivate)(BOOL activate) override;
    STDMETHOD(OnFrameWindowActivate)(BOOL activate) override;
    STDMETHOD(ResizeBorder)(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) override;
    STDMETHOD(TranslateAccelerator)(LPMSG msg, const GUID* group, DWORD id) override;
    STDMETHOD(GetOptionKeyPath)(LPOLESTR* key, DWORD reserved) override;
    STDMETHOD(GetDropTarget)(IDropTarget* dropTarget, IDropTarget** replacement) override;
    STDMETHOD(GetExternal)(IDispatch** external) override;
    STDMETHOD(TranslateUrl)(DWORD translate, LPWSTR urlIn, LPWSTR* urlOut) override;
    STDMETHOD(FilterDataObject)(IDataObject* object, IDataObject** replacement) override;

    // IServiceProvider
    STDMETHOD(QueryService)(REFGUID service, REFIID iid, void** out) override;

    // IOleCommandTarget
    STDMETHOD(QueryStatus)(const GUID* group, ULONG count, OLECMD commands[], OLECMDTEXT* text) override;
    STDMETHOD(Exec)(const GUID* group, DWORD id, DWORD option, VARIANT* in, VARIANT* out) override;

    // ITranslateAccelerator: keys for the browser while the focus is inside it.
    LRESULT TranslateAccelerator(MSG* msg) override;

    // IInternetSecurityManager: every URL action is allowed; the rest is left to the
    // default security manager.
    STDMETHOD(SetSecuritySite)(IInternetSecurityMgrSite* site) override;
    STDMETHOD(GetSecuritySite)(IInternetSecurityMgrSite** site) override;
    STDMETHOD(MapUrlToZone)(LPCWSTR url, DWORD* zone, DWORD flags) override;
    STDMETHOD(GetSecurityId)(LPCWSTR url, BYTE* id, DWORD* idSize, DWORD_PTR reserved) override;
    STDMETHOD(ProcessUrlAction)(LPCWSTR url, DWORD action, BYTE* policy, DWORD policySize, BYTE* context,
                                DWORD contextSize, DWORD flags, DWORD reserved) override;
    STDMETHOD(QueryCustomPolicy)(LPCWSTR url, REFGUID key, BYTE** policy, DWORD* policySize, BYTE* context,
                                 DWORD contextSize, DWORD reserved) override;
    STDMETHOD(SetZoneMapping)(DWORD zone, LPCWSTR pattern, DWORD flags) override;
    STDMETHOD(GetZoneMappings)(DWORD zone, IEnumString** mappings, DWORD flags) override;

protected:
    void ReleaseControl() override;
    bool DoCreateControl() override;

private:
    IWebBrowserEventSink& Handler() const;
    void OnNavigateComplete();
    HRESULT DispatchEvent(DISPID id, DISPPARAMS* params);
    HRESULT ReadScriptError(VARIANT* in);

    CComRef<IWebBrowser2> m_browser;
    LONG m_refs;
    DWORD m_eventCookie;
    CUIString m_homePage;
    bool m_autoNavigate;
    IWebBrowserEventSink* m_eventHandler;
};

CControlUI* CreateWebBrowserControl();

}  // namespace HiveUI
