// CefJSDialogHandler: alert, confirm and prompt dialogs; this engine shows none.
#pragma once

#include "include/cef_base.h"

class CefJSDialogHandler : public virtual CefBase {};
