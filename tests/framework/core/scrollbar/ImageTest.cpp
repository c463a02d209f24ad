#include <stb_image_write.h>

#include <cstdlib>
#include <cstring>

#include "../container/ContainerKit.h"

using namespace HiveUI;

namespace {

// Writes an opaque 8x8 PNG of one colour into the test folder.
void WriteSolidPng(const std::string& folder, const char* name, unsigned char r, unsigned char g, unsigned char b) {
    std::vector<unsigned char> rgba(8 * 8 * 4);
    for (size_t i = 0; i < rgba.size(); i += 4) {
        rgba[i] = r;
        rgba[i + 1] = g;
        rgba[i + 2] = b;
        rgba[i + 3] = 0xFF;
    }
    std::string png;
    stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            static_cast<std::string*>(context)->append(static_cast<const char*>(data), size);
        },
        &png, 8, 8, 4, rgba.data(), 8 * 4);
    std::string path = folder + "\\" + name;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
    CloseHandle(file);
}

TEST_F(ContainerWindow, TheThumbDrawsItsStateImageOrElseItsNormalOneAndOnlyBareButtonsShowOutlines) {
    const char* tmp = getenv("TALLYHIVE_TEST_TMP");
    ASSERT_NE(nullptr, tmp);
    WriteSolidPng(tmp, "thumbgreen.png", 0, 0xFF, 0);
    WriteSolidPng(tmp, "thumbred.png", 0xFF, 0, 0);
    std::wstring folder(tmp, tmp + strlen(tmp));
    CPaintManagerUI::SetResourcePath(folder.c_str());

    CScrollBarUI* bar = new CScrollBarUI;
    root_->Add(bar);
    bar->SetAttribute(L"thumbnormalimage", L"file='thumbgreen.png'");
    bar->SetAttribute(L"ThumbPushedImage", L"file='thumbred.png'");
    bar->SetAttribute(L"thumbhotimage", L"file='missing.png'");
    bar->SetPos(RECT{0, 0, 16, 100}, false);
    auto paint = [bar](PixelCanvas& canvas) { bar->Paint(canvas.dc(), RECT{0, 0, 16, 100}, nullptr); };

    PixelCanvas normal(16, 100);
    paint(normal);
    EXPECT_EQ(0x00FF00u, normal.rgb(8, 50));
    EXPECT_EQ(0x00FF00u, normal.rgb(0, 16));
    EXPECT_EQ(0x85E4FFu, normal.rgb(0, 0));

    TEventInfo enter;
    enter.Type = UIEVENT_MOUSEENTER;
    enter.ptMouse = {8, 50};
    bar->DoEvent(enter);
    ASSERT_NE(0u, bar->GetThumbState() & CScrollBarUI::kStateHot);
    PixelCanvas hot(16, 100);
    paint(hot);
    EXPECT_EQ(0x00FF00u, hot.rgb(8, 50));

    TEventInfo press;
    press.Type = UIEVENT_BUTTONDOWN;
    press.ptMouse = {8, 50};
    bar->DoEvent(press);
    PixelCanvas pushed(16, 100);
    paint(pushed);
    EXPECT_EQ(0xFF0000u, pushed.rgb(8, 50));
    TEventInfo release = press;
    release.Type = UIEVENT_BUTTONUP;
    bar->DoEvent(release);

    bar->SetEnabled(false);
    PixelCanvas disabled(16, 100);
    paint(disabled);
    EXPECT_EQ(0x00FF00u, disabled.rgb(8, 50));
    EXPECT_NE(0u, bar->GetThumbState() & CScrollBarUI::kStateDisabled);
}

}  // namespace
