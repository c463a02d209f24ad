#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include "BenchSkin.h"

#include <UIContainer.h>
#include <UIManager.h>
#include <UIRender.h>

#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "ZipBuilder.h"

namespace BenchSkin {

namespace {

using Pixel = std::function<void(int x, int y, unsigned char* rgba)>;

std::string Png(int width, int height, const Pixel& pixel) {
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixel(x, y, &rgba[(static_cast<size_t>(y) * width + x) * 4]);
    std::string png;
    stbi_write_png_to_func([](void* out, void* data, int size) {
        static_cast<std::string*>(out)->append(static_cast<const char*>(data), size);
    }, &png, width, height, 4, rgba.data(), width * 4);
    return png;
}

// Opaque inside, fading out over `shadow` pixels towards the edges.
Pixel Shadowed(int width, int height, int shadow, unsigned char r, unsigned char g, unsigned char b) {
    return [=](int x, int y, unsigned char* p) {
        const int edge = std::min(std::min(x, y), std::min(width - 1 - x, height - 1 - y));
        p[0] = r, p[1] = g, p[2] = b;
        p[3] = static_cast<unsigned char>(edge >= shadow ? 255 : (edge + 1) * 255 / (shadow + 1));
    };
}

// A disc with a soft rim on a transparent square.
Pixel Disc(int size, unsigned char r, unsigned char g, unsigned char b) {
    return [=](int x, int y, unsigned char* p) {
        const double c = (size - 1) / 2.0, d = std::hypot(x - c, y - c);
        p[0] = r, p[1] = g, p[2] = b;
        p[3] = static_cast<unsigned char>(std::clamp((c + 0.5 - d) * 255.0, 0.0, 255.0));
    };
}

std::wstring Card(int i) {
    const std::wstring n = std::to_wstring(i);
    return L"<VerticalLayout name=\"card" + n + L"\" bkimage=\"file='images/card.png' corner='8,8,8,8'\" "
           L"inset=\"8,6,8,6\" childpadding=\"4\">"
           L"<HorizontalLayout height=\"20\"><Control width=\"20\" bkimage=\"images/icon.png\"/>"
           L"<Label name=\"cardtitle" + n + L"\" padding=\"8,0,0,0\" text=\"Orders of shop " + n + L"\"/></HorizontalLayout>"
           L"<Label name=\"cardvalue" + n + L"\" height=\"18\" text=\"" + std::to_wstring(1200 + i * 37) + L" items\"/>"
           L"<Control height=\"1\" bkcolor=\"#FFE1E4E8\"/>"
           L"<Label name=\"cardfoot" + n + L"\" height=\"18\" text=\"updated today\" bordercolor=\"#FFD0D4D9\" "
           L"bordersize=\"1\"/></VerticalLayout>";
}

std::wstring Skin() {
    std::wstring xml =
        L"<?xml version=\"1.0\" encoding=\"utf-8\"?><Window size=\"1200,770\" caption=\"0,0,0,52\">"
        L"<VerticalLayout name=\"root\" bkimage=\"file='images/window_bg.png' corner='12,12,12,12'\" "
        L"inset=\"12,12,12,12\">"
        L"<HorizontalLayout name=\"titlebar\" height=\"40\" bkcolor=\"#FF2F5D8A\" inset=\"12,8,8,8\" childpadding=\"8\">"
        L"<Control width=\"24\" bkimage=\"images/logo.png\"/><Label name=\"title\" width=\"300\" text=\"tallyhive\"/>"
        L"<Control/><Control name=\"minbtn\" width=\"24\" bkimage=\"images/button.png\"/>"
        L"<Control name=\"maxbtn\" width=\"24\" bkimage=\"images/button.png\"/>"
        L"<Control name=\"closebtn\" width=\"24\" bkimage=\"images/close.png\"/></HorizontalLayout>"
        L"<HorizontalLayout name=\"body\">"
        L"<VerticalLayout name=\"nav\" width=\"200\" bkcolor=\"#FF24303C\" inset=\"0,8,0,8\">";
    for (int i = 0; i < 16; ++i) {
        const std::wstring n = std::to_wstring(i);
        xml += L"<HorizontalLayout name=\"navitem" + n + L"\" height=\"36\" inset=\"16,10,8,10\" childpadding=\"10\"" +
               (i == 2 ? L" bkcolor=\"#FF3A6EA5\">" : L">") + L"<Control width=\"16\" bkimage=\"images/dot.png\"/>"
               L"<Label name=\"navtext" + n + L"\" text=\"Section " + n + L"\"/></HorizontalLayout>";
    }
    xml += L"</VerticalLayout><VerticalLayout name=\"content\" bkcolor=\"#FFF4F6F8\" inset=\"16,12,16,12\" "
           L"childpadding=\"12\"><HorizontalLayout name=\"toolbar\" height=\"30\" childpadding=\"8\">";
    for (int i = 0; i < 6; ++i)
        xml += L"<Label name=\"tool" + std::to_wstring(i) + L"\" width=\"110\" bkcolor=\"#FFFFFFFF\" "
               L"bordercolor=\"#FFB8C2CC\" bordersize=\"1\" text=\"Action " + std::to_wstring(i) + L"\"/>";
    xml += L"</HorizontalLayout><TileLayout name=\"cards\" columns=\"5\" itemsize=\"184,86\">";
    for (int i = 0; i < 35; ++i) xml += Card(i);
    xml += L"</TileLayout><HorizontalLayout name=\"status\" height=\"24\" bkcolor=\"#FFE9EDF1\">";
    for (int i = 0; i < 4; ++i) xml += L"<Label width=\"200\" text=\"status field " + std::to_wstring(i) + L"\"/>";
    return xml + L"</HorizontalLayout></VerticalLayout></HorizontalLayout></VerticalLayout></Window>";
}

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

}  // namespace

std::string MakeArchive() {
    return TestZip::Build({
        TestZip::Make("bench/window.xml", Utf8(Skin())),
        TestZip::Make("images/window_bg.png", Png(64, 64, Shadowed(64, 64, 12, 250, 250, 252))),
        TestZip::Make("images/card.png", Png(32, 32, Shadowed(32, 32, 4, 255, 255, 255))),
        TestZip::Make("images/icon.png", Png(20, 20, Disc(20, 70, 140, 220))),
        TestZip::Make("images/logo.png", Png(24, 24, Disc(24, 250, 200, 60))),
        TestZip::Make("images/button.png", Png(24, 24, Disc(24, 200, 210, 220))),
        TestZip::Make("images/close.png", Png(24, 24, Disc(24, 220, 80, 70))),
        TestZip::Make("images/dot.png", Png(16, 16, Disc(16, 160, 180, 200))),
    });
}

void UseArchive(const std::string& archive) {
    HiveUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    HiveUI::CPaintManagerUI::SetResourceZipFromMemory(archive.data(), static_cast<DWORD>(archive.size()), nullptr);
}

int CountControls(HiveUI::CControlUI* control) {
    int count = 1;
    auto* container = static_cast<HiveUI::IContainerUI*>(control->GetInterface(L"IContainer"));
    for (int i = 0; container != nullptr && i < container->GetCount(); ++i) count += CountControls(container->GetItemAt(i));
    return count;
}

void Label::PaintText(HDC hdc) {
    RECT rc = GetPos();
    rc.left += 4;
    HiveUI::CUIRender::DrawText(hdc, GetManager(), rc, GetText(), 0xFF333333, -1,
                                DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS);
}

HiveUI::CControlUI* Frame::CreateControl(const wchar_t* className) {
    return wcscmp(className, L"Label") == 0 ? new Label : nullptr;
}

HWND Frame::Open() {
    HWND wnd = CreateInRect(nullptr, L"bench", WS_POPUP | WS_CLIPCHILDREN, 0, RECT{0, 0, kWidth, kHeight});
    if (wnd == nullptr) return nullptr;
    ::ShowWindow(wnd, SW_SHOWNOACTIVATE);
    ::UpdateWindow(wnd);
    return wnd;
}

}  // namespace BenchSkin
