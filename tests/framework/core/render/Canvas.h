// A 32-bit DIB section selected into a memory DC, for drawing and reading back.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

class Canvas {
public:
    // Rows are stored top-down unless asked otherwise; At() indexes them as stored.
    Canvas(int width, int height, DWORD fill = 0xFF000000, bool bottomUp = false) : m_width(width), m_height(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = bottomUp ? height : -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
        Fill(fill);
    }
    ~Canvas() {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return m_dc; }
    HBITMAP bitmap() const { return m_bitmap; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    void Fill(DWORD argb) {
        GdiFlush();
        for (int i = 0; i < m_width * m_height; ++i) m_bits[i] = argb;
    }
    void Set(int x, int y, DWORD argb) {
        GdiFlush();
        m_bits[y * m_width + x] = argb;
    }
    // 0xAARRGGBB as stored.
    DWORD At(int x, int y) const {
        GdiFlush();
        return m_bits[y * m_width + x];
    }

private:
    int m_width, m_height;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    DWORD* m_bits = nullptr;
};

inline int ChannelOf(DWORD argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); }

// Colour channels equal within a tolerance (GDI rounds); alpha is not compared.
inline ::testing::AssertionResult ColourNear(DWORD expected, DWORD actual, int tolerance = 1) {
    for (int shift = 0; shift <= 16; shift += 8) {
        if (std::abs(ChannelOf(expected, shift) - ChannelOf(actual, shift)) > tolerance)
            return ::testing::AssertionFailure() << std::hex << "expected 0x" << expected << ", got 0x" << actual;
    }
    return ::testing::AssertionSuccess();
}
