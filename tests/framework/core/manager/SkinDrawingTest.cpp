// Drawing through a manager: images from its caches by description, text in its fonts.
#include <DpiScale.h>
#include <ImageDrawSpec.h>
#include <TestFiles.h>
#include <UIManager.h>
#include <UIRender.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "../render/Canvas.h"
#include "ManagerTestKit.h"

using HiveUI::CPaintManagerUI;
using HiveUI::CUIRender;
using HiveUI::TImageDrawSpec;

namespace {

const DWORD kBack = 0xFF000000;
const DWORD kRed = 0xFFFF0000;

class SkinDrawing : public testing::Test {
protected:
    void SetUp() override {
        const std::wstring folder = TestFiles::TempFolder() + L"skindraw\\";
        CreateDirectoryW(folder.c_str(), nullptr);
        ASSERT_TRUE(TestFiles::Write(folder + L"red.png", ManagerTest::SolidPng(8, 8, kRed)));
        CPaintManagerUI::SetResourcePath(folder.c_str());
        window_ = ManagerTest::CreatePlainWindow();
        manager_.Init(window_);
    }
    void TearDown() override {
        DestroyWindow(window_);
        CPaintManagerUI::SetResourcePath(L"");
    }

    HWND window_ = nullptr;
    CPaintManagerUI manager_;
};

// Counts pixels that are not the background.
int Painted(const Canvas& canvas, const RECT& area) {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) n += (canvas.At(x, y) & 0xFFFFFF) != (kBack & 0xFFFFFF);
    return n;
}

TEST_F(SkinDrawing, ADestinationIsPlacedInsideTheItemAndCutAtItsEdges) {
    Canvas canvas(40, 40, kBack);
    const RECT item{10, 10, 30, 30}, paint{0, 0, 40, 40};
    ASSERT_TRUE(CUIRender::DrawImageString(canvas.dc(), &manager_, item, paint, L"file='red.png' dest='2,2,6,6'"));
    EXPECT_TRUE(ColourNear(kRed, canvas.At(12, 12)));
    EXPECT_TRUE(ColourNear(kRed, canvas.At(15, 15)));
    EXPECT_EQ(16, Painted(canvas, RECT{0, 0, 40, 40}));
    // A destination reaching past the item is cut to it.
    canvas.Fill(kBack);
    ASSERT_TRUE(CUIRender::DrawImageString(canvas.dc(), &manager_, item, paint, L"file='red.png' dest='15,15,40,40'"));
    EXPECT_EQ(25, Painted(canvas, RECT{0, 0, 40, 40}));
    EXPECT_TRUE(ColourNear(kBack, canvas.At(30, 30)));
}

TEST_F(SkinDrawing, MissingImagesFailAndDestinationsOutsideThePaintAreaDrawNothing) {
    Canvas canvas(40, 40, kBack);
    const RECT item{0, 0, 20, 20};
    EXPECT_FALSE(CUIRender::DrawImageString(canvas.dc(), &manager_, item, item, L"file='none.png'"));
    EXPECT_FALSE(CUIRender::DrawImageString(canvas.dc(), &manager_, item, item, L""));
    EXPECT_FALSE(CUIRender::DrawImageString(canvas.dc(), nullptr, item, item, L"red.png"));
    EXPECT_TRUE(CUIRender::DrawImageString(canvas.dc(), &manager_, item, RECT{30, 30, 40, 40}, L"red.png"));
    EXPECT_EQ(0, Painted(canvas, RECT{0, 0, 40, 40}));
    // A bare file name fills the whole item, stretched.
    EXPECT_TRUE(CUIRender::DrawImageString(canvas.dc(), &manager_, item, item, L"red.png"));
    EXPECT_EQ(400, Painted(canvas, RECT{0, 0, 40, 40}));
}

TEST_F(SkinDrawing, ASourceBeyondTheImageIsLimitedToIt) {
    Canvas canvas(20, 20, kBack);
    const RECT item{0, 0, 16, 16};
    // Source 4..100 of an 8-pixel image is 4..8: half of the image stretched over the item.
    ASSERT_TRUE(CUIRender::DrawImageString(canvas.dc(), &manager_, item, item, L"file='red.png' source='4,4,100,100'"));
    EXPECT_EQ(256, Painted(canvas, RECT{0, 0, 20, 20}));
}

TEST_F(SkinDrawing, DescriptionsTakeTheManagersDpiScale) {
    manager_.GetDpiScale()->SetScale(144);
    ASSERT_EQ(150, manager_.GetDpiScale()->GetScale());
    const TImageDrawSpec* spec = manager_.GetImageDrawSpec(L"file='bg.png' corner='2,4,6,8'");
    ASSERT_NE(nullptr, spec);
    EXPECT_STREQ(L"bg@150.png", spec->name.GetData());
    EXPECT_EQ(3, spec->corner.left);
    EXPECT_EQ(12, spec->corner.bottom);
    CPaintManagerUI other;
    EXPECT_STREQ(L"bg.png", other.GetImageDrawSpec(L"file='bg.png'")->name.GetData());
}

TEST_F(SkinDrawing, TextIsDrawnAndMeasuredInTheManagersFonts) {
    Canvas canvas(120, 40, 0xFFFFFFFF);
    RECT rect{0, 0, 120, 40};
    CUIRender::DrawText(canvas.dc(), &manager_, rect, L"Pets", 0xFF000000, -1, DT_SINGLELINE | DT_LEFT | DT_TOP);
    int dark = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x) dark += (canvas.At(x, y) & 0xFF) < 0x80;
    EXPECT_GT(dark, 10);
    const SIZE small = CUIRender::GetTextSize(canvas.dc(), &manager_, L"Pets", -1);
    EXPECT_GT(small.cx, 0);
    ASSERT_NE(nullptr, manager_.AddFont(7, L"Tahoma", 40, false, false, false));
    const SIZE large = CUIRender::GetTextSize(canvas.dc(), &manager_, L"Pets", 7);
    EXPECT_GT(large.cx, small.cx);
    EXPECT_GT(large.cy, small.cy);
    const SIZE none = CUIRender::GetTextSize(canvas.dc(), nullptr, L"Pets", -1);
    EXPECT_EQ(0, none.cx);
    EXPECT_EQ(0, CUIRender::GetTextSize(canvas.dc(), &manager_, L"", -1).cy);
}

// An image drawn again at one size comes from its cells composed once: every later
// drawing must give the pixels of drawing the bitmap afresh, whatever is painted or clipped.
TEST_F(SkinDrawing, ANineGridDrawnAgainAtOneSizeKeepsItsPixels) {
    std::vector<unsigned char> rgba;
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 24; ++x) {
            const int edge = std::min(std::min(x, y), std::min(23 - x, 23 - y));
            rgba.insert(rgba.end(), {static_cast<unsigned char>(x * 10), static_cast<unsigned char>(y * 10), 200,
                                     static_cast<unsigned char>(edge >= 6 ? 255 : edge * 40 + 10)});
        }
    }
    std::string png;
    stbi_write_png_to_func(ManagerTest::Append, &png, 24, 24, 4, rgba.data(), 24 * 4);
    ASSERT_TRUE(TestFiles::Write(TestFiles::TempFolder() + L"skindraw\\shadow.png", png));
    const struct {
        const wchar_t* description;
        RECT paint;
        bool roundClip;
    } cases[] = {
        {L"file='shadow.png' corner='6,6,6,6'", {0, 0, 120, 80}, false},
        {L"file='shadow.png' corner='6,6,6,6'", {50, 0, 120, 30}, false},
        {L"file='shadow.png' corner='6,6,6,6'", {0, 0, 120, 80}, true},
        {L"file='shadow.png' corner='6,6,6,6' fade='128'", {0, 0, 120, 80}, false},
        {L"file='shadow.png' corner='6,6,6,6' xtiled='true' hole='false'", {30, 20, 90, 70}, false},
        {L"file='shadow.png' corner='6,0,6,0' ytiled='true'", {0, 0, 120, 80}, true},
    };
    const RECT item = {7, 5, 110, 71};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.description << " paint left " << c.paint.left << " round " << c.roundClip);
        const TImageDrawSpec* spec = manager_.GetImageDrawSpec(c.description);
        ASSERT_NE(nullptr, spec);
        for (int round = 0; round < 3; ++round) {
            Canvas actual(120, 80, 0x80204060), expected(120, 80, 0x80204060);
            for (Canvas* canvas : {&actual, &expected}) {
                HRGN region = CreateRoundRectRgn(0, 0, 100, 70, 30, 30);
                if (c.roundClip) SelectClipRgn(canvas->dc(), region);
                DeleteObject(region);
            }
            ASSERT_TRUE(CUIRender::DrawImageString(actual.dc(), &manager_, item, c.paint, c.description));
            CUIRender::DrawImage(expected.dc(), manager_.GetImage(L"shadow.png")->bitmap, item, c.paint,
                                 RECT{0, 0, 24, 24}, spec->corner, true, spec->fade, spec->hole, spec->xTiled,
                                 spec->yTiled);
            for (int i = 0; i < 120 * 80; ++i)
                ASSERT_EQ(expected.At(i % 120, i / 120), actual.At(i % 120, i / 120))
                    << "round " << round << " at " << i % 120 << "," << i / 120;
        }
    }
}

TEST_F(SkinDrawing, TextWithBackgroundFillsTheRectangleFirst) {
    Canvas canvas(60, 30, kBack);
    RECT rect{10, 5, 50, 25};
    CUIRender::DrawTextWithBackground(canvas.dc(), &manager_, rect, L"x", 0xFF000000, -1, DT_SINGLELINE,
                                      0xFF00FF00);
    EXPECT_TRUE(ColourNear(0xFF00FF00, canvas.At(48, 23)));
    EXPECT_TRUE(ColourNear(kBack, canvas.At(5, 5)));
    canvas.Fill(kBack);
    CUIRender::DrawTextWithBackground(canvas.dc(), &manager_, rect, L"", 0xFF000000, -1, DT_SINGLELINE, 0xFF00FF00);
    EXPECT_TRUE(ColourNear(kBack, canvas.At(48, 23)));
}

}  // namespace
