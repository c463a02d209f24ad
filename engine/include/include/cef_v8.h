// Script-context types of the render side.
#pragma once

#include "include/cef_base.h"

class CefV8Context : public virtual CefBase {};
