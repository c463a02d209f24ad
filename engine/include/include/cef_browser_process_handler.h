// CefBrowserProcessHandler: callbacks of the browser process; the client has none.
#pragma once

#include "include/cef_base.h"

class CefBrowserProcessHandler : public virtual CefBase {};
