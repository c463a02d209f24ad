#include "SkinValue.h"

#include <cwchar>

namespace HiveUI {

int ReadSkinInt(const wchar_t*& cursor) {
    bool negative = false;
    if (*cursor == L'-' || *cursor == L'+') negative = *cursor++ == L'-';
    unsigned value = 0;
    for (; *cursor >= L'0' && *cursor <= L'9'; ++cursor) value = value * 10u + static_cast<unsigned>(*cursor - L'0');
    return negative ? -static_cast<int>(value) : static_cast<int>(value);
}

int ReadSkinListInt(const wchar_t*& cursor) {
    int value = ReadSkinInt(cursor);
    if (*cursor != L'\0') ++cursor;
    return value;
}

RECT ReadSkinRect(const wchar_t* value) {
    RECT rc = {0, 0, 0, 0};
    if (value == nullptr) return rc;
    rc.left = ReadSkinListInt(value);
    rc.top = ReadSkinListInt(value);
    rc.right = ReadSkinListInt(value);
    rc.bottom = ReadSkinListInt(value);
    return rc;
}

SIZE ReadSkinSize(const wchar_t* value) {
    SIZE size = {0, 0};
    if (value == nullptr) return size;
    size.cx = ReadSkinListInt(value);
    size.cy = ReadSkinListInt(value);
    return size;
}

namespace {

int HexDigit(wchar_t ch) {
    if (ch >= L'0' && ch <= L'9') return ch - L'0';
    if (ch >= L'a' && ch <= L'f') return ch - L'a' + 10;
    if (ch >= L'A' && ch <= L'F') return ch - L'A' + 10;
    return -1;
}

}  // namespace

DWORD ReadSkinColor(const wchar_t* value, bool skipBlanks) {
    if (value == nullptr) return 0;
    if (skipBlanks) {
        while (*value >= 1 && *value <= 32) ++value;
    }
    if (*value == L'#') ++value;
    DWORD color = 0;
    for (int digit = HexDigit(*value); digit >= 0; digit = HexDigit(*++value)) color = (color << 4) | digit;
    return color;
}

bool ReadSkinBool(const wchar_t* value) { return value != nullptr && _wcsicmp(value, L"true") == 0; }

}  // namespace HiveUI
