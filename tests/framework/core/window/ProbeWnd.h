// A window that records what reaches it, shared by the window tests.
#pragma once

#include <UIManager.h>
#include <WindowWnd.h>

#include <functional>
#include <vector>

struct WindowLog {
    std::vector<UINT> messages;
    int finalCount = 0;
    HWND finalWnd = nullptr;
    HWND handleAtFinal = reinterpret_cast<HWND>(1);
    bool messageAfterFinal = false;

    bool Saw(UINT msg) const {
        for (UINT m : messages)
            if (m == msg) return true;
        return false;
    }
};

class ProbeWnd final : public HiveUI::CWindowWnd {
public:
    // Returns true when it handled the message and set the result.
    using Handler = std::function<bool(ProbeWnd&, UINT, WPARAM, LPARAM, LRESULT&)>;

    explicit ProbeWnd(WindowLog& log, const wchar_t* className = L"TallyhiveProbeWnd",
                      const wchar_t* superName = nullptr, bool deleteAtFinal = false)
        : m_log(log), m_className(className), m_superName(superName), m_deleteAtFinal(deleteAtFinal) {}

    const wchar_t* GetWindowClassName() const override { return m_className; }
    const wchar_t* GetSuperClassName() const override { return m_superName; }
    UINT GetClassStyle() const override { return CS_DBLCLKS; }

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (m_log.finalCount > 0) m_log.messageAfterFinal = true;
        m_log.messages.push_back(msg);
        LRESULT result = 0;
        if (handler && handler(*this, msg, wParam, lParam, result)) return result;
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    }

    void OnFinalMessage(HWND wnd) override {
        ++m_log.finalCount;
        m_log.finalWnd = wnd;
        m_log.handleAtFinal = GetHWND();
        if (m_deleteAtFinal) delete this;
    }

    WNDPROC OldProc() const { return m_OldWndProc; }

    Handler handler;

private:
    WindowLog& m_log;
    const wchar_t* m_className;
    const wchar_t* m_superName;
    bool m_deleteAtFinal;
};

// Delivers every posted message waiting for this thread.
inline void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Framework classes register in the module the paint manager names: the test executable.
inline void UseTestModule() { HiveUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr)); }
