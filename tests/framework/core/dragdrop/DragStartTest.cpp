#include <atomic>
#include <thread>

#include "../control/TestBox.h"
#include "DragDropKit.h"

using namespace HiveUI;

namespace {

const DWORD kColour = 0x2A6BC8;

// The window a drag starts from: "picture" at (20,20)-(60,50) is drag-enabled.
class SourceWnd : public CWindowWnd {
public:
    const wchar_t* GetWindowClassName() const override { return L"TallyhiveDragSourceWnd"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_CREATE) manager.Init(m_hWnd);
        LRESULT result = 0;
        if (manager.MessageHandler(msg, wParam, lParam, result)) return result;
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    }
    CPaintManagerUI manager;
};

// A drop target of the test's own: what the dropped data offers, read during the drop.
class RecordingTarget : public CUnknownImpl<IDropTarget> {
public:
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        entered = true;
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        FORMATETC bitmap = {CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
        STGMEDIUM medium = {};
        if (data->GetData(&bitmap, &medium) == S_OK) {
            pixels = Pixels(medium.hBitmap, &size);
            ReleaseStgMedium(&medium);
        }
        FORMATETC metafile = {CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
        if (data->GetData(&metafile, &medium) == S_OK) {
            GetEnhMetaFileHeader(medium.hEnhMetaFile, sizeof(header), &header);
            ReleaseStgMedium(&medium);
        }
        *effect = DROPEFFECT_COPY;
        dropped = true;
        return S_OK;
    }
    std::atomic<bool> entered{false};
    std::atomic<bool> dropped{false};
    std::vector<DWORD> pixels;
    SIZE size = {};
    ENHMETAHEADER header = {};
};

template <class Condition>
bool WaitFor(Condition condition, DWORD milliseconds = 10000) {
    for (DWORD waited = 0; waited < milliseconds; waited += 20) {
        if (condition()) return true;
        Sleep(20);
    }
    return condition();
}

void MouseInput(DWORD flags, POINT screen = {}) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    if ((flags & MOUSEEVENTF_MOVE) != 0) {
        flags |= MOUSEEVENTF_ABSOLUTE;
        input.mi.dx = (screen.x * 65536 + GetSystemMetrics(SM_CXSCREEN) - 1) / GetSystemMetrics(SM_CXSCREEN);
        input.mi.dy = (screen.y * 65536 + GetSystemMetrics(SM_CYSCREEN) - 1) / GetSystemMetrics(SM_CYSCREEN);
    }
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

void MoveTo(POINT screen) {
    MouseInput(MOUSEEVENTF_MOVE, screen);
    WaitFor([&] {
        POINT now = {};
        GetCursorPos(&now);
        return now.x == screen.x && now.y == screen.y;
    });
}

class DragStart : public testing::Test {
protected:
    void SetUp() override {
        CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
        ASSERT_NE(nullptr, source_.Create(nullptr, L"source", WS_POPUP | WS_VISIBLE, 0, 100, 100, 120, 90));
        root_ = new TestBox;
        CControlUI* picture = root_->Add(new CControlUI, RECT{20, 20, 60, 50});
        picture->SetBkColor(0xFF000000 | kColour);
        picture->SetDragEnabled(true);
        source_.manager.AttachRoot(root_);
        UpdateWindow(source_.GetHWND());
    }
    void TearDown() override { DestroyWindow(source_.GetHWND()); }

    // Presses on the picture, drags it to the target point and lets go, from another
    // thread while this one runs the windows (and, inside them, the drag's own loop).
    // False when no drag started. The button goes up after the move has arrived, and the
    // drag's loop takes both in order, so the drop lands on the target.
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
            if (started) {
                MoveTo(POINT{target.x - 4, target.y - 4});
                MoveTo(target);
            }
            MouseInput(MOUSEEVENTF_LEFTUP);
            done = true;
        });
        const DWORD begin = GetTickCount();
        while (!done && GetTickCount() - begin < 30000) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
        mouse.join();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        return started;
    }

    SourceWnd source_;
    TestBox* root_ = nullptr;
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
    EXPECT_TRUE(target->dropped);
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
    DestroyWindow(window.GetHWND());
}

}  // namespace
