// Readers for the number, number-list and colour values of skin attributes. Each reads
// forward from a cursor and never past the terminating NUL.
#pragma once

#include <windows.h>

namespace HiveUI {

// An optionally signed decimal integer up to the first character that cannot belong
// to it; no digits read as 0.
int ReadSkinInt(const wchar_t*& cursor);
// As ReadSkinInt, then skips the one separator character that follows, if any.
int ReadSkinListInt(const wchar_t*& cursor);
// Four list numbers: left, top, right, bottom.
RECT ReadSkinRect(const wchar_t* value);
// Two list numbers: width, height.
SIZE ReadSkinSize(const wchar_t* value);
// Hexadecimal ARGB with an optional leading '#'; with skipBlanks, characters 1 to 32
// before it are skipped first.
DWORD ReadSkinColor(const wchar_t* value, bool skipBlanks);
// True only for "true" in any case.
bool ReadSkinBool(const wchar_t* value);

}  // namespace HiveUI
