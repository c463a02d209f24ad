#include <UIManager.h>
#include <UIRender.h>

#include <gdiplus.h>
#include <stb_image_write.h>

#include <gtest/gtest.h>

#include "TestFiles.h"

#include <cstdlib>
#include <string>
#include <vector>

using HiveUI::CPaintManagerUI;
using HiveUI::CUIRender;
using HiveUI::TImageData;

namespace {

using Bytes = std::vector<unsigned char>;
using Rgba = std::vector<unsigned char>;

void Append(void* context, void* data, int size) {
    Bytes* out = static_cast<Bytes*>(context);
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

Bytes Png(int width, int height, const Rgba& pixels) {
    Bytes out;
    stbi_write_png_to_func(Append, &out, width, height, 4, pixels.data(), width * 4);
    return out;
}

Rgba Fill(int count, unsigned char r, unsigned char g, unsigned char b, unsigned char a) {
    Rgba pixels;
    for (int i = 0; i < count; ++i) pixels.insert(pixels.end(), {r, g, b, a});
    return pixels;
}

std::wstring TempFolder() {
    const std::wstring folder = TestFiles::TempFolder() + L"imageload\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void SaveFile(const std::wstring& path, const Bytes& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(bytes.size(), written);
}

// The bitmap's bits in memory order, with the DIB's header.
struct Dib {
    DIBSECTION section;
    const unsigned char* Pixel(int x, int y) const {
        return static_cast<const unsigned char*>(section.dsBm.bmBits) + (y * section.dsBm.bmWidthBytes) + x * 4;
    }
};

Dib Inspect(const TImageData* image) {
    Dib dib = {};
    EXPECT_EQ(static_cast<int>(sizeof(DIBSECTION)), GetObjectW(image->bitmap, sizeof(DIBSECTION), &dib.section));
    return dib;
}

void ExpectBgra(const unsigned char* p, int b, int g, int r, int a) {
    EXPECT_EQ(b, p[0]);
    EXPECT_EQ(g, p[1]);
    EXPECT_EQ(r, p[2]);
    EXPECT_EQ(a, p[3]);
}

TImageData* LoadFile(const Bytes& bytes, DWORD mask = 0) {
    const std::wstring path = TempFolder() + L"image.bin";
    SaveFile(path, bytes);
    CPaintManagerUI::SetResourcePath(L"");
    return CUIRender::LoadImage(path.c_str(), nullptr, mask);
}

}  // namespace

TEST(ImageLoad, OpaqueRedIsStoredBlueGreenRedWithoutAlpha) {
    TImageData* image = LoadFile(Png(3, 2, Fill(6, 255, 0, 0, 255)));
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(3, image->width);
    EXPECT_EQ(2, image->height);
    EXPECT_FALSE(image->hasAlpha);
    EXPECT_EQ(nullptr, image->pixels);
    EXPECT_EQ(nullptr, image->savedPixels);
    const Dib dib = Inspect(image);
    EXPECT_EQ(32, dib.section.dsBm.bmBitsPixel);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) ExpectBgra(dib.Pixel(x, y), 0, 0, 255, 255);
    CUIRender::FreeImage(image);
}

TEST(ImageLoad, TransparentPixelsArePremultiplied) {
    Rgba pixels = Fill(1, 255, 255, 255, 128);
    const Rgba more = Fill(1, 200, 100, 50, 64);
    pixels.insert(pixels.end(), more.begin(), more.end());
    TImageData* image = LoadFile(Png(2, 1, pixels));
    ASSERT_NE(nullptr, image);
    EXPECT_TRUE(image->hasAlpha);
    const Dib dib = Inspect(image);
    ExpectBgra(dib.Pixel(0, 0), 128, 128, 128, 128);
    ExpectBgra(dib.Pixel(1, 0), 50 * 64 / 255, 100 * 64 / 255, 200 * 64 / 255, 64);
    CUIRender::FreeImage(image);
}

TEST(ImageLoad, MaskColourBecomesFullyTransparent) {
    Rgba pixels = Fill(1, 255, 0, 255, 255);
    const Rgba green = Fill(1, 0, 255, 0, 255);
    pixels.insert(pixels.end(), green.begin(), green.end());
    const Bytes png = Png(2, 1, pixels);

    TImageData* masked = LoadFile(png, 0xFFFF00FF);
    ASSERT_NE(nullptr, masked);
    EXPECT_TRUE(masked->hasAlpha);
    ExpectBgra(Inspect(masked).Pixel(0, 0), 0, 0, 0, 0);
    ExpectBgra(Inspect(masked).Pixel(1, 0), 0, 255, 0, 255);
    CUIRender::FreeImage(masked);

    TImageData* unmasked = LoadFile(png, 0xFF00FFFF);  // matches no pixel
    ASSERT_NE(nullptr, unmasked);
    EXPECT_FALSE(unmasked->hasAlpha);
    ExpectBgra(Inspect(unmasked).Pixel(0, 0), 255, 0, 255, 255);
    CUIRender::FreeImage(unmasked);
}

TEST(ImageLoad, RowsAreTopDown) {
    Rgba pixels = Fill(2, 255, 0, 0, 255);
    const Rgba blue = Fill(2, 0, 0, 255, 255);
    pixels.insert(pixels.end(), blue.begin(), blue.end());
    TImageData* image = LoadFile(Png(2, 2, pixels));
    ASSERT_NE(nullptr, image);
    // The first row in memory is the picture's top row, and GDI agrees that it is the top.
    const Dib dib = Inspect(image);
    ExpectBgra(dib.Pixel(1, 0), 0, 0, 255, 255);
    ExpectBgra(dib.Pixel(1, 1), 255, 0, 0, 255);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, image->bitmap);
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 0, 0));
    EXPECT_EQ(RGB(0, 0, 255), GetPixel(dc, 0, 1));
    SelectObject(dc, old);
    DeleteDC(dc);
    CUIRender::FreeImage(image);
}

TEST(ImageLoad, CorruptTruncatedOrMissingBytesGiveNoImage) {
    const Rgba pixels = Fill(40 * 30, 10, 20, 30, 255);
    const Bytes png = Png(40, 30, pixels);
    Bytes bmp, tga;
    stbi_write_bmp_to_func(Append, &bmp, 40, 30, 4, pixels.data());
    stbi_write_tga_to_func(Append, &tga, 40, 30, 4, pixels.data());
    TImageData* whole = LoadFile(bmp);
    ASSERT_NE(nullptr, whole);  // the formats themselves load
    CUIRender::FreeImage(whole);
    whole = LoadFile(tga);
    ASSERT_NE(nullptr, whole);
    CUIRender::FreeImage(whole);

    Bytes corrupt = png;
    for (size_t i = 40; i < corrupt.size(); ++i) corrupt[i] ^= 0x5A;
    const Bytes cases[] = {
        Bytes(png.begin(), png.begin() + png.size() / 2),
        Bytes(bmp.begin(), bmp.begin() + bmp.size() / 2),  // would decode as a partly filled image
        Bytes(tga.begin(), tga.end() - 10),
        corrupt,
        Bytes{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'},
        Bytes(),
    };
    for (const Bytes& bytes : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&bytes - cases));
        TImageData* image = LoadFile(bytes);
        EXPECT_EQ(nullptr, image);
        CUIRender::FreeImage(image);
    }
    EXPECT_EQ(nullptr, CUIRender::LoadImage(L"Z:\\no\\such\\image.png"));
    EXPECT_EQ(nullptr, CUIRender::LoadImageByName(nullptr));
}

TEST(ImageLoad, SkinFolderComesFirstThenThePathItself) {
    const std::wstring folder = TempFolder();
    CreateDirectoryW((folder + L"skin").c_str(), nullptr);
    CreateDirectoryW((folder + L"skin\\img").c_str(), nullptr);
    SaveFile(folder + L"skin\\img\\dot.png", Png(1, 1, Fill(1, 0, 255, 0, 255)));
    SaveFile(folder + L"img_dot.png", Png(2, 1, Fill(2, 0, 0, 255, 255)));

    CPaintManagerUI::SetResourcePath((folder + L"skin").c_str());
    TImageData* fromSkin = CUIRender::LoadImageByName(L"img\\dot.png");
    ASSERT_NE(nullptr, fromSkin);
    ExpectBgra(Inspect(fromSkin).Pixel(0, 0), 0, 255, 0, 255);
    CUIRender::FreeImage(fromSkin);

    TImageData* absolute = CUIRender::LoadImageByName((folder + L"img_dot.png").c_str());
    ASSERT_NE(nullptr, absolute);
    EXPECT_EQ(2, absolute->width);
    CUIRender::FreeImage(absolute);
    CPaintManagerUI::SetResourcePath(L"");
}

TEST(ImageLoad, ModuleResourcesByNameAndById) {
    // A copy of this program with two PNG resources added, loaded as a data file.
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring copy = TempFolder() + L"resources.dll";
    ASSERT_TRUE(CopyFileW(self, copy.c_str(), FALSE));
    Bytes red = Png(2, 2, Fill(4, 255, 0, 0, 255));
    Bytes half = Png(1, 1, Fill(1, 255, 255, 255, 128));
    HANDLE update = BeginUpdateResourceW(copy.c_str(), FALSE);
    ASSERT_NE(nullptr, update);
    const WORD language = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
    ASSERT_TRUE(UpdateResourceW(update, L"PNG", MAKEINTRESOURCEW(101), language, red.data(),
                                static_cast<DWORD>(red.size())));
    ASSERT_TRUE(UpdateResourceW(update, L"PNG", L"HALF", language, half.data(), static_cast<DWORD>(half.size())));
    ASSERT_TRUE(EndUpdateResourceW(update, FALSE));
    HMODULE module = LoadLibraryExW(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);

    TImageData* byId = CUIRender::LoadImageById(101, L"PNG", 0, module);
    ASSERT_NE(nullptr, byId);
    EXPECT_EQ(2, byId->width);
    ExpectBgra(Inspect(byId).Pixel(1, 1), 0, 0, 255, 255);
    CUIRender::FreeImage(byId);

    // Without an instance the resource module of the process is used.
    CPaintManagerUI::SetInstance(module);
    TImageData* byName = CUIRender::LoadImageByName(L"HALF", L"PNG");
    ASSERT_NE(nullptr, byName);
    EXPECT_TRUE(byName->hasAlpha);
    ExpectBgra(Inspect(byName).Pixel(0, 0), 128, 128, 128, 128);
    CUIRender::FreeImage(byName);
    EXPECT_EQ(nullptr, CUIRender::LoadImageById(102, L"PNG"));
    EXPECT_EQ(nullptr, CUIRender::LoadImageByName(L"HALF", L"OTHER"));
    CPaintManagerUI::SetInstance(nullptr);
    FreeLibrary(module);
}

TEST(ImageLoad, FreeImageReleasesBitmapAndPixelCopies) {
    TImageData* image = LoadFile(Png(2, 2, Fill(4, 1, 2, 3, 255)));
    ASSERT_NE(nullptr, image);
    image->pixels = new BYTE[16];
    image->savedPixels = new BYTE[16];
    HBITMAP bitmap = image->bitmap;
    CUIRender::FreeImage(image, false);
    EXPECT_EQ(nullptr, image->bitmap);
    EXPECT_EQ(nullptr, image->pixels);
    EXPECT_EQ(nullptr, image->savedPixels);
    EXPECT_EQ(0, GetObjectType(bitmap));
    delete image;
}

TEST(ImageLoad, GdiplusImagesFromMemoryAndFromTheSkin) {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&token, &input, nullptr));
    const Bytes png = Png(5, 3, Fill(15, 0, 0, 255, 255));
    Gdiplus::GpImage* image = CUIRender::CreateImageFromMemory(png.data(), static_cast<DWORD>(png.size()));
    ASSERT_NE(nullptr, image);
    UINT width = 0, height = 0;
    Gdiplus::DllExports::GdipGetImageWidth(image, &width);
    Gdiplus::DllExports::GdipGetImageHeight(image, &height);
    EXPECT_EQ(5u, width);
    EXPECT_EQ(3u, height);
    Gdiplus::DllExports::GdipDisposeImage(image);

    const Bytes junk(64, 0x33);
    EXPECT_EQ(nullptr, CUIRender::CreateImageFromMemory(junk.data(), static_cast<DWORD>(junk.size())));

    const std::wstring folder = TempFolder();
    SaveFile(folder + L"anim.png", png);
    CPaintManagerUI::SetResourcePath(folder.c_str());
    Gdiplus::GpImage* fromSkin = CUIRender::GdiplusLoadImage(L"file='anim.png' fade='20'");
    ASSERT_NE(nullptr, fromSkin);
    Gdiplus::DllExports::GdipGetImageWidth(fromSkin, &width);
    EXPECT_EQ(5u, width);
    Gdiplus::DllExports::GdipDisposeImage(fromSkin);
    EXPECT_EQ(nullptr, CUIRender::GdiplusLoadImage(L"file='missing.png'"));
    CPaintManagerUI::SetResourcePath(L"");
    Gdiplus::GdiplusShutdown(token);
}
