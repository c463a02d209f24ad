#include <TrayIcon.h>
#include <UIManager.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using HiveUI::CPaintManagerUI;
using HiveUI::CTrayIcon;

namespace {

// What the icon asked of the shell, call by call.
struct ShellCallRecord {
    DWORD message;
    NOTIFYICONDATAW record;
};

std::vector<ShellCallRecord> g_calls;
BOOL g_shellAnswer = TRUE;

BOOL WINAPI FakeShell(DWORD message, PNOTIFYICONDATAW record) {
    g_calls.push_back({message, *record});
    return g_shellAnswer;
}

// The icons of user32 stand in for the program's own: the test executable has none.
const UINT kIconId = 32512;

class TrayIconTest : public testing::Test {
protected:
    void SetUp() override {
        g_calls.clear();
        g_shellAnswer = TRUE;
        CPaintManagerUI::SetInstance(GetModuleHandleW(L"user32.dll"));
        icon_ = LoadIconW(CPaintManagerUI::GetInstance(), MAKEINTRESOURCEW(kIconId));
        ASSERT_NE(nullptr, icon_);
        wnd_ = CreateWindowExW(0, L"STATIC", L"tray owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                               nullptr);
        ASSERT_NE(nullptr, wnd_);
    }
    void TearDown() override { DestroyWindow(wnd_); }

    HICON icon_ = nullptr;
    HWND wnd_ = nullptr;
};

TEST_F(TrayIconTest, CreateAddsTheIconWithMessageIconAndTip) {
    CTrayIcon tray(FakeShell);
    EXPECT_TRUE(tray.Create(wnd_, kIconId, L"tallyhive", 0x401));
    ASSERT_EQ(1u, g_calls.size());
    const ShellCallRecord& add = g_calls[0];
    EXPECT_EQ(static_cast<DWORD>(NIM_ADD), add.message);
    EXPECT_EQ(952u, add.record.cbSize);
    EXPECT_EQ(wnd_, add.record.hWnd);
    EXPECT_EQ(kIconId, add.record.uID);
    EXPECT_EQ(static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP), add.record.uFlags);
    EXPECT_EQ(0x401u, add.record.uCallbackMessage);
    EXPECT_EQ(icon_, add.record.hIcon);
    EXPECT_STREQ(L"tallyhive", add.record.szTip);
}

TEST_F(TrayIconTest, NothingHappensWithoutAWindowOrAnIconId) {
    CTrayIcon tray(FakeShell);
    EXPECT_FALSE(tray.Create(nullptr, kIconId, L"x", 0));
    EXPECT_FALSE(tray.Create(wnd_, 0, L"x", 0));
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(TrayIconTest, CallbackMessageDefaultsTo1025AndReturnsThereOnDelete) {
    CTrayIcon tray(FakeShell);
    tray.Create(wnd_, kIconId, nullptr, 0);
    EXPECT_EQ(1025u, g_calls.back().record.uCallbackMessage);
    tray.Create(wnd_, kIconId, nullptr, 0x500);
    EXPECT_EQ(0x500u, g_calls.back().record.uCallbackMessage);
    tray.Delete();
    tray.Create(wnd_, kIconId, nullptr, 0);
    EXPECT_EQ(1025u, g_calls.back().record.uCallbackMessage);
}

TEST_F(TrayIconTest, HidingTwiceThenShowingOnceRestoresThePicture) {
    CTrayIcon tray(FakeShell);
    ASSERT_TRUE(tray.Create(wnd_, kIconId, L"tip", 0));
    tray.Hide();
    tray.Hide();
    ASSERT_EQ(2u, g_calls.size()) << "the second Hide must not call the shell";
    EXPECT_EQ(static_cast<DWORD>(NIM_MODIFY), g_calls[1].message);
    EXPECT_EQ(static_cast<UINT>(NIF_ICON), g_calls[1].record.uFlags);
    EXPECT_EQ(nullptr, g_calls[1].record.hIcon);
    tray.Show();
    ASSERT_EQ(3u, g_calls.size());
    EXPECT_EQ(static_cast<DWORD>(NIM_MODIFY), g_calls[2].message);
    EXPECT_EQ(icon_, g_calls[2].record.hIcon);
    tray.Show();
    EXPECT_EQ(3u, g_calls.size()) << "showing a shown icon must not call the shell";
}

TEST_F(TrayIconTest, SetIconModifiesOnlyACreatedIconAndReportsTheShellsAnswer) {
    CTrayIcon tray(FakeShell);
    const HICON other = LoadIconW(nullptr, IDI_WARNING);
    EXPECT_FALSE(tray.SetIcon(other));
    EXPECT_TRUE(g_calls.empty());
    ASSERT_TRUE(tray.Create(wnd_, kIconId, nullptr, 0));
    EXPECT_TRUE(tray.SetIcon(other));
    EXPECT_EQ(other, g_calls.back().record.hIcon);
    g_shellAnswer = FALSE;
    EXPECT_FALSE(tray.SetIcon(icon_));
    // The last given picture is the one Show brings back.
    g_shellAnswer = TRUE;
    tray.Hide();
    tray.Show();
    EXPECT_EQ(icon_, g_calls.back().record.hIcon);
}

TEST_F(TrayIconTest, AnAddTheShellRefusesLeavesTheIconNotCreated) {
    CTrayIcon tray(FakeShell);
    g_shellAnswer = FALSE;
    EXPECT_FALSE(tray.Create(wnd_, kIconId, L"tip", 0));
    g_shellAnswer = TRUE;
    const size_t before = g_calls.size();
    EXPECT_FALSE(tray.SetIcon(icon_));
    EXPECT_EQ(before, g_calls.size()) << "an icon that is not there cannot be modified";
}

TEST_F(TrayIconTest, DeleteAndDestructionRemoveTheIcon) {
    {
        CTrayIcon tray(FakeShell);
        ASSERT_TRUE(tray.Create(wnd_, kIconId, L"tip", 0));
        EXPECT_TRUE(tray.Delete());
        EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), g_calls.back().message);
        EXPECT_EQ(wnd_, g_calls.back().record.hWnd);
        EXPECT_EQ(kIconId, g_calls.back().record.uID);
        EXPECT_FALSE(tray.SetIcon(icon_));
        ASSERT_TRUE(tray.Create(wnd_, kIconId, L"tip", 0));
        g_calls.clear();
    }
    ASSERT_EQ(1u, g_calls.size());
    EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), g_calls[0].message);
}

TEST_F(TrayIconTest, ATooltipLongerThanTheFieldIsCutAndTerminated) {
    CTrayIcon tray(FakeShell);
    const std::wstring longTip(300, L'x');
    tray.Create(wnd_, kIconId, longTip.c_str(), 0);
    const NOTIFYICONDATAW& record = g_calls.back().record;
    EXPECT_EQ(std::wstring(127, L'x'), std::wstring(record.szTip));
    // The fields after the tip stay untouched.
    EXPECT_EQ(0u, record.dwState);
    EXPECT_EQ(L'\0', record.szInfo[0]);
}

// The shell under Wine may or may not have a notification area; what a result promises
// must hold either way.
TEST_F(TrayIconTest, TheRealShellsAnswersAreConsistent) {
    CTrayIcon tray;
    if (tray.Create(wnd_, kIconId, L"tallyhive", 0)) {
        EXPECT_TRUE(tray.SetIcon(icon_));
        EXPECT_TRUE(tray.Delete());
        EXPECT_FALSE(tray.Delete()) << "the icon was removed already";
    } else {
        EXPECT_FALSE(tray.SetIcon(icon_));
    }
    EXPECT_FALSE(tray.SetIcon(icon_));
}

}  // namespace
