// CContainerUI: what a container leaves unpainted under its children. A child of a plain
// kind with an opaque background colour and square corners fills all of itself that
// shows, so whatever the container paints of its own there is painted over unseen.
#include <cwchar>
#include <vector>

#include "ScopedHandle.h"
#include "UIContainer.h"

namespace HiveUI {

namespace {

// How many levels down a child's cover is looked for: a container without a background
// of its own is covered by its children.
const int kCoverDepth = 3;

// Kinds whose paint starts by filling the whole control with its background colour.
// Subclasses answer a class name of their own, so a kind that paints otherwise never
// passes for one of these.
const wchar_t* const kBackgroundKinds[] = {L"LabelUI",      L"TextUI",       L"ContainerUI",  L"VerticalLayoutUI",
                                          L"HorizontalLayoutUI", L"TileLayoutUI", L"TabLayoutUI", L"ChildLayoutUI"};
const int kFirstContainerKind = 2;

// The kind's index in the list above, or -1.
int KindOf(const CControlUI* control) {
    const wchar_t* name = control->GetClass();
    for (int i = 0; i < static_cast<int>(sizeof(kBackgroundKinds) / sizeof(kBackgroundKinds[0])); ++i) {
        if (wcscmp(name, kBackgroundKinds[i]) == 0) return i;
    }
    return -1;
}

bool FillsOpaque(const CControlUI* control) {
    const SIZE round = control->GetBorderRound();
    return (control->GetBkColor() >> 24) == 0xFF && control->GetBkColor2() == 0 && round.cx == 0 && round.cy == 0;
}

}  // namespace

void CContainerUI::CollectOpaqueCover(const RECT& within, std::vector<RECT>& cover, int depth) const {
    RECT shows;
    const RECT content = VisibleContentRect(GetInset());
    if (!::IntersectRect(&shows, &within, &content)) return;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        const CControlUI* child = ChildAt(i);
        RECT part;
        if (!child->IsVisible() || child->IsFloat() || !::IntersectRect(&part, &shows, &child->GetPos())) continue;
        const int kind = KindOf(child);
        if (kind < 0) continue;
        if (FillsOpaque(child)) {
            cover.push_back(part);
        } else if (kind >= kFirstContainerKind && depth > 1) {
            static_cast<const CContainerUI*>(child)->CollectOpaqueCover(part, cover, depth - 1);
        }
    }
}

// A paint that stops at a control may end before the children that cover are painted.
void CContainerUI::PaintOwnUncovered(HDC hdc, const RECT& area, const RECT& paint, CControlUI* stopControl) {
    std::vector<RECT> cover;
    if (stopControl == nullptr && (GetBkColor() != 0 || *GetBkImage() != L'\0')) {
        CollectOpaqueCover(area, cover, kCoverDepth);
    }
    if (cover.empty()) {
        CControlUI::DoPaint(hdc, paint, stopControl);
        return;
    }
    CScopedGdiObject<HRGN> before(::CreateRectRgn(0, 0, 0, 0));
    const bool clipped = before.IsValid() && ::GetClipRgn(hdc, before.Get()) == 1;
    for (const RECT& rc : cover) ::ExcludeClipRect(hdc, rc.left, rc.top, rc.right, rc.bottom);
    CControlUI::DoPaint(hdc, paint, stopControl);
    ::SelectClipRgn(hdc, clipped ? before.Get() : nullptr);
}

}  // namespace HiveUI
