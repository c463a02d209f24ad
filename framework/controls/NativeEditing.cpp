#include "NativeEditing.h"

namespace HiveUI {

RECT ClipToAncestors(const CControlUI& control, RECT rect) {
    const RECT empty = {0, 0, 0, 0};
    for (const CControlUI* ancestor = control.GetParent(); ancestor != nullptr; ancestor = ancestor->GetParent()) {
        const RECT client = ancestor->GetClientPos();
        if (!ancestor->IsVisible() || !::IntersectRect(&rect, &rect, &client)) return empty;
    }
    return rect;
}

}  // namespace HiveUI
