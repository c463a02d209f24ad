#include <UIFlash.h>
#include <UIWebBrowser.h>

#include "../../core/control/TestBox.h"
#include "HostKit.h"

using namespace HiveUI;

namespace {

const RECT kRect = {20, 20, 120, 80};

POINT Center(HWND wnd) {
    RECT rc;
    GetWindowRect(wnd, &rc);
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

TEST_F(ActiveXHost, ActivationFollowsTheMiscStatusAndTheWindowKind) {
    struct Case {
        DWORD misc;
        bool windowless;
        Log expected;
    };
    const Log tail = {"SetSite", "SetExtent"};
    const Case cases[] = {
        {0, true, {"InitNew", "SetClientSite", "SetHostNames", "notify:showactivex", "DoVerb:-5",
                   "SetObjectRects:20,20,120,80", "SetSite", "SetExtent", "SetObjectRects:20,20,120,80"}},
        {OLEMISC_SETCLIENTSITEFIRST, true, {"SetClientSite", "InitNew", "SetHostNames", "notify:showactivex",
                                            "DoVerb:-5", "SetObjectRects:20,20,120,80", "SetSite", "SetExtent",
                                            "SetObjectRects:20,20,120,80"}},
        {OLEMISC_INVISIBLEATRUNTIME, true,
         {"InitNew", "SetClientSite", "SetHostNames", "notify:showactivex", "SetSite", "SetExtent"}},
        {0, false, {"InitNew", "SetClientSite", "SetHostNames", "notify:showactivex", "DoVerb:-5",
                    "SetObjectRects:0,0,100,60", "SetSite", "SetExtent", "SetObjectRects:0,0,100,60"}},
    };
    for (const Case& c : cases) {
        TestOleObject::log.clear();
        TestOleObject::options.misc = c.misc;
        TestOleObject::options.windowless = c.windowless;
        CActiveXUI* control = Place(kRect);
        EXPECT_EQ(c.expected, TestOleObject::log) << c.misc << " " << c.windowless;
        const bool active = (c.misc & OLEMISC_INVISIBLEATRUNTIME) == 0;
        HWND expectedHost = !active ? nullptr : c.windowless ? hwnd() : GetWindow(hwnd(), GW_CHILD);
        EXPECT_EQ(expectedHost, control->GetHostWindow());
        if (!c.windowless) {
            RECT rc;
            GetWindowRect(control->GetHostWindow(), &rc);
            MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&rc), 2);
            EXPECT_TRUE(EqualRect(&rc, &kRect));
            EXPECT_EQ(control->GetHostWindow(), GetParent(TestOleObject::last->wnd()));
        }
        TestOleObject::log.clear();
        Remove(control);
        EXPECT_EQ(Log({"SetSite:null", "Close", "SetClientSite:null"}), TestOleObject::log);
        EXPECT_EQ(0, TestOleObject::live);
    }
}

TEST_F(ActiveXHost, TheObjectPaintsIntoTheControlsRectangleWindowlessOrWindowed) {
    for (bool windowless : {true, false}) {
        TestOleObject::options.windowless = windowless;
        CActiveXUI* control = Place(kRect);
        PixelCanvas canvas(240, 160);
        Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT | PRF_CHILDREN);
        const DWORD color = 0x2080C0;
        EXPECT_EQ(color, canvas.rgb(20, 20)) << windowless;
        EXPECT_EQ(color, canvas.rgb(119, 79)) << windowless;
        EXPECT_EQ(0xFFFFFFu, canvas.rgb(19, 50)) << windowless;
        EXPECT_EQ(0xFFFFFFu, canvas.rgb(120, 50)) << windowless;
        Remove(control);
    }
}

// The object takes the mouse only in its left half unless it holds the capture, and
// keys only while its control has the focus.
TEST_F(ActiveXHost, WindowlessObjectGetsMouseInItsHitAreaAndKeysWhileFocused) {
    CActiveXUI* control = Place(kRect);
    TestOleObject::log.clear();
    Send(WM_KEYDOWN, 'A');
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 50));
    EXPECT_TRUE(control->IsFocused());
    EXPECT_EQ(hwnd(), GetCapture());
    Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(110, 50));
    Send(WM_LBUTTONUP, 0, MAKELPARAM(110, 50));
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(110, 50));
    Send(WM_KEYDOWN, 'B');
    Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd()), MAKELPARAM(230, 250));
    EXPECT_EQ(Log({"msg:201", "msg:200", "msg:202", "msg:100", "msg:7b"}), TestOleObject::log);
    // The manager saw the pressed button only through the object, so nothing is pressed.
    EXPECT_FALSE(manager().IsCaptured());
    manager().SetFocus(nullptr);
    TestOleObject::log.clear();
    Send(WM_KEYDOWN, 'C');
    SetCursorPos(230, 250);
    Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    SetCursorPos(310, 250);
    Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(Log({"msg:20"}), TestOleObject::log);
}

TEST_F(ActiveXHost, AnObjectWithoutHitAreasTakesTheMouseOverAllOfIt) {
    TestOleObject::options.viewObjectEx = false;
    Place(kRect);
    TestOleObject::log.clear();
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(110, 50));
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(130, 50));
    EXPECT_EQ(Log({"msg:200"}), TestOleObject::log);
}

TEST_F(ActiveXHost, WindowedObjectGetsClicksKeysAndIsUiActivatedWithTheFocus) {
    TestOleObject::options.windowless = false;
    CActiveXUI* control = Place(kRect);
    TestOleObject::log.clear();
    SetFocus(control->GetHostWindow());
    EXPECT_EQ(Log({"DoVerb:-4"}), TestOleObject::log);
    SetFocus(hwnd());
    SetFocus(control->GetHostWindow());
    HWND own = TestOleObject::last->wnd();
    ASSERT_EQ(own, WindowFromPoint(Center(control->GetHostWindow())));
    SendMessageW(own, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(GetFocus(), WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(Log({"DoVerb:-4", "wnd:click", "wnd:key"}), TestOleObject::log);
    control->SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(control->GetHostWindow()));
}

// Every control kind releases its previous object when it creates a new one.
TEST_F(ActiveXHost, ReCreationReleasesThePreviousObjectAndClosingTheWindowTheLast) {
    TestOleObject::options.windowless = false;
    CActiveXUI* const controls[] = {new CActiveXUI, new CWebBrowserUI, new CFlashUI};
    LONG placed = 0;
    for (CActiveXUI* control : controls) {
        Place(kRect, kTestClsidText, control);
        control->SetDelayCreate(false);
        ASSERT_TRUE(control->CreateControl(kTestClsid));
        EXPECT_EQ(++placed, TestOleObject::live) << control->GetClass();
    }
    HWND host = controls[0]->GetHostWindow();
    CloseWindow();
    EXPECT_FALSE(IsWindow(host));
}

// A deactivated object that comes back is still one message filter, not two.
TEST_F(ActiveXHost, ReactivationKeepsOneFilter) {
    CActiveXUI* control = Place(kRect);
    IOleObject* object = nullptr;
    ASSERT_EQ(S_OK, control->GetControl(IID_IOleObject, reinterpret_cast<void**>(&object)));
    IOleClientSite* site = nullptr;
    object->GetClientSite(&site);
    static_cast<IOleInPlaceObjectWindowless*>(TestOleObject::last)->InPlaceDeactivate();
    object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site, 0, hwnd(), &kRect);
    site->Release();
    object->Release();
    TestOleObject::log.clear();
    Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd()), MAKELPARAM(230, 250));
    EXPECT_EQ(Log({"msg:7b"}), TestOleObject::log);
}

TEST_F(ActiveXHost, IdentifiersCreateByClassProgramOrModuleAndBadOnesCreateNothing) {
    const std::wstring progId = L"Tallyhive.TestOle." + std::wstring(81, L'x');  // 99 characters
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyW(HKEY_CLASSES_ROOT, (progId + L"\\CLSID").c_str(), &key));
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(kTestClsidText), sizeof(kTestClsidText));
    RegCloseKey(key);
    struct Case {
        std::wstring clsid;
        bool created;
    };
    const Case cases[] = {
        {kTestClsidText, true}, {progId, true}, {progId + L"y", true}, {L"Tallyhive.NoSuchThing", false},
        {L"{5D0F6A31-27C4}", false}, {L"", false},
    };
    for (const Case& c : cases) {
        CActiveXUI* control = Place(kRect, c.clsid.c_str());
        EXPECT_EQ(c.created, TestOleObject::live == 1) << std::string(c.clsid.begin(), c.clsid.end());
        void* out = nullptr;
        EXPECT_EQ(c.created ? S_OK : E_PENDING, control->GetControl(IID_IUnknown, &out));
        if (out != nullptr) static_cast<IUnknown*>(out)->Release();
        Remove(control);
    }
    RegDeleteTreeW(HKEY_CLASSES_ROOT, progId.c_str());
}

TEST_F(ActiveXHost, ModuleNameMakesTheObjectWithoutTheRegistry) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring module(path);
    module = module.substr(0, module.find_last_of(L'\\') + 1) + L"tallyhive_test_ole.dll";
    HMODULE library = LoadLibraryW(module.c_str());
    ASSERT_NE(nullptr, library);
    auto liveObjects =
        reinterpret_cast<LONG(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(library, "TestOleLiveObjects")));
    CActiveXUI* control = new CActiveXUI;
    control->SetAttribute(L"modulename", module.c_str());
    Place(kRect, L"{0B7E4D12-5A8C-4F3B-8E21-6D9C0A4F7B35}", control);
    EXPECT_EQ(1, liveObjects());
    EXPECT_EQ(0, TestOleObject::live);
    Remove(control);
    EXPECT_EQ(0, liveObjects());
    FreeLibrary(library);
}

TEST_F(ActiveXHost, FailedInitialisationLeavesTheControlWithoutAnActiveObject) {
    TestOleObject::options.failInitNew = true;
    CActiveXUI* control = Place(kRect);
    EXPECT_EQ(Log({"InitNew", "SetExtent"}), TestOleObject::log);
    EXPECT_EQ(nullptr, control->GetHostWindow());
    EXPECT_EQ(1, TestOleObject::live);
}

}  // namespace
