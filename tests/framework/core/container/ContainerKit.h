// What the container and scroll bar tests share: a window driven by its paint manager,
// a control that counts its own destruction, a stacking layout that asks for scroll bars
// the way real layouts do, and a notification recorder.
#pragma once

#include <NotifyUI.h>
#include <UIContainer.h>
#include <UIManager.h>
#include <UIScrollBar.h>
#include <WindowWnd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../control/TestBox.h"

class ContainerHost : public HiveUI::CWindowWnd {
public:
    const wchar_t* GetWindowClassName() const override { return L"TallyhiveContainerTestWnd"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_CREATE) {
            manager.Init(m_hWnd);
            return 0;
        }
        LRESULT result = 0;
        if (manager.MessageHandler(msg, wParam, lParam, result)) return result;
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    }
    HiveUI::CPaintManagerUI manager;
};

inline void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Adds one to a counter when destroyed.
class CountedControl : public HiveUI::CControlUI {
public:
    explicit CountedControl(int& destroyed, int height = 0) : destroyed_(destroyed) { SetFixedHeight(height); }
    ~CountedControl() override { ++destroyed_; }

private:
    int& destroyed_;
};

// Stacks children top to bottom at their fixed heights across the content width and
// asks for scroll bars with the size they need.
class StackLayout : public HiveUI::CContainerUI {
public:
    void SetPos(RECT rect, bool needInvalidate = true) override {
        CControlUI::SetPos(rect, needInvalidate);
        ++passes;
        RECT inner = VisibleContentRect(GetInset());
        SIZE scroll = GetScrollPos();
        int y = inner.top - scroll.cy;
        int neededWidth = 0;
        int neededHeight = 0;
        for (int i = 0; i < GetCount(); ++i) {
            CControlUI* child = GetItemAt(i);
            if (!child->IsVisible()) continue;
            int width = child->GetFixedWidth() > 0 ? child->GetFixedWidth() : inner.right - inner.left;
            child->SetPos(RECT{inner.left - scroll.cx, y, inner.left - scroll.cx + width, y + child->GetFixedHeight()},
                          false);
            y += child->GetFixedHeight();
            neededHeight += child->GetFixedHeight();
            neededWidth = std::max(neededWidth, child->GetFixedWidth());
        }
        ProcessScrollBar(inner, neededWidth, neededHeight);
    }
    int passes = 0;
};

struct SeenNotify {
    std::wstring type;
    HiveUI::CControlUI* sender;
    WPARAM wParam;
};

class NotifyRecorder : public HiveUI::INotifyUI {
public:
    void Notify(HiveUI::TNotifyInfo& msg) override { seen.push_back({msg.sType.GetData(), msg.pSender, msg.wParam}); }
    int Count(const wchar_t* type) const {
        return static_cast<int>(std::count_if(seen.begin(), seen.end(), [type](const SeenNotify& n) { return n.type == type; }));
    }
    std::vector<SeenNotify> seen;
};

// A 200x150 window at a fixed screen place whose root is a container.
class ContainerWindow : public testing::Test {
protected:
    void SetUp() override {
        HiveUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
        ASSERT_NE(nullptr, host_.Create(nullptr, L"container", WS_POPUP | WS_VISIBLE, 0, 200, 200, 200, 150));
        root_ = new HiveUI::CContainerUI;
        manager().AttachRoot(root_);
        manager().AddNotifier(&notes_);
        UpdateWindow(hwnd());
        PumpMessages();
        notes_.seen.clear();
    }
    void TearDown() override {
        manager().RemoveNotifier(&notes_);
        DestroyWindow(hwnd());
    }

    HWND hwnd() const { return host_.GetHWND(); }
    HiveUI::CPaintManagerUI& manager() { return host_.manager; }
    // Lays the tree out and paints it as the window would, then returns the pixels.
    void PaintInto(PixelCanvas& canvas, const RECT& area) {
        root_->SetPos(area, false);
        root_->Paint(canvas.dc(), area, nullptr);
    }

    ContainerHost host_;
    HiveUI::CContainerUI* root_ = nullptr;
    NotifyRecorder notes_;
};
