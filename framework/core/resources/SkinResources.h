// TFontEntry and TSkinResources: the default colours, default font and caches that every
// paint manager keeps for itself, and once more for the whole process.
#pragma once

#include <windows.h>

#include <vector>

#include "UIString.h"
#include "UIStringMap.h"

namespace HiveUI {

struct TFontEntry {
    HFONT font = nullptr;
    CUIString faceName;
    int size = 0;  // before DPI scaling
    bool bold = false;
    bool underline = false;
    bool italic = false;
    TEXTMETRICW metrics = {};  // zero until measured in the paint DC
    // Advance widths of U+0000..U+00FF as the paint DC gives them for `widthsFont`, -1
    // where the font has no glyph of its own: tagged text lays its lines out from them
    // without selecting the font or asking GDI per run. Kept with the handle they were
    // read for, so that a font replaced in place is read again.
    HFONT widthsFont = nullptr;
    std::vector<int> narrowWidths;
    int spaceOverhang = 0;  // half the space's right bearing: how far italic leans past it
};

struct TSkinResources {
    DWORD defaultDisabledColor = 0;
    DWORD defaultFontColor = 0;
    DWORD defaultLinkFontColor = 0;
    DWORD defaultLinkHoverFontColor = 0;
    DWORD defaultSelectedBkColor = 0;
    TFontEntry defaultFont;
    CUIStringMap fonts{83};       // decimal id -> TFontEntry
    CUIStringMap images{83};      // name -> TImageData
    CUIStringMap attributes{83};  // control class -> CUIString attribute list
    CUIStringMap styles{83};      // style name -> CUIString attribute list
    CUIStringMap drawSpecs{83};   // description + modifier -> TImageDrawSpec (own only)
};

}  // namespace HiveUI
