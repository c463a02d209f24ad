// What the button and progress tests share: a window whose messages go through its paint
// manager, a control tree built from layout text, the notifications it sent, painting into
// a DIB section, and PNG images drawn by the test into the skin folder.
#pragma once

#include <DialogBuilder.h>
#include <UIContainer.h>
#include <UIManager.h>

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <functional>
#include <string>
#include <vector>

#include "../core/routing/RoutingKit.h"
#include "TestFiles.h"

struct Note {
    std::wstring sender;
    std::wstring type;
    WPARAM wParam;
    bool operator==(const Note& other) const {
        return sender == other.sender && type == other.type && wParam == other.wParam;
    }
};

inline std::ostream& operator<<(std::ostream& out, const Note& note) {
    return out << std::string(note.sender.begin(), note.sender.end()) << ":"
               << std::string(note.type.begin(), note.type.end()) << ":" << note.wParam;
}

// An opaque PNG of the given size whose pixels the function gives as 0xRRGGBB, written
// into the skin folder.
inline void WritePng(const wchar_t* name, int width, int height, const std::function<DWORD(int, int)>& pixel) {
    std::vector<unsigned char> rgba;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const DWORD rgb = pixel(x, y);
            rgba.insert(rgba.end(), {static_cast<unsigned char>(rgb >> 16), static_cast<unsigned char>(rgb >> 8),
                                     static_cast<unsigned char>(rgb), 0xFF});
        }
    }
    std::string png;
    stbi_write_png_to_func([](void* context, void* data, int size) {
        static_cast<std::string*>(context)->append(static_cast<const char*>(data), size);
    }, &png, width, height, 4, rgba.data(), width * 4);
    ASSERT_TRUE(TestFiles::Write(TestFiles::TempFolder() + name, png));
}

class ControlWindow : public testing::Test, public HiveUI::INotifyUI {
protected:
    void SetUp() override {
        HiveUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
        HiveUI::CPaintManagerUI::SetResourcePath(TestFiles::TempFolder().c_str());
        ASSERT_NE(nullptr, host_.Create(nullptr, L"controls", WS_POPUP | WS_VISIBLE, 0, 200, 200, 320, 200));
        manager().AddNotifier(this);
        // Wine follows the real pointer for hover and leave tracking: keep it on a bare spot.
        SetCursorPos(318, 398);
    }
    void TearDown() override { DestroyWindow(hwnd()); }

    void Notify(HiveUI::TNotifyInfo& msg) override {
        if (msg.sType == L"windowinit" || msg.sType == L"windowsize" || msg.sType == L"setfocus" ||
            msg.sType == L"killfocus") {
            return;
        }
        notes.push_back({msg.pSender != nullptr ? msg.pSender->GetName().GetData() : L"", msg.sType.GetData(),
                         msg.wParam});
        if (onNotify) onNotify(msg);
    }

    // Builds the controls of a layout into a floating container over the client area.
    HiveUI::CContainerUI* Build(const std::wstring& controls) {
        const std::wstring xml = L"<Window><Container name=\"root\">" + controls + L"</Container></Window>";
        HiveUI::CDialogBuilder builder;
        auto* root = static_cast<HiveUI::CContainerUI*>(builder.Create(xml.c_str(), nullptr, nullptr, &manager()));
        EXPECT_NE(nullptr, root);
        if (root == nullptr) return nullptr;
        manager().AttachRoot(root);
        UpdateWindow(hwnd());
        notes.clear();
        return root;
    }
    template <class T>
    T* Find(const wchar_t* name) {
        return static_cast<T*>(manager().FindControl(name));
    }

    HWND hwnd() const { return host_.GetHWND(); }
    HiveUI::CPaintManagerUI& manager() { return host_.manager; }
    LRESULT Send(UINT msg, WPARAM wParam, int x, int y) { return SendMessageW(hwnd(), msg, wParam, MAKELPARAM(x, y)); }
    void Press(int x, int y) { Send(WM_LBUTTONDOWN, MK_LBUTTON, x, y); }
    void Move(int x, int y, WPARAM buttons = 0) { Send(WM_MOUSEMOVE, buttons, x, y); }
    void Release(int x, int y) { Send(WM_LBUTTONUP, 0, x, y); }
    void Click(int x, int y) {
        Press(x, y);
        Release(x, y);
    }
    void Key(WPARAM key) { SendMessageW(hwnd(), WM_KEYDOWN, key, 0); }
    // A wheel notch at a client point: away from the user (up) or toward.
    void Wheel(int x, int y, bool up) {
        POINT pt = {x, y};
        ClientToScreen(hwnd(), &pt);
        SendMessageW(hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, up ? WHEEL_DELTA : -WHEEL_DELTA), MAKELPARAM(pt.x, pt.y));
    }
    // Paints one control alone onto white, in window coordinates.
    void Paint(HiveUI::CControlUI* control, PixelCanvas& canvas) {
        control->Paint(canvas.dc(), RECT{0, 0, 320, 200}, nullptr);
    }

    HostWnd host_;
    std::vector<Note> notes;
    std::function<void(HiveUI::TNotifyInfo&)> onNotify;
};
