// Thread checks of application code.
#pragma once

#include "include/cef_task.h"

// Logged, not fatal: the engine keeps going as a release build of the browser would.
void CefLogWrongThread(const char* expected, const char* file, int line);

#define CEF_REQUIRE_UI_THREAD() \
    (CefCurrentlyOn(TID_UI) ? (void)0 : CefLogWrongThread("UI", __FILE__, __LINE__))
#define CEF_REQUIRE_RENDERER_THREAD() \
    (CefCurrentlyOn(TID_RENDERER) ? (void)0 : CefLogWrongThread("renderer", __FILE__, __LINE__))
