// A minimal test-only container: it owns its children, hands them its manager, walks
// them in tree searches (last first on request) and paints them over itself.
#pragma once

#include <UIControl.h>
#include <UIManager.h>

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

// Pixels of a top-down 32-bit DIB section that tests paint into.
class PixelCanvas {
public:
    PixelCanvas(int width, int height) : width_(width) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        for (int i = 0; i < width * height; ++i) bits_[i] = 0xFFFFFFFF;
    }
    ~PixelCanvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    PixelCanvas(const PixelCanvas&) = delete;
    PixelCanvas& operator=(const PixelCanvas&) = delete;

    HDC dc() const { return dc_; }
    // 0xRRGGBB of a pixel; GDI leaves the alpha byte undefined.
    DWORD rgb(int x, int y) const {
        GdiFlush();
        return bits_[y * width_ + x] & 0xFFFFFF;
    }

private:
    int width_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    DWORD* bits_ = nullptr;
};
