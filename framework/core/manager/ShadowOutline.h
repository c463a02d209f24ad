// CShadowOutline: the pixels of a computed drop shadow, worked out from the rows its
// window covers. Kept apart from any window so that every write can be checked against
// a buffer of known size.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace HiveUI {

// Columns [start, end) of one row; a start at or past the end is an empty row.
struct TShadowSpan {
    int start;
    int end;
    bool IsEmpty() const { return start >= end; }
};

// What the computed shadow looks like; the colour keeps its byte order in the pixels.
struct TShadowLook {
    int size;
    int sharpness;
    BYTE darkness;
    COLORREF color;
    int xOffset;
    int yOffset;
};

// A bottom-up 32-bit buffer addressed by rows counted from the top; a write that falls
// outside it is dropped, so no shape of window can reach past the buffer.
class CShadowCanvas {
public:
    CShadowCanvas(DWORD* pixels, int width, int height) : m_pixels(pixels), m_width(width), m_height(height) {}

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    DWORD At(int x, int row) const;
    void Fill(int row, int start, int end, DWORD value);
    // Keeps the larger of the pixel and the value, so the darker shadow wins.
    void Raise(int x, int row, DWORD value);

private:
    DWORD* Pixel(int x, int row) const;

    DWORD* m_pixels;
    int m_width;
    int m_height;
};

class CShadowOutline {
public:
    // The columns a window covers in each of its rows: first and one past the last
    // column for which the test holds, scanned from both sides.
    static std::vector<TShadowSpan> RowsOf(const std::function<bool(int, int)>& inside, int width, int height);

    // The window's rows moved into shadow coordinates, with empty rows above and below
    // it for a shadow that reaches beyond the window.
    static std::vector<TShadowSpan> AnchorSpans(const std::vector<TShadowSpan>& rows, int width, int size);

    // One pass takes a column off each side of a span and off the rows next to an
    // empty one; rows outside the list count as empty.
    static void Shrink(std::vector<TShadowSpan>& spans, int passes);

    // A square of side 2R + 1 (R = the larger of sharpness and size), premultiplied.
    static std::vector<DWORD> Kernel(const TShadowLook& look);
    static int KernelRadius(const TShadowLook& look);

    // The whole shadow of a window with the given rows and width into the canvas, which
    // is expected to be (width + 2 size) x (rows + 2 size).
    static void Draw(const std::vector<TShadowSpan>& rows, int width, const TShadowLook& look, CShadowCanvas& canvas);

private:
    static void StampEdges(const std::vector<TShadowSpan>& spans, int firstListRow, int height, const TShadowLook& look,
                           CShadowCanvas& canvas);
    static void FillBody(const std::vector<TShadowSpan>& spans, int firstListRow, const std::vector<TShadowSpan>& rows,
                         const TShadowLook& look, CShadowCanvas& canvas);
};

}  // namespace HiveUI
