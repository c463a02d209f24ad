// Times loading a 1200x770 nine-grid skin image and drawing it into a window-sized
// bitmap. Run by hand under Wine: bench_nine_grid.exe [iterations]
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

#include <UIManager.h>
#include <UIRender.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "ZipBuilder.h"

using HiveUI::CPaintManagerUI;
using HiveUI::CUIRender;
using HiveUI::TImageData;

namespace {

const int kWidth = 1200, kHeight = 770;

void Append(void* context, void* data, int size) {
    std::vector<unsigned char>* out = static_cast<std::vector<unsigned char>*>(context);
    out->insert(out->end(), static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
}

// A window background: soft shadow borders of 12 pixels around an opaque panel.
std::vector<unsigned char> MakePng() {
    std::vector<unsigned char> rgba(static_cast<size_t>(kWidth) * kHeight * 4);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const int edge = std::min(std::min(x, y), std::min(kWidth - 1 - x, kHeight - 1 - y));
            unsigned char* p = &rgba[(static_cast<size_t>(y) * kWidth + x) * 4];
            p[0] = static_cast<unsigned char>(40 + x % 200);
            p[1] = static_cast<unsigned char>(60 + y % 180);
            p[2] = 200;
            p[3] = static_cast<unsigned char>(edge >= 12 ? 255 : edge * 20);
        }
    }
    std::vector<unsigned char> png;
    stbi_write_png_to_func(Append, &png, kWidth, kHeight, 4, rgba.data(), kWidth * 4);
    return png;
}

// The programs' way: a deflated skin archive in memory, opened once and kept.
bool PrepareSkin(const std::vector<unsigned char>& png, std::string& archive) {
    const std::string bytes(png.begin(), png.end());
    archive = TestZip::Build({TestZip::Make("images/window_bg.png", bytes, 8)});
    CPaintManagerUI::SetResourceZipFromMemory(archive.data(), static_cast<DWORD>(archive.size()), L"");
    return CPaintManagerUI::GetResourceZipHandle() != nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    const int iterations = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    const std::vector<unsigned char> png = MakePng();
    std::string archive;
    if (!PrepareSkin(png, archive)) {
        fprintf(stderr, "cannot open the skin archive\n");
        return 1;
    }
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 1280, -800, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP target = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, target);

    double loadTotal = 0, drawTotal = 0;
    for (int i = 0; i < iterations; ++i) {
        const double start = NowMs();
        TImageData* image = CUIRender::LoadImageByName(L"images\\window_bg.png");
        const double loaded = NowMs();
        if (image == nullptr) {
            fprintf(stderr, "the skin image does not load\n");
            return 1;
        }
        const RECT dest = {0, 0, 1280, 800};
        CUIRender::DrawImage(dc, image->bitmap, dest, dest, RECT{0, 0, kWidth, kHeight}, RECT{12, 12, 12, 12},
                             image->hasAlpha);
        GdiFlush();
        const double drawn = NowMs();
        loadTotal += loaded - start;
        drawTotal += drawn - loaded;
        CUIRender::FreeImage(image);
    }
    printf("source: skin archive in memory, png %u bytes, %dx%d, %d iterations\n",
           static_cast<unsigned>(png.size()), kWidth, kHeight, iterations);
    printf("load: %.2f ms per image\n", loadTotal / iterations);
    printf("draw nine-grid into 1280x800: %.2f ms per draw\n", drawTotal / iterations);
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
    return 0;
}
