// A minimal test-only container: it owns its children, hands them its manager, walks
// them in tree searches (last first on request) and paints them over itself.
#pragma once

#include <UIControl.h>
#include <UIManager.h>

#include "PixelCanvas.h"

#include <vector>

class TestBox : public HiveUI::CControlUI {
public:
    ~TestBox() override {
        for (CControlUI* child : children) delete child;
    }

    LPVOID GetInterface(const wchar_t* name) override {
        if (_wcsicmp(name, L"Container") == 0) return this;
        return CControlUI::GetInterface(name);
    }

    template <class T>
    T* Add(T* child, RECT pos) {
        children.push_back(child);
        child->SetPos(pos, false);
        child->SetManager(GetManager(), this, GetManager() != nullptr);
        return child;
    }

    void SetManager(HiveUI::CPaintManagerUI* manager, CControlUI* parent, bool init) override {
        for (CControlUI* child : children) child->SetManager(manager, this, init);
        CControlUI::SetManager(manager, parent, init);
    }

    CControlUI* FindControl(HiveUI::FindControlProc proc, LPVOID data, UINT flags) override {
        using namespace HiveUI;
        if ((flags & UIFIND_VISIBLE) != 0 && !IsVisible()) return nullptr;
        if ((flags & UIFIND_ENABLED) != 0 && !IsEnabled()) return nullptr;
        if ((flags & UIFIND_HITTEST) != 0 && !PtInRect(&m_item, *static_cast<POINT*>(data))) return nullptr;
        if ((flags & UIFIND_ME_FIRST) != 0) {
            if (CControlUI* found = proc(this, data)) return found;
        }
        const int count = static_cast<int>(children.size());
        for (int i = 0; i < count; ++i) {
            CControlUI* child = children[(flags & UIFIND_TOP_FIRST) != 0 ? count - 1 - i : i];
            if (CControlUI* found = child->FindControl(proc, data, flags)) return found;
        }
        return (flags & UIFIND_ME_FIRST) != 0 ? nullptr : proc(this, data);
    }

    bool DoPaint(HDC hdc, const RECT& paint, CControlUI* stop) override {
        CControlUI::DoPaint(hdc, paint, stop);
        for (CControlUI* child : children) {
            if (child->IsVisible() && !child->Paint(hdc, paint, stop)) return false;
        }
        return true;
    }

    std::vector<CControlUI*> children;
};
