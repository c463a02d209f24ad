// The system's common controls library, loaded at its first use rather than with the
// program: its start costs more than a window's whole first frame, which needs none of it.
#pragma once

#include <windows.h>

namespace HiveUI {

// InitCommonControls; false when the library cannot be had.
bool InitCommonControlsOnce();
// InitCommonControlsEx for the ICC_ classes given; false when they cannot be registered.
bool InitCommonControlClasses(DWORD classes);

}  // namespace HiveUI
