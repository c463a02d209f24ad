// CActiveXWnd: the child window that a windowed ActiveX object lives in. In a layered
// window it is never seen, so it paints the object on WM_PRINT and draws the caret.
#pragma once

#include "WindowWnd.h"

namespace HiveUI {

class CActiveXCtrl;

class CActiveXWnd final : public CWindowWnd {
public:
    CActiveXWnd() = default;
    CActiveXWnd(const CActiveXWnd&) = delete;
    CActiveXWnd& operator=(const CActiveXWnd&) = delete;

    // Creates the window in the owner's paint window; null when that fails.
    HWND Init(CActiveXCtrl* owner, HWND parent);

    const wchar_t* GetWindowClassName() const override { return L"ActiveXWnd"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND wnd) override;

private:
    bool IsLayered() const;
    void DoVerb(LONG verb);
    LRESULT OnPrint(HDC hdc);
    void DrawCaret(HDC hdc);
    LRESULT OnMouseActivate(WPARAM wParam, LPARAM lParam);

    CActiveXCtrl* m_owner = nullptr;
    int m_caretTicks = 0;
    bool m_caretDrawn = false;
};

}  // namespace HiveUI
