// CefRenderHandler: painting of windowless browsers; this engine has only windowed ones.
#pragma once

#include "include/cef_base.h"

class CefRenderHandler : public virtual CefBase {};
