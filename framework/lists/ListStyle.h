// TListStyle: the row display settings that a row-owning control keeps and that its rows
// read at every paint and measure, and the item keys with which skins set them.
#pragma once

#include <windows.h>

#include "UIString.h"

namespace HiveUI {

struct TListStyle {
    // A limit of the record: column counts are cut to it wherever they are taken.
    static constexpr int kMaxColumns = 32;

    int nColumns = 0;
    RECT rcColumn[kMaxColumns] = {};
    int nFont = -1;
    UINT uTextStyle = DT_VCENTER | DT_SINGLELINE;
    RECT rcTextPadding = {0, 0, 0, 0};
    DWORD dwTextColor = 0xFF000000;
    DWORD dwBkColor = 0;
    CUIString sBkImage;
    bool bAlternateBk = false;
    DWORD dwSelectedTextColor = 0xFF000000;
    DWORD dwSelectedBkColor = 0xFFC1E3FF;
    CUIString sSelectedImage;
    DWORD dwHotTextColor = 0xFF000000;
    DWORD dwHotBkColor = 0xFFE9F5FF;
    CUIString sHotImage;
    DWORD dwDisabledTextColor = 0xFFCCCCCC;
    DWORD dwDisabledBkColor = 0xFFFFFFFF;
    CUIString sDisabledImage;
    DWORD dwLineColor = 0;
    bool bShowRowLine = false;
    bool bShowColumnLine = false;
    bool bShowHtml = false;
    bool bMultiExpandable = false;
    bool bRSelected = false;

    // The column count for a header with this many items.
    void SetColumnCount(int headerItems) { nColumns = headerItems < kMaxColumns ? headerItems : kMaxColumns; }
};

// What the owner must do after an item key changed its style.
enum class ListStyleChange {
    kUnknownKey,
    kNothing,
    kRepaint,
    kRelayout,
};

// Reads one item key ("itemfont" to "itemrselected") into the style. Names and "true"
// compare without regard to case, except "itemrselected", whose name and value compare
// exactly.
ListStyleChange SetListStyleAttribute(TListStyle& style, const wchar_t* name, const wchar_t* value);

// The words "left", "center" and "right" found in a value, applied in that order to
// DrawText flags.
UINT ApplyTextAlign(UINT style, const wchar_t* value);

}  // namespace HiveUI
