// What text drawing tests share: a paint manager on a plain window whose font 0 is
// 16-pixel Tahoma, and where the ink of a painting lies.
#pragma once

#include <UIManager.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>

#include "Canvas.h"

class FontFixture : public testing::Test {
protected:
    void SetUp() override {
        wnd_ = CreateWindowExW(0, L"STATIC", L"text", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, wnd_);
        manager_.Init(wnd_);
        ASSERT_NE(nullptr, manager_.AddFont(0, L"Tahoma", 16, false, false, false));
    }
    void TearDown() override { DestroyWindow(wnd_); }

    // Lines as DrawText stacks them, and as tagged text does (with the external leading).
    int TextHeight() { return manager_.GetFontInfo(0)->metrics.tmHeight; }
    int LineHeight() { return TextHeight() + manager_.GetFontInfo(0)->metrics.tmExternalLeading; }
    int Width(const wchar_t* text) {
        SIZE size = {};
        HGDIOBJ old = SelectObject(manager_.GetPaintDC(), manager_.GetFont(0));
        GetTextExtentPoint32W(manager_.GetPaintDC(), text, static_cast<int>(wcslen(text)), &size);
        SelectObject(manager_.GetPaintDC(), old);
        return size.cx;
    }

    HWND wnd_ = nullptr;
    HiveUI::CPaintManagerUI manager_;
};

// The bounding box of every pixel that differs from the background; empty when none.
inline RECT InkBox(const Canvas& canvas, DWORD background = 0xFFFFFFFF) {
    RECT box = {canvas.width(), canvas.height(), 0, 0};
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (((canvas.At(x, y) ^ background) & 0xFFFFFF) != 0) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    return box.right > 0 ? box : RECT{0, 0, 0, 0};
}

// Whether some pixel has exactly this colour (0xRRGGBB).
inline bool HasColour(const Canvas& canvas, DWORD rgb) {
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if ((canvas.At(x, y) & 0xFFFFFF) == rgb) return true;
    return false;
}

inline bool SamePixels(const Canvas& a, const Canvas& b) {
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (((a.At(x, y) ^ b.At(x, y)) & 0xFFFFFF) != 0) return false;
    return true;
}
