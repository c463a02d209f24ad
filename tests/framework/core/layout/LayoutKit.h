// What the layout tests share: children described by their size rules, laid out in a
// container without a window, and their rectangles read back for comparison.
#pragma once

#include <UIContainer.h>
#include <UIControl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A child's size rules; a value of -1 leaves the control's default.
struct Kid {
    int fixedWidth = 0;
    int fixedHeight = 0;
    int minWidth = -1;
    int maxWidth = -1;
    int minHeight = -1;
    int maxHeight = -1;
    RECT padding = {0, 0, 0, 0};
    bool visible = true;
    bool floating = false;
};

inline HiveUI::CControlUI* MakeKid(const Kid& kid) {
    HiveUI::CControlUI* control = new HiveUI::CControlUI;
    control->SetFixedWidth(kid.fixedWidth);
    control->SetFixedHeight(kid.fixedHeight);
    if (kid.minWidth >= 0) control->SetMinWidth(kid.minWidth);
    if (kid.maxWidth >= 0) control->SetMaxWidth(kid.maxWidth);
    if (kid.minHeight >= 0) control->SetMinHeight(kid.minHeight);
    if (kid.maxHeight >= 0) control->SetMaxHeight(kid.maxHeight);
    control->SetPadding(kid.padding);
    control->SetVisible(kid.visible);
    control->SetFloat(kid.floating);
    return control;
}

inline void AddKids(HiveUI::CContainerUI& layout, const std::vector<Kid>& kids) {
    for (const Kid& kid : kids) layout.Add(MakeKid(kid));
}

inline std::string Describe(const RECT& rc) {
    return std::to_string(rc.left) + "," + std::to_string(rc.top) + "," + std::to_string(rc.right) + "," +
           std::to_string(rc.bottom);
}

inline std::vector<std::string> ChildRects(const HiveUI::CContainerUI& layout) {
    std::vector<std::string> rects;
    for (int i = 0; i < layout.GetCount(); ++i) rects.push_back(Describe(layout.GetItemAt(i)->GetPos()));
    return rects;
}
