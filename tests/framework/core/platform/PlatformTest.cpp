// The tests run as real Windows programs under Wine, with the users' code page.
#include <UIString.h>

#include <gtest/gtest.h>
#include <windows.h>

TEST(Platform, RunsUnderWineWithTheChineseCodePage) {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    ASSERT_NE(nullptr, ntdll);
    EXPECT_NE(nullptr, reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")));
    EXPECT_EQ(936u, GetACP());
    // GBK b3 e8 ce ef is "宠物" (pet).
    const char gbk[] = "\xb3\xe8\xce\xef";
    wchar_t wide[8] = {};
    ASSERT_EQ(2, MultiByteToWideChar(CP_ACP, 0, gbk, -1, wide, 8) - 1);
    EXPECT_EQ(0x5BA0, wide[0]);
    EXPECT_EQ(0x7269, wide[1]);
}

TEST(Platform, AWindowIsCreatedAndAnswersMessages) {
    HWND wnd = CreateWindowExW(0, L"STATIC", L"probe", WS_POPUP, 0, 0, 40, 30, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, wnd);
    wchar_t text[16] = {};
    GetWindowTextW(wnd, text, 16);
    EXPECT_STREQ(L"probe", text);
    HiveUI::CUIString s;
    s.Format(L"%s-%d", text, 936);
    EXPECT_STREQ(L"probe-936", s.GetData());
    EXPECT_TRUE(DestroyWindow(wnd));
}
