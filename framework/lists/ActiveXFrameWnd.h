// CActiveXFrameWnd: the in-place frame that a hosted object is given; the framework has
// no menus, tool space or status bar to share, so it only keeps the active object.
#pragma once

#include <windows.h>
#include <ole2.h>

namespace HiveUI {

class CActiveXUI;

class CActiveXFrameWnd final : public IOleInPlaceFrame {
public:
    explicit CActiveXFrameWnd(CActiveXUI* owner);
    CActiveXFrameWnd(const CActiveXFrameWnd&) = delete;
    CActiveXFrameWnd& operator=(const CActiveXFrameWnd&) = delete;

    STDMETHOD(QueryInterface)(REFIID iid, void** out) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;

    STDMETHOD(GetWindow)(HWND* wnd) override;
    STDMETHOD(ContextSensitiveHelp)(BOOL enterMode) override;

    STDMETHOD(GetBorder)(LPRECT border) override;
    STDMETHOD(RequestBorderSpace)(LPCBORDERWIDTHS widths) override;
    STDMETHOD(SetBorderSpace)(LPCBORDERWIDTHS widths) override;
    STDMETHOD(SetActiveObject)(IOleInPlaceActiveObject* object, LPCOLESTR name) override;

    STDMETHOD(InsertMenus)(HMENU shared, LPOLEMENUGROUPWIDTHS widths) override;
    STDMETHOD(SetMenu)(HMENU shared, HOLEMENU oleMenu, HWND activeObject) override;
    STDMETHOD(RemoveMenus)(HMENU shared) override;
    STDMETHOD(SetStatusText)(LPCOLESTR text) override;
    STDMETHOD(EnableModeless)(BOOL enable) override;
    STDMETHOD(TranslateAccelerator)(LPMSG msg, WORD id) override;

private:
    ~CActiveXFrameWnd();

    LONG m_refs;
    CActiveXUI* m_owner;
    IOleInPlaceActiveObject* m_activeObject;
};

}  // namespace HiveUI
