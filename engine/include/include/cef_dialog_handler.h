// CefDialogHandler: file dialogs of a browser; this engine asks none.
#pragma once

#include "include/cef_base.h"

class CefDialogHandler : public virtual CefBase {};
