// How the layout builder attaches a new control to its parent. Tree nodes go only into
// tree nodes and tree views, which the core cannot see: the answer is given at the
// framework's top (ControlAttach.cpp), like the table of built-in controls.
#pragma once

namespace HiveUI {

class CControlUI;
class IContainerUI;

enum class Attach { Done, Refused, NoContainer };

// A container found on the way is kept in `container` for the parent's next children.
Attach AttachToParent(CControlUI* control, CControlUI* parent, IContainerUI*& container);

}  // namespace HiveUI
