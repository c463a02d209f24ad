// CefResourceBundleHandler: supplies localized strings and resources; the client has none.
#pragma once

#include "include/cef_base.h"

class CefResourceBundleHandler : public virtual CefBase {};
