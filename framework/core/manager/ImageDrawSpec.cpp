#include "ImageDrawSpec.h"

#include "UIManager.h"

#include <cwchar>
#include <cwctype>

#include "DpiScale.h"

namespace HiveUI {

namespace {

bool IsBlank(wchar_t ch) { return ch != L'\0' && ch <= L' '; }

const wchar_t* SkipBlanks(const wchar_t* p) {
    while (IsBlank(*p)) ++p;
    return p;
}

// Numbers separated by exactly one character of any kind; a list that ends early
// leaves the remaining numbers 0 instead of reading past its end.
void ReadNumbers(const wchar_t* text, LONG* numbers, int count) {
    const wchar_t* p = text;
    for (int i = 0; i < count; ++i) {
        numbers[i] = 0;
        if (*p == L'\0') continue;
        wchar_t* end = nullptr;
        numbers[i] = wcstol(p, &end, 10);
        p = (*end != L'\0') ? end + 1 : end;
    }
}

RECT ReadRect(const wchar_t* text) {
    LONG n[4];
    ReadNumbers(text, n, 4);
    return RECT{n[0], n[1], n[2], n[3]};
}

bool ReadBool(const wchar_t* text) { return _wcsicmp(text, L"true") == 0; }

}  // namespace

TImageDrawSpec::TImageDrawSpec() { Clear(); }

void TImageDrawSpec::Clear() {
    description.Empty();
    modifier.Empty();
    name.Empty();
    resType.Empty();
    dest = RECT{0, 0, 0, 0};
    source = RECT{0, 0, 0, 0};
    corner = RECT{0, 0, 0, 0};
    mask = 0;
    fade = 255;
    hole = false;
    xTiled = false;
    yTiled = false;
    hsl = false;
    iconSize = SIZE{0, 0};
    iconAlign.Empty();
}

void TImageDrawSpec::Parse(const wchar_t* descriptionText, const wchar_t* modifierText, CPaintManagerUI* manager) {
    description = descriptionText;
    modifier = modifierText;
    name = description;
    ParsePairs(description);
    ParsePairs(modifier);
    if (manager != nullptr) ApplyDpiScale(*manager->GetDpiScale());
}

void TImageDrawSpec::ApplyDpiScale(const CDpiScale& scale) {
    scale.ScaleRect(dest);
    scale.ScaleRect(source);
    scale.ScaleRect(corner);
    if (scale.GetScale() == 100) return;
    CUIString scaledDot;
    scaledDot.Format(L"@%d.", scale.GetScale());
    name.Replace(L".", scaledDot);
}

// key='value' pairs; anything malformed stops this text but keeps the pairs before it.
void TImageDrawSpec::ParsePairs(const wchar_t* text) {
    const wchar_t* p = text;
    while (p != nullptr && *p != L'\0') {
        p = SkipBlanks(p);
        const wchar_t* keyStart = p;
        while (*p != L'\0' && *p != L'=' && !IsBlank(*p)) ++p;
        const CUIString key(keyStart, static_cast<int>(p - keyStart));
        p = SkipBlanks(p);
        if (*p != L'=') return;
        p = SkipBlanks(p + 1);
        if (*p != L'\'') return;
        const wchar_t* valueStart = ++p;
        while (*p != L'\0' && *p != L'\'') ++p;
        if (*p != L'\'') return;
        const CUIString value(valueStart, static_cast<int>(p - valueStart));
        if (!value.IsEmpty()) Apply(key, value);
        ++p;
        // Only a plain space carries on to the next pair; a tab or anything else ends it.
        if (*p != L' ') return;
    }
}

void TImageDrawSpec::Apply(const CUIString& key, const CUIString& value) {
    if (key == L"file" || key == L"res") {
        name = value;
    } else if (key == L"restype") {
        resType = value;
    } else if (key == L"dest") {
        dest = ReadRect(value);
    } else if (key == L"source") {
        source = ReadRect(value);
    } else if (key == L"corner") {
        corner = ReadRect(value);
    } else if (key == L"mask") {
        const wchar_t* hex = value.GetData();
        if (*hex == L'#') ++hex;
        mask = wcstoul(hex, nullptr, 16);
    } else if (key == L"fade") {
        fade = static_cast<BYTE>(wcstol(value, nullptr, 10));
    } else if (key == L"hole") {
        hole = ReadBool(value);
    } else if (key == L"xtiled") {
        xTiled = ReadBool(value);
    } else if (key == L"ytiled") {
        yTiled = ReadBool(value);
    } else if (key == L"hsl") {
        hsl = ReadBool(value);
    } else if (key == L"iconsize") {
        LONG n[2];
        ReadNumbers(value, n, 2);
        iconSize = SIZE{n[0], n[1]};
    } else if (key == L"iconalign") {
        iconAlign = value;
    }
}

}  // namespace HiveUI
