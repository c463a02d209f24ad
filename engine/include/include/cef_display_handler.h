// CefDisplayHandler: title, address and console changes; this engine reports none.
#pragma once

#include "include/cef_base.h"

class CefDisplayHandler : public virtual CefBase {};
