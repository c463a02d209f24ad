// CShadowUI: the soft drop shadow of a framework window, a layered click-through popup
// owned by the window that follows it by subclassing it. Its picture is either computed
// from the window's outline or a skin image stretched with fixed corners.
#pragma once

#include <windows.h>

#include <map>

#include "UIString.h"

namespace HiveUI {

class CPaintManagerUI;

class CShadowUI {
public:
    CShadowUI() = default;
    virtual ~CShadowUI();
    CShadowUI(const CShadowUI&) = delete;
    CShadowUI& operator=(const CShadowUI&) = delete;

    // Settings read from the skin's window element; out-of-range values are refused.
    void ShowShadow(bool show) { m_show = show; }
    bool IsShowShadow() const { return m_show; }
    bool SetSize(int size);
    bool SetSharpness(unsigned int sharpness);
    bool SetDarkness(unsigned int darkness);
    bool SetPosition(int x, int y);
    bool SetColor(COLORREF color);
    bool SetImage(const wchar_t* image);
    bool SetShadowCorner(const RECT& corner);
    // Hands this shadow's look and show flag on to the shadow of a popup.
    bool CopyShadow(CShadowUI* target) const;

    int GetSize() const { return m_size; }
    int GetSharpness() const { return m_sharpness; }
    int GetDarkness() const { return m_darkness; }
    POINT GetPosition() const { return POINT{m_xOffset, m_yOffset}; }
    COLORREF GetColor() const { return m_color; }
    bool IsImageMode() const { return m_imageMode; }
    const CUIString& GetImage() const { return m_image; }
    RECT GetShadowCorner() const { return m_corner; }
    HWND GetHWND() const { return m_hWnd; }

    static bool RegisterWindowClass(HINSTANCE instance);
    // Creates the shadow window of the manager's window; a shadow that exists already,
    // or a window that has one, is left as it is.
    void Create(CPaintManagerUI* manager);
    // Redraws the shadow for the parent's current outline; true when the layered window
    // took a new picture.
    bool Update(HWND parent);
    // Within the parent's WM_PAINT: the same redraw, once the parent has painted.
    void UpdateAfterPaint();
    // The computed shadow of the parent into a bottom-up buffer of (parent width + 2 size)
    // x (parent height + 2 size) pixels; a parent without a region counts as rectangular.
    void MakeShadow(DWORD* pixels, HWND parent, const RECT& parentRect) const;
    static DWORD PreMultiply(COLORREF color, BYTE alpha);
    static std::map<HWND, CShadowUI*>& GetShadowMap();

protected:
    enum : BYTE { kEnabled = 1, kVisible = 2, kParentVisible = 4 };

    // The picture for the parent's rectangle into a selected DIB section; false when
    // there is nothing to draw.
    bool DrawPicture(HDC dc, DWORD* pixels, HWND parent, const RECT& parentRect);
    POINT Placement(const RECT& parentRect) const;

private:
    static LRESULT CALLBACK ParentProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void OnParentMessage(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam);
    static void UpdatePendingAfterPaint(HWND wnd);
    void OnParentSize(HWND parent, WPARAM wParam, LPARAM lParam);
    void OnParentShown(bool shown);
    void Move(HWND parent);
    void RedrawIfShown();

    CPaintManagerUI* m_manager = nullptr;
    HWND m_hWnd = nullptr;
    HWND m_parent = nullptr;
    WNDPROC m_parentProc = nullptr;
    BYTE m_status = 0;
    bool m_imageMode = false;
    bool m_show = false;
    BYTE m_darkness = 150;
    BYTE m_sharpness = 5;
    signed char m_size = 0;
    signed char m_xOffset = 0;
    signed char m_yOffset = 0;
    LPARAM m_lastSize = 0;
    bool m_updatePending = false;
    COLORREF m_color = 0;
    CUIString m_image;
    RECT m_corner = {};
};

}  // namespace HiveUI
