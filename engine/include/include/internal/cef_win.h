// CefMainArgs and CefWindowInfo: what the program hands the engine about its process
// and about the windows it wants.
#pragma once

#include "include/internal/cef_types_win.h"

typedef cef_window_handle_t CefWindowHandle;
typedef cef_event_handle_t CefEventHandle;

class CefMainArgs : public cef_main_args_t {
public:
    CefMainArgs() { instance = nullptr; }
    explicit CefMainArgs(const cef_main_args_t& r) { instance = r.instance; }
    explicit CefMainArgs(const CefMainArgs& r) : cef_main_args_t() { instance = r.instance; }
    explicit CefMainArgs(HINSTANCE hInstance) { instance = hInstance; }
};

class CefWindowInfo : public cef_window_info_t {
public:
    CefWindowInfo();
    explicit CefWindowInfo(const cef_window_info_t& other);
    explicit CefWindowInfo(const CefWindowInfo& other);
    CefWindowInfo& operator=(const CefWindowInfo& other);
    ~CefWindowInfo();

    // A visible child window of parent over windowRect.
    void SetAsChild(CefWindowHandle parent, RECT windowRect);
    // A top-level window at the default place, owned by parent when there is one.
    void SetAsPopup(CefWindowHandle parent, const CefString& windowName);
    void SetAsWindowless(CefWindowHandle parent, bool transparent);

private:
    void CopyFrom(const cef_window_info_t& other);
};
