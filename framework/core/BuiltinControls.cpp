// The built-in control classes, one line each, in registration order.
#include "ControlFactory.h"
#include "UIControl.h"

namespace HiveUI {

void RegisterBuiltinControls(CControlFactory& factory) {
    factory.RegistControl(L"CControlUI", CreateControlControl);
}

}  // namespace HiveUI
