#include <Shadow.h>
#include <ShadowOutline.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using HiveUI::CShadowCanvas;
using HiveUI::CShadowOutline;
using HiveUI::CShadowUI;
using HiveUI::TShadowLook;
using HiveUI::TShadowSpan;

namespace {

const DWORD kGuard = 0xDEADBEEF;
const size_t kGuardCount = 4096;

// A shadow buffer with guard words on both sides that no write may touch.
class GuardedBuffer {
public:
    GuardedBuffer(int width, int height)
        : width_(width), height_(height), words_(kGuardCount * 2 + Count(), kGuard) {
        std::fill(words_.begin() + kGuardCount, words_.begin() + kGuardCount + Count(), 0);
    }
    CShadowCanvas Canvas() { return CShadowCanvas(words_.data() + kGuardCount, width_, height_); }
    bool GuardsIntact() const {
        for (size_t i = 0; i < kGuardCount; ++i)
            if (words_[i] != kGuard || words_[words_.size() - 1 - i] != kGuard) return false;
        return true;
    }
    // Row counted from the top of a bottom-up buffer.
    DWORD At(int x, int row) const { return words_[kGuardCount + (height_ - 1 - row) * width_ + x]; }
    BYTE Alpha(int x, int row) const { return static_cast<BYTE>(At(x, row) >> 24); }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    size_t Count() const { return static_cast<size_t>(std::max(width_, 0)) * std::max(height_, 0); }
    int width_;
    int height_;
    std::vector<DWORD> words_;
};

std::vector<TShadowSpan> FullRows(int width, int height) {
    return CShadowOutline::RowsOf([](int, int) { return true; }, width, height);
}

TShadowLook Look(int size, int sharpness, BYTE darkness = 150, int xOffset = 0, int yOffset = 0,
                 COLORREF color = 0) {
    return TShadowLook{size, sharpness, darkness, color, xOffset, yOffset};
}

// Draws the shadow of a window of the given rows into a buffer of the size the shadow
// window would have.
GuardedBuffer DrawShadow(const std::vector<TShadowSpan>& rows, int width, const TShadowLook& look) {
    GuardedBuffer buffer(width + 2 * look.size, static_cast<int>(rows.size()) + 2 * look.size);
    CShadowCanvas canvas = buffer.Canvas();
    CShadowOutline::Draw(rows, width, look, canvas);
    return buffer;
}

BYTE ExpectedEdgeAlpha(double distance, int size, int sharpness, BYTE darkness) {
    const int solid = std::max(size - sharpness, 0);
    const int radius = std::max(size, sharpness);
    if (distance < solid) return darkness;
    if (distance > radius) return 0;
    return static_cast<BYTE>((1.0 - (distance - solid) / (sharpness + 1)) * darkness);
}

TEST(ShadowOutline, RowsAreFoundFromBothSidesAndEmptyRowsStayEmpty) {
    // A frame: rows 0 and 4 full, rows 1-3 only at columns 1 and 5, row 2 nothing.
    const auto inside = [](int x, int y) {
        if (y == 2) return false;
        return y == 0 || y == 4 || x == 1 || x == 5;
    };
    const auto rows = CShadowOutline::RowsOf(inside, 7, 5);
    ASSERT_EQ(5u, rows.size());
    EXPECT_EQ(0, rows[0].start);
    EXPECT_EQ(7, rows[0].end);
    EXPECT_EQ(1, rows[1].start);
    EXPECT_EQ(6, rows[1].end);
    EXPECT_TRUE(rows[2].IsEmpty());
    EXPECT_EQ(1, rows[3].start);
}

TEST(ShadowOutline, EachShrinkPassTakesAColumnOffEachSideAndARowOffTopAndBottom) {
    auto spans = CShadowOutline::AnchorSpans(FullRows(10, 6), 10, 0);
    CShadowOutline::Shrink(spans, 2);
    for (int row : {0, 1, 4, 5}) EXPECT_TRUE(spans[row].IsEmpty()) << row;
    for (int row : {2, 3}) {
        EXPECT_EQ(2, spans[row].start);
        EXPECT_EQ(8, spans[row].end);
    }
}

TEST(ShadowOutline, SharpnessZeroAndSizeFiveGiveASolidDiscOfRadiusFive) {
    const TShadowLook look = Look(5, 0, 90, 0, 0, 0x00FF0000);
    ASSERT_EQ(5, CShadowOutline::KernelRadius(look));
    const auto kernel = CShadowOutline::Kernel(look);
    ASSERT_EQ(121u, kernel.size());
    const DWORD solid = 0x5A000000 | CShadowUI::PreMultiply(0x00FF0000, 90);
    for (int j = -5; j <= 5; ++j)
        for (int i = -5; i <= 5; ++i)
            EXPECT_EQ(i * i + j * j <= 25 ? solid : 0u, kernel[(j + 5) * 11 + (i + 5)]) << i << "," << j;
}

TEST(ShadowOutline, KernelFadesWithDistanceBeyondItsSolidCore) {
    for (const TShadowLook& look : {Look(0, 5, 200), Look(3, 6, 255), Look(9, 4, 77), Look(35, 35, 255)}) {
        const int radius = CShadowOutline::KernelRadius(look);
        const int side = 2 * radius + 1;
        const auto kernel = CShadowOutline::Kernel(look);
        for (int j = -radius; j <= radius; ++j) {
            for (int i = -radius; i <= radius; ++i) {
                const DWORD cell = kernel[(j + radius) * side + (i + radius)];
                const BYTE alpha = ExpectedEdgeAlpha(std::sqrt(double(i * i + j * j)), look.size, look.sharpness,
                                                     look.darkness);
                ASSERT_EQ(alpha, cell >> 24) << look.size << "/" << look.sharpness << " at " << i << "," << j;
            }
        }
    }
}

struct SizeCase {
    int width, height, size, sharpness, xOffset, yOffset;
};

// From a one-pixel window to a large one, with offsets and sizes at their limits; the
// hollow part and the kernel are pushed past every edge of the buffer.
const SizeCase kSizes[] = {
    {1, 1, 1, 0, 0, 0},       {1, 1, 35, 35, 0, 0},     {2, 3, 5, 5, 0, 0},      {1, 1, 1, 35, 0, 0},
    {40, 30, 5, 5, 0, 0},     {40, 30, 5, 0, 0, 0},     {40, 30, 12, 3, 0, 0},   {40, 30, 3, 12, 0, 0},
    {40, 30, 5, 5, 35, 35},   {40, 30, 5, 5, -35, -35}, {40, 30, 35, 35, 35, -35}, {40, 30, -5, 5, 0, 0},
    {40, 30, -14, 35, 0, 0},  {40, 30, -14, 0, 20, -20}, {3, 200, 6, 6, 0, 0},   {200, 3, 6, 6, 0, 0},
    {640, 480, 35, 35, 0, 0}, {640, 480, 6, 6, 2, 3},
};

TEST(ShadowOutline, NoSizeOrOffsetWritesOutsideTheBuffer) {
    for (const SizeCase& c : kSizes) {
        const GuardedBuffer buffer = DrawShadow(FullRows(c.width, c.height), c.width,
                                                Look(c.size, c.sharpness, 150, c.xOffset, c.yOffset, 0x00FFFFFF));
        EXPECT_TRUE(buffer.GuardsIntact()) << c.width << "x" << c.height << " size " << c.size;
    }
}

TEST(ShadowOutline, ABufferSmallerThanTheShadowTakesOnlyWhatFits) {
    GuardedBuffer buffer(3, 2);
    CShadowCanvas canvas = buffer.Canvas();
    CShadowOutline::Draw(FullRows(50, 50), 50, Look(10, 10), canvas);
    EXPECT_TRUE(buffer.GuardsIntact());
}

TEST(ShadowOutline, ARectangularWindowGetsASymmetricShadowWithRoundCornersAndAHollowMiddle) {
    for (const SizeCase& c : kSizes) {
        if (c.xOffset != 0 || c.yOffset != 0 || c.width + 2 * c.size <= 0) continue;
        const GuardedBuffer b =
            DrawShadow(FullRows(c.width, c.height), c.width, Look(c.size, c.sharpness, 150, 0, 0, 0x00336699));
        const int w = b.Width(), h = b.Height();
        for (int row = 0; row < h; ++row) {
            for (int x = 0; x < w; ++x) {
                ASSERT_EQ(b.At(x, row), b.At(w - 1 - x, row)) << c.width << "x" << c.height << " at " << x << "," << row;
                ASSERT_EQ(b.At(x, row), b.At(x, h - 1 - row)) << c.width << "x" << c.height << " at " << x << "," << row;
            }
        }
        if (c.size <= 0) continue;
        EXPECT_EQ(0u, b.At(c.size + c.width / 2, c.size + c.height / 2)) << "hollow behind the window";
        if (c.size > c.sharpness || c.sharpness == 0) continue;
        EXPECT_EQ(0u, b.At(0, 0)) << "the corner is rounded away";
    }
}

TEST(ShadowOutline, BesideTheWindowTheShadowFadesAsTheKernelSays) {
    const int width = 60, height = 40;
    for (const TShadowLook& look : {Look(5, 5, 150), Look(8, 3, 200), Look(4, 10, 255), Look(6, 0, 100)}) {
        const GuardedBuffer b = DrawShadow(FullRows(width, height), width, look);
        const int middle = look.size + height / 2;
        const int bodyStart = std::max(look.sharpness, look.size);  // left end of the shrunk span
        for (int x = 0; x < look.size; ++x) {
            const BYTE expected = ExpectedEdgeAlpha(bodyStart - x, look.size, look.sharpness, look.darkness);
            EXPECT_EQ(expected, b.Alpha(x, middle)) << look.size << "/" << look.sharpness << " column " << x;
            EXPECT_EQ(CShadowUI::PreMultiply(look.color, expected), b.At(x, middle) & 0x00FFFFFF);
        }
        // Right under the window's edge nothing is left: the window covers it.
        EXPECT_EQ(0u, b.At(look.size, middle));
    }
}

TEST(ShadowOutline, TheHollowFollowsTheOffsetAndTheShadowShowsOnTheOtherSide) {
    const int width = 30, height = 20, size = 5;
    const GuardedBuffer b = DrawShadow(FullRows(width, height), width, Look(size, 5, 150, 2, 3, 0));
    // The window covers shadow columns [3, 33) and rows [2, 22).
    EXPECT_EQ(0u, b.At(3, 2));
    EXPECT_EQ(0u, b.At(32, 21));
    EXPECT_NE(0u, b.At(2, 12));
    EXPECT_NE(0u, b.At(33, 12));
    EXPECT_NE(0u, b.At(15, 22));
    EXPECT_GT(b.Alpha(34, 12), b.Alpha(1, 12)) << "darker on the side the shadow falls to";
}

TEST(ShadowOutline, AnOffsetBeyondTheShadowLeavesNoHollowAndNoStrayWrites) {
    const int width = 30, height = 20, size = 5;
    const GuardedBuffer b = DrawShadow(FullRows(width, height), width, Look(size, 0, 150, 35, 35, 0));
    EXPECT_TRUE(b.GuardsIntact());
    EXPECT_EQ(150, b.Alpha(20, 15)) << "the window is far away, the body is solid";
}

TEST(ShadowOutline, ASmallerShadowThanItsWindowStartsAsFarDownAsItStartsIn) {
    // Size -5, sharpness 3: the body spans shadow columns and rows [3, 27) of 30, and only
    // the rows below the window (moved 10 down) are seen.
    const int width = 40, height = 40;
    const GuardedBuffer b = DrawShadow(FullRows(width, height), width, Look(-5, 3, 150, 0, 10));
    ASSERT_EQ(30, b.Height());
    EXPECT_TRUE(b.GuardsIntact());
    EXPECT_EQ(0u, b.At(15, 24)) << "behind the window";
    EXPECT_EQ(150, b.Alpha(15, 26));
    EXPECT_EQ(ExpectedEdgeAlpha(1, -5, 3, 150), b.Alpha(15, 27));
    EXPECT_EQ(ExpectedEdgeAlpha(3, -5, 3, 150), b.Alpha(15, 29));
    EXPECT_EQ(ExpectedEdgeAlpha(3, -5, 3, 150), b.Alpha(0, 26)) << "as far in from the left";
}

TEST(ShadowOutline, ARoundedOutlineRoundsTheShadowAndEmptyRowsStayOpen) {
    HRGN round = CreateRoundRectRgn(0, 0, 41, 31, 16, 16);
    const auto rows = CShadowOutline::RowsOf([round](int x, int y) { return PtInRegion(round, x, y) != FALSE; }, 40,
                                             30);
    DeleteObject(round);
    ASSERT_GT(rows[0].start, 0);
    const GuardedBuffer rounded = DrawShadow(rows, 40, Look(5, 5));
    const GuardedBuffer square = DrawShadow(FullRows(40, 30), 40, Look(5, 5));
    EXPECT_TRUE(rounded.GuardsIntact());
    EXPECT_LT(rounded.Alpha(3, 3), square.Alpha(3, 3));
    EXPECT_EQ(rounded.At(2, 20), square.At(2, 20)) << "straight edges are alike";

    // Two bands with empty rows between them: the gap gets shadow from both sides.
    const auto bands = CShadowOutline::RowsOf([](int, int y) { return y < 10 || y >= 20; }, 40, 30);
    const GuardedBuffer split = DrawShadow(bands, 40, Look(5, 5));
    EXPECT_TRUE(split.GuardsIntact());
    EXPECT_NE(0, split.Alpha(25, 20)) << "shadow in the gap";
}

}  // namespace
