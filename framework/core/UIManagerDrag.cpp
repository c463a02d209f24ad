// CPaintManagerUI: the start of an OLE drag of a pressed control.
#include "UIManager.h"

namespace HiveUI {

// The drag runs its own modal loop, so the window's capture and drag state end first.
void CPaintManagerUI::StartDrag() { ReleaseCapture(); }

}  // namespace HiveUI
