// The native window of a browser: painting the page, wheel scrolling, clicks and the
// hand cursor, keys and the right-click menu.
#pragma once

#include <windows.h>

#include "include/cef_base.h"

namespace engine {

class BrowserImpl;

// UI thread: the window that info describes, sending its messages to browser.
HWND CreateBrowserWindow(const CefWindowInfo& info, BrowserImpl* browser);

// Waits for event while answering messages other threads send to this thread's windows
// (a child window on another thread may send to its parent here).
void WaitPumpingSentMessages(HANDLE event);

}  // namespace engine
