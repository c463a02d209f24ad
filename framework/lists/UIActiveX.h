// CActiveXUI: a control that creates an ActiveX object by class or program identifier
// and hosts it in its rectangle, windowless (painted into the window's DC, fed window
// messages as a message filter) or in a child host window.
#pragma once

#include <windows.h>
#include <ole2.h>

#include "ComRef.h"
#include "MessageFilterUI.h"
#include "UIControl.h"

namespace HiveUI {

class CActiveXCtrl;

class CActiveXUI : public CControlUI, public IMessageFilterUI {
    friend class CActiveXCtrl;
    friend class CActiveXWnd;

public:
    CActiveXUI();
    ~CActiveXUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;

    HWND GetHostWindow() const { return m_hostWnd; }
    // A class identifier in braces, else a program identifier.
    bool CreateControl(const wchar_t* clsid);
    bool CreateControl(const CLSID& clsid);
    HRESULT GetControl(const IID& iid, void** out);
    CLSID GetClsid() const { return m_clsid; }
    const CUIString& GetModuleName() const { return m_moduleName; }
    void SetModuleName(const wchar_t* name) { m_moduleName = name; }

    void SetVisible(bool visible = true) override;
    void SetVisibleByParent(bool visible) override;
    void SetPos(RECT rect, bool needInvalidate = true) override;
    void Move(SIZE offset, bool needInvalidate = true) override;
    bool DoPaint(HDC hdc, const RECT& paint, CControlUI* stopControl) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    // The window messages of a windowless object.
    LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

    virtual bool IsDelayCreate() const { return m_delayCreate; }
    virtual void SetDelayCreate(bool delay);
    virtual bool IsExternallyManaged() const { return m_externallyManaged; }
    virtual void SetExternallyManaged(bool external) { m_externallyManaged = external; }

protected:
    virtual void ReleaseControl();
    virtual bool DoCreateControl();

    // Gives a key message to the object's in-place active part while the focus is in the
    // host window; the shared rule of the browser and player controls.
    HRESULT TranslateThroughObject(IUnknown* object, MSG* msg) const;
    // Advises or unadvises a sink on one of the object's connection points.
    static HRESULT ConnectEvents(IUnknown* source, const IID& events, IUnknown* sink, bool connect, DWORD& cookie);

    CLSID m_clsid;
    CUIString m_moduleName;
    bool m_created;
    bool m_delayCreate;
    bool m_externallyManaged;
    CComRef<IOleObject> m_object;
    CActiveXCtrl* m_site;
    HWND m_hostWnd;

private:
    IUnknown* CreateFromModule() const;
    HRESULT SetUpObject(IOleClientSite* clientSite);
    bool IsWindowedHost() const;
    void ShowHostWindow();
    POINT HitPoint(UINT msg, LPARAM lParam) const;
    bool HitsObject(UINT msg, LPARAM lParam) const;
};

CControlUI* CreateActiveXControl();

}  // namespace HiveUI
