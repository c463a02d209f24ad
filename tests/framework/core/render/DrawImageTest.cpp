#include <RenderFallbacks.h>
#include <UIRender.h>

#include <algorithm>
#include <functional>

#include "Canvas.h"

using HiveUI::CUIRender;

namespace {

// A premultiplied 32-bit source bitmap that is not selected into any DC.
class Source {
public:
    Source(int width, int height, const std::function<DWORD(int, int)>& pixel) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        DWORD* bits = nullptr;
        m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) bits[y * width + x] = pixel(x, y);
    }
    ~Source() { DeleteObject(m_bitmap); }
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;
    HBITMAP bitmap() const { return m_bitmap; }

private:
    HBITMAP m_bitmap = nullptr;
};

// Every source pixel tells where it came from.
DWORD Coded(int x, int y) {
    return 0xFF000000 | (static_cast<DWORD>(x * 8) << 16) | (static_cast<DWORD>(y * 8) << 8) | 0x40;
}

const DWORD kBackground = 0xFF102030;
const RECT kNoCorners = {0, 0, 0, 0};

}  // namespace

TEST(DrawImage, SameSizeOpaqueImageIsCopiedOnlyInsideThePaintRectangle) {
    Source image(10, 10, Coded);
    Canvas canvas(30, 30, kBackground);
    CUIRender::DrawImage(canvas.dc(), image.bitmap(), RECT{5, 5, 15, 15}, RECT{8, 0, 30, 12}, RECT{0, 0, 10, 10},
                         kNoCorners, false);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 30; ++x) {
            const bool drawn = x >= 8 && x < 15 && y >= 5 && y < 12;
            ASSERT_TRUE(ColourNear(drawn ? Coded(x - 5, y - 5) : kBackground, canvas.At(x, y), 0))
                << x << "," << y;
        }
    }
}

TEST(DrawImage, NineGridCornersStayUnscaled) {
    Source image(12, 12, Coded);
    for (bool alpha : {false, true}) {
        SCOPED_TRACE(alpha ? "blended" : "opaque");
        Canvas canvas(110, 30, kBackground);
        const RECT dest = {5, 5, 105, 25};
        CUIRender::DrawImage(canvas.dc(), image.bitmap(), dest, RECT{0, 0, 110, 30}, RECT{0, 0, 12, 12},
                             RECT{4, 4, 4, 4}, alpha);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                EXPECT_TRUE(ColourNear(Coded(x, y), canvas.At(5 + x, 5 + y), 0));
                EXPECT_TRUE(ColourNear(Coded(8 + x, y), canvas.At(101 + x, 5 + y), 0));
                EXPECT_TRUE(ColourNear(Coded(x, 8 + y), canvas.At(5 + x, 21 + y), 0));
                EXPECT_TRUE(ColourNear(Coded(8 + x, 8 + y), canvas.At(101 + x, 21 + y), 0));
            }
        }
        // The top edge keeps its rows and is stretched along its length only.
        EXPECT_EQ(ChannelOf(Coded(4, 1), 8), ChannelOf(canvas.At(50, 6), 8));
        EXPECT_TRUE(ColourNear(kBackground, canvas.At(4, 5), 0));
        EXPECT_TRUE(ColourNear(kBackground, canvas.At(105, 25), 0));
    }
}

TEST(DrawImage, TiledMiddleCutsTheLastTileWithoutStretching) {
    // A 10-pixel-wide middle between 2-pixel borders, tiled into a 25-pixel middle.
    Source image(14, 6, Coded);
    for (bool alpha : {false, true}) {
        SCOPED_TRACE(alpha ? "blended" : "opaque");
        Canvas canvas(40, 10, kBackground);
        CUIRender::DrawImage(canvas.dc(), image.bitmap(), RECT{0, 0, 29, 6}, RECT{0, 0, 40, 10},
                             RECT{0, 0, 14, 6}, RECT{2, 0, 2, 0}, alpha, 255, false, true, false);
        for (int x = 0; x < 25; ++x) EXPECT_TRUE(ColourNear(Coded(2 + x % 10, 3), canvas.At(2 + x, 3), 0)) << x;
        EXPECT_TRUE(ColourNear(Coded(12, 3), canvas.At(27, 3), 0));
        EXPECT_TRUE(ColourNear(kBackground, canvas.At(29, 3), 0));
    }
}

TEST(DrawImage, TiledBothWaysRepeatsRowsAndColumns) {
    Source image(4, 4, Coded);
    Canvas canvas(20, 20, kBackground);
    CUIRender::DrawImage(canvas.dc(), image.bitmap(), RECT{0, 0, 10, 7}, RECT{0, 0, 20, 20}, RECT{0, 0, 4, 4},
                         kNoCorners, true, 255, false, true, true);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 10; ++x) EXPECT_TRUE(ColourNear(Coded(x % 4, y % 4), canvas.At(x, y), 0)) << x << "," << y;
    EXPECT_TRUE(ColourNear(kBackground, canvas.At(10, 3), 0));
    EXPECT_TRUE(ColourNear(kBackground, canvas.At(3, 7), 0));
}

TEST(DrawImage, HoleLeavesTheMiddleUndrawn) {
    Source image(9, 9, [](int, int) { return 0xFFFFFFFFu; });
    for (bool alpha : {false, true}) {
        Canvas canvas(20, 20, kBackground);
        CUIRender::DrawImage(canvas.dc(), image.bitmap(), RECT{0, 0, 20, 20}, RECT{0, 0, 20, 20}, RECT{0, 0, 9, 9},
                             RECT{3, 3, 3, 3}, alpha, 255, true);
        EXPECT_TRUE(ColourNear(kBackground, canvas.At(10, 10), 0));
        EXPECT_TRUE(ColourNear(0xFFFFFFFF, canvas.At(1, 10), 0));
        EXPECT_TRUE(ColourNear(0xFFFFFFFF, canvas.At(10, 18), 0));
    }
}

TEST(DrawImage, BorderCellsOutsideThePaintRectangleAreSkipped) {
    Source image(9, 9, [](int, int) { return 0xFFFFFFFFu; });
    Canvas canvas(20, 20, kBackground);
    CUIRender::DrawImage(canvas.dc(), image.bitmap(), RECT{0, 0, 20, 20}, RECT{0, 0, 20, 2}, RECT{0, 0, 9, 9},
                         RECT{3, 3, 3, 3}, true);
    EXPECT_TRUE(ColourNear(0xFFFFFFFF, canvas.At(10, 1), 0));   // top edge meets it
    EXPECT_TRUE(ColourNear(kBackground, canvas.At(10, 10), 0)); // middle does not
    EXPECT_TRUE(ColourNear(kBackground, canvas.At(1, 19), 0));  // nor the bottom corner
}

TEST(DrawImage, FadeBlendsAnOpaqueImageHalfway) {
    Source image(4, 4, [](int, int) { return 0xFFFFFFFFu; });
    Canvas canvas(4, 4, 0xFF000000);
    CUIRender::DrawImage(canvas.dc(), image.bitmap(), RECT{0, 0, 4, 4}, RECT{0, 0, 4, 4}, RECT{0, 0, 4, 4},
                         kNoCorners, false, 128);
    EXPECT_TRUE(ColourNear(0xFF808080, canvas.At(2, 2)));
}

TEST(DrawImage, PremultipliedPixelsBlendOverTheBackground) {
    Source image(2, 2, [](int, int) { return 0x80808080u; });  // white at alpha 128
    Canvas canvas(2, 2, 0xFF0000FF);
    CUIRender::DrawImage(canvas.dc(), image.bitmap(), RECT{0, 0, 2, 2}, RECT{0, 0, 2, 2}, RECT{0, 0, 2, 2},
                         kNoCorners, true);
    EXPECT_TRUE(ColourNear(0xFF8080FF, canvas.At(1, 1)));
}

TEST(SoftwareAlphaBlend, MatchesAlphaBlendForPremultipliedSources) {
    Source image(4, 4, [](int x, int) { return x < 2 ? 0x80808080u : 0x40002040u; });
    for (BYTE constant : {BYTE(255), BYTE(128)}) {
        SCOPED_TRACE(testing::Message() << "constant alpha " << int(constant));
        Canvas expected(8, 4, 0xFF3060F0), actual(8, 4, 0xFF3060F0);
        HDC source = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(source, image.bitmap());
        const BLENDFUNCTION blend = {AC_SRC_OVER, 0, constant, AC_SRC_ALPHA};
        ASSERT_TRUE(AlphaBlend(expected.dc(), 0, 0, 8, 4, source, 0, 0, 4, 4, blend));
        ASSERT_TRUE(HiveUI::SoftwareAlphaBlend(actual.dc(), 0, 0, 8, 4, source, 0, 0, 4, 4, blend));
        SelectObject(source, old);
        DeleteDC(source);
        for (int x = 0; x < 8; ++x) EXPECT_TRUE(ColourNear(expected.At(x, 2), actual.At(x, 2), 2)) << x;
    }
}

namespace {

// Every cell blended, in the order the cells are drawn: how images with alpha were drawn
// before opaque cells were copied.
void BlendEveryCell(HDC dc, HBITMAP bitmap, const RECT& d, const RECT& s, const RECT& c, const RECT& paint) {
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const LONG dx[4] = {d.left, d.left + c.left, d.right - c.right, d.right};
    const LONG dy[4] = {d.top, d.top + c.top, d.bottom - c.bottom, d.bottom};
    const LONG sx[4] = {s.left, s.left + c.left, s.right - c.right, s.right};
    const LONG sy[4] = {s.top, s.top + c.top, s.bottom - c.bottom, s.bottom};
    const auto cell = [&](int i, int j) {
        const RECT to = {dx[i], dy[j], dx[i + 1], dy[j + 1]};
        RECT common;
        if (to.right <= to.left || to.bottom <= to.top || !IntersectRect(&common, &to, &paint)) return;
        AlphaBlend(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, memory, sx[i], sy[j],
                   sx[i + 1] - sx[i], sy[j + 1] - sy[j], BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});
    };
    cell(1, 1);
    const LONG widths[3] = {c.left, 1, c.right}, heights[3] = {c.top, 1, c.bottom};
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i)
            if ((i != 1 || j != 1) && widths[i] > 0 && heights[j] > 0) cell(i, j);
    SelectObject(memory, old);
    DeleteDC(memory);
}

// A soft shadow border of 6 pixels around an opaque, coded middle.
DWORD Shadowed(int x, int y) {
    const int edge = std::min(std::min(x, y), std::min(23 - x, 23 - y));
    if (edge >= 6) return Coded(x, y);
    const DWORD a = static_cast<DWORD>(edge * 40 + 10);
    return a << 24 | (a / 2) << 16 | (a / 3) << 8 | a / 4;
}

}  // namespace

// Opaque cells are copied instead of blended: the pixels, alpha included, stay the same.
TEST(DrawImage, OpaqueCellsOfAnImageWithAlphaDrawAsBlended) {
    Source shadowed(24, 24, Shadowed), opaque(24, 24, Coded);
    const RECT sixes = {6, 6, 6, 6};
    const struct {
        const Source& image;
        RECT dest, paint, corners;
    } cases[] = {
        {shadowed, {2, 3, 98, 61}, {0, 0, 100, 64}, sixes},
        {shadowed, {2, 3, 98, 61}, {40, 0, 100, 30}, sixes},
        {shadowed, {5, 5, 29, 29}, {0, 0, 100, 64}, sixes},
        {shadowed, {10, 10, 25, 24}, {0, 0, 100, 64}, sixes},
        {shadowed, {0, 0, 80, 50}, {0, 0, 100, 64}, RECT{6, 0, 6, 0}},
        {opaque, {1, 1, 99, 63}, {0, 0, 100, 64}, kNoCorners},
        {opaque, {7, 9, 19, 16}, {0, 0, 100, 64}, RECT{3, 3, 3, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "dest " << c.dest.right - c.dest.left << "x" << c.dest.bottom - c.dest.top
                                          << " paint left " << c.paint.left);
        Canvas actual(100, 64, 0x80204060), expected(100, 64, 0x80204060);
        CUIRender::DrawImage(actual.dc(), c.image.bitmap(), c.dest, c.paint, RECT{0, 0, 24, 24}, c.corners, true);
        BlendEveryCell(expected.dc(), c.image.bitmap(), c.dest, RECT{0, 0, 24, 24}, c.corners, c.paint);
        for (int i = 0; i < 100 * 64; ++i)
            ASSERT_EQ(expected.At(i % 100, i / 100), actual.At(i % 100, i / 100)) << i % 100 << "," << i / 100;
    }
}
