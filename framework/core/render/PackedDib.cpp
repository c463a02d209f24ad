#include "PackedDib.h"

namespace HiveUI {

namespace {

bool IsCoreHeader(const BITMAPINFOHEADER* header) { return header->biSize == sizeof(BITMAPCOREHEADER); }

DWORD ColorsForBitCount(WORD bitCount) { return bitCount <= 8 ? 1u << bitCount : 0; }

bool IsPaletteBitCount(WORD bitCount) { return bitCount == 1 || bitCount == 4 || bitCount == 8; }

struct TDibShape {
    LONGLONG width;
    LONGLONG height;
    WORD planes;
    WORD bitCount;
    DWORD compression;
    DWORD sizeImage;
};

TDibShape ShapeOf(const BITMAPINFOHEADER* header) {
    if (IsCoreHeader(header)) {
        const auto* core = reinterpret_cast<const BITMAPCOREHEADER*>(header);
        return {core->bcWidth, core->bcHeight, core->bcPlanes, core->bcBitCount, BI_RGB, 0};
    }
    return {header->biWidth, header->biHeight, header->biPlanes, header->biBitCount, header->biCompression,
            header->biSizeImage};
}

// Pixel bytes the header promises, or -1 for a shape no bitmap has.
LONGLONG PixelBytes(const TDibShape& shape) {
    if (shape.planes != 1 || shape.width <= 0 || shape.height == 0) return -1;
    const LONGLONG rows = shape.height < 0 ? -shape.height : shape.height;
    switch (shape.compression) {
        case BI_RGB:
            if (!IsPaletteBitCount(shape.bitCount) && shape.bitCount != 16 && shape.bitCount != 24 &&
                shape.bitCount != 32) {
                return -1;
            }
            break;
        case BI_BITFIELDS:
            if (shape.bitCount != 16 && shape.bitCount != 32) return -1;
            break;
        case BI_RLE8:
        case BI_RLE4:
            // Run-length pixels are bottom-up and measured by the header alone.
            if (shape.bitCount != (shape.compression == BI_RLE8 ? 8 : 4) || shape.height < 0) return -1;
            return shape.sizeImage != 0 ? shape.sizeImage : -1;
        default: return -1;
    }
    const LONGLONG stride = (shape.width * shape.bitCount + 31) / 32 * 4;
    return stride * rows;
}

LONGLONG PaletteBytes(const BITMAPINFOHEADER* header) {
    const LONGLONG colors = GetDibColorCount(header);
    if (IsCoreHeader(header)) return colors * sizeof(RGBTRIPLE);
    return colors * sizeof(RGBQUAD) + (header->biCompression == BI_BITFIELDS ? 3 * sizeof(DWORD) : 0);
}

}  // namespace

DWORD GetDibColorCount(const BITMAPINFOHEADER* header) {
    if (IsCoreHeader(header)) {
        return ColorsForBitCount(reinterpret_cast<const BITMAPCOREHEADER*>(header)->bcBitCount);
    }
    return header->biClrUsed != 0 ? header->biClrUsed : ColorsForBitCount(header->biBitCount);
}

DWORD GetDibPaletteSize(const BITMAPINFOHEADER* header) { return static_cast<DWORD>(PaletteBytes(header)); }

SIZE_T PackedDibBitsOffset(const void* block, SIZE_T size) {
    if (block == nullptr || size < sizeof(DWORD)) return 0;
    const auto* header = static_cast<const BITMAPINFOHEADER*>(block);
    const DWORD headerSize = header->biSize;
    if (headerSize > size) return 0;
    if (headerSize != sizeof(BITMAPCOREHEADER) && headerSize < sizeof(BITMAPINFOHEADER)) return 0;
    const TDibShape shape = ShapeOf(header);
    // A table larger than the bit count can index is no colour table of this bitmap.
    if (!IsCoreHeader(header) && IsPaletteBitCount(shape.bitCount) &&
        header->biClrUsed > ColorsForBitCount(shape.bitCount)) {
        return 0;
    }
    const LONGLONG pixels = PixelBytes(shape);
    if (pixels < 0) return 0;
    const LONGLONG offset = static_cast<LONGLONG>(headerSize) + PaletteBytes(header);
    if (offset + pixels > static_cast<LONGLONG>(size)) return 0;
    return static_cast<SIZE_T>(offset);
}

}  // namespace HiveUI
