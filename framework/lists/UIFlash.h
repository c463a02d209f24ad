// CFlashUI: hosts the Flash player object and listens to its events, which it accepts
// and lets pass; keys reach the player while it has the focus through whoever
// registers the control as an accelerator handler.
#pragma once

#include "EventSinkDispatch.h"
#include "ShockwaveFlash.h"
#include "TranslateAccelerator.h"
#include "UIActiveX.h"

namespace HiveUI {

class CFlashUI : public CActiveXUI,
                 public CEventSinkDispatch<_IShockwaveFlashEvents>,
                 public ITranslateAccelerator {
public:
    CFlashUI();
    ~CFlashUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;

    IShockwaveFlash* GetShockwaveFlash() const { return m_player.Get(); }
    HRESULT RegisterEventHandler(bool connect);

    // _IShockwaveFlashEvents
    STDMETHOD(QueryInterface)(REFIID iid, void** out) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;
    STDMETHOD(Invoke)(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argError) override;

    LRESULT TranslateAccelerator(MSG* msg) override;

protected:
    void ReleaseControl() override;
    bool DoCreateControl() override;

private:
    CComRef<IShockwaveFlash> m_player;
    LONG m_refs;
    DWORD m_eventCookie;
};

CControlUI* CreateFlashControl();

}  // namespace HiveUI
