// Images from a skin archive held in memory. The archive stays set for the rest of the
// process, so these tests have an executable of their own.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

#include <UIManager.h>
#include <UIRender.h>

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <string>

#include "TestFiles.h"
#include "ZipBuilder.h"

using HiveUI::CPaintManagerUI;
using HiveUI::CUIRender;
using HiveUI::TImageData;

namespace {

void Append(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<size_t>(size));
}

std::string Png(int width, int height, unsigned char r, unsigned char g, unsigned char b, unsigned char a) {
    std::string rgba;
    for (int i = 0; i < width * height; ++i) {
        for (unsigned char channel : {r, g, b, a}) rgba += static_cast<char>(channel);
    }
    std::string out;
    stbi_write_png_to_func(Append, &out, width, height, 4, rgba.data(), width * 4);
    return out;
}

DWORD FirstPixel(const TImageData* image) {
    DIBSECTION section = {};
    GetObjectW(image->bitmap, sizeof(section), &section);
    return *static_cast<const DWORD*>(section.dsBm.bmBits);
}

class ImageZip : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::string red = Png(3, 2, 255, 0, 0, 255);
        std::string truncated = Png(40, 40, 1, 2, 3, 255);
        truncated.resize(truncated.size() / 2);
        s_archive = new std::string(TestZip::Build({
            TestZip::Make("Img/Red.PNG", red, 8),
            TestZip::Make("img/half.png", Png(1, 1, 255, 255, 255, 128), 0),
            TestZip::Make("img/truncated.png", truncated, 8),
        }));
        // The archive reads from this block for the rest of the process.
        CPaintManagerUI::SetResourceZipFromMemory(s_archive->data(), static_cast<DWORD>(s_archive->size()), L"");
        ASSERT_NE(nullptr, CPaintManagerUI::GetResourceZipHandle());
    }
    static std::string* s_archive;
};

std::string* ImageZip::s_archive = nullptr;

}  // namespace

TEST_F(ImageZip, EntriesAreFoundWithBackslashesAndIgnoringCase) {
    TImageData* red = CUIRender::LoadImageByName(L"img\\red.png");
    ASSERT_NE(nullptr, red);
    EXPECT_EQ(3, red->width);
    EXPECT_EQ(2, red->height);
    EXPECT_FALSE(red->hasAlpha);
    EXPECT_EQ(0xFFFF0000u, FirstPixel(red));
    CUIRender::FreeImage(red);

    TImageData* half = CUIRender::LoadImage(L"IMG/HALF.png");
    ASSERT_NE(nullptr, half);
    EXPECT_TRUE(half->hasAlpha);
    EXPECT_EQ(0x80808080u, FirstPixel(half));
    CUIRender::FreeImage(half);
}

TEST_F(ImageZip, MissingOrBrokenEntriesGiveNoImageButPathsStillLoad) {
    EXPECT_EQ(nullptr, CUIRender::LoadImage(L"img\\missing.png"));
    EXPECT_EQ(nullptr, CUIRender::LoadImage(L"img\\truncated.png"));
    const std::wstring path = TestFiles::TempFolder() + L"outside.png";
    ASSERT_TRUE(TestFiles::Write(path, Png(2, 2, 0, 0, 255, 255)));
    TImageData* outside = CUIRender::LoadImage(path.c_str());
    ASSERT_NE(nullptr, outside);
    EXPECT_EQ(0xFF0000FFu, FirstPixel(outside));
    CUIRender::FreeImage(outside);
}

TEST_F(ImageZip, GdiplusImagesComeFromTheArchiveToo) {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&token, &input, nullptr));
    Gdiplus::GpImage* image = CUIRender::GdiplusLoadImage(L"file='img/red.png'");
    ASSERT_NE(nullptr, image);
    UINT width = 0;
    Gdiplus::DllExports::GdipGetImageWidth(image, &width);
    EXPECT_EQ(3u, width);
    Gdiplus::DllExports::GdipDisposeImage(image);
    Gdiplus::GdiplusShutdown(token);
}
