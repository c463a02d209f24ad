// Where the layout builder puts a new control under its parent. Trees belong to the list
// controls above the core, so this answer is given here, where every control is seen.
#include "ControlAttach.h"

#include "UIContainer.h"
#include "UIControl.h"
#include "UIHorizontalLayout.h"
#include "UITreeNode.h"
#include "UITreeView.h"

namespace HiveUI {

// Tree nodes belong to tree nodes and tree views only: anywhere else nothing would own
// one, so it is refused. Other controls under a tree node go into the node's row.
Attach AttachToParent(CControlUI* control, CControlUI* parent, IContainerUI*& container) {
    auto* parentNode = static_cast<CTreeNodeUI*>(parent->GetInterface(L"TreeNode"));
    if (auto* node = static_cast<CTreeNodeUI*>(control->GetInterface(L"TreeNode"))) {
        auto* parentView = static_cast<CTreeViewUI*>(parent->GetInterface(L"TreeView"));
        bool added = false;
        if (parentNode != nullptr) {
            added = parentNode->Add(node);
        } else if (parentView != nullptr) {
            added = parentView->Add(node);
        }
        return added ? Attach::Done : Attach::Refused;
    }
    if (parentNode != nullptr) return parentNode->GetRowLayout()->Add(control) ? Attach::Done : Attach::Refused;
    if (container == nullptr) container = static_cast<IContainerUI*>(parent->GetInterface(L"IContainer"));
    if (container == nullptr) return Attach::NoContainer;
    return container->Add(control) ? Attach::Done : Attach::Refused;
}

}  // namespace HiveUI
