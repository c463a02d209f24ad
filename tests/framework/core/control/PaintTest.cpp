#include <UIControl.h>
#include <UIManager.h>

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <string>
#include <vector>

#include "TestBox.h"

using namespace HiveUI;

namespace {

class PaintRecorder : public CControlUI {
public:
    void PaintBkColor(HDC) override { steps.push_back("bkcolor"); }
    void PaintBkImage(HDC) override { steps.push_back("bkimage"); }
    void PaintStatusImage(HDC) override { steps.push_back("status"); }
    void PaintForeColor(HDC) override { steps.push_back("forecolor"); }
    void PaintForeImage(HDC) override { steps.push_back("foreimage"); }
    void PaintText(HDC) override { steps.push_back("text"); }
    void PaintBorder(HDC) override { steps.push_back("border"); }
    std::vector<std::string> steps;
};

TEST(ControlPaint, StepsRunInTheirFixedOrderOnlyWhereThePaintRectMeetsTheControl) {
    PixelCanvas canvas(40, 40);
    PaintRecorder control;
    control.SetPos(RECT{10, 10, 30, 30});
    EXPECT_TRUE(control.Paint(canvas.dc(), RECT{0, 0, 5, 5}, nullptr));
    EXPECT_TRUE(control.steps.empty());
    EXPECT_FALSE(control.Paint(canvas.dc(), RECT{0, 0, 40, 40}, &control));
    EXPECT_TRUE(control.steps.empty());
    control.SetBorderRound(SIZE{6, 6});
    EXPECT_TRUE(control.Paint(canvas.dc(), RECT{0, 0, 40, 40}, nullptr));
    EXPECT_EQ((std::vector<std::string>{"bkcolor", "bkimage", "status", "forecolor", "foreimage", "text", "border"}),
              control.steps);
}

TEST(ControlPaint, OpaqueBackgroundFillsOnlyThePaintRect) {
    PixelCanvas canvas(40, 40);
    CControlUI control;
    control.SetPos(RECT{0, 0, 40, 40});
    control.SetBkColor(0xFF102030);
    control.Paint(canvas.dc(), RECT{0, 0, 20, 40}, nullptr);
    EXPECT_EQ(0x102030u, canvas.rgb(5, 5));
    EXPECT_EQ(0x102030u, canvas.rgb(19, 39));
    EXPECT_EQ(0xFFFFFFu, canvas.rgb(25, 5));
}

TEST(ControlPaint, ThreeBackgroundColoursMakeTwoGradientsSplitAtTheMiddle) {
    PixelCanvas canvas(20, 40);
    CControlUI control;
    control.SetPos(RECT{0, 0, 20, 40});
    control.SetBkColor(0xFFFF0000);
    control.SetBkColor2(0xFF00FF00);
    control.SetBkColor3(0xFF0000FF);
    control.Paint(canvas.dc(), RECT{0, 0, 20, 40}, nullptr);
    EXPECT_GT((canvas.rgb(10, 0) >> 16) & 0xFF, 0xE0u);
    EXPECT_GT((canvas.rgb(10, 19) >> 8) & 0xFF, 0xE0u);
    EXPECT_GT((canvas.rgb(10, 20) >> 8) & 0xFF, 0xE0u);
    EXPECT_GT(canvas.rgb(10, 39) & 0xFF, 0xE0u);
    EXPECT_EQ(0u, canvas.rgb(10, 39) >> 16);
}

TEST(ControlPaint, HorizontalGradientRunsLeftToRight) {
    PixelCanvas canvas(40, 10);
    CControlUI control;
    control.SetPos(RECT{0, 0, 40, 10});
    control.SetGradient(L"HOR");
    control.SetBkColor(0xFF000000);
    control.SetBkColor2(0xFFFFFFFF);
    control.Paint(canvas.dc(), RECT{0, 0, 40, 10}, nullptr);
    EXPECT_LT(canvas.rgb(0, 5) & 0xFF, 0x20u);
    EXPECT_GT(canvas.rgb(39, 5) & 0xFF, 0xE0u);
    EXPECT_EQ(canvas.rgb(20, 0), canvas.rgb(20, 9));
}

TEST(ControlPaint, BorderFormsPickTheirColourAndSides) {
    PixelCanvas canvas(30, 30);
    CControlUI control;
    control.SetPos(RECT{0, 0, 30, 30});
    control.SetBorderColor(0xFF0000FF);
    control.SetBorderRect(0, 2, 0, 0);
    control.Paint(canvas.dc(), RECT{0, 0, 30, 30}, nullptr);
    EXPECT_EQ(0x0000FFu, canvas.rgb(15, 0));
    EXPECT_EQ(0xFFFFFFu, canvas.rgb(0, 15));
    EXPECT_EQ(0xFFFFFFu, canvas.rgb(29, 15));
    EXPECT_EQ(0xFFFFFFu, canvas.rgb(15, 29));

    PixelCanvas uniform(30, 30);
    control.SetBorderRect(0, 0, 0, 0);
    control.SetBorderSize(1);
    control.SetFocusBorderColor(0xFF00FF00);
    control.Paint(uniform.dc(), RECT{0, 0, 30, 30}, nullptr);
    EXPECT_EQ(0x0000FFu, uniform.rgb(0, 15));
    EXPECT_EQ(0x0000FFu, uniform.rgb(29, 15));
    EXPECT_EQ(0xFFFFFFu, uniform.rgb(15, 15));

    PixelCanvas focused(30, 30);
    TEventInfo event;
    event.Type = UIEVENT_SETFOCUS;
    control.Event(event);
    control.Paint(focused.dc(), RECT{0, 0, 30, 30}, nullptr);
    EXPECT_EQ(0x00FF00u, focused.rgb(0, 15));
    EXPECT_EQ(0x00FF00u, focused.rgb(15, 29));
}

TEST(ControlPaint, BackgroundImageComesFromTheSkinFolderAndForeColourBlendsOverIt) {
    const char* tmp = getenv("TALLYHIVE_TEST_TMP");
    ASSERT_NE(nullptr, tmp);
    std::vector<unsigned char> rgba(8 * 8 * 4);
    for (size_t i = 0; i < rgba.size(); i += 4) {
        rgba[i] = 0xFF;
        rgba[i + 3] = 0xFF;
    }
    std::string png;
    stbi_write_png_to_func([](void* context, void* data, int size) {
        static_cast<std::string*>(context)->append(static_cast<const char*>(data), size);
    }, &png, 8, 8, 4, rgba.data(), 8 * 4);
    std::string path = std::string(tmp) + "\\controlbk.png";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
    CloseHandle(file);
    std::wstring folder(tmp, tmp + strlen(tmp));
    CPaintManagerUI::SetResourcePath(folder.c_str());

    CPaintManagerUI manager;
    PixelCanvas canvas(30, 30);
    CControlUI control;
    control.SetManager(&manager, nullptr, false);
    control.SetPos(RECT{0, 0, 30, 30});
    control.SetBkImage(L"file='controlbk.png' dest='5,5,15,15'");
    control.SetForeColor(0x800000FF);
    control.Paint(canvas.dc(), RECT{0, 0, 30, 30}, nullptr);
    DWORD inside = canvas.rgb(10, 10);
    DWORD outside = canvas.rgb(25, 25);
    EXPECT_GT((inside >> 16) & 0xFF, 0x60u);
    EXPECT_GT(inside & 0xFF, 0x60u);
    EXPECT_EQ(0u, (inside >> 8) & 0xFF);
    EXPECT_EQ(0xFFu, outside & 0xFF);
    EXPECT_LT((outside >> 16) & 0xFF, 0xA0u);
    EXPECT_FALSE(control.DrawImage(nullptr, L"controlbk.png"));
    control.SetManager(nullptr, nullptr, false);
}

TEST(ControlLayout, SetPosRaisesInvertedEdgesAndRelativePosFollowsTheParent) {
    TestBox parent;
    parent.SetPos(RECT{10, 20, 110, 120});
    CControlUI* child = parent.Add(new CControlUI, RECT{30, 50, 20, 40});
    EXPECT_EQ(30, child->GetPos().right);
    EXPECT_EQ(50, child->GetPos().bottom);
    RECT relative = child->GetRelativePos();
    EXPECT_EQ(20, relative.left);
    EXPECT_EQ(30, relative.top);
    CControlUI orphan;
    orphan.SetPos(RECT{5, 5, 9, 9});
    relative = orphan.GetRelativePos();
    EXPECT_TRUE(IsRectEmpty(&relative) && relative.left == 0);
}

TEST(ControlLayout, OnSizeFiresOnceEvenWhenItsHandlerMovesTheControlAgain) {
    struct Mover {
        CControlUI* control;
        int count = 0;
        bool Moved(void*) {
            ++count;
            control->SetPos(RECT{1, 1, 2, 2});
            return true;
        }
    };
    CPaintManagerUI manager;
    CControlUI control;
    Mover mover{&control};
    control.OnSize += MakeDelegate(&mover, &Mover::Moved);
    control.SetPos(RECT{0, 0, 5, 5});
    EXPECT_EQ(0, mover.count);
    control.SetManager(&manager, nullptr, false);
    EXPECT_TRUE(control.IsLayoutNeeded());
    control.SetPos(RECT{0, 0, 5, 5});
    EXPECT_EQ(1, mover.count);
    EXPECT_EQ(2, control.GetPos().right);
    EXPECT_FALSE(control.IsLayoutNeeded());
    control.SetManager(nullptr, nullptr, false);
}

class InvalidateWindow : public testing::Test {
protected:
    void SetUp() override {
        wnd_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                               nullptr);
        manager_.Init(wnd_);
        root_ = new TestBox;
        root_->SetPos(RECT{0, 0, 100, 100});
        inner_ = root_->Add(new TestBox, RECT{10, 10, 50, 50});
        leaf_ = inner_->Add(new CControlUI, RECT{40, 40, 80, 80});
        manager_.AttachRoot(root_);
        ValidateRect(wnd_, nullptr);
    }
    void TearDown() override { DestroyWindow(wnd_); }

    RECT Dirty() {
        RECT rc = {0, 0, 0, 0};
        GetUpdateRect(wnd_, &rc, FALSE);
        ValidateRect(wnd_, nullptr);
        return rc;
    }

    HWND wnd_ = nullptr;
    CPaintManagerUI manager_;
    TestBox* root_ = nullptr;
    TestBox* inner_ = nullptr;
    CControlUI* leaf_ = nullptr;
};

TEST_F(InvalidateWindow, RepaintIsClippedToEveryAncestor) {
    leaf_->Invalidate();
    RECT dirty = Dirty();
    EXPECT_EQ(40, dirty.left);
    EXPECT_EQ(50, dirty.right);
    EXPECT_EQ(50, dirty.bottom);
    leaf_->InvalidateClipped();
    dirty = Dirty();
    EXPECT_EQ(40, dirty.left);
    EXPECT_EQ(50, dirty.bottom);
    inner_->SetVisible(false);
    ValidateRect(wnd_, nullptr);
    leaf_->SetPos(RECT{41, 41, 80, 80});
    dirty = Dirty();
    EXPECT_TRUE(IsRectEmpty(&dirty));
}

TEST_F(InvalidateWindow, SameTextRepaintsNothingAndANewTextRepaintsTheControl) {
    leaf_->SetText(L"same");
    Dirty();
    leaf_->SetText(L"same");
    RECT dirty = Dirty();
    EXPECT_TRUE(IsRectEmpty(&dirty));
    leaf_->SetText(L"other");
    dirty = Dirty();
    EXPECT_FALSE(IsRectEmpty(&dirty));
}

TEST_F(InvalidateWindow, HidingTheFocusedControlLeavesTheManagerWithoutFocus) {
    manager_.SetFocus(leaf_);
    ASSERT_EQ(leaf_, manager_.GetFocus());
    EXPECT_TRUE(leaf_->IsFocused());
    leaf_->SetVisible(false);
    EXPECT_EQ(nullptr, manager_.GetFocus());
    EXPECT_FALSE(leaf_->IsFocused());
    leaf_->SetVisible(true);
    manager_.SetFocus(leaf_);
    inner_->SetEnabled(false);
    leaf_->SetVisibleByParent(false);
    EXPECT_EQ(nullptr, manager_.GetFocus());
    EXPECT_FALSE(leaf_->IsVisible());
}

}  // namespace
