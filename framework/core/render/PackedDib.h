// A packed DIB: a bitmap header, its colour table and the pixels in one memory block, as
// dropped or pasted device-independent bitmaps arrive.
#pragma once

#include <windows.h>

namespace HiveUI {

// Colours in the table of a core or info header.
DWORD GetDibColorCount(const BITMAPINFOHEADER* header);
// Bytes of the colour table (with the three masks of BI_BITFIELDS).
DWORD GetDibPaletteSize(const BITMAPINFOHEADER* header);
// Where the pixels start in a block of the given size; 0 when the header, its colour
// table or the pixels it describes do not fit the block or contradict each other.
SIZE_T PackedDibBitsOffset(const void* block, SIZE_T size);

}  // namespace HiveUI
