// The conversion of skin bytes to UTF-16 with which the XML parser starts: the result of
// one MultiByteToWideChar call over all the bytes, reached mostly without calling it.
#pragma once

#include <windows.h>

#include <cstddef>

namespace HiveUI {

// Converts size bytes in the code page (CP_UTF8 or an ANSI code page) into out, which
// holds at least size units (no conversion gives more units than bytes). Returns the
// units written; 0 when the bytes do not convert at all.
size_t WidenText(const BYTE* bytes, size_t size, UINT codePage, wchar_t* out);

}  // namespace HiveUI
