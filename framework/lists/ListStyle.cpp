#include "ListStyle.h"

#include <cwchar>

#include "SkinValue.h"

namespace HiveUI {

namespace {

bool Has(const wchar_t* value, const wchar_t* word) { return wcsstr(value, word) != nullptr; }

UINT SetFlags(UINT style, UINT flags, bool on) { return on ? (style | flags) : (style & ~flags); }

// Every vertical placement but the centred one keeps the line mode as it was.
UINT ApplyTextVAlign(UINT style, const wchar_t* value) {
    if (Has(value, L"top")) style &= ~(DT_VCENTER | DT_BOTTOM);
    if (Has(value, L"vcenter")) style = (style & ~(DT_BOTTOM | DT_WORDBREAK)) | DT_VCENTER | DT_SINGLELINE;
    if (Has(value, L"bottom")) style = (style & ~DT_VCENTER) | DT_BOTTOM;
    return style;
}

struct ColorKey {
    const wchar_t* name;
    DWORD TListStyle::*field;
};

const ColorKey kColorKeys[] = {
    {L"itemtextcolor", &TListStyle::dwTextColor},
    {L"itembkcolor", &TListStyle::dwBkColor},
    {L"itemselectedtextcolor", &TListStyle::dwSelectedTextColor},
    {L"itemselectedbkcolor", &TListStyle::dwSelectedBkColor},
    {L"itemhottextcolor", &TListStyle::dwHotTextColor},
    {L"itemhotbkcolor", &TListStyle::dwHotBkColor},
    {L"itemdisabledtextcolor", &TListStyle::dwDisabledTextColor},
    {L"itemdisabledbkcolor", &TListStyle::dwDisabledBkColor},
    {L"itemlinecolor", &TListStyle::dwLineColor},
};

struct ImageKey {
    const wchar_t* name;
    CUIString TListStyle::*field;
};

const ImageKey kImageKeys[] = {
    {L"itembkimage", &TListStyle::sBkImage},
    {L"itemselectedimage", &TListStyle::sSelectedImage},
    {L"itemhotimage", &TListStyle::sHotImage},
    {L"itemdisabledimage", &TListStyle::sDisabledImage},
};

struct FlagKey {
    const wchar_t* name;
    bool TListStyle::*field;
};

const FlagKey kRepaintFlagKeys[] = {
    {L"itemaltbk", &TListStyle::bAlternateBk},
    {L"itemshowrowline", &TListStyle::bShowRowLine},
    {L"itemshowcolumnline", &TListStyle::bShowColumnLine},
};

ListStyleChange SetChangedFlag(bool& field, bool on) {
    if (field == on) return ListStyleChange::kNothing;
    field = on;
    return ListStyleChange::kRelayout;
}

}  // namespace

UINT ApplyTextAlign(UINT style, const wchar_t* value) {
    if (Has(value, L"left")) style &= ~(DT_CENTER | DT_RIGHT);
    if (Has(value, L"center")) style = (style & ~DT_RIGHT) | DT_CENTER;
    if (Has(value, L"right")) style = (style & ~DT_CENTER) | DT_RIGHT;
    return style;
}

ListStyleChange SetListStyleAttribute(TListStyle& style, const wchar_t* name, const wchar_t* value) {
    auto is = [name](const wchar_t* key) { return _wcsicmp(name, key) == 0; };
    if (is(L"itemfont")) {
        const wchar_t* cursor = value;
        style.nFont = ReadSkinInt(cursor);
        return ListStyleChange::kNothing;
    }
    if (is(L"itemalign")) {
        style.uTextStyle = ApplyTextAlign(style.uTextStyle, value);
        return ListStyleChange::kNothing;
    }
    if (is(L"itemvalign")) {
        style.uTextStyle = ApplyTextVAlign(style.uTextStyle, value);
        return ListStyleChange::kNothing;
    }
    if (is(L"itemendellipsis")) {
        style.uTextStyle = SetFlags(style.uTextStyle, DT_END_ELLIPSIS, ReadSkinBool(value));
        return ListStyleChange::kNothing;
    }
    if (is(L"itemtextpadding")) {
        style.rcTextPadding = ReadSkinRect(value);
        return ListStyleChange::kRelayout;
    }
    for (const ColorKey& key : kColorKeys) {
        if (!is(key.name)) continue;
        style.*key.field = ReadSkinColor(value, false);
        return ListStyleChange::kRepaint;
    }
    for (const ImageKey& key : kImageKeys) {
        if (!is(key.name)) continue;
        style.*key.field = value;
        return ListStyleChange::kRepaint;
    }
    for (const FlagKey& key : kRepaintFlagKeys) {
        if (!is(key.name)) continue;
        style.*key.field = ReadSkinBool(value);
        return ListStyleChange::kRepaint;
    }
    if (is(L"itemshowhtml")) return SetChangedFlag(style.bShowHtml, ReadSkinBool(value));
    if (wcscmp(name, L"itemrselected") == 0) return SetChangedFlag(style.bRSelected, wcscmp(value, L"true") == 0);
    return ListStyleChange::kUnknownKey;
}

}  // namespace HiveUI
