// What the frame tests share: a skin in a zip archive with a caption bar of a label and
// system buttons, the label and button stand-ins the skin names, and a frame built on it.
#pragma once

#include <UIControl.h>
#include <UIEvent.h>
#include <UIManager.h>
#include <UIRender.h>
#include <WindowImplBase.h>

#include <gtest/gtest.h>

#include <string>

#include "ZipBuilder.h"

// A control that only shows text, known to the frame by its class name.
class TestLabel : public HiveUI::CControlUI {
public:
    const wchar_t* GetClass() const override { return L"LabelUI"; }
    void PaintText(HDC hdc) override {
        RECT rc = GetPos();
        HiveUI::CUIRender::DrawText(hdc, GetManager(), rc, GetText(), 0xFFFFFFFF, -1,
                                    DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    }
};

// A control that keeps the mouse and reports a click when released over itself.
class TestButton : public TestLabel {
public:
    const wchar_t* GetClass() const override { return L"ButtonUI"; }
    void DoEvent(HiveUI::TEventInfo& event) override {
        if (event.Type == HiveUI::UIEVENT_BUTTONUP && PtInRect(&GetPos(), event.ptMouse)) {
            GetManager()->SendNotify(this, L"click");
            return;
        }
        HiveUI::CControlUI::DoEvent(event);
    }
};

inline const char kFrameSkin[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
    "<Window size=\"400,300\" caption=\"0,0,0,40\" sizebox=\"4,4,4,4\" roundcorner=\"4,4\" mininfo=\"200,150\">"
    "<VerticalLayout name=\"root\" bkcolor=\"#FFF4F1EA\">"
    "  <HorizontalLayout name=\"titlebar\" height=\"40\" bkcolor=\"#FF2F5D8A\" inset=\"12,0,6,0\">"
    "    <Label name=\"title\" width=\"200\" text=\"tallyhive frame\"/>"
    "    <Control name=\"gap\"/>"
    "    <Button name=\"minbtn\" width=\"30\" padding=\"0,8,4,8\" bkcolor=\"#FF6FA3D0\"/>"
    "    <Button name=\"maxbtn\" width=\"30\" padding=\"0,8,4,8\" bkcolor=\"#FF6FA3D0\"/>"
    "    <Button name=\"restorebtn\" width=\"30\" padding=\"0,8,4,8\" bkcolor=\"#FF9FC3E0\" visible=\"false\"/>"
    "    <Button name=\"closebtn\" width=\"30\" padding=\"0,8,0,8\" bkcolor=\"#FFD0504A\"/>"
    "  </HorizontalLayout>"
    "  <HorizontalLayout name=\"body\" inset=\"16,16,16,16\" childpadding=\"12\">"
    "    <Control name=\"panel\" width=\"120\" bkcolor=\"#FFE3B04B\"/>"
    "    <Control name=\"content\" bkcolor=\"#FFDDE6EE\" bordercolor=\"#FF9AA5B1\" bordersize=\"1\"/>"
    "  </HorizontalLayout>"
    "</VerticalLayout>"
    "</Window>";

// Makes the skin archive the process's skin source (once is enough: it never changes).
inline void UseFrameSkins() {
    static const std::string archive = TestZip::Build(
        {TestZip::Make("frame/main.xml", kFrameSkin), TestZip::Make("frame/broken.xml", "<Window><VerticalLayout")});
    HiveUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    HiveUI::CPaintManagerUI::SetResourceZipFromMemory(archive.data(), static_cast<DWORD>(archive.size()), nullptr);
}

class TestFrame : public HiveUI::WindowImplBase {
public:
    explicit TestFrame(const wchar_t* skin = L"frame\\main.xml") : skin_(skin) {}
    const wchar_t* GetWindowClassName() const override { return L"TallyhiveTestFrame"; }
    HiveUI::CUIString GetSkinFile() override { return skin_; }
    HiveUI::CControlUI* CreateControl(const wchar_t* className) override {
        if (wcscmp(className, L"Label") == 0) return new TestLabel;
        if (wcscmp(className, L"Button") == 0) return new TestButton;
        return nullptr;
    }
    void InitWindow() override { ++initCalls; }
    HiveUI::CControlUI* Find(const wchar_t* name) { return m_pm.FindControl(name); }

    int initCalls = 0;

private:
    const wchar_t* skin_;
};

inline void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The centre of a control in screen coordinates, as WM_NCHITTEST carries it.
inline LPARAM ScreenPoint(HWND wnd, int x, int y) {
    POINT pt = {x, y};
    ClientToScreen(wnd, &pt);
    return MAKELPARAM(pt.x, pt.y);
}

inline POINT Centre(HiveUI::CControlUI* control) {
    const RECT& rc = control->GetPos();
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}
