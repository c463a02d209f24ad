// What the paint manager tests share: a plain top-level window, a PNG made in memory and a
// font file whose family no installed font has, so that only loading it can make it exist.
#pragma once

#include <windows.h>

#include <stb_image_write.h>

#include <string>
#include <vector>

namespace ManagerTest {

inline HWND CreatePlainWindow(DWORD style = WS_POPUP, HWND parent = nullptr) {
    static const ATOM atom = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TallyhiveManagerTestWnd";
        return RegisterClassW(&wc);
    }();
    (void)atom;
    return CreateWindowExW(0, L"TallyhiveManagerTestWnd", L"manager", style, 10, 10, 200, 120, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

inline void Append(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), size);
}

// A PNG of one colour (0xAARRGGBB).
inline std::string SolidPng(int width, int height, DWORD argb) {
    std::vector<unsigned char> pixels;
    for (int i = 0; i < width * height; ++i) {
        pixels.push_back(static_cast<unsigned char>(argb >> 16));
        pixels.push_back(static_cast<unsigned char>(argb >> 8));
        pixels.push_back(static_cast<unsigned char>(argb));
        pixels.push_back(static_cast<unsigned char>(argb >> 24));
    }
    std::string out;
    stbi_write_png_to_func(Append, &out, width, height, 4, pixels.data(), width * 4);
    return out;
}

inline std::string ReadHostFile(const char* unixPath) {
    std::wstring path = L"\\\\?\\unix";
    for (const char* p = unixPath; *p; ++p) path += static_cast<wchar_t>(*p == '/' ? '\\' : *p);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string data(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, &data[0], static_cast<DWORD>(data.size()), &read, nullptr);
    CloseHandle(file);
    data.resize(read);
    return data;
}

inline void ReplaceAll(std::string& data, const std::string& from, const std::string& to) {
    for (size_t at = data.find(from); at != std::string::npos; at = data.find(from, at + to.size()))
        data.replace(at, from.size(), to);
}

inline std::string Utf16BE(const std::string& ascii) {
    std::string out;
    for (char c : ascii) {
        out += '\0';
        out += c;
    }
    return out;
}

// DejaVu Sans renamed in its name table to a family of the given six letters.
inline std::string RenamedFont(const std::string& family) {
    std::string data = ReadHostFile("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    ReplaceAll(data, "DejaVu", family);
    ReplaceAll(data, Utf16BE("DejaVu"), Utf16BE(family));
    return data;
}

// The face GDI picks for a request of the given face name. GDI keeps the choice made for
// a font description, so every request differs in height from the ones before.
inline std::wstring FaceChosenFor(const wchar_t* face) {
    static LONG height = 10;
    LOGFONTW logFont = {};
    logFont.lfHeight = -(++height);
    logFont.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(logFont.lfFaceName, face, LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectW(&logFont);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    wchar_t chosen[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, chosen);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(font);
    return chosen;
}

}  // namespace ManagerTest
