// A demo window built from code: coloured, bordered and image-backed controls painted by
// the paint manager, checked on the screen. With TALLYHIVE_DEMO_HOLD naming a folder the
// window stays up after painting until a file "done" appears there, so that a screenshot
// can be taken (scripts/screenshot.sh demo-window).
#include <UIControl.h>
#include <UIManager.h>
#include <WindowWnd.h>

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "../control/TestBox.h"

using namespace HiveUI;

namespace {

class DemoWnd : public CWindowWnd {
public:
    const wchar_t* GetWindowClassName() const override { return L"TallyhiveDemoWnd"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_CREATE) {
            manager.Init(m_hWnd);
            return 0;
        }
        LRESULT result = 0;
        if (manager.MessageHandler(msg, wParam, lParam, result)) return result;
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    }
    CPaintManagerUI manager;
};

// An 8 x 8 checkerboard of orange and purple, written into the skin folder.
bool WriteChecker(const std::string& folder) {
    std::vector<unsigned char> rgba;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            bool orange = ((x / 4) + (y / 4)) % 2 == 0;
            const unsigned char red = orange ? 255 : 128, green = orange ? 140 : 0, blue = orange ? 0 : 128;
            rgba.insert(rgba.end(), {red, green, blue, 255});
        }
    }
    std::string png;
    stbi_write_png_to_func([](void* context, void* data, int size) {
        static_cast<std::string*>(context)->append(static_cast<const char*>(data), size);
    }, &png, 8, 8, 4, rgba.data(), 8 * 4);
    HANDLE file = CreateFileA((folder + "\\checker.png").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
    CloseHandle(file);
    return written == png.size();
}

CControlUI* Add(TestBox* root, const wchar_t* attributes) {
    CControlUI* control = new CControlUI;
    control->ApplyAttributeList(attributes);
    RECT pos = {control->GetFixedXY().cx, control->GetFixedXY().cy,
                control->GetFixedXY().cx + control->GetFixedWidth(),
                control->GetFixedXY().cy + control->GetFixedHeight()};
    return root->Add(control, pos);
}

COLORREF ScreenPixel(HWND wnd, int x, int y) {
    POINT pt = {x, y};
    ClientToScreen(wnd, &pt);
    HDC screen = GetDC(nullptr);
    COLORREF pixel = GetPixel(screen, pt.x, pt.y);
    ReleaseDC(nullptr, screen);
    return pixel;
}

void HoldForScreenshot(const char* folder) {
    const std::string base(folder);
    HANDLE ready = CreateFileA((base + "\\ready").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(ready);
    for (int i = 0; i < 1200 && GetFileAttributesA((base + "\\done").c_str()) == INVALID_FILE_ATTRIBUTES; ++i) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(50);
    }
}

TEST(DemoWindow, ShowsColouredBorderedAndImageBackedControlsAsBuilt) {
    const char* tmp = getenv("TALLYHIVE_TEST_TMP");
    ASSERT_NE(nullptr, tmp);
    ASSERT_TRUE(WriteChecker(tmp));
    std::wstring folder(tmp, tmp + strlen(tmp));
    CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    CPaintManagerUI::SetResourcePath(folder.c_str());

    DemoWnd wnd;
    ASSERT_NE(nullptr, wnd.Create(nullptr, L"HiveUI demo", WS_POPUP, 0, 40, 40, 360, 240));
    TestBox* root = new TestBox;
    root->ApplyAttributeList(L"bkcolor=\"#FF20303C\" bkcolor2=\"#FF5A7A8C\"");
    Add(root, L"pos=\"20,20,120,100\" bkcolor=\"#FFD03030\" bordercolor=\"#FF000000\" bordersize=\"3\"");
    Add(root, L"pos=\"140,20,240,100\" bkcolor=\"#FF30B050\" bordercolor=\"#FFFFFFFF\" bordersize=\"0,4,0,4\"");
    Add(root, L"pos=\"260,20,340,100\" bkimage=\"file='checker.png'\" bordercolor=\"#FFFFFF00\" bordersize=\"2\"");
    Add(root, L"pos=\"20,120,340,220\" bkcolor=\"#FF2050E0\" bkcolor2=\"#FFFFFFFF\" bkcolor3=\"#FF20C0C0\" "
              L"gradient=\"hor\" bordercolor=\"#FF101010\" bordersize=\"2\" borderround=\"16,16\"");
    wnd.manager.AttachRoot(root);
    ShowWindow(wnd.GetHWND(), SW_SHOWNOACTIVATE);
    UpdateWindow(wnd.GetHWND());
    UpdateWindow(wnd.GetHWND());

    EXPECT_EQ(RGB(0xD0, 0x30, 0x30), ScreenPixel(wnd.GetHWND(), 70, 60));
    EXPECT_EQ(RGB(0, 0, 0), ScreenPixel(wnd.GetHWND(), 21, 60));
    EXPECT_EQ(RGB(0x30, 0xB0, 0x50), ScreenPixel(wnd.GetHWND(), 190, 60));
    EXPECT_EQ(RGB(0xFF, 0xFF, 0xFF), ScreenPixel(wnd.GetHWND(), 190, 21));
    EXPECT_EQ(RGB(0x30, 0xB0, 0x50), ScreenPixel(wnd.GetHWND(), 141, 60));
    EXPECT_EQ(RGB(255, 140, 0), ScreenPixel(wnd.GetHWND(), 270, 30));
    EXPECT_EQ(RGB(128, 0, 128), ScreenPixel(wnd.GetHWND(), 330, 30));
    EXPECT_EQ(RGB(255, 255, 0), ScreenPixel(wnd.GetHWND(), 260, 60));
    // Three colours: blue to white across the upper half, white to cyan across the lower.
    COLORREF upperLeft = ScreenPixel(wnd.GetHWND(), 40, 140);
    COLORREF upperRight = ScreenPixel(wnd.GetHWND(), 320, 140);
    COLORREF lowerLeft = ScreenPixel(wnd.GetHWND(), 40, 200);
    COLORREF lowerRight = ScreenPixel(wnd.GetHWND(), 320, 200);
    EXPECT_GT(GetBValue(upperLeft), 0xC0);
    EXPECT_LT(GetRValue(upperLeft), 0x60);
    EXPECT_GT(GetRValue(upperRight), 0xE0);
    EXPECT_GT(GetRValue(lowerLeft), 0xE0);
    EXPECT_LT(GetRValue(lowerRight), 0x60);
    EXPECT_GT(GetGValue(lowerRight), 0xA0);
    EXPECT_EQ(RGB(0x20, 0x30, 0x3C), ScreenPixel(wnd.GetHWND(), 5, 1));

    if (const char* hold = getenv("TALLYHIVE_DEMO_HOLD")) HoldForScreenshot(hold);
    ShowWindow(wnd.GetHWND(), SW_HIDE);
    DestroyWindow(wnd.GetHWND());
}

}  // namespace
