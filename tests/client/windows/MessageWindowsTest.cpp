// The message box and the close confirmation: kind colours as drawn, the answers their
// buttons and Escape give, and a caption that never maximises them.
#include "../../framework/core/control/TestBox.h"
#include "ClientWindowKit.h"
#include "MessageBoxFrame.h"
#include "MessagePanleFrame.h"
#include "UIControl.h"

using namespace HiveUI;

namespace {

class MessageWindowsTest : public testing::Test {
protected:
    void SetUp() override { UseClientSkin(); }
};

TEST_F(MessageWindowsTest, AKindColoursTheBorderAndTheSideBandAndAnyOtherKeepsTheSkinsBlue) {
    const struct {
        int kind;
        DWORD rgb;
    } kinds[] = {{0, 0xC74417}, {1, 0xA9AA13}, {2, 0x2686C6}, {5, 0x3791C3}, {-1, 0x3791C3}};
    for (const auto& k : kinds) {
        MessageBoxFrame box(L"text", k.kind, true);
        ASSERT_NE(nullptr, box.Create(nullptr, L"box", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0));
        UpdateWindow(box.GetHWND());
        PixelCanvas canvas(300, 38);
        SendMessageW(box.GetHWND(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
        EXPECT_EQ(k.rgb, canvas.rgb(0, 20)) << "border, kind " << k.kind;
        EXPECT_EQ(k.rgb, canvas.rgb(150, 0)) << "border, kind " << k.kind;
        EXPECT_EQ(k.rgb, canvas.rgb(4, 4)) << "side band, kind " << k.kind;
        EXPECT_EQ(0xFFFFFFu, canvas.rgb(150, 20)) << "body, kind " << k.kind;
        DestroyWindow(box.GetHWND());
    }
}

TEST_F(MessageWindowsTest, WithOkHiddenEscapeStillClosesTheBoxUnanswered) {
    MessageBoxFrame box(L"text", 0, false);
    ASSERT_NE(nullptr, box.Create(nullptr, L"box", WS_OVERLAPPEDWINDOW, 0));
    CControlUI* ok = box.GetPaintManager().FindControl(L"btn_ok");
    ASSERT_NE(nullptr, ok);
    EXPECT_FALSE(ok->IsVisible());
    ProgramDriver::PressKey(box.GetHWND(), VK_ESCAPE);
    EXPECT_EQ(1u, box.ShowModal());
    EXPECT_FALSE(box.Accepted());
    EXPECT_FALSE(IsWindow(box.GetHWND()));
}

TEST_F(MessageWindowsTest, TheCaptionDoubleClickNeverMaximises) {
    MessagePanleFrame panel(L"question");
    ASSERT_NE(nullptr, panel.Create(nullptr, L"panel", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0));
    RECT before = {}, after = {};
    GetWindowRect(panel.GetHWND(), &before);
    EXPECT_EQ(0, SendMessageW(panel.GetHWND(), WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(before.left + 50, before.top + 20)));
    GetWindowRect(panel.GetHWND(), &after);
    EXPECT_FALSE(IsZoomed(panel.GetHWND()));
    EXPECT_TRUE(EqualRect(&before, &after));
    DestroyWindow(panel.GetHWND());
}

TEST_F(MessageWindowsTest, EscapeAnswersTheConfirmationWithNoAndOkWithYes) {
    ModalAnswer escape(L"MessagePanleFrame", [](HWND panel) { ProgramDriver::PressKey(panel, VK_ESCAPE); });
    EXPECT_FALSE(ShowConfirmPanel(L"quit?", nullptr));
    EXPECT_TRUE(escape.Gone());

    // "btn_ok" is 140 x 38 at 64 in the row below the 190-high question, placed on the
    // panel's first paint.
    ModalAnswer ok(L"MessagePanleFrame", [](HWND panel) {
        ProgramDriver::WaitUntil([&] { return ProgramDriver::ScreenPixels(panel).rgb(134, 209) != 0xFFFFFF; }, 30000);
        ProgramDriver::ClickUntilGone(panel, 134, 209);
    });
    EXPECT_TRUE(ShowConfirmPanel(L"quit?", nullptr));
    EXPECT_TRUE(ok.Gone());
}

}  // namespace
