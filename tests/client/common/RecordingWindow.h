// A stand-in for the main window's window-control interface: records each call as text,
// from whichever thread it comes.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "IWindowConformityl.h"
#include "include/cef_base.h"

class RecordingWindow : public IWindowConformityl {
public:
    void ResizeWindow(int width, int height) override { Add("resize " + std::to_string(width) + "x" + std::to_string(height)); }
    void WindowCenter() override { Add("center"); }
    void SetThemeColor(DWORD color) override { Add("theme " + std::to_string(color)); }
    void SetBorder(int width) override { Add("border " + std::to_string(width)); }
    void WindowFlash() override { Add("flash"); }
    void WindowVisible(bool visible) override { Add(std::string("visible ") + (visible ? "1" : "0")); }
    void SendMenuMessage(int command) override { Add("menu " + std::to_string(command)); }
    void SetWinTitle(const std::wstring& text) override { Add("title " + CefString(text).ToString()); }
    void SetTitleColor(DWORD color) override { Add("title colour " + std::to_string(color)); }

    std::vector<std::string> Calls() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_calls;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_calls.clear();
    }

private:
    void Add(const std::string& call) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_calls.push_back(call);
    }
    std::mutex m_mutex;
    std::vector<std::string> m_calls;
};
