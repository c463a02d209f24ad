// The skin archive in memory can be set once per process, so these tests have their own
// executable.
#include <ImageData.h>
#include <UIManager.h>
#include <ZipBuilder.h>

#include <gtest/gtest.h>

#include <cstring>

#include "../manager/ManagerTestKit.h"

using HiveUI::CPaintManagerUI;
using HiveUI::TImageData;

namespace {

const std::string& SkinArchive() {
    static const std::string archive = TestZip::Build({
        TestZip::Make("Fonts/Tallyz.ttf", ManagerTest::RenamedFont("Tallyz")),
        TestZip::Make("img/green.png", ManagerTest::SolidPng(3, 5, 0xFF00FF00), 0),
        TestZip::Make("img/half.png", ManagerTest::SolidPng(2, 2, 0x80FFFFFF)),
    });
    return archive;
}

class SkinZipResources : public testing::Test {
protected:
    static void SetUpTestSuite() {
        CPaintManagerUI::SetResourceZipFromMemory(SkinArchive().data(), static_cast<DWORD>(SkinArchive().size()),
                                                  L"");
    }
    void TearDown() override { manager_.RemoveAllImages(); }

    CPaintManagerUI manager_;
};

TEST_F(SkinZipResources, FontFileComesFromTheArchiveWithBackslashesAndAnyCase) {
    EXPECT_NE(L"Tallyz Sans", ManagerTest::FaceChosenFor(L"Tallyz Sans"));
    manager_.AddFontFile(L"fonts\\tallyz.TTF");
    EXPECT_EQ(L"Tallyz Sans", ManagerTest::FaceChosenFor(L"Tallyz Sans"));
}

TEST_F(SkinZipResources, ImagesComeFromTheArchive) {
    TImageData* green = manager_.GetImageEx(L"img\\green.png");
    ASSERT_NE(nullptr, green);
    EXPECT_EQ(3, green->width);
    EXPECT_EQ(5, green->height);
    EXPECT_EQ(green, manager_.GetImage(L"img\\green.png"));
    TImageData* half = manager_.AddImage(L"img/half.png");
    ASSERT_NE(nullptr, half);
    EXPECT_TRUE(half->hasAlpha);
    DIBSECTION section = {};
    ASSERT_EQ(static_cast<int>(sizeof(section)), GetObjectW(half->bitmap, sizeof(section), &section));
    DWORD pixel = 0;
    memcpy(&pixel, section.dsBm.bmBits, 4);
    EXPECT_EQ(0x80808080u, pixel);
    EXPECT_EQ(nullptr, manager_.AddImage(L"img\\absent.png"));
}

}  // namespace
