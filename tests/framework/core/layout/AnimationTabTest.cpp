#include <UIAnimationTabLayout.h>
#include <UIManager.h>

#include "LayoutKit.h"

using namespace HiveUI;

namespace {

class AnimationTabWindow : public testing::Test {
protected:
    void SetUp() override {
        wnd_ = CreateWindowExW(0, L"STATIC", L"slide", WS_POPUP, 0, 0, 500, 200, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, wnd_);
        manager_.Init(wnd_);
        tab_ = new CAnimationTabLayoutUI;
        manager_.AttachRoot(tab_);
        AddKids(*tab_, {{}, {}, {}});
        tab_->SetPos({0, 0, 400, 100}, false);
    }
    void TearDown() override { DestroyWindow(wnd_); }

    // The ticks of the slide, driven here instead of by the window's timer; each answers
    // the page's rect after it.
    std::vector<std::string> RunSlide(int page) {
        std::vector<std::string> steps;
        while (tab_->IsAnimationRunning(CAnimationTabLayoutUI::kSlideAnimation)) {
            tab_->OnAnimationElapse(CAnimationTabLayoutUI::kSlideAnimation);
            steps.push_back(Describe(tab_->GetItemAt(page)->GetPos()));
        }
        return steps;
    }

    HWND wnd_ = nullptr;
    CPaintManagerUI manager_;
    CAnimationTabLayoutUI* tab_ = nullptr;
};

TEST_F(AnimationTabWindow, ThePageSlidesInFromTheRightAndEndsExactlyInPlace) {
    ASSERT_TRUE(tab_->SelectItem(1));
    EXPECT_FALSE(tab_->GetItemAt(1)->IsVisible());
    const std::vector<std::string> steps = RunSlide(1);
    std::vector<std::string> expected;
    for (int frame = 0; frame < 15; ++frame) {
        const int left = std::max(0, 348 - 26 * (frame + 1));
        expected.push_back(Describe({left, 0, left + 400, 100}));
    }
    expected.push_back("0,0,400,100");
    EXPECT_EQ(expected, steps);
    EXPECT_TRUE(tab_->GetItemAt(1)->IsVisible());
    EXPECT_FALSE(tab_->GetItemAt(0)->IsVisible());
    EXPECT_EQ("0,0,400,100", Describe(tab_->GetPos()));
}

TEST_F(AnimationTabWindow, GoingBackSlidesFromTheLeftAndVerticalSlidesFromAbove) {
    ASSERT_TRUE(tab_->SelectItem(2));
    RunSlide(2);
    ASSERT_TRUE(tab_->SelectItem(1));
    tab_->OnAnimationElapse(CAnimationTabLayoutUI::kSlideAnimation);
    EXPECT_EQ("-322,0,78,100", Describe(tab_->GetItemAt(1)->GetPos()));
    RunSlide(1);
    tab_->SetAttribute(L"animation_direction", L"VERTICAL");
    EXPECT_TRUE(tab_->IsVerticalDirection());
    ASSERT_TRUE(tab_->SelectItem(2));
    tab_->OnAnimationElapse(CAnimationTabLayoutUI::kSlideAnimation);
    // From one height below, 100 / 15 = 6 pixels up per frame.
    EXPECT_EQ("0,94,400,194", Describe(tab_->GetItemAt(2)->GetPos()));
    const std::vector<std::string> steps = RunSlide(2);
    EXPECT_EQ("0,0,400,100", steps.back());
}

TEST(AnimationTabLayout, WithoutAWindowTheNewPageShowsAtOnce) {
    CAnimationTabLayoutUI tab;
    AddKids(tab, {{}, {}});
    tab.SetPos({0, 0, 400, 100}, false);
    ASSERT_TRUE(tab.SelectItem(1));
    EXPECT_TRUE(tab.GetItemAt(1)->IsVisible());
    EXPECT_EQ("0,0,400,100", Describe(tab.GetItemAt(1)->GetPos()));
    EXPECT_EQ("0,0,400,100", Describe(tab.GetPos()));
}

}  // namespace
