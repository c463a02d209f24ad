// What the drag and drop tests share: OLE started once on the test thread, a window whose
// paint manager is its drop target and which keeps the pictures handed to it, and ways to
// build and read back pixels.
#pragma once

#include <DataObject.h>
#include <UIManager.h>
#include <WindowWnd.h>

#include <gtest/gtest.h>

#include <vector>

class OleEnvironment : public testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }
};

// A framework window that takes STM_SETIMAGE as the manager's drop expects: it keeps the
// picture it is given and returns the one it held.
class PictureWnd : public HiveUI::CWindowWnd {
public:
    const wchar_t* GetWindowClassName() const override { return L"TallyhiveDropWnd"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_CREATE) manager.Init(m_hWnd);
        if (msg == STM_SETIMAGE) {
            ++images;
            HBITMAP previous = picture;
            picture = reinterpret_cast<HBITMAP>(lParam);
            return reinterpret_cast<LRESULT>(previous);
        }
        if (msg == WM_LBUTTONUP) ++releases;
        LRESULT result = 0;
        if (manager.MessageHandler(msg, wParam, lParam, result)) return result;
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    }
    void OnFinalMessage(HWND) override {
        if (picture != nullptr) DeleteObject(picture);
        picture = nullptr;
    }
    HiveUI::CPaintManagerUI manager;
    HBITMAP picture = nullptr;
    int images = 0;
    int releases = 0;
};

// The pixels of a bitmap as 0x00RRGGBB, rows top-down; empty when it is no bitmap.
inline std::vector<DWORD> Pixels(HBITMAP bitmap, SIZE* size = nullptr) {
    BITMAP info = {};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof(info), &info) == 0) return {};
    if (size != nullptr) *size = {info.bmWidth, info.bmHeight};
    BITMAPINFO bmi = {};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), info.bmWidth, -info.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, info.bmHeight, pixels.data(), &bmi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != info.bmHeight) return {};
    for (DWORD& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

// A 32-bit bitmap of the given size whose pixel (x, y) is colour(x, y).
template <class Colour>
HBITMAP MakeBitmap(int width, int height, Colour colour) {
    BITMAPINFO bmi = {};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* pixels = static_cast<DWORD*>(bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels[y * width + x] = colour(x, y);
    return bitmap;
}

inline DWORD Checker(int x, int y) { return (x + y) % 2 == 0 ? 0x123456 : 0xFEDCBA; }

// A data object of our own holding one medium, with one reference.
inline HiveUI::CIDataObject* DataWith(CLIPFORMAT format, DWORD tymed, HANDLE handle, bool release = true) {
    auto* data = new HiveUI::CIDataObject(nullptr);
    data->AddRef();
    FORMATETC etc = {format, nullptr, DVASPECT_CONTENT, -1, tymed};
    STGMEDIUM medium = {};
    medium.tymed = tymed;
    medium.hGlobal = handle;
    data->SetData(&etc, &medium, release ? TRUE : FALSE);
    return data;
}

inline HGLOBAL GlobalWith(const void* bytes, size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    CopyMemory(GlobalLock(memory), bytes, size);
    GlobalUnlock(memory);
    return memory;
}
