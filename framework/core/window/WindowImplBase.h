// WindowImplBase: the base of every window described by a skin. It builds the control
// tree from the skin when the window is created, draws without a system caption or
// border (hit tests for caption and resize borders are answered here), and routes
// notifications through its message map.
#pragma once

#include <windows.h>

#include "DialogBuilder.h"
#include "MessageFilterUI.h"
#include "NotifyPump.h"
#include "NotifyUI.h"
#include "QueryControlText.h"
#include "UIManager.h"
#include "WindowWnd.h"

namespace HiveUI {

class CControlUI;

class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback,
                       public IQueryControlText {
public:
    WindowImplBase() = default;
    ~WindowImplBase() override = default;

    UINT GetClassStyle() const override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND wnd) override;

    virtual void Cleanup() {}
    virtual void InitWindow() {}
    virtual void OnClick(TNotifyInfo& msg);
    virtual bool IsOverStaticControl(CControlUI* control);
    virtual CUIString GetSkinType() { return CUIString(); }
    virtual CUIString GetSkinFile() = 0;
    virtual const wchar_t* GetManagerName() { return nullptr; }
    virtual LRESULT HandleDefaultKey(WPARAM key);

    virtual LRESULT OnClose(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
    virtual LRESULT OnDestroy(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
    virtual LRESULT OnNcActivate(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
    virtual LRESULT OnNcCalcSize(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
    virtual LRESULT OnNcPaint(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
    virtual LRESULT OnNcHitTest(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
    virtual LRESULT OnGetMinMaxInfo(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
    virtual LRESULT OnMouseWheel(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
    virtual LRESULT OnMouseHover(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
    virtual LRESULT OnSize(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
    virtual LRESULT OnChar(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
    virtual LRESULT OnSysCommand(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
    virtual LRESULT OnCreate(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
    virtual LRESULT OnKeyDown(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
    virtual LRESULT OnKillFocus(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
    virtual LRESULT OnSetFocus(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
    virtual LRESULT OnLButtonDown(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
    virtual LRESULT OnLButtonUp(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
    virtual LRESULT OnMouseMove(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
    virtual LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
    virtual LONG GetStyle();

    void Notify(TNotifyInfo& msg) override;
    LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;
    CControlUI* CreateControl(const wchar_t* className) override;
    const wchar_t* QueryControlText(const wchar_t* id, const wchar_t* type) override;

    CPaintManagerUI& GetPaintManager() { return m_pm; }

protected:
    const TMsgMap* GetMessageMap() const override;

    CPaintManagerUI m_pm;

private:
    LRESULT Route(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
    void SwapMaxRestoreButtons(bool maximized);
};

}  // namespace HiveUI
