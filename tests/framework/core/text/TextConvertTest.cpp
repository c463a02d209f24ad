#include <windows.h>

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <thread>
#include <vector>

#include "TextConvert.h"

namespace {

// "tallyhive宠物店管理系统" (tallyhive pet shop management system) in GBK.
const char kTitleGbk[] = "tallyhive\xb3\xe8\xce\xef\xb5\xea\xb9\xdc\xc0\xed\xcf\xb5\xcd\xb3";
const wchar_t kTitleWide[] = L"tallyhive\u5ba0\u7269\u5e97\u7ba1\u7406\u7cfb\u7edf";

TEST(GbkToWide, ConvertsTheWindowTitle) {
    EXPECT_EQ(std::wstring(kTitleWide), GbkToWide(kTitleGbk));
    EXPECT_EQ(std::wstring(), GbkToWide(""));
    EXPECT_EQ(std::wstring(L"abc"), GbkToWide("abc"));
}

TEST(GbkToWide, AnInvalidSequenceGivesAnEmptyString) {
    // A lead byte followed by the end of the text, then a lead byte with a control byte.
    EXPECT_EQ(std::wstring(), GbkToWide("ab\x81"));
    EXPECT_EQ(std::wstring(), GbkToWide("\xb3\x01xyz"));
}

TEST(GbkToWide, LeavesTheProcessInTheCLocale) {
    GbkToWide(kTitleGbk);
    EXPECT_STREQ("C", std::setlocale(LC_ALL, nullptr));
}

TEST(GbkToWide, ConcurrentCallsEachGetTheirOwnResult) {
    std::vector<std::thread> threads;
    std::vector<int> wrong(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &wrong] {
            for (int i = 0; i < 200; ++i) {
                if (GbkToWide(kTitleGbk) != kTitleWide) ++wrong[t];
            }
        });
    }
    for (auto& t : threads) t.join();
    for (int w : wrong) EXPECT_EQ(0, w);
}

TEST(AnsiToWide, ConvertsExactlyTheBytesInTheSystemCodePage) {
    ASSERT_EQ(936u, GetACP());
    EXPECT_EQ(std::wstring(kTitleWide), AnsiToWide(kTitleGbk));
    EXPECT_EQ(std::wstring(L"a\0b", 3), AnsiToWide(std::string("a\0b", 3)));
    EXPECT_EQ(std::wstring(), AnsiToWide(""));
}

TEST(AnsiToWideByValue, ConvertsUpToTheFirstNul) {
    EXPECT_EQ(std::wstring(kTitleWide), AnsiToWideByValue(kTitleGbk));
    EXPECT_EQ(std::wstring(L"a"), AnsiToWideByValue(std::string("a\0b", 3)));
    EXPECT_EQ(std::wstring(), AnsiToWideByValue(std::string("\0b", 2)));
}

}  // namespace
