#include <atomic>
#include <thread>

#include "../control/TestBox.h"
#include "DragDropKit.h"

using namespace HiveUI;

namespace {

const DWORD kColour = 0x2A6BC8;

// A drop target of the test's own: what the dropped data offers, read during the drop.
class RecordingTarget : public CUnknownImpl<IDropTarget> {
public:
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL pt, DWORD* effect) override {
        entered = true;
        return DragOver(0, pt, effect);
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        FORMATETC format = {CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
        STGMEDIUM medium = {};
        if (data->GetData(&format, &medium) == S_OK) pixels = Pixels(medium.hBitmap, &size);
        ReleaseStgMedium(&medium);
        format = {CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
        if (data->GetData(&format, &medium) == S_OK) GetEnhMetaFileHeader(medium.hEnhMetaFile, sizeof(header), &header);
        ReleaseStgMedium(&medium);
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
    bool entered = false;
    std::vector<DWORD> pixels;
    SIZE size = {};
    ENHMETAHEADER header = {};
};

template <class Condition>
bool WaitFor(Condition condition) {
    for (int tries = 0; tries < 500 && !condition(); ++tries) Sleep(20);
    return condition();
}

void MouseInput(DWORD flags, POINT screen = {}) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = (screen.x * 65536 + GetSystemMetrics(SM_CXSCREEN) - 1) / GetSystemMetrics(SM_CXSCREEN);
    input.mi.dy = (screen.y * 65536 + GetSystemMetrics(SM_CYSCREEN) - 1) / GetSystemMetrics(SM_CYSCREEN);
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
    WaitFor([&] {
        POINT now = {};
        return (flags & MOUSEEVENTF_MOVE) == 0 || (GetCursorPos(&now) && now.x == screen.x && now.y == screen.y);
    });
}

void MoveTo(POINT screen) { MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, screen); }

// A window at (100,100) whose "picture" at (20,20)-(60,50) is drag-enabled.
class DragStart : public testing::Test {
protected:
    void SetUp() override {
        CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
        ASSERT_NE(nullptr, source_.Create(nullptr, L"source", WS_POPUP | WS_VISIBLE, 0, 100, 100, 120, 90));
        auto* root = new TestBox;
        CControlUI* picture = root->Add(new CControlUI, RECT{20, 20, 60, 50});
        picture->SetBkColor(0xFF000000 | kColour);
        picture->SetDragEnabled(true);
        source_.manager.AttachRoot(root);
        UpdateWindow(source_.GetHWND());
    }
    void TearDown() override { DestroyWindow(source_.GetHWND()); }

    // Presses on the picture, drags it to the target point and lets go, from another
    // thread while this one runs the windows (and, inside them, the drag's own loop).
    // False when no drag started. The drag's loop takes the move and the release in order,
    // so the drop lands on the target.
    bool DragTo(POINT target) {
        const DWORD uiThread = GetCurrentThreadId();
        const HWND sourceWnd = source_.GetHWND();
        std::atomic<bool> done{false};
        bool started = false;
        std::thread mouse([&] {
            MoveTo(POINT{140, 135});
            MouseInput(MOUSEEVENTF_LEFTDOWN);
            MoveTo(POINT{146, 140});
            // The drag's loop holds the capture on a window of its own.
            started = WaitFor([&] {
                GUITHREADINFO info = {};
                info.cbSize = sizeof(info);
                return GetGUIThreadInfo(uiThread, &info) && info.hwndCapture != nullptr &&
                       info.hwndCapture != sourceWnd;
            });
            if (started) MoveTo(POINT{target.x - 4, target.y - 4});
            if (started) MoveTo(target);
            MouseInput(MOUSEEVENTF_LEFTUP);
            done = true;
        });
        MSG msg;
        for (DWORD begin = GetTickCount(); !done && GetTickCount() - begin < 30000;) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
        mouse.join();
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        return started;
    }

    PictureWnd source_;
};

TEST_F(DragStart, ADraggedControlOffersItsPictureAsBitmapAndMetafile) {
    // SS_NOTIFY: a plain static is transparent to the hit-testing that finds the target.
    HWND targetWnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE | SS_NOTIFY, 400, 300, 100, 80, nullptr,
                                     nullptr, nullptr, nullptr);
    auto* target = new RecordingTarget;
    target->AddRef();
    ASSERT_EQ(S_OK, RegisterDragDrop(targetWnd, target));
    ASSERT_TRUE(DragTo(POINT{450, 340}));
    EXPECT_TRUE(target->entered);
    EXPECT_EQ(40, target->size.cx);
    EXPECT_EQ(30, target->size.cy);
    EXPECT_EQ(std::vector<DWORD>(40 * 30, kColour), target->pixels);
    EXPECT_EQ(39, target->header.rclBounds.right);
    EXPECT_EQ(29, target->header.rclBounds.bottom);
    EXPECT_FALSE(source_.manager.IsCaptured());
    RevokeDragDrop(targetWnd);
    target->Release();
    DestroyWindow(targetWnd);
}

TEST_F(DragStart, ADragDroppedOnAnotherFrameworkWindowShowsThePictureThere) {
    PictureWnd window;
    ASSERT_NE(nullptr, window.Create(nullptr, L"drop", WS_POPUP | WS_VISIBLE, 0, 400, 300, 100, 80));
    ASSERT_TRUE(DragTo(POINT{450, 340}));
    ASSERT_EQ(1, window.images);
    SIZE size = {};
    EXPECT_EQ(std::vector<DWORD>(40 * 30, kColour), Pixels(window.picture, &size));
    EXPECT_EQ(40, size.cx);
    EXPECT_EQ(0, source_.images);
    DestroyWindow(window.GetHWND());
}

}  // namespace
