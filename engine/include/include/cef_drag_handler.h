// CefDragHandler: drags entering a browser; this engine has no drag and drop.
#pragma once

#include "include/cef_base.h"

class CefDragHandler : public virtual CefBase {};
