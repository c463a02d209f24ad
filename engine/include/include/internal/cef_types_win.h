// Windows-specific engine types.
#pragma once

#include <windows.h>

#include "include/internal/cef_string.h"

typedef HWND cef_window_handle_t;
typedef MSG* cef_event_handle_t;

typedef struct _cef_main_args_t {
    HINSTANCE instance;
} cef_main_args_t;

// Where and how a browser's window is made: a child of parent_window, or a top-level
// window that parent_window owns.
typedef struct _cef_window_info_t {
    DWORD ex_style;
    cef_string_t window_name;
    DWORD style;
    int x;
    int y;
    int width;
    int height;
    cef_window_handle_t parent_window;
    HMENU menu;
    int windowless_rendering_enabled;
    int transparent_painting_enabled;
    cef_window_handle_t window;
} cef_window_info_t;
