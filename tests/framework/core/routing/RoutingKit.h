// What the routing tests share: a window whose messages go through its paint manager,
// and a control that records the events that reach it.
#pragma once

#include <UIControl.h>
#include <UIManager.h>
#include <WindowWnd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../control/TestBox.h"

struct SeenEvent {
    std::wstring control;
    HiveUI::TEventInfo event;
};

using EventLog = std::vector<SeenEvent>;

class Probe : public HiveUI::CControlUI {
public:
    Probe(EventLog& log, const wchar_t* name, UINT flags = 0, const wchar_t* className = L"ProbeUI")
        : log_(log), flags_(flags), class_(className) {
        SetName(name);
    }
    const wchar_t* GetClass() const override { return class_; }
    UINT GetControlFlags() const override { return flags_; }
    bool Activate() override {
        ++activations;
        return CControlUI::Activate();
    }
    void DoEvent(HiveUI::TEventInfo& event) override {
        log_.push_back({m_name.GetData(), event});
        if (event.Type == HiveUI::UIEVENT_SETFOCUS || event.Type == HiveUI::UIEVENT_KILLFOCUS) {
            CControlUI::DoEvent(event);
        }
    }
    int activations = 0;

private:
    EventLog& log_;
    UINT flags_;
    const wchar_t* class_;
};

class HostWnd : public HiveUI::CWindowWnd {
public:
    const wchar_t* GetWindowClassName() const override { return L"TallyhiveRoutingWnd"; }
    UINT GetClassStyle() const override { return CS_DBLCLKS; }
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

// Every event of the given type, in order, as "control:type".
inline std::vector<std::wstring> Names(const EventLog& log, int type = 0) {
    std::vector<std::wstring> names;
    for (const SeenEvent& seen : log) {
        if (type != 0 && seen.event.Type != type) continue;
        names.push_back(seen.control + L":" + std::to_wstring(seen.event.Type));
    }
    return names;
}

inline LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

inline void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// A window at a fixed screen place with a root box and two overlapping probes: "a" at
// (10,10)-(60,60) and the later, topmost "b" at (40,40)-(100,100).
class RoutingWindow : public testing::Test {
protected:
    void SetUp() override {
        HiveUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
        ASSERT_NE(nullptr, host_.Create(nullptr, L"routing", WS_POPUP | WS_VISIBLE, 0, 200, 200, 200, 150));
        root_ = new TestBox;
        a_ = root_->Add(new Probe(log_, L"a", HiveUI::UIFLAG_TABSTOP), RECT{10, 10, 60, 60});
        b_ = root_->Add(new Probe(log_, L"b", HiveUI::UIFLAG_TABSTOP), RECT{40, 40, 100, 100});
        manager().AttachRoot(root_);
        // Wine follows the real pointer for hover and leave tracking; keep it inside.
        SetCursorPos(205, 205);
        UpdateWindow(hwnd());
        Pump();
        // The first paint focused the first tab stop; the tests start with none focused.
        manager().SetFocus(nullptr);
        log_.clear();
    }
    void TearDown() override { DestroyWindow(hwnd()); }

    HWND hwnd() const { return host_.GetHWND(); }
    HiveUI::CPaintManagerUI& manager() { return host_.manager; }
    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) { return SendMessageW(hwnd(), msg, wParam, lParam); }
    LPARAM Screen(int x, int y) const {
        POINT pt = {x, y};
        ClientToScreen(hwnd(), &pt);
        return MAKELPARAM(pt.x, pt.y);
    }

    EventLog log_;
    HostWnd host_;
    TestBox* root_ = nullptr;
    Probe* a_ = nullptr;
    Probe* b_ = nullptr;
};
