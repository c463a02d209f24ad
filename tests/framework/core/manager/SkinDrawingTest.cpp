// Drawing through a manager: images from its caches by description, text in its fonts.
#include <DpiScale.h>
#include <ImageDrawSpec.h>
#include <TestFiles.h>
#include <UIManager.h>
#include <UIRender.h>

#include <gtest/gtest.h>

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
