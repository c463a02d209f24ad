// What the builder tests share: a container that records every attribute it is given,
// made through the builder callback, and a plain window for the paint manager.
#pragma once

#include <DialogBuilder.h>
#include <UIContainer.h>
#include <UIManager.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestFiles.h"

class Recorder : public HiveUI::CContainerUI {
public:
    explicit Recorder(std::vector<std::wstring>& log) : log_(log) {}
    const wchar_t* GetClass() const override { return L"RecorderUI"; }
    void SetAttribute(const wchar_t* name, const wchar_t* value) override {
        log_.push_back(std::wstring(name) + L"=" + value);
        CContainerUI::SetAttribute(name, value);
    }

private:
    std::vector<std::wstring>& log_;
};

// Makes "Recorder" elements and remembers every name it was asked for.
class RecordingCallback : public HiveUI::IDialogBuilderCallback {
public:
    HiveUI::CControlUI* CreateControl(const wchar_t* className) override {
        asked.push_back(className);
        if (_wcsicmp(className, L"Recorder") == 0) return new Recorder(log);
        return nullptr;
    }
    std::vector<std::wstring> asked;
    std::vector<std::wstring> log;
};

inline HWND CreateBuilderWindow() {
    return CreateWindowExW(0, L"STATIC", L"builder", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
}

// The names of a container's children, in order.
inline std::vector<std::wstring> ChildNames(HiveUI::CControlUI* control) {
    std::vector<std::wstring> names;
    auto* container = static_cast<HiveUI::IContainerUI*>(control->GetInterface(L"IContainer"));
    for (int i = 0; container != nullptr && i < container->GetCount(); ++i)
        names.push_back(container->GetItemAt(i)->GetName().GetData());
    return names;
}

inline std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }
