// CefGeolocationHandler: location permission requests; this engine makes none.
#pragma once

#include "include/cef_base.h"

class CefGeolocationHandler : public virtual CefBase {};
