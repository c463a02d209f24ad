#include <ImageData.h>
#include <ImageDrawSpec.h>
#include <TestFiles.h>
#include <UIManager.h>

#include <gtest/gtest.h>

#include <cstring>

#include "ManagerTestKit.h"

using HiveUI::CControlUI;
using HiveUI::CPaintManagerUI;
using HiveUI::TImageData;
using HiveUI::TImageDrawSpec;

namespace {

// Two managers over one skin folder holding img\red.png (4 x 3, opaque red) and
// img\blue.png (2 x 2, opaque blue).
class ManagerCaches : public testing::Test {
protected:
    void SetUp() override {
        const std::wstring folder = TestFiles::TempFolder();
        CreateDirectoryW((folder + L"img").c_str(), nullptr);
        ASSERT_TRUE(TestFiles::Write(folder + L"img\\red.png", ManagerTest::SolidPng(4, 3, 0xFFFF0000)));
        ASSERT_TRUE(TestFiles::Write(folder + L"img\\blue.png", ManagerTest::SolidPng(2, 2, 0xFF0000FF)));
        CPaintManagerUI::SetResourcePath(folder.c_str());
    }
    void TearDown() override {
        CPaintManagerUI::SetResourcePath(L"");
        CPaintManagerUI::Term();
    }

    static DWORD FirstPixel(const TImageData* image) {
        DIBSECTION section = {};
        GetObjectW(image->bitmap, sizeof(section), &section);
        DWORD pixel = 0;
        memcpy(&pixel, section.dsBm.bmBits, 4);
        return pixel;
    }

    CPaintManagerUI first_;
    CPaintManagerUI second_;
};

TEST_F(ManagerCaches, ImagesLoadFromTheSkinFolderAndReplaceAnEarlierEntry) {
    TImageData* red = first_.AddImage(L"img\\red.png");
    ASSERT_NE(nullptr, red);
    EXPECT_EQ(4, red->width);
    EXPECT_EQ(3, red->height);
    EXPECT_EQ(0xFFFF0000u, FirstPixel(red));
    EXPECT_EQ(red, first_.GetImage(L"img\\red.png"));
    EXPECT_EQ(nullptr, second_.GetImage(L"img\\red.png"));

    const HBITMAP oldBitmap = red->bitmap;
    TImageData* again = first_.AddImage(L"img\\red.png", nullptr, 0, true);
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(0u, GetObjectType(oldBitmap));
    EXPECT_TRUE(again->useHSL);
    ASSERT_NE(nullptr, again->savedPixels);
    DWORD saved = 0;
    memcpy(&saved, again->savedPixels, 4);
    EXPECT_EQ(0xFFFF0000u, saved);

    EXPECT_TRUE(first_.RemoveImage(L"img\\red.png"));
    EXPECT_EQ(nullptr, first_.GetImage(L"img\\red.png"));
    EXPECT_FALSE(first_.RemoveImage(L"img\\red.png"));
}

TEST_F(ManagerCaches, FailedOrUntypedLoadsLeaveNoEntry) {
    EXPECT_EQ(nullptr, first_.AddImage(L""));
    EXPECT_EQ(nullptr, first_.AddImage(L"img\\missing.png"));
    EXPECT_EQ(nullptr, first_.GetImage(L"img\\missing.png"));
    EXPECT_EQ(nullptr, first_.AddImage(L"img\\red.png", L"PNG"));  // a typed name must be a number
    EXPECT_EQ(nullptr, first_.GetImage(L"img\\red.png"));
    EXPECT_EQ(nullptr, first_.AddImage(L"4711", L"PNG"));  // no such resource
}

TEST_F(ManagerCaches, OwnImagesComeBeforeSharedOnes) {
    TImageData* shared = first_.AddImage(L"img\\blue.png", nullptr, 0, false, true);
    ASSERT_NE(nullptr, shared);
    EXPECT_EQ(shared, second_.GetImage(L"img\\blue.png"));
    EXPECT_EQ(shared, second_.GetImageEx(L"img\\blue.png"));
    TImageData* own = second_.AddImage(L"img\\blue.png");
    ASSERT_NE(nullptr, own);
    EXPECT_NE(shared, own);
    EXPECT_EQ(own, second_.GetImage(L"img\\blue.png"));
    EXPECT_EQ(shared, first_.GetImage(L"img\\blue.png"));
    second_.RemoveAllImages();
    EXPECT_EQ(shared, second_.GetImage(L"img\\blue.png"));
    EXPECT_TRUE(first_.RemoveImage(L"img\\blue.png", true));
    EXPECT_EQ(nullptr, second_.GetImage(L"img\\blue.png"));

    second_.SetResourceShared(true);
    TImageData* popup = second_.GetImageEx(L"img\\red.png");
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(popup, first_.GetImage(L"img\\red.png"));
}

TEST_F(ManagerCaches, ImageDescriptionsAreParsedOncePerDescriptionAndModifier) {
    EXPECT_EQ(nullptr, first_.GetImageDrawSpec(L"", nullptr));
    TImageDrawSpec* spec = first_.GetImageDrawSpec(L"file='img\\red.png' corner='1,2,3,4'", L"fade='128'");
    ASSERT_NE(nullptr, spec);
    EXPECT_STREQ(L"img\\red.png", spec->name.GetData());
    EXPECT_EQ(128, spec->fade);
    EXPECT_EQ(4, spec->corner.bottom);
    EXPECT_EQ(spec, first_.GetImageDrawSpec(L"file='img\\red.png' corner='1,2,3,4'", L"fade='128'"));
    TImageDrawSpec* plain = first_.GetImageDrawSpec(L"file='img\\red.png' corner='1,2,3,4'", nullptr);
    ASSERT_NE(nullptr, plain);
    EXPECT_NE(spec, plain);
    EXPECT_EQ(255, plain->fade);
}

TEST_F(ManagerCaches, LayeredImageIsLoadedIntoTheCacheAtOnce) {
    first_.SetLayeredImage(L"file='img\\blue.png' corner='2,2,2,2'");
    EXPECT_STREQ(L"file='img\\blue.png' corner='2,2,2,2'", first_.GetLayeredImage().GetData());
    TImageData* image = first_.GetImage(L"img\\blue.png");
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(0xFF0000FFu, FirstPixel(image));
}

TEST_F(ManagerCaches, StylesKeepTheFirstDefinitionAndDefaultListsTheLast) {
    first_.AddStyle(L"big", L"width=\"100\"");
    first_.AddStyle(L"big", L"width=\"200\"");
    EXPECT_STREQ(L"width=\"100\"", first_.GetStyle(L"big"));
    first_.AddDefaultAttributeList(L"Button", L"height=\"20\"");
    first_.AddDefaultAttributeList(L"Button", L"height=\"30\"");
    EXPECT_STREQ(L"height=\"30\"", first_.GetDefaultAttributeList(L"Button"));
    EXPECT_EQ(nullptr, first_.GetStyle(L"Big"));
    EXPECT_EQ(nullptr, second_.GetStyle(L"big"));
    EXPECT_EQ(nullptr, second_.GetDefaultAttributeList(L"Button"));

    second_.AddStyle(L"big", L"width=\"300\"", true);
    second_.AddDefaultAttributeList(L"Button", L"height=\"40\"", true);
    EXPECT_STREQ(L"width=\"100\"", first_.GetStyle(L"big"));
    EXPECT_STREQ(L"width=\"300\"", second_.GetStyle(L"big"));
    EXPECT_STREQ(L"height=\"40\"", second_.GetDefaultAttributeList(L"Button"));
    first_.RemoveAllStyles();
    first_.RemoveAllDefaultAttributeList();
    EXPECT_STREQ(L"width=\"300\"", first_.GetStyle(L"big"));
    EXPECT_STREQ(L"height=\"40\"", first_.GetDefaultAttributeList(L"Button"));
    first_.RemoveAllStyles(true);
    EXPECT_EQ(nullptr, first_.GetStyle(L"big"));
}

TEST_F(ManagerCaches, OptionGroupsHoldEachControlOnceAndGoWhenEmpty) {
    // Only the pointers are kept; the controls themselves are never touched.
    auto* a = reinterpret_cast<CControlUI*>(0x1000);
    auto* b = reinterpret_cast<CControlUI*>(0x2000);
    EXPECT_TRUE(first_.AddOptionGroup(L"sex", a));
    EXPECT_FALSE(first_.AddOptionGroup(L"sex", a));
    EXPECT_TRUE(first_.AddOptionGroup(L"sex", b));
    ASSERT_NE(nullptr, first_.GetOptionGroup(L"sex"));
    EXPECT_EQ(2, first_.GetOptionGroup(L"sex")->GetSize());
    EXPECT_EQ(nullptr, second_.GetOptionGroup(L"sex"));
    first_.RemoveOptionGroup(L"sex", a);
    EXPECT_EQ(1, first_.GetOptionGroup(L"sex")->GetSize());
    first_.RemoveOptionGroup(L"sex", b);
    EXPECT_EQ(nullptr, first_.GetOptionGroup(L"sex"));
    EXPECT_TRUE(first_.AddOptionGroup(L"size", a));
    first_.RemoveAllOptionGroups();
    EXPECT_EQ(nullptr, first_.GetOptionGroup(L"size"));
}

}  // namespace
