// The settings window in this process, with a second server line: the lines it lists,
// which choices reach the main window, and a close while the drop-down is open.
#include "ClientWindowKit.h"
#include "ComboWnd.h"
#include "MainFrameMessages.h"
#include "ServerLines.h"
#include "SettingFrame.h"
#include "UICombo.h"

using namespace HiveUI;

namespace {

class SettingFrameTest : public testing::Test {
protected:
    void SetUp() override {
        UseClientSkin();
        saved = g_lines.lines;
        g_lines.lines.push_back(MakeLineInfo("\xb1\xb8\xd3\xc3", "http://spare.example/"));  // "备用" (spare)
        g_lines.selected = 0;
        ASSERT_NE(nullptr, frame.Create(nullptr, L"settings", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0));
        UpdateWindow(frame.GetHWND());
        combo = static_cast<CComboUI*>(frame.GetPaintManager().FindControl(L"combo_lines"));
        ASSERT_NE(nullptr, combo);
    }
    void TearDown() override {
        if (IsWindow(frame.GetHWND())) DestroyWindow(frame.GetHWND());
        DestroyWindow(mainWindow);
        g_lines.lines = saved;
        g_lines.selected = 0;
    }

    // Opens the combo's drop-down, as a click on the combo does.
    HWND Open() {
        EXPECT_TRUE(combo->Activate());
        return combo->GetDropWindow() != nullptr ? combo->GetDropWindow()->GetHWND() : nullptr;
    }
    int LineChangesPosted() {
        int posted = 0;
        MSG msg;
        while (PeekMessageW(&msg, mainWindow, WM_LINE_CHANGED, WM_LINE_CHANGED, PM_REMOVE)) ++posted;
        return posted;
    }

    std::vector<LineInfo> saved;
    // Stands for the main window: it only receives the line changes.
    HWND mainWindow = CreateWindowW(L"STATIC", L"main", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SettingFrame frame{mainWindow};
    CComboUI* combo = nullptr;
};

TEST_F(SettingFrameTest, ListsEveryLineWithTheSelectedOneChosenAndTheShellVersion) {
    ASSERT_EQ(2, combo->GetCount());
    const wchar_t* texts[] = {L"\u7EBF\u8DEF", L"\u5907\u7528"};  // 线路, 备用
    for (int i = 0; i < 2; ++i) {
        EXPECT_STREQ(L"line_item", combo->GetItemAt(i)->GetName().GetData());
        EXPECT_EQ(static_cast<UINT_PTR>(i), combo->GetItemAt(i)->GetTag());
        EXPECT_STREQ(texts[i], combo->GetItemAt(i)->GetText().GetData());
    }
    EXPECT_EQ(0, combo->GetCurSel());
    EXPECT_STREQ(L" V4.0", frame.GetPaintManager().FindControl(L"lab_version")->GetText().GetData());
}

TEST_F(SettingFrameTest, OnlyAChoiceOtherThanTheSelectedLineIsPostedToTheMainWindow) {
    const HWND drop = Open();
    ASSERT_NE(nullptr, drop);
    // A page chose line 1 meanwhile: choosing it here changes nothing.
    g_lines.selected = 1;
    SendMessageW(drop, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(1, combo->GetCurSel());
    EXPECT_EQ(0, LineChangesPosted());
    SendMessageW(drop, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(0, g_lines.selected);
    EXPECT_EQ(1, LineChangesPosted());
    SendMessageW(drop, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(PumpUntil([&] { return combo->GetDropWindow() == nullptr; }));
    EXPECT_TRUE(IsWindow(frame.GetHWND()));  // the window stays open
}

TEST_F(SettingFrameTest, ClosingWithTheDropDownOpenClosesItFirstAndTakesTheRowsBack) {
    const HWND drop = Open();
    ASSERT_NE(nullptr, drop);
    SendMessageW(frame.GetHWND(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(drop));
    EXPECT_FALSE(IsWindow(frame.GetHWND()));
    for (int i = 0; i < combo->GetCount(); ++i) {
        EXPECT_EQ(combo, combo->GetItemAt(i)->GetParent()) << i;
        EXPECT_EQ(&frame.GetPaintManager(), combo->GetItemAt(i)->GetManager()) << i;
    }
}

}  // namespace
