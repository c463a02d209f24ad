// The Flash player's interfaces as far as the player control uses them: the player is
// driven through IDispatch and its connection points only, and its events arrive as
// IDispatch calls, so neither declares methods of its own here.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace HiveUI {

class IShockwaveFlash : public IDispatch {};
class _IShockwaveFlashEvents : public IDispatch {};

}  // namespace HiveUI
