// CefFrame: one document frame of a browser.
#pragma once

#include "include/cef_base.h"

class CefFrame : public virtual CefBase {};
