// CefMainArgs: what the program entry hands the engine about its process.
#pragma once

#include "include/internal/cef_types_win.h"

typedef cef_window_handle_t CefWindowHandle;
typedef cef_event_handle_t CefEventHandle;

class CefMainArgs : public cef_main_args_t {
public:
    CefMainArgs() { instance = nullptr; }
    explicit CefMainArgs(HINSTANCE hInstance) { instance = hInstance; }
};
