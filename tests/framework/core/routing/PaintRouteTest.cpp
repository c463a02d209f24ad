#include <LayeredPixels.h>
#include <stb_image_write.h>

#include <cstdlib>
#include <string>

#include "RoutingKit.h"

using namespace HiveUI;

namespace {

class NotifyLog : public INotifyUI {
public:
    void Notify(TNotifyInfo& msg) override { types.push_back(msg.sType.GetData()); }
    std::vector<std::wstring> types;
};

TEST(LayeredPixels, PremultiplyScalesColourByAlphaWithIntegerDivision) {
    EXPECT_EQ(0x80402010u, PremultiplyPixel(0xFF804020, 0x80));
    EXPECT_EQ(0x80402010u, PremultiplyPixel(0x12804020, 0x80));
    EXPECT_EQ(0xFFFFFFFFu, PremultiplyPixel(0x00FFFFFF, 0xFF));
    EXPECT_EQ(0x00000000u, PremultiplyPixel(0xFFFFFFFF, 0x00));
    EXPECT_EQ(0x01000000u, PremultiplyPixel(0xFFFEFEFE, 0x01));
}

TEST(LayeredPixels, GdiPixelsWithoutAlphaBecomeOpaqueButBlackStaysClear) {
    EXPECT_EQ(0xFF102030u, FixGdiAlpha(0x00102030));
    EXPECT_EQ(0x00000000u, FixGdiAlpha(0x00000000));
    EXPECT_EQ(0x40102030u, FixGdiAlpha(0x40102030));
    EXPECT_EQ(0xFF000001u, FixGdiAlpha(0x00000001));
}

TEST(LayeredPixels, BottomUpRowsCountFromTheLastLine) {
    EXPECT_EQ(9 * 4, BottomUpPixelIndex(0, 0, 4, 10));
    EXPECT_EQ(3, BottomUpPixelIndex(3, 9, 4, 10));
    EXPECT_EQ(5 * 4 + 2, BottomUpPixelIndex(2, 4, 4, 10));
}

TEST_F(RoutingWindow, FirstPaintAfterAttachSendsWindowInitOnceAndEveryLayoutQueuesWindowSize) {
    NotifyLog log;
    manager().AddNotifier(&log);
    manager().AttachRoot(new TestBox);
    a_ = b_ = nullptr;
    InvalidateRect(hwnd(), nullptr, FALSE);
    UpdateWindow(hwnd());
    EXPECT_EQ((std::vector<std::wstring>{L"windowinit"}), log.types);
    Pump();
    EXPECT_EQ((std::vector<std::wstring>{L"windowinit", L"windowsize"}), log.types);
    manager().GetRoot()->NeedLayout();
    UpdateWindow(hwnd());
    Pump();
    EXPECT_EQ((std::vector<std::wstring>{L"windowinit", L"windowsize", L"windowsize"}), log.types);
    RECT pos = manager().GetRoot()->GetPos();
    EXPECT_EQ(200, pos.right);
    EXPECT_EQ(150, pos.bottom);
    manager().RemoveNotifier(&log);
}

// Controls without a place yet ask for many repaints while a skin is built; such empty
// areas never reach the window, and a real area still does, clamped to the window.
TEST_F(RoutingWindow, EmptyAreasLeaveTheWindowValidAndRealOnesAreClamped) {
    HiveUI::CControlUI unplaced;
    unplaced.SetManager(&manager(), nullptr, false);
    ValidateRect(hwnd(), nullptr);
    unplaced.SetBkColor(0xFF336699);
    manager().InvalidateRect(RECT{20, 20, 20, 40});
    manager().InvalidateRect(RECT{-9, -9, -1, 30});
    RECT update = {};
    EXPECT_FALSE(GetUpdateRect(hwnd(), &update, FALSE));
    manager().InvalidateRect(RECT{-9, 5, 30, 20});
    ASSERT_TRUE(GetUpdateRect(hwnd(), &update, FALSE));
    EXPECT_EQ(0, update.left);
    EXPECT_EQ(5, update.top);
    EXPECT_EQ(30, update.right);
    EXPECT_EQ(20, update.bottom);
}

TEST_F(RoutingWindow, AttachingATreeRepaintsTheWholeWindow) {
    ValidateRect(hwnd(), nullptr);
    manager().AttachRoot(new TestBox);
    a_ = b_ = nullptr;
    RECT update = {};
    ASSERT_TRUE(GetUpdateRect(hwnd(), &update, FALSE));
    EXPECT_EQ(200, update.right - update.left);
    EXPECT_EQ(150, update.bottom - update.top);
}

// A native child that paints itself green when printed and answers reflected messages.
LRESULT CALLBACK NativeChildProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    std::vector<UINT>* seen = reinterpret_cast<std::vector<UINT>*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (msg >= 0x2000 && seen != nullptr) {
        seen->push_back(msg);
        return msg == WM_CTLCOLORSTATIC + 0x2000 ? 0 : 42;
    }
    if (msg == WM_PRINTCLIENT) {
        RECT rc;
        GetClientRect(wnd, &rc);
        HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
        FillRect(reinterpret_cast<HDC>(wParam), &rc, green);
        DeleteObject(green);
        return 0;
    }
    return DefWindowProcW(wnd, msg, wParam, lParam);
}

HWND CreateNativeChild(HWND parent, std::vector<UINT>* seen, int x, int y) {
    static const ATOM atom = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = NativeChildProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TallyhiveNativeChild";
        return RegisterClassW(&wc);
    }();
    (void)atom;
    HWND child = CreateWindowExW(0, L"TallyhiveNativeChild", L"", WS_CHILD | WS_VISIBLE, x, y, 20, 20, parent, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(child, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(seen));
    return child;
}

TEST_F(RoutingWindow, ControlMessagesAreReflectedToTheNativeChildThatSentThem) {
    std::vector<UINT> seen;
    HWND child = CreateNativeChild(hwnd(), &seen, 170, 120);
    EXPECT_EQ(42, Send(WM_COMMAND, MAKEWPARAM(7, EN_CHANGE), reinterpret_cast<LPARAM>(child)));
    EXPECT_EQ(42, Send(WM_CTLCOLOREDIT, 0, reinterpret_cast<LPARAM>(child)));
    LRESULT result = 5;
    EXPECT_FALSE(manager().MessageHandler(WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(child), result));
    EXPECT_FALSE(manager().MessageHandler(WM_COMMAND, 1, 0, result));
    NMHDR header = {child, 7, 0};
    EXPECT_TRUE(manager().MessageHandler(WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&header), result));
    EXPECT_EQ(42, result);
    EXPECT_EQ((std::vector<UINT>{0x2111, 0x2133, 0x2138, 0x204E}), seen);
}

std::wstring WriteSkinImage(const char* name, int size, DWORD argb) {
    const char* tmp = getenv("TALLYHIVE_TEST_TMP");
    if (tmp == nullptr) return std::wstring();
    std::vector<unsigned char> rgba;
    for (int i = 0; i < size * size; ++i) {
        rgba.push_back(static_cast<unsigned char>(argb >> 16));
        rgba.push_back(static_cast<unsigned char>(argb >> 8));
        rgba.push_back(static_cast<unsigned char>(argb));
        rgba.push_back(static_cast<unsigned char>(argb >> 24));
    }
    std::string png;
    stbi_write_png_to_func([](void* context, void* data, int bytes) {
        static_cast<std::string*>(context)->append(static_cast<const char*>(data), bytes);
    }, &png, size, size, 4, rgba.data(), size * 4);
    HANDLE file = CreateFileA((std::string(tmp) + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                              nullptr);
    DWORD written = 0;
    WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
    CloseHandle(file);
    return std::wstring(tmp, tmp + strlen(tmp));
}

TEST_F(RoutingWindow, PrintClientPaintsTheTreeAndPrintsNativeChildrenInPlace) {
    CPaintManagerUI::SetResourcePath(WriteSkinImage("yellow.png", 4, 0xFFFFFF00).c_str());
    root_->SetBkColor(0xFFFFFFFF);
    a_->SetBkColor(0xFFFF0000);
    b_->SetBkColor(0xFF0000FF);
    b_->SetBorderColor(0xFF000000);
    b_->SetBorderSize(2);
    b_->SetBkImage(L"file='yellow.png' dest='20,20,40,40'");
    CreateNativeChild(hwnd(), nullptr, 170, 120);
    PixelCanvas canvas(200, 150);
    Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    EXPECT_EQ(0xFF0000u, canvas.rgb(20, 20));
    EXPECT_EQ(0x0000FFu, canvas.rgb(45, 45));
    EXPECT_EQ(0xFFFF00u, canvas.rgb(70, 70));
    EXPECT_EQ(0x000000u, canvas.rgb(40, 70));
    EXPECT_EQ(0x000000u, canvas.rgb(99, 70));
    EXPECT_EQ(0xFFFFFFu, canvas.rgb(150, 20));
    EXPECT_EQ(0xFFFFFFu, canvas.rgb(180, 130));
    Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT | PRF_CHILDREN);
    EXPECT_EQ(0x00FF00u, canvas.rgb(180, 130));
    EXPECT_EQ(0xFFFFFFu, canvas.rgb(165, 115));
}

TEST_F(RoutingWindow, PaintingWithoutATreeFillsBlack) {
    CPaintManagerUI bare;
    HostWnd other;
    ASSERT_NE(nullptr, other.Create(nullptr, L"bare", WS_POPUP | WS_VISIBLE, 0, 420, 200, 40, 30));
    UpdateWindow(other.GetHWND());
    HDC screen = GetDC(nullptr);
    COLORREF pixel = GetPixel(screen, 430, 210);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(RGB(0, 0, 0), pixel);
    DestroyWindow(other.GetHWND());
}

TEST_F(RoutingWindow, LayeredWindowsUpdateThroughUpdateLayeredWindowAndHaveNoFrame) {
    manager().SetLayered(true);
    ASSERT_TRUE(manager().IsLayered());
    root_->SetBkColor(0xFF00FF00);
    a_->SetBkColor(0xFFFF0000);
    manager().GetRoot()->NeedLayout();
    UpdateWindow(hwnd());
    UpdateWindow(hwnd());
    EXPECT_NE(0, GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
    HDC screen = GetDC(nullptr);
    COLORREF root = GetPixel(screen, 200 + 150, 200 + 120);
    COLORREF red = GetPixel(screen, 200 + 20, 200 + 20);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(RGB(0, 255, 0), root);
    EXPECT_EQ(RGB(255, 0, 0), red);
    LRESULT result = 7;
    EXPECT_TRUE(manager().MessageHandler(WM_NCACTIVATE, 0, 0, result));
    EXPECT_EQ(1, result);
    EXPECT_TRUE(manager().MessageHandler(WM_NCACTIVATE, 1, 0, result));
    EXPECT_EQ(0, result);
    result = 7;
    EXPECT_TRUE(manager().MessageHandler(WM_NCCALCSIZE, 0, 0, result));
    EXPECT_EQ(0, result);
}

}  // namespace
