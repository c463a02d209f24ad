#include <RenderClip.h>
#include <RenderFallbacks.h>
#include <UIRender.h>

#include <gdiplus.h>

#include "Canvas.h"

using HiveUI::CRenderClip;
using HiveUI::CUIRender;

TEST(DrawColor, AlphaDecidesHowMuchShows) {
    Canvas canvas(10, 10, 0xFFFFFFFF);
    CUIRender::DrawColor(canvas.dc(), RECT{0, 0, 10, 10}, 0x00000000);
    EXPECT_TRUE(ColourNear(0xFFFFFFFF, canvas.At(5, 5), 0));
    CUIRender::DrawColor(canvas.dc(), RECT{0, 0, 10, 10}, 0x01000000);
    EXPECT_TRUE(ColourNear(0xFFFEFEFE, canvas.At(5, 5)));
    CUIRender::DrawColor(canvas.dc(), RECT{2, 2, 6, 6}, 0xFFFF0000);
    EXPECT_TRUE(ColourNear(0xFFFF0000, canvas.At(2, 2), 0));
    EXPECT_TRUE(ColourNear(0xFFFF0000, canvas.At(5, 5), 0));
    EXPECT_TRUE(ColourNear(0xFFFEFEFE, canvas.At(6, 6)));
}

namespace {

// A fill the way every colour was drawn before opaque ones were written directly.
void FillThroughGdiplus(HDC dc, const RECT& rect, DWORD color) {
    using namespace Gdiplus::DllExports;
    Gdiplus::GpGraphics* graphics = nullptr;
    Gdiplus::GpSolidFill* brush = nullptr;
    ASSERT_EQ(Gdiplus::Ok, GdipCreateFromHDC(dc, &graphics));
    ASSERT_EQ(Gdiplus::Ok, GdipCreateSolidFill(color, &brush));
    GdipFillRectangleI(graphics, brush, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    GdipDeleteBrush(brush);
    GdipDeleteGraphics(graphics);
}

void OutlineThroughGdiplus(HDC dc, const RECT& rect, int penWidth, DWORD color) {
    using namespace Gdiplus::DllExports;
    Gdiplus::GpGraphics* graphics = nullptr;
    Gdiplus::GpPen* pen = nullptr;
    ASSERT_EQ(Gdiplus::Ok, GdipCreateFromHDC(dc, &graphics));
    ASSERT_EQ(Gdiplus::Ok, GdipCreatePen1(color, static_cast<float>(penWidth), Gdiplus::UnitWorld, &pen));
    GdipSetPenMode(pen, Gdiplus::PenAlignmentInset);
    GdipDrawRectangleI(graphics, pen, rect.left, rect.top, rect.right - rect.left - 1, rect.bottom - rect.top - 1);
    GdipDeletePen(pen);
    GdipDeleteGraphics(graphics);
}

void ExpectSamePixels(const Canvas& expected, const Canvas& actual) {
    for (int i = 0; i < expected.width() * expected.height(); ++i) {
        const int x = i % expected.width(), y = i / expected.width();
        ASSERT_EQ(expected.At(x, y), actual.At(x, y)) << x << "," << y;
    }
}

}  // namespace

TEST(DrawRect, OutlinesWithThePixelsOfTheGdiplusPen) {
    const RECT rects[] = {{3, 4, 37, 21}, {10, 10, 12, 12}, {5, 6, 8, 11}, {-4, 20, 30, 40}, {20, 3, 21, 9}};
    for (bool roundClip : {false, true}) {
        for (const RECT& rect : rects) {
            for (int penWidth : {1, 2}) {
                for (DWORD color : {0xFF336699u, 0x80336699u}) {
                    SCOPED_TRACE(::testing::Message() << "round clip " << roundClip << " rect " << rect.left << ","
                                                      << rect.top << " pen " << penWidth << " colour " << std::hex
                                                      << color);
                    Canvas actual(40, 30, 0x20406080, true), expected(40, 30, 0x20406080, true);
                    for (Canvas* canvas : {&actual, &expected}) {
                        HRGN region = CreateRoundRectRgn(0, 0, 38, 28, 16, 16);
                        if (roundClip) SelectClipRgn(canvas->dc(), region);
                        DeleteObject(region);
                    }
                    CUIRender::DrawRect(actual.dc(), rect, penWidth, color);
                    OutlineThroughGdiplus(expected.dc(), rect, penWidth, color);
                    ExpectSamePixels(expected, actual);
                }
            }
        }
    }
}

// Every pixel, alpha included, on both row orders, through clip regions and a moved origin.
TEST(DrawColor, FillsThePixelsOfTheGdiplusFill) {
    const RECT rects[] = {{3, 4, 37, 21}, {-5, 20, 45, 40}, {10, 10, 10, 30}, {30, 5, 20, 15}};
    const DWORD colors[] = {0xFF336699, 0xFF000000, 0x80336699, 0xFE0080FF};
    for (bool bottomUp : {false, true}) {
        for (int clip = 0; clip < 3; ++clip) {
            for (const RECT& rect : rects) {
                for (DWORD color : colors) {
                    SCOPED_TRACE(::testing::Message() << "bottom-up " << bottomUp << " clip " << clip << " rect "
                                                      << rect.left << "," << rect.top << " colour " << std::hex << color);
                    Canvas actual(40, 30, 0x20406080, bottomUp), expected(40, 30, 0x20406080, bottomUp);
                    for (Canvas* canvas : {&actual, &expected}) {
                        HRGN region = clip == 1 ? CreateRectRgn(5, 2, 30, 25) : CreateRoundRectRgn(0, 0, 38, 28, 16, 16);
                        if (clip > 0) SelectClipRgn(canvas->dc(), region);
                        DeleteObject(region);
                        SetViewportOrgEx(canvas->dc(), clip == 2 ? 4 : 0, clip == 2 ? -3 : 0, nullptr);
                    }
                    CUIRender::DrawColor(actual.dc(), rect, color);
                    FillThroughGdiplus(expected.dc(), rect, color);
                    ExpectSamePixels(expected, actual);
                }
            }
        }
    }
}

namespace {

// Top (or left), middle and bottom (or right) of a 64-pixel gradient from red to blue.
void ExpectRedToBlue(const Canvas& canvas, bool vertical, int tolerance) {
    const auto at = [&](int i) { return vertical ? canvas.At(3, i) : canvas.At(i, 3); };
    EXPECT_TRUE(ColourNear(0xFFFF0000, at(0), tolerance));
    EXPECT_TRUE(ColourNear(0xFF800080, at(32), tolerance));
    EXPECT_TRUE(ColourNear(0xFF0000FF, at(63), tolerance));
}

}  // namespace

TEST(DrawGradient, RunsFromTheFirstColourToTheSecond) {
    for (bool vertical : {true, false}) {
        SCOPED_TRACE(vertical ? "vertical" : "horizontal");
        Canvas canvas(64, 64, 0xFF00FF00);
        CUIRender::DrawGradient(canvas.dc(), RECT{0, 0, 64, 64}, 0xFFFF0000, 0xFF0000FF, vertical, 64);
        ExpectRedToBlue(canvas, vertical, 5);
    }
}

TEST(DrawGradient, BandsWithoutGradientFill) {
    for (bool vertical : {true, false}) {
        SCOPED_TRACE(vertical ? "vertical" : "horizontal");
        Canvas canvas(64, 64, 0xFF00FF00);
        HiveUI::FillGradientBands(canvas.dc(), RECT{0, 0, 64, 64}, 0xFFFF0000, 0xFF0000FF, vertical, 64);
        ExpectRedToBlue(canvas, vertical, 5);
        // 64 steps over 64 pixels: every pixel is a band of its own.
        EXPECT_NE(canvas.At(vertical ? 3 : 0, vertical ? 0 : 3), canvas.At(vertical ? 3 : 1, vertical ? 1 : 3));
    }
    // Two steps give two bands of the two colours.
    Canvas two(8, 8, 0xFF00FF00);
    HiveUI::FillGradientBands(two.dc(), RECT{0, 0, 8, 8}, 0xFF000000, 0xFFFFFFFF, true, 2);
    EXPECT_TRUE(ColourNear(0xFF7F7F7F, two.At(0, 0), 0));
    EXPECT_TRUE(ColourNear(0xFFFFFFFF, two.At(0, 7), 0));
}

TEST(DrawGradient, MeanAlphaBlendsTheGradient) {
    Canvas canvas(16, 16, 0xFF000000);
    CUIRender::DrawGradient(canvas.dc(), RECT{0, 0, 16, 16}, 0x00FFFFFF, 0xFFFFFFFF, true, 16);
    EXPECT_TRUE(ColourNear(0xFF7F7F7F, canvas.At(8, 8)));
    EXPECT_TRUE(ColourNear(0xFF7F7F7F, canvas.At(0, 0)));
    Canvas clear(16, 16, 0xFF000000);
    CUIRender::DrawGradient(clear.dc(), RECT{0, 0, 16, 16}, 0x00FFFFFF, 0x01FFFFFF, true, 16);
    EXPECT_TRUE(ColourNear(0xFF000000, clear.At(8, 8), 0));
}

TEST(Shapes, LineRectangleAndRoundRectangle) {
    Canvas canvas(40, 40, 0xFF000000);
    CUIRender::DrawLine(canvas.dc(), RECT{2, 2, 30, 2}, 1, 0xFF00FF00);
    EXPECT_TRUE(ColourNear(0xFF00FF00, canvas.At(15, 2), 0));
    EXPECT_TRUE(ColourNear(0xFF000000, canvas.At(15, 3), 0));

    CUIRender::DrawRect(canvas.dc(), RECT{5, 5, 15, 15}, 1, 0xFFFF0000);
    EXPECT_TRUE(ColourNear(0xFFFF0000, canvas.At(5, 10), 0));
    EXPECT_TRUE(ColourNear(0xFFFF0000, canvas.At(10, 14), 0));
    EXPECT_TRUE(ColourNear(0xFF000000, canvas.At(10, 10), 0));
    EXPECT_TRUE(ColourNear(0xFF000000, canvas.At(10, 15), 0));

    CUIRender::DrawRoundRect(canvas.dc(), RECT{20, 20, 40, 40}, 1, 10, 10, 0xFFFFFFFF);
    EXPECT_TRUE(ColourNear(0xFF000000, canvas.At(20, 20), 0));   // the corner is cut
    EXPECT_TRUE(ColourNear(0xFFFFFFFF, canvas.At(30, 20), 20));  // the edge is drawn
    EXPECT_TRUE(ColourNear(0xFF000000, canvas.At(30, 30), 0));   // no fill
}

TEST(Shapes, RoundPathFillsWithThePenColourWhenTheFillHasNoAlpha) {
    Canvas canvas(30, 30, 0xFF000000);
    CUIRender::DrawRoundRectPath(canvas.dc(), 2, 2, 25, 25, 8, 0xFF0000FF, 1, true, 0x00FF0000);
    EXPECT_TRUE(ColourNear(0xFF0000FF, canvas.At(15, 15), 0));
    CUIRender::DrawRoundRectPath(canvas.dc(), 2, 2, 25, 25, 8, 0xFF0000FF, 1, true, 0xFF00FF00);
    EXPECT_TRUE(ColourNear(0xFF00FF00, canvas.At(15, 15), 0));
    EXPECT_TRUE(ColourNear(0xFF000000, canvas.At(2, 2), 0));
}

TEST(RenderClip, RectangleAndRoundClipsRestoreTheOldClipBox) {
    Canvas canvas(40, 40, 0xFF000000);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    const RECT all = {0, 0, 40, 40};
    {
        CRenderClip clip;
        CRenderClip::GenerateRoundClip(canvas.dc(), RECT{0, 0, 40, 40}, RECT{10, 10, 30, 30}, 10, 10, clip);
        FillRect(canvas.dc(), &all, red);
        EXPECT_TRUE(ColourNear(0xFF000000, canvas.At(10, 10), 0));  // rounded corner left untouched
        EXPECT_TRUE(ColourNear(0xFF000000, canvas.At(30, 30), 0));
        EXPECT_TRUE(ColourNear(0xFFFF0000, canvas.At(20, 20), 0));
        EXPECT_TRUE(ColourNear(0xFFFF0000, canvas.At(20, 10), 0));
        EXPECT_TRUE(ColourNear(0xFF000000, canvas.At(5, 20), 0));
    }
    canvas.Fill(0xFF000000);
    {
        CRenderClip clip;
        CRenderClip::GenerateClip(canvas.dc(), RECT{5, 5, 10, 10}, clip);
        FillRect(canvas.dc(), &all, red);
        EXPECT_TRUE(ColourNear(0xFFFF0000, canvas.At(7, 7), 0));
        EXPECT_TRUE(ColourNear(0xFF000000, canvas.At(12, 7), 0));
        CRenderClip::UseOldClipBegin(canvas.dc(), clip);
        const RECT border = {12, 0, 14, 2};
        FillRect(canvas.dc(), &border, red);
        CRenderClip::UseOldClipEnd(canvas.dc(), clip);
        EXPECT_TRUE(ColourNear(0xFFFF0000, canvas.At(12, 1), 0));
        const RECT outside = {20, 20, 22, 22};
        FillRect(canvas.dc(), &outside, red);
        EXPECT_TRUE(ColourNear(0xFF000000, canvas.At(21, 21), 0));
    }
    FillRect(canvas.dc(), &all, red);
    EXPECT_TRUE(ColourNear(0xFFFF0000, canvas.At(39, 39), 0));
    DeleteObject(red);
}

TEST(Bitmaps, ARGB32BitmapIsBottomUp) {
    BYTE* bits = nullptr;
    HBITMAP bitmap = CUIRender::CreateARGB32Bitmap(nullptr, 3, 2, &bits);
    ASSERT_NE(nullptr, bitmap);
    ASSERT_NE(nullptr, bits);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SetPixel(dc, 0, 1, RGB(1, 2, 3));
    GdiFlush();
    EXPECT_EQ(3, bits[0]);
    EXPECT_EQ(2, bits[1]);
    EXPECT_EQ(1, bits[2]);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

TEST(Colours, MixAndAvoidBlack) {
    EXPECT_EQ(0x00808080u, CUIRender::MixColor(0xFFFFFFFF, 0.5, 0xFF000000, 0.5) + 0x00010101);
    EXPECT_EQ(0x00102030u, CUIRender::MixColor(0x80102030, 1.0, 0xFFFFFFFF, 0.0));
    struct Case {
        DWORD in, out;
    } cases[] = {
        {0xFF000000, 0xFF000001}, {0xFF000100, 0xFF000100}, {0x00000000, 0x00000001}, {0xFF010000, 0xFF010000},
    };
    for (const Case& c : cases) {
        DWORD colour = c.in;
        CUIRender::AvoidBlackColor(colour);
        EXPECT_EQ(c.out, colour);
    }
}

TEST(Hsl, KnownColoursAndRoundTrips) {
    struct Case {
        DWORD colour;
        float hue, saturation, lightness;
    } cases[] = {
        {0xFFFF0000, 0, 1, 0.5f},   {0xFF00FF00, 120, 1, 0.5f}, {0xFF0000FF, 240, 1, 0.5f},
        {0xFF00FFFF, 180, 1, 0.5f}, {0xFF808080, 0, 0, 128 / 255.0f}, {0xFFFFFFFF, 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.colour);
        double h, s, l;
        CUIRender::RgbToHsl(c.colour, &h, &s, &l);
        EXPECT_NEAR(c.hue, h, 0.01);
        EXPECT_NEAR(c.saturation, s, 0.01);
        EXPECT_NEAR(c.lightness, l, 0.01);
    }
    for (DWORD r = 0; r < 256; r += 51) {
        for (DWORD g = 0; g < 256; g += 17) {
            for (DWORD b = 0; b < 256; b += 85) {
                const DWORD colour = 0x7F000000 | (r << 16) | (g << 8) | b;
                double h, s, l;
                CUIRender::RgbToHsl(colour, &h, &s, &l);
                DWORD back = 0x7F000000;
                CUIRender::HslToRgb(&back, h, s, l);
                ASSERT_TRUE(ColourNear(colour, back)) << r << "," << g << "," << b;
                ASSERT_EQ(0x7Fu, back >> 24);
                ASSERT_EQ(colour, CUIRender::AdjustColor(colour, 180, 100, 100));
            }
        }
    }
}

TEST(Hsl, AdjustColorShiftsHueAndScalesSaturationAndLightness) {
    EXPECT_EQ(0xFF00FFFFu, CUIRender::AdjustColor(0xFFFF0000, 360, 100, 100));
    EXPECT_TRUE(ColourNear(0xFF00FF00, CUIRender::AdjustColor(0xFFFF0000, 300, 100, 100)));
    EXPECT_TRUE(ColourNear(0xFF808080, CUIRender::AdjustColor(0xFFFF0000, 180, 0, 100)));
    EXPECT_TRUE(ColourNear(0xFF000000, CUIRender::AdjustColor(0xFFFF0000, 180, 100, 0)));
    EXPECT_EQ(0x12000000u, CUIRender::AdjustColor(0x12FF0000, 360, 100, 100) & 0xFF000000);
}

TEST(Hsl, AdjustImageWritesTheBitmapAndRestoresTheSavedPixels) {
    BYTE* bits = nullptr;
    HiveUI::TImageData image;
    image.bitmap = CUIRender::CreateARGB32Bitmap(nullptr, 2, 1, &bits);
    image.width = 2;
    image.height = 1;
    const DWORD original[2] = {0xFFFF0000, 0x80800000};
    memcpy(bits, original, 8);
    image.pixels = new BYTE[8];
    image.savedPixels = new BYTE[8];
    memcpy(image.pixels, original, 8);
    memcpy(image.savedPixels, original, 8);

    CUIRender::AdjustImage(true, &image, 360, 100, 100);  // not marked for adjustment
    EXPECT_EQ(0, memcmp(bits, original, 8));
    image.useHSL = true;
    CUIRender::AdjustImage(true, &image, 360, 100, 100);
    DWORD adjusted[2];
    memcpy(adjusted, bits, 8);
    EXPECT_TRUE(ColourNear(0xFF00FFFF, adjusted[0]));
    EXPECT_EQ(0x80u, adjusted[1] >> 24);
    EXPECT_EQ(0, memcmp(image.pixels, adjusted, 8));
    CUIRender::AdjustImage(false, &image, 360, 100, 100);
    EXPECT_EQ(0, memcmp(bits, original, 8));
    CUIRender::FreeImage(&image, false);
}
