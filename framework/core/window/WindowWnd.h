// CWindowWnd: the native window under every framework window. It registers its class
// (its own or a copy of an existing one), finds itself again from the window handle and
// hands each message to HandleMessage; plus showing, the modal loop, closing, centring
// and client sizing.
#pragma once

#include <windows.h>

namespace HiveUI {

class CWindowWnd {
public:
    CWindowWnd();

    HWND GetHWND() const { return m_hWnd; }

    bool RegisterWindowClass();
    bool RegisterSuperclass();

    HWND Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, int x = CW_USEDEFAULT,
                int y = CW_USEDEFAULT, int cx = CW_USEDEFAULT, int cy = CW_USEDEFAULT, HMENU menu = nullptr);
    HWND CreateInRect(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, const RECT& rc,
                      HMENU menu = nullptr);

    // Takes over the procedure of a window this object did not create.
    bool Subclass(HWND wnd);
    void Unsubclass();

    bool ShowWindow(bool show = true, bool takeFocus = true);
    UINT ShowModal();
    void Close(UINT result = IDOK);
    void CenterWindow();

    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    bool ResizeClient(int cx = -1, int cy = -1);

    virtual const wchar_t* GetWindowClassName() const = 0;
    virtual const wchar_t* GetSuperClassName() const;
    virtual UINT GetClassStyle() const;
    virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual void OnFinalMessage(HWND wnd);

protected:
    static LRESULT CALLBACK StaticWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK StaticSuperclassProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd;
    WNDPROC m_OldWndProc;
    bool m_bSubclassed;

private:
    static LRESULT Route(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, bool byProperty);
    static CWindowWnd* Attach(HWND wnd, UINT msg, LPARAM lParam, bool byProperty);
    LRESULT Detach(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, bool byProperty);
};

}  // namespace HiveUI
