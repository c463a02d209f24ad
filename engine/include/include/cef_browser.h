// CefBrowser: one browser and its top-level window.
#pragma once

#include "include/cef_base.h"

class CefBrowser : public virtual CefBase {};
