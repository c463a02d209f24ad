// What the hosting tests share: the test object registered for the run, a framework
// window whose notifications land in the object's log, and the checks that every
// object made was released.
#pragma once

#include <UIActiveX.h>
#include <UIManager.h>
#include <WindowWnd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "../../core/control/TestBox.h"
#include "TestOleObject.h"

using Log = std::vector<std::string>;

// Registered by the tests only, for the process that runs them.
const CLSID kTestClsid = {0x5D0F6A31, 0x27C4, 0x4B7E, {0x9A, 0x51, 0x3C, 0x88, 0x0E, 0x17, 0xB2, 0x64}};
const wchar_t kTestClsidText[] = L"{5D0F6A31-27C4-4B7E-9A51-3C880E17B264}";

class HostWnd : public HiveUI::CWindowWnd, public HiveUI::INotifyUI {
public:
    const wchar_t* GetWindowClassName() const override { return L"TallyhiveActiveXHost"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_CREATE) {
            manager.Init(m_hWnd);
            manager.AddNotifier(this);
            return 0;
        }
        LRESULT result = 0;
        if (manager.MessageHandler(msg, wParam, lParam, result)) return result;
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    }
    void Notify(HiveUI::TNotifyInfo& msg) override {
        if (msg.sType == L"showactivex") TestOleObject::log.push_back("notify:showactivex");
    }
    HiveUI::CPaintManagerUI manager;
};

class ActiveXHost : public testing::Test {
protected:
    static void SetUpTestSuite() {
        OleInitialize(nullptr);
        CoRegisterClassObject(kTestClsid, &factory_, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
    }
    static void TearDownTestSuite() {
        CoRevokeClassObject(cookie_);
        OleUninitialize();
    }
    void SetUp() override {
        HiveUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
        TestOleObject::log.clear();
        TestOleObject::options = TestOleOptions();
        TestOleObject::overReleases = 0;
        host_.reset(new HostWnd);
        ASSERT_NE(nullptr, host_->Create(nullptr, L"activex", WS_POPUP | WS_VISIBLE, 0, 200, 200, 240, 160));
        root_ = new TestBox;
        manager().AttachRoot(root_);
        root_->SetPos(RECT{0, 0, 240, 160}, false);
    }
    void TearDown() override {
        CloseWindow();
        EXPECT_EQ(0, TestOleObject::live);
        EXPECT_EQ(0, TestOleObject::overReleases);
    }

    // The window goes first, as when a user closes it; its manager then frees the tree.
    void CloseWindow() {
        if (!host_) return;
        DestroyWindow(hwnd());
        host_.reset();
    }
    // A control placed in the window with the test object's class identifier.
    template <class T = HiveUI::CActiveXUI>
    T* Place(RECT rc, const wchar_t* clsid = kTestClsidText, T* control = new T) {
        if (clsid != nullptr) control->SetAttribute(L"clsid", clsid);
        root_->Add(control, rc);
        control->SetPos(rc);
        return control;
    }
    void Remove(HiveUI::CControlUI* control) {
        root_->children.erase(std::find(root_->children.begin(), root_->children.end(), control));
        delete control;
    }

    HWND hwnd() const { return host_->GetHWND(); }
    HiveUI::CPaintManagerUI& manager() { return host_->manager; }
    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) { return SendMessageW(hwnd(), msg, wParam, lParam); }

    std::unique_ptr<HostWnd> host_;
    TestBox* root_ = nullptr;
    inline static TestOleFactory factory_;
    inline static DWORD cookie_ = 0;
};
