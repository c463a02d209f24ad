// Windows-specific engine types.
#pragma once

#include <windows.h>

typedef HWND cef_window_handle_t;
typedef MSG* cef_event_handle_t;

typedef struct _cef_main_args_t {
    HINSTANCE instance;
} cef_main_args_t;
