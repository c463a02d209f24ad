// IWindowConformityl: what a page may do to the client's main window through the
// script bridge. The bridge calls it from the engine's thread; every operation takes
// effect on the window's own thread.
#pragma once

#include <windows.h>

#include <string>

class IWindowConformityl {
public:
    virtual void ResizeWindow(int width, int height) = 0;
    virtual void WindowCenter() = 0;
    virtual void SetThemeColor(DWORD color) = 0;
    virtual void SetBorder(int width) = 0;
    virtual void WindowFlash() = 0;
    virtual void WindowVisible(bool visible) = 0;
    virtual void SendMenuMessage(int command) = 0;
    virtual void SetWinTitle(const std::wstring& text) = 0;
    virtual void SetTitleColor(DWORD color) = 0;

protected:
    ~IWindowConformityl() = default;
};
