// CefFindHandler: results of find-in-page; this engine has no find.
#pragma once

#include "include/cef_base.h"

class CefFindHandler : public virtual CefBase {};
