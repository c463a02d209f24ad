#include "ShadowOutline.h"

#include <algorithm>
#include <cmath>

#include "Shadow.h"

namespace HiveUI {

DWORD* CShadowCanvas::Pixel(int x, int row) const {
    if (m_pixels == nullptr || x < 0 || x >= m_width || row < 0 || row >= m_height) return nullptr;
    // Bottom-up: the top row is stored last.
    return m_pixels + static_cast<size_t>(m_height - 1 - row) * static_cast<size_t>(m_width) + x;
}

DWORD CShadowCanvas::At(int x, int row) const {
    const DWORD* pixel = Pixel(x, row);
    return pixel != nullptr ? *pixel : 0;
}

void CShadowCanvas::Fill(int row, int start, int end, DWORD value) {
    if (row < 0 || row >= m_height) return;
    start = std::max(start, 0);
    end = std::min(end, m_width);
    for (int x = start; x < end; ++x) *Pixel(x, row) = value;
}

void CShadowCanvas::Raise(int x, int row, DWORD value) {
    DWORD* pixel = Pixel(x, row);
    if (pixel != nullptr && *pixel < value) *pixel = value;
}

std::vector<TShadowSpan> CShadowOutline::RowsOf(const std::function<bool(int, int)>& inside, int width, int height) {
    std::vector<TShadowSpan> rows(static_cast<size_t>(std::max(height, 0)), TShadowSpan{width, 0});
    for (int y = 0; y < height; ++y) {
        int first = 0;
        while (first < width && !inside(first, y)) ++first;
        if (first == width) continue;
        int last = width - 1;
        while (last > first && !inside(last, y)) --last;
        rows[y] = TShadowSpan{first, last + 1};
    }
    return rows;
}

std::vector<TShadowSpan> CShadowOutline::AnchorSpans(const std::vector<TShadowSpan>& rows, int width, int size) {
    const int pad = std::max(size, 0);
    std::vector<TShadowSpan> spans(rows.size() + 2 * static_cast<size_t>(pad), TShadowSpan{width, 0});
    for (size_t y = 0; y < rows.size(); ++y) {
        if (rows[y].IsEmpty()) continue;
        spans[y + pad] = TShadowSpan{rows[y].start + size, rows[y].end + size};
    }
    return spans;
}

namespace {

TShadowSpan Neighbour(const std::vector<TShadowSpan>& spans, size_t index, int delta, const TShadowSpan& outside) {
    if (delta < 0 && index == 0) return outside;
    if (delta > 0 && index + 1 >= spans.size()) return outside;
    return spans[index + delta];
}

// Rows outside the list are as empty as the padding rows: no window there.
TShadowSpan OutsideSpan(const std::vector<TShadowSpan>& spans) {
    int start = 0;
    for (const TShadowSpan& span : spans) start = std::max(start, span.end);
    return TShadowSpan{start, 0};
}

}  // namespace

void CShadowOutline::Shrink(std::vector<TShadowSpan>& spans, int passes) {
    const TShadowSpan outside = OutsideSpan(spans);
    for (int pass = 0; pass < passes; ++pass) {
        const std::vector<TShadowSpan> before = spans;
        for (size_t i = 0; i < spans.size(); ++i) {
            const TShadowSpan up = Neighbour(before, i, -1, outside);
            const TShadowSpan down = Neighbour(before, i, 1, outside);
            spans[i].start = std::max({up.start, before[i].start, down.start}) + 1;
            spans[i].end = std::min({up.end, before[i].end, down.end}) - 1;
        }
    }
}

int CShadowOutline::KernelRadius(const TShadowLook& look) { return std::max(look.sharpness, look.size); }

std::vector<DWORD> CShadowOutline::Kernel(const TShadowLook& look) {
    const int radius = KernelRadius(look);
    const int solid = std::max(look.size - look.sharpness, 0);
    const int side = 2 * radius + 1;
    std::vector<DWORD> kernel(static_cast<size_t>(side) * side, 0);
    for (int j = -radius; j <= radius; ++j) {
        for (int i = -radius; i <= radius; ++i) {
            const double r = std::sqrt(static_cast<double>(i * i + j * j));
            BYTE alpha = 0;
            if (r < solid) {
                alpha = look.darkness;
            } else if (r <= radius) {
                alpha = static_cast<BYTE>((1.0 - (r - solid) / (look.sharpness + 1)) * look.darkness);
            }
            if (alpha == 0) continue;
            kernel[(j + radius) * side + (i + radius)] =
                CShadowUI::PreMultiply(look.color, alpha) | (static_cast<DWORD>(alpha) << 24);
        }
    }
    return kernel;
}

namespace {

void Stamp(const std::vector<DWORD>& kernel, int radius, int x, int row, CShadowCanvas& canvas) {
    const int side = 2 * radius + 1;
    for (int j = -radius; j <= radius; ++j) {
        for (int i = -radius; i <= radius; ++i) {
            const DWORD value = kernel[(j + radius) * side + (i + radius)];
            if (value != 0) canvas.Raise(x + i, row + j, value);
        }
    }
}

}  // namespace

// Only the columns where a row's outline differs from its neighbours' get the soft
// kernel; the edge parts stay inside the row's own span, as the body does.
void CShadowOutline::StampEdges(const std::vector<TShadowSpan>& spans, int firstListRow, int height,
                                const TShadowLook& look, CShadowCanvas& canvas) {
    const std::vector<DWORD> kernel = Kernel(look);
    const int radius = KernelRadius(look);
    const TShadowSpan outside = OutsideSpan(spans);
    for (int row = radius; row <= height - radius; ++row) {
        const long index = static_cast<long>(row) + firstListRow;
        if (index < 0 || index >= static_cast<long>(spans.size())) continue;
        const TShadowSpan span = spans[index];
        if (span.IsEmpty()) continue;
        const TShadowSpan up = Neighbour(spans, index, -1, outside);
        const TShadowSpan down = Neighbour(spans, index, 1, outside);
        const int leftEnd = std::min(std::max(up.start, down.start) + 1, span.end);
        for (int x = span.start; x < leftEnd; ++x) Stamp(kernel, radius, x, row, canvas);
        const int rightStart = std::max({std::min(up.end, down.end) - 1, leftEnd, span.start});
        for (int x = rightStart; x < span.end; ++x) Stamp(kernel, radius, x, row, canvas);
    }
}

// The body is solid except under the window itself, which stays hollow so that a window
// with see-through parts shows no shadow through them.
void CShadowOutline::FillBody(const std::vector<TShadowSpan>& spans, int firstListRow,
                              const std::vector<TShadowSpan>& rows, const TShadowLook& look, CShadowCanvas& canvas) {
    const int s = look.size;
    const int height = static_cast<int>(rows.size());
    const int radius = KernelRadius(look);
    const DWORD solid = CShadowUI::PreMultiply(look.color, look.darkness) | (static_cast<DWORD>(look.darkness) << 24);
    const int first = std::min(radius, std::max(s - look.yOffset, 0));
    const int last = std::max(std::min(height + s - look.yOffset, height + 2 * s), height + 2 * s - radius);
    for (int row = first; row < last; ++row) {
        const long index = static_cast<long>(row) + firstListRow;
        if (index >= 0 && index < static_cast<long>(spans.size()) && !spans[index].IsEmpty())
            canvas.Fill(row, spans[index].start, spans[index].end, solid);
        const int parentRow = row - s + look.yOffset;
        if (parentRow < 0 || parentRow >= height || rows[parentRow].IsEmpty()) continue;
        const int shift = s - look.xOffset;
        canvas.Fill(row, rows[parentRow].start + shift, rows[parentRow].end + shift, 0);
    }
}

void CShadowOutline::Draw(const std::vector<TShadowSpan>& rows, int width, const TShadowLook& look,
                          CShadowCanvas& canvas) {
    std::vector<TShadowSpan> spans = AnchorSpans(rows, width, look.size);
    Shrink(spans, look.sharpness - look.size);
    // A shadow smaller than its window starts that many window rows down, as it starts
    // that many columns in.
    const int firstListRow = std::max(-look.size, 0);
    const int height = static_cast<int>(rows.size()) + 2 * look.size;
    StampEdges(spans, firstListRow, height, look, canvas);
    FillBody(spans, firstListRow, rows, look, canvas);
}

}  // namespace HiveUI
