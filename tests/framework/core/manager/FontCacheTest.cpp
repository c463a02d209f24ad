#include <TestFiles.h>
#include <UIManager.h>

#include <gtest/gtest.h>

#include "ManagerTestKit.h"

using HiveUI::CPaintManagerUI;
using HiveUI::TFontEntry;

namespace {

class FontCache : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, wnd_ = ManagerTest::CreatePlainWindow());
        manager_.Init(wnd_);
    }
    void TearDown() override {
        CPaintManagerUI::Term();
        DestroyWindow(wnd_);
    }

    static LOGFONTW LogFontOf(HFONT font) {
        LOGFONTW logFont = {};
        GetObjectW(font, sizeof(logFont), &logFont);
        return logFont;
    }

    HWND wnd_ = nullptr;
    CPaintManagerUI manager_;
};

TEST_F(FontCache, AnIdAddedTwiceKeepsTheSecondFontAndDeletesTheFirst) {
    HFONT first = manager_.AddFont(3, L"Tahoma", 12, false, false, false);
    HFONT second = manager_.AddFont(3, L"Tahoma", 20, true, false, true);
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(0u, GetObjectType(first));
    EXPECT_EQ(second, manager_.GetFont(3));
    const LOGFONTW logFont = LogFontOf(second);
    EXPECT_EQ(-20, logFont.lfHeight);
    EXPECT_EQ(FW_BOLD, logFont.lfWeight);
    EXPECT_EQ(1, logFont.lfItalic);
    EXPECT_EQ(DEFAULT_CHARSET, logFont.lfCharSet);
    TFontEntry* entry = manager_.GetFontInfo(3);
    EXPECT_EQ(second, entry->font);
    EXPECT_EQ(20, entry->size);
    EXPECT_GT(entry->metrics.tmHeight, 0);
    EXPECT_EQ(FW_BOLD, entry->metrics.tmWeight);
    EXPECT_EQ(entry, manager_.GetFontInfoByHandle(second));
}

TEST_F(FontCache, NegativeAndUnknownIdsGiveTheDefaultFont) {
    TFontEntry* standard = manager_.GetDefaultFontInfo();
    ASSERT_NE(nullptr, standard->font);
    EXPECT_FALSE(standard->faceName.IsEmpty());
    EXPECT_GT(standard->metrics.tmHeight, 0);
    EXPECT_EQ(standard->font, manager_.GetFont(-1));
    EXPECT_EQ(standard->font, manager_.GetFont(42));
    EXPECT_EQ(standard, manager_.GetFontInfo(42));
    EXPECT_EQ(standard, manager_.GetFontInfoByHandle(nullptr));
}

TEST_F(FontCache, BoldDefaultFontAddsToTheStockWeight) {
    LOGFONTW stock = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(stock), &stock);
    manager_.SetDefaultFont(L"Tahoma", 15, true, true, false);
    TFontEntry* standard = manager_.GetDefaultFontInfo();
    const LOGFONTW logFont = LogFontOf(standard->font);
    EXPECT_EQ(stock.lfWeight + 700, logFont.lfWeight);
    EXPECT_EQ(400 + 700, logFont.lfWeight);
    EXPECT_EQ(-15, logFont.lfHeight);
    EXPECT_EQ(1, logFont.lfUnderline);
    EXPECT_STREQ(L"Tahoma", logFont.lfFaceName);
    EXPECT_EQ(15, standard->size);
    EXPECT_GT(standard->metrics.tmHeight, 0);  // measured at once: the paint DC exists
    EXPECT_EQ(standard->font, manager_.GetFont(-1));
    // The shared default font is still the stock one for other managers.
    CPaintManagerUI other;
    EXPECT_NE(standard->font, other.GetFont(-1));
}

TEST_F(FontCache, FindFontMatchesFaceSizeAndEveryStyle) {
    HFONT plain = manager_.AddFont(1, L"Tahoma", 12, false, false, false);
    HFONT underlined = manager_.AddFont(2, L"Tahoma", 12, false, true, false);
    EXPECT_EQ(plain, manager_.FindFont(L"Tahoma", 12, false, false, false));
    EXPECT_EQ(underlined, manager_.FindFont(L"Tahoma", 12, false, true, false));
    EXPECT_EQ(nullptr, manager_.FindFont(L"Tahoma", 13, false, false, false));
    EXPECT_EQ(nullptr, manager_.FindFont(L"tahoma", 12, false, false, false));
    EXPECT_EQ(nullptr, manager_.FindFont(L"Tahoma", 12, true, false, false));
}

TEST_F(FontCache, OwnFontsComeBeforeSharedOnesAndResourceSharingAddsToTheShared) {
    CPaintManagerUI other;
    HFONT shared = manager_.AddFont(7, L"Tahoma", 11, false, false, false, true);
    EXPECT_EQ(shared, other.GetFont(7));
    HFONT own = other.AddFont(7, L"Tahoma", 14, false, false, false);
    EXPECT_EQ(own, other.GetFont(7));
    EXPECT_EQ(shared, manager_.GetFont(7));
    EXPECT_EQ(shared, other.FindFont(L"Tahoma", 11, false, false, false));

    other.SetResourceShared(true);
    HFONT popup = other.AddFont(8, L"Tahoma", 9, false, false, false);
    EXPECT_EQ(popup, manager_.GetFont(8));
    manager_.RemoveAllFonts(true);
    EXPECT_EQ(0u, GetObjectType(shared));
    EXPECT_EQ(0u, GetObjectType(popup));
    EXPECT_EQ(own, other.GetFont(7));
}

// A font family that exists only once the skin's file is loaded. (Wine 8 keeps memory
// fonts after RemoveFontMemResourceEx, so their removal cannot be seen here.)
TEST_F(FontCache, FontFileFromTheSkinFolderIsLoadedFromMemory) {
    const std::string font = ManagerTest::RenamedFont("Tallyq");
    ASSERT_FALSE(font.empty());
    const std::wstring folder = TestFiles::TempFolder();
    ASSERT_TRUE(TestFiles::Write(folder + L"tallyq.ttf", font));
    EXPECT_NE(L"Tallyq Sans", ManagerTest::FaceChosenFor(L"Tallyq Sans"));
    CPaintManagerUI::SetResourcePath(folder.c_str());
    manager_.AddFontFile(L"tallyq.ttf");
    EXPECT_EQ(L"Tallyq Sans", ManagerTest::FaceChosenFor(L"Tallyq Sans"));
    CPaintManagerUI::SetResourcePath(L"");
}

TEST_F(FontCache, FontFileOutsideTheSkinIsReadByItsOwnPath) {
    const std::wstring path = TestFiles::TempFolder() + L"tallyp.ttf";
    ASSERT_TRUE(TestFiles::Write(path, ManagerTest::RenamedFont("Tallyp")));
    CPaintManagerUI::SetResourcePath(L"C:\\no such skin");
    manager_.AddFontFile(path.c_str());
    EXPECT_EQ(L"Tallyp Sans", ManagerTest::FaceChosenFor(L"Tallyp Sans"));
    CPaintManagerUI::SetResourcePath(L"");
}

}  // namespace
