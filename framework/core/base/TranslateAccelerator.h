// ITranslateAccelerator: a keyboard accelerator handler that sees a window's messages
// before they are translated and dispatched; it answers 0 when it translated one.
#pragma once

#include <windows.h>

namespace HiveUI {

class ITranslateAccelerator {
public:
    virtual LRESULT TranslateAccelerator(MSG* msg) = 0;

protected:
    ~ITranslateAccelerator() = default;
};

}  // namespace HiveUI
