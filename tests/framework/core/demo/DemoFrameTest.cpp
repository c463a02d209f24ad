// The demo frame: a skinned window with title bar buttons, an option group, a check box,
// a progress bar, a slider, edit, date and address fields and push buttons, all images
// drawn here. It is checked on the screen and used by its buttons; with TALLYHIVE_DEMO_HOLD
// naming a folder it stays up until a file "done" appears there, for the README's picture
// (scripts/screenshot.sh demo-frame).
#include <UIOption.h>
#include <UISlider.h>
#include <WindowImplBase.h>

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "TestFiles.h"

using namespace HiveUI;

namespace {

const char kDemoSkin[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
    "<Window size=\"420,372\" caption=\"0,0,0,40\" roundcorner=\"4,4\">"
    "<Font name=\"Tahoma\" size=\"13\" default=\"true\"/>"
    "<Font id=\"1\" name=\"Tahoma\" size=\"13\" bold=\"true\"/>"
    "<Default name=\"Option\" value=\"width=&quot;84&quot; bkcolor=&quot;#FFDDE6EE&quot; "
    "hotbkcolor=&quot;#FFC9D6E2&quot; selectedbkcolor=&quot;#FF2F5D8A&quot; textcolor=&quot;#FF2F3A45&quot; "
    "selectedtextcolor=&quot;#FFFFFFFF&quot; selectedfont=&quot;1&quot; group=&quot;range&quot; "
    "bordercolor=&quot;#FF9AA5B1&quot; bordersize=&quot;1&quot;\"/>"
    "<VerticalLayout bkcolor=\"#FFF4F1EA\">"
    "  <HorizontalLayout height=\"40\" bkcolor=\"#FF2F5D8A\" inset=\"12,0,6,0\">"
    "    <Label text=\"tallyhive controls\" textcolor=\"#FFFFFFFF\" font=\"1\" width=\"200\"/>"
    "    <Control/>"
    "    <Button name=\"minbtn\" width=\"30\" padding=\"0,8,4,8\" stateimage=\"min.png\" statecount=\"3\"/>"
    "    <Button name=\"maxbtn\" width=\"30\" padding=\"0,8,4,8\" stateimage=\"max.png\" statecount=\"3\"/>"
    "    <Button name=\"closebtn\" width=\"30\" padding=\"0,8,0,8\" stateimage=\"close.png\" statecount=\"3\"/>"
    "  </HorizontalLayout>"
    "  <VerticalLayout inset=\"20,18,20,16\" childpadding=\"16\">"
    "    <Label text=\"Appointments shown by\" textcolor=\"#FF5B6670\" height=\"16\"/>"
    "    <HorizontalLayout height=\"28\">"
    "      <Option name=\"day\" text=\"Day\"/>"
    "      <Option name=\"week\" text=\"Week\" selected=\"true\"/>"
    "      <Option name=\"month\" text=\"Month\"/>"
    "    </HorizontalLayout>"
    "    <CheckBox name=\"remind\" text=\"Remind owners of due vaccinations\" height=\"22\" align=\"left\" "
    "     textpadding=\"24,0,0,0\" textcolor=\"#FF2F3A45\" selected=\"true\" "
    "     normalimage=\"file='box.png' dest='0,3,16,19'\" selectedimage=\"file='ticked.png' dest='0,3,16,19'\"/>"
    "    <HorizontalLayout height=\"14\" childpadding=\"10\">"
    "      <Progress name=\"progress\" value=\"65\" height=\"10\" padding=\"0,2,0,2\" bkcolor=\"#FFDDE6EE\" "
    "       forecolor=\"#FFE3B04B\"/>"
    "      <Label text=\"65 %\" width=\"40\" height=\"14\" textcolor=\"#FF5B6670\"/>"
    "    </HorizontalLayout>"
    "    <Slider name=\"slider\" height=\"22\" value=\"40\" thumbsize=\"16,16\" bkimage=\"rail.png\" "
    "     foreimage=\"fill.png\" thumbimage=\"thumb.png\" thumbhotimage=\"thumbhot.png\"/>"
    "    <HorizontalLayout height=\"26\" childpadding=\"10\">"
    "      <Edit name=\"petname\" tipvalue=\"Pet name\" width=\"140\" textcolor=\"#FF2F3A45\" "
    "       bordercolor=\"#FF9AA5B1\" bordersize=\"1\"/>"
    "      <DateTime name=\"visit\" width=\"100\" textpadding=\"6,0,0,0\" textcolor=\"#FF2F3A45\" "
    "       bkcolor=\"#FFFFFFFF\" bordercolor=\"#FF9AA5B1\" bordersize=\"1\"/>"
    "      <IPAddressEx name=\"printer\" textcolor=\"#FF2F3A45\" bordercolor=\"#FF9AA5B1\" bordersize=\"1\"/>"
    "    </HorizontalLayout>"
    "    <HorizontalLayout height=\"30\" childpadding=\"10\">"
    "      <Control/>"
    "      <Button name=\"save\" text=\"Save\" width=\"90\" font=\"1\" bkcolor=\"#FF2F5D8A\" hotbkcolor=\"#FF3D74AA\" "
    "       pushedbkcolor=\"#FF24496C\" textcolor=\"#FFFFFFFF\"/>"
    "      <Button name=\"cancel\" text=\"Cancel\" width=\"90\" bkcolor=\"#FFDDE6EE\" hotbkcolor=\"#FFC9D6E2\" "
    "       textcolor=\"#FF2F3A45\" bordercolor=\"#FF9AA5B1\" bordersize=\"1\"/>"
    "    </HorizontalLayout>"
    "  </VerticalLayout>"
    "</VerticalLayout>"
    "</Window>";

// Writes a PNG whose pixels the function gives as 0xAARRGGBB (straight alpha).
bool WritePng(const wchar_t* name, int width, int height, const std::function<DWORD(int, int)>& pixel) {
    std::vector<unsigned char> rgba;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const DWORD argb = pixel(x, y);
            rgba.insert(rgba.end(), {static_cast<unsigned char>(argb >> 16), static_cast<unsigned char>(argb >> 8),
                                     static_cast<unsigned char>(argb), static_cast<unsigned char>(argb >> 24)});
        }
    }
    std::string png;
    stbi_write_png_to_func([](void* context, void* data, int size) {
        static_cast<std::string*>(context)->append(static_cast<const char*>(data), size);
    }, &png, width, height, 4, rgba.data(), width * 4);
    return TestFiles::Write(TestFiles::TempFolder() + name, png);
}

// Distance from a point to a segment, for drawing strokes.
double ToSegment(double x, double y, double x1, double y1, double x2, double y2) {
    const double dx = x2 - x1, dy = y2 - y1;
    double t = ((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy);
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return std::hypot(x - x1 - t * dx, y - y1 - t * dy);
}

// A white stroke of about 1.5 pixels over the colour, by coverage.
DWORD Stroke(double distance, DWORD under) {
    const double cover = distance < 0.75 ? 1.0 : (distance < 1.5 ? (1.5 - distance) / 0.75 : 0.0);
    if (cover <= 0) return under;
    if ((under >> 24) == 0) return (static_cast<DWORD>(cover * 255) << 24) | 0xFFFFFF;
    auto mix = [&](int shift) {
        const double channel = ((under >> shift) & 0xFF) * (1 - cover) + 255 * cover;
        return static_cast<DWORD>(channel) << shift;
    };
    return 0xFF000000 | mix(16) | mix(8) | mix(0);
}

// Three 30 x 24 frames (normal, hot, pushed) of a title bar button with its glyph.
bool WriteTitleButton(const wchar_t* name, DWORD hot, DWORD pushed,
                      const std::function<double(double, double)>& glyph) {
    return WritePng(name, 90, 24, [&](int x, int y) {
        const DWORD back[] = {0, hot, pushed};
        return Stroke(glyph(x % 30 + 0.5, y + 0.5), back[x / 30]);
    });
}

bool WriteDemoImages() {
    const double inf = 1e9;
    bool ok = WriteTitleButton(L"min.png", 0xFF4A7CAB, 0xFF244A70,
                               [](double x, double y) { return ToSegment(x, y, 10, 16, 20, 16); });
    ok = ok && WriteTitleButton(L"max.png", 0xFF4A7CAB, 0xFF244A70, [inf](double x, double y) {
        double d = inf;
        const double box[][4] = {{10, 7, 20, 7}, {20, 7, 20, 17}, {20, 17, 10, 17}, {10, 17, 10, 7}};
        for (const auto& side : box) d = std::min(d, ToSegment(x, y, side[0], side[1], side[2], side[3]));
        return d;
    });
    ok = ok && WriteTitleButton(L"close.png", 0xFFD0504A, 0xFFA8352F, [](double x, double y) {
        return std::min(ToSegment(x, y, 10, 7, 20, 17), ToSegment(x, y, 20, 7, 10, 17));
    });
    ok = ok && WritePng(L"box.png", 16, 16, [](int x, int y) {
        return (x == 0 || y == 0 || x == 15 || y == 15) ? 0xFF9AA5B1u : 0xFFFFFFFFu;
    });
    ok = ok && WritePng(L"ticked.png", 16, 16, [](int x, int y) {
        const double px = x + 0.5, py = y + 0.5;
        return Stroke(std::min(ToSegment(px, py, 4, 8, 7, 11.5), ToSegment(px, py, 7, 11.5, 12.5, 4.5)), 0xFF2F5D8A);
    });
    // The rail and its filled part: 4 pixels high in the middle of the slider's 22.
    ok = ok && WritePng(L"rail.png", 4, 22, [](int, int y) { return y >= 9 && y < 13 ? 0xFFC9D2DAu : 0u; });
    ok = ok && WritePng(L"fill.png", 4, 22, [](int, int y) { return y >= 9 && y < 13 ? 0xFF2F5D8Au : 0u; });
    for (const bool hot : {false, true}) {
        ok = ok && WritePng(hot ? L"thumbhot.png" : L"thumb.png", 16, 16, [hot](int x, int y) -> DWORD {
            const double d = std::hypot(x - 7.5, y - 7.5);
            const DWORD ring = hot ? 0xFF3D74AAu : 0xFF2F5D8Au;
            if (d <= 4.5) return 0xFFFFFFFFu;
            if (d <= 7) return ring;
            const double alpha = 8 - d;
            return alpha <= 0 ? 0u : (static_cast<DWORD>(alpha * 255) << 24) | (ring & 0xFFFFFF);
        });
    }
    return ok && TestFiles::Write(TestFiles::TempFolder() + L"demo.xml", kDemoSkin);
}

class DemoFrame : public WindowImplBase {
public:
    const wchar_t* GetWindowClassName() const override { return L"TallyhiveDemoFrame"; }
    CUIString GetSkinFile() override { return L"demo.xml"; }
    CControlUI* Find(const wchar_t* name) { return m_pm.FindControl(name); }
};

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

COLORREF ScreenPixel(HWND wnd, POINT pt) {
    ClientToScreen(wnd, &pt);
    HDC screen = GetDC(nullptr);
    const COLORREF pixel = GetPixel(screen, pt.x, pt.y);
    ReleaseDC(nullptr, screen);
    return pixel;
}

POINT Inside(CControlUI* control, int dx, int dy) {
    const RECT& rc = control->GetPos();
    return POINT{rc.left + dx, rc.top + dy};
}

void Click(HWND wnd, POINT pt) {
    SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
}

void HoldForScreenshot(const char* folder) {
    const std::string base(folder);
    CloseHandle(CreateFileA((base + "\\ready").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    for (int i = 0; i < 1200 && GetFileAttributesA((base + "\\done").c_str()) == INVALID_FILE_ATTRIBUTES; ++i) {
        Pump();
        Sleep(50);
    }
}

TEST(DemoFrame, ShowsTheControlsOfItsSkinAndItsButtonsWork) {
    ASSERT_TRUE(WriteDemoImages());
    CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    CPaintManagerUI::SetResourcePath(TestFiles::TempFolder().c_str());
    DemoFrame frame;
    // Placed where the screenshot script looks for it.
    HWND wnd = frame.Create(nullptr, L"tallyhive controls", WS_POPUP | WS_CLIPCHILDREN, 0, 20, 20, 420, 372);
    ASSERT_NE(nullptr, wnd);
    ShowWindow(wnd, SW_SHOWNOACTIVATE);
    UpdateWindow(wnd);
    Pump();

    auto* week = static_cast<COptionUI*>(frame.Find(L"week"));
    auto* month = static_cast<COptionUI*>(frame.Find(L"month"));
    CControlUI* progress = frame.Find(L"progress");
    auto* slider = static_cast<CSliderUI*>(frame.Find(L"slider"));
    ASSERT_TRUE(week != nullptr && month != nullptr && progress != nullptr && slider != nullptr);
    EXPECT_EQ(RGB(0x2F, 0x5D, 0x8A), ScreenPixel(wnd, Inside(week, 4, 4)));
    EXPECT_EQ(RGB(0xDD, 0xE6, 0xEE), ScreenPixel(wnd, Inside(month, 4, 4)));
    const int length = progress->GetWidth();
    EXPECT_EQ(RGB(0xE3, 0xB0, 0x4B), ScreenPixel(wnd, Inside(progress, length * 6 / 10, 5)));
    EXPECT_EQ(RGB(0xDD, 0xE6, 0xEE), ScreenPixel(wnd, Inside(progress, length * 7 / 10, 5)));
    const RECT thumb = slider->GetThumbRect();
    EXPECT_EQ(RGB(0xFF, 0xFF, 0xFF), ScreenPixel(wnd, POINT{thumb.left + 8, thumb.top + 8}));
    EXPECT_EQ(RGB(0xFF, 0xFF, 0xFF), ScreenPixel(wnd, Inside(frame.Find(L"closebtn"), 15, 12)));

    if (const char* hold = getenv("TALLYHIVE_DEMO_HOLD")) HoldForScreenshot(hold);

    Click(wnd, Inside(month, 10, 10));
    EXPECT_TRUE(month->IsSelected());
    EXPECT_FALSE(week->IsSelected());
    Click(wnd, Inside(frame.Find(L"closebtn"), 15, 12));
    for (int i = 0; i < 100 && IsWindow(wnd); ++i) {
        Pump();
        Sleep(20);
    }
    EXPECT_FALSE(IsWindow(wnd));
}

}  // namespace
