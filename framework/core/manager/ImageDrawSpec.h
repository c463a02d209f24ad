// TImageDrawSpec: one parsed image description, the key='value' text with which skins
// say which image to load and how to draw it into a control.
#pragma once

#include <windows.h>

#include "UIString.h"

namespace HiveUI {

class CDpiScale;
class CPaintManagerUI;

struct TImageDrawSpec {
    TImageDrawSpec();

    void Clear();
    // Reads the description, then the modifier over it; with a manager, rectangles and
    // the file name follow the manager's DPI scale.
    void Parse(const wchar_t* description, const wchar_t* modifier, CPaintManagerUI* manager);
    // What a manager's scale does to a parsed description: the three rectangles are
    // scaled, and away from 100 % the file name gets "@<percent>" before each dot.
    void ApplyDpiScale(const CDpiScale& scale);

    CUIString description;
    CUIString modifier;
    CUIString name;
    CUIString resType;
    RECT dest;
    RECT source;
    RECT corner;
    DWORD mask;
    BYTE fade;
    bool hole;
    bool xTiled;
    bool yTiled;
    bool hsl;
    SIZE iconSize;
    CUIString iconAlign;

private:
    void ParsePairs(const wchar_t* text);
    void Apply(const CUIString& key, const CUIString& value);
};

}  // namespace HiveUI
