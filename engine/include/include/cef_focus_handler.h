// CefFocusHandler: focus changes inside a browser; this engine reports none.
#pragma once

#include "include/cef_base.h"

class CefFocusHandler : public virtual CefBase {};
