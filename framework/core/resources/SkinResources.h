// TFontEntry and TSkinResources: the default colours, default font and caches that every
// paint manager keeps for itself, and once more for the whole process.
#pragma once

#include <windows.h>

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
