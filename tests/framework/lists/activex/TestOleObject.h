// A small ActiveX object of the tests' own: it activates windowless or in a window of
// its own, paints its bounds in one colour, hits only in its left half, and logs what
// its container does to it. The counters prove that every reference comes back.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <ole2.h>

#include <string>
#include <vector>

struct TestOleOptions {
    bool windowless = true;
    bool viewObjectEx = true;
    bool failInitNew = false;
    DWORD misc = 0;
};

class TestOleObject : public IOleObject,
                      public IOleInPlaceObjectWindowless,
                      public IViewObjectEx,
                      public IOleControl,
                      public IPersistStreamInit,
                      public IObjectWithSite {
public:
    static const COLORREF kColor = RGB(0x20, 0x80, 0xC0);
    static LONG live;
    static LONG overReleases;
    static std::vector<std::string> log;
    static TestOleOptions options;
    static TestOleObject* last;

    TestOleObject();
    HWND wnd() const { return wnd_; }

    STDMETHOD(QueryInterface)(REFIID iid, void** out) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;
    // IOleObject
    STDMETHOD(SetClientSite)(IOleClientSite* site) override;
    STDMETHOD(GetClientSite)(IOleClientSite** site) override;
    STDMETHOD(SetHostNames)(LPCOLESTR, LPCOLESTR) override;
    STDMETHOD(Close)(DWORD) override;
    STDMETHOD(SetMoniker)(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHOD(GetMoniker)(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHOD(InitFromData)(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetClipboardData)(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHOD(DoVerb)(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT pos) override;
    STDMETHOD(EnumVerbs)(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHOD(Update)() override { return S_OK; }
    STDMETHOD(IsUpToDate)() override { return S_OK; }
    STDMETHOD(GetUserClassID)(CLSID*) override { return E_NOTIMPL; }
    STDMETHOD(GetUserType)(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHOD(SetExtent)(DWORD, SIZEL*) override;
    STDMETHOD(GetExtent)(DWORD, SIZEL*) override { return E_NOTIMPL; }
    STDMETHOD(Advise)(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHOD(Unadvise)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(EnumAdvise)(IEnumSTATDATA**) override { return E_NOTIMPL; }
    STDMETHOD(GetMiscStatus)(DWORD, DWORD* status) override;
    STDMETHOD(SetColorScheme)(LOGPALETTE*) override { return E_NOTIMPL; }
    // IOleInPlaceObjectWindowless
    STDMETHOD(GetWindow)(HWND* wnd) override;
    STDMETHOD(ContextSensitiveHelp)(BOOL) override { return E_NOTIMPL; }
    STDMETHOD(InPlaceDeactivate)() override;
    STDMETHOD(UIDeactivate)() override { return S_OK; }
    STDMETHOD(SetObjectRects)(LPCRECT pos, LPCRECT clip) override;
    STDMETHOD(ReactivateAndUndo)() override { return E_NOTIMPL; }
    STDMETHOD(OnWindowMessage)(UINT msg, WPARAM, LPARAM, LRESULT* result) override;
    STDMETHOD(GetDropTarget)(IDropTarget**) override { return E_NOTIMPL; }
    // IViewObjectEx
    STDMETHOD(Draw)(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                    BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override;
    STDMETHOD(GetColorSet)(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override { return E_NOTIMPL; }
    STDMETHOD(Freeze)(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    STDMETHOD(Unfreeze)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(SetAdvise)(DWORD, DWORD, IAdviseSink*) override { return E_NOTIMPL; }
    STDMETHOD(GetAdvise)(DWORD*, DWORD*, IAdviseSink**) override { return E_NOTIMPL; }
    STDMETHOD(GetExtent)(DWORD, LONG, DVTARGETDEVICE*, LPSIZEL) override { return E_NOTIMPL; }
    STDMETHOD(GetRect)(DWORD, LPRECTL) override { return E_NOTIMPL; }
    STDMETHOD(GetViewStatus)(DWORD*) override { return E_NOTIMPL; }
    STDMETHOD(QueryHitPoint)(DWORD, LPCRECT bounds, POINT pt, LONG, DWORD* hit) override;
    STDMETHOD(QueryHitRect)(DWORD, LPCRECT, LPCRECT, LONG, DWORD*) override { return E_NOTIMPL; }
    STDMETHOD(GetNaturalExtent)(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*, LPSIZEL) override {
        return E_NOTIMPL;
    }
    // IOleControl
    STDMETHOD(GetControlInfo)(CONTROLINFO*) override { return E_NOTIMPL; }
    STDMETHOD(OnMnemonic)(MSG*) override { return E_NOTIMPL; }
    STDMETHOD(OnAmbientPropertyChange)(DISPID) override { return S_OK; }
    STDMETHOD(FreezeEvents)(BOOL) override { return S_OK; }
    // IPersistStreamInit
    STDMETHOD(GetClassID)(CLSID*) override { return E_NOTIMPL; }
    STDMETHOD(IsDirty)() override { return S_FALSE; }
    STDMETHOD(Load)(LPSTREAM) override { return E_NOTIMPL; }
    STDMETHOD(Save)(LPSTREAM, BOOL) override { return E_NOTIMPL; }
    STDMETHOD(GetSizeMax)(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHOD(InitNew)() override;
    // IObjectWithSite
    STDMETHOD(SetSite)(IUnknown* site) override;
    STDMETHOD(GetSite)(REFIID, void**) override { return E_NOTIMPL; }

private:
    HRESULT ActivateInPlace(IOleClientSite* site, HWND parent);

    LONG refs_ = 1;
    TestOleOptions options_;
    IOleClientSite* clientSite_ = nullptr;
    IUnknown* site_ = nullptr;
    IOleInPlaceSiteWindowless* windowlessSite_ = nullptr;
    IOleInPlaceSite* inPlaceSite_ = nullptr;
    HWND wnd_ = nullptr;
};

// Makes test objects; registered for a class identifier or handed out by the module.
class TestOleFactory : public IClassFactory {
public:
    STDMETHOD(QueryInterface)(REFIID iid, void** out) override;
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(CreateInstance)(IUnknown* outer, REFIID iid, void** out) override;
    STDMETHOD(LockServer)(BOOL) override { return S_OK; }
};
