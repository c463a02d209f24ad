#include <TextPainter.h>

#include "Canvas.h"

using HiveUI::MeasureText;
using HiveUI::PaintTextGdi;
using HiveUI::PaintTextGdiplus;

namespace {

class Font {
public:
    Font() : m_font(CreateFontW(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0,
                                L"Tahoma")) {}
    ~Font() { DeleteObject(m_font); }
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    HFONT get() const { return m_font; }

private:
    HFONT m_font;
};

// The rightmost column holding ink that differs from the background, or -1.
int RightmostInk(const Canvas& canvas, DWORD background) {
    for (int x = canvas.width() - 1; x >= 0; --x)
        for (int y = 0; y < canvas.height(); ++y)
            if ((canvas.At(x, y) & 0xFFFFFF) != (background & 0xFFFFFF)) return x;
    return -1;
}

bool SamePixels(const Canvas& a, const Canvas& b) {
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.At(x, y) & 0xFFFFFF) != (b.At(x, y) & 0xFFFFFF)) return false;
    return true;
}

}  // namespace

TEST(TextPainter, GdiDrawsTheSingleCharacterOfAHexadecimalCode) {
    Font font;
    Canvas plain(120, 30, 0xFFFFFFFF);
    RECT rect = {0, 0, 120, 30};
    PaintTextGdi(plain.dc(), rect, L"A", 0xFF000000, font.get(), DT_SINGLELINE);
    ASSERT_GE(RightmostInk(plain, 0xFFFFFFFF), 0);
    for (const wchar_t* text : {L"&#x41;", L"&#x0041;", L"&#x0041 ", L"before &#x00410000"}) {
        SCOPED_TRACE(testing::Message() << "case " << text);
        Canvas coded(120, 30, 0xFFFFFFFF);
        RECT codedRect = {0, 0, 120, 30};
        PaintTextGdi(coded.dc(), codedRect, text, 0xFF000000, font.get(), DT_SINGLELINE);
        EXPECT_TRUE(SamePixels(plain, coded));
    }
}

TEST(TextPainter, GdiplusDrawsCodesAsTheyAre) {
    Font font;
    Canvas single(200, 30, 0xFFFFFFFF), coded(200, 30, 0xFFFFFFFF);
    RECT rect = {0, 0, 200, 30};
    PaintTextGdiplus(single.dc(), rect, L"A", 0xFF000000, font.get(), 0, DT_SINGLELINE);
    rect = RECT{0, 0, 200, 30};
    PaintTextGdiplus(coded.dc(), rect, L"&#x0041;", 0xFF000000, font.get(), 0, DT_SINGLELINE);
    const int singleInk = RightmostInk(single, 0xFFFFFFFF);
    ASSERT_GE(singleInk, 0);
    EXPECT_GT(RightmostInk(coded, 0xFFFFFFFF), singleInk + 20);
}

TEST(TextPainter, GdiplusAlignsAndMeasures) {
    Font font;
    Canvas left(200, 30, 0xFFFFFFFF), right(200, 30, 0xFFFFFFFF);
    RECT rect = {0, 0, 200, 30};
    PaintTextGdiplus(left.dc(), rect, L"Hi", 0xFF000000, font.get(), 99, DT_SINGLELINE);
    rect = RECT{0, 0, 200, 30};
    PaintTextGdiplus(right.dc(), rect, L"Hi", 0xFF000000, font.get(), 99, DT_SINGLELINE | DT_RIGHT);
    EXPECT_LT(RightmostInk(left, 0xFFFFFFFF), 100);
    EXPECT_GT(RightmostInk(right, 0xFFFFFFFF), 180);

    Canvas untouched(200, 30, 0xFFFFFFFF);
    RECT measured = {10, 5, 200, 30};
    PaintTextGdiplus(untouched.dc(), measured, L"Hello", 0xFF000000, font.get(), 0, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(-1, RightmostInk(untouched, 0xFFFFFFFF));
    EXPECT_EQ(10, measured.left);
    EXPECT_GT(measured.right, 30);
    EXPECT_LT(measured.right, 200);
    EXPECT_GT(measured.bottom, 5 + 10);
    RECT longer = {10, 5, 400, 30};
    PaintTextGdiplus(untouched.dc(), longer, L"Hello Hello", 0xFF000000, font.get(), 0, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_GT(longer.right, measured.right);
}

TEST(TextPainter, MeasureTextFollowsTheFont) {
    Font font;
    Canvas canvas(10, 10);
    const SIZE one = MeasureText(canvas.dc(), L"A", font.get());
    const SIZE two = MeasureText(canvas.dc(), L"AA", font.get());
    EXPECT_GT(one.cx, 0);
    EXPECT_EQ(2 * one.cx, two.cx);
    EXPECT_GE(one.cy, 18);
    const SIZE none = MeasureText(canvas.dc(), nullptr, font.get());
    EXPECT_EQ(0, none.cx);
    EXPECT_EQ(0, none.cy);
}
