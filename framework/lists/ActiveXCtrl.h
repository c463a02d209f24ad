// CActiveXCtrl: the client site of a hosted ActiveX object, the container side of the
// OLE in-place protocol, windowless or windowed. Reference counted; its owner control
// forgets it (and it the owner) when the object is released.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <ole2.h>

#include "ComRef.h"

namespace HiveUI {

class CActiveXUI;
class CActiveXWnd;

class CActiveXCtrl final : public IOleClientSite,
                           public IOleInPlaceSiteWindowless,
                           public IOleControlSite,
                           public IObjectWithSite,
                           public IOleContainer {
    friend class CActiveXUI;
    friend class CActiveXWnd;

public:
    explicit CActiveXCtrl(CActiveXUI* owner);
    CActiveXCtrl(const CActiveXCtrl&) = delete;
    CActiveXCtrl& operator=(const CActiveXCtrl&) = delete;

    // IUnknown
    STDMETHOD(QueryInterface)(REFIID iid, void** out) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;

    // IObjectWithSite
    STDMETHOD(SetSite)(IUnknown* site) override;
    STDMETHOD(GetSite)(REFIID iid, void** out) override;

    // IOleClientSite
    STDMETHOD(SaveObject)() override;
    STDMETHOD(GetMoniker)(DWORD assign, DWORD which, IMoniker** moniker) override;
    STDMETHOD(GetContainer)(IOleContainer** container) override;
    STDMETHOD(ShowObject)() override;
    STDMETHOD(OnShowWindow)(BOOL show) override;
    STDMETHOD(RequestNewObjectLayout)() override;

    // IOleInPlaceSiteWindowless
    STDMETHOD(CanWindowlessActivate)() override;
    STDMETHOD(GetCapture)() override;
    STDMETHOD(SetCapture)(BOOL capture) override;
    STDMETHOD(GetFocus)() override;
    STDMETHOD(SetFocus)(BOOL focus) override;
    STDMETHOD(GetDC)(LPCRECT rect, DWORD flags, HDC* dc) override;
    STDMETHOD(ReleaseDC)(HDC dc) override;
    STDMETHOD(InvalidateRect)(LPCRECT rect, BOOL erase) override;
    STDMETHOD(InvalidateRgn)(HRGN region, BOOL erase) override;
    STDMETHOD(ScrollRect)(INT dx, INT dy, LPCRECT scroll, LPCRECT clip) override;
    STDMETHOD(AdjustRect)(LPRECT rect) override;
    STDMETHOD(OnDefWindowMessage)(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    // IOleInPlaceSiteEx
    STDMETHOD(OnInPlaceActivateEx)(BOOL* noRedraw, DWORD flags) override;
    STDMETHOD(OnInPlaceDeactivateEx)(BOOL noRedraw) override;
    STDMETHOD(RequestUIActivate)() override;

    // IOleInPlaceSite
    STDMETHOD(CanInPlaceActivate)() override;
    STDMETHOD(OnInPlaceActivate)() override;
    STDMETHOD(OnUIActivate)() override;
    STDMETHOD(GetWindowContext)(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                                LPOLEINPLACEFRAMEINFO info) override;
    STDMETHOD(Scroll)(SIZE extent) override;
    STDMETHOD(OnUIDeactivate)(BOOL undoable) override;
    STDMETHOD(OnInPlaceDeactivate)() override;
    STDMETHOD(DiscardUndoState)() override;
    STDMETHOD(DeactivateAndUndo)() override;
    STDMETHOD(OnPosRectChange)(LPCRECT pos) override;

    // IOleWindow
    STDMETHOD(GetWindow)(HWND* wnd) override;
    STDMETHOD(ContextSensitiveHelp)(BOOL enterMode) override;

    // IOleControlSite
    STDMETHOD(OnControlInfoChanged)() override;
    STDMETHOD(LockInPlaceActive)(BOOL lock) override;
    STDMETHOD(GetExtendedControl)(IDispatch** dispatch) override;
    STDMETHOD(TransformCoords)(POINTL* himetric, POINTF* container, DWORD flags) override;
    STDMETHOD(TranslateAccelerator)(MSG* msg, DWORD modifiers) override;
    STDMETHOD(OnFocus)(BOOL gotFocus) override;
    STDMETHOD(ShowPropertyFrame)() override;

    // IOleContainer
    STDMETHOD(ParseDisplayName)(IBindCtx* context, LPOLESTR name, ULONG* eaten, IMoniker** moniker) override;
    STDMETHOD(EnumObjects)(DWORD flags, IEnumUnknown** enumerator) override;
    STDMETHOD(LockContainer)(BOOL lock) override;

private:
    ~CActiveXCtrl();
    HRESULT CreateHostWindow();
    void DestroyHostWindow();
    // The control's rectangle, moved to the origin when the object has its own window.
    RECT ObjectRect() const;

    LONG m_refs;
    CActiveXUI* m_owner;
    CActiveXWnd* m_window;
    CComRef<IUnknown> m_unkSite;
    CComRef<IViewObject> m_viewObject;
    // IOleInPlaceObjectWindowless while windowless.
    CComRef<IOleInPlaceObject> m_inPlaceObject;
    bool m_locked;
    bool m_focused;
    bool m_captured;
    bool m_uiActivated;
    bool m_inPlaceActive;
    bool m_windowless;
    // The object is kept running while it is in place; the lock goes with the object.
    bool m_runningLocked;
    // Handed out in every frame record; the object only borrows it.
    HACCEL m_accelerators;
};

}  // namespace HiveUI
