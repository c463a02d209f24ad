#include <ActiveXGuids.h>
#include <UIWebBrowser.h>

#include <deque>
#include <string>

#include "HostKit.h"

using namespace HiveUI;

namespace {

std::wstring Text(VARIANT* v) {
    if (v == nullptr) return L"null";
    VARIANT copy;
    VariantInit(&copy);
    if (FAILED(VariantChangeType(&copy, v, 0, VT_BSTR))) return L"?";
    std::wstring text = copy.bstrVal != nullptr ? copy.bstrVal : L"";
    VariantClear(&copy);
    return text;
}

struct RecordingSink : IWebBrowserEventSink {
    void BeforeNavigate2(CWebBrowserUI*, IDispatch* disp, VARIANT* url, VARIANT* flags, VARIANT* frame, VARIANT* post,
                         VARIANT* headers, VARIANT_BOOL* cancel) override {
        seen += L"before " + Text(url) + L" " + Text(flags) + L" " + Text(frame) + L" " + Text(post) + L" " +
                Text(headers) + (disp != nullptr && cancel != nullptr ? L" ok" : L" missing");
        if (cancelNavigation) *cancel = VARIANT_TRUE;
    }
    void NavigateError(CWebBrowserUI*, IDispatch*, VARIANT* url, VARIANT* frame, VARIANT* status,
                       VARIANT_BOOL* cancel) override {
        seen += L"error " + Text(url) + L" " + Text(frame) + L" " + Text(status) + (cancel != nullptr ? L" ok" : L"");
    }
    void NewWindow3(CWebBrowserUI*, IDispatch** disp, VARIANT_BOOL*, DWORD flags, BSTR context, BSTR url) override {
        seen += L"newwindow " + std::to_wstring(flags) + L" " + context + L" " + url + (disp != nullptr ? L" ok" : L"");
    }
    void CommandStateChange(CWebBrowserUI*, long command, VARIANT_BOOL enable) override {
        seen += L"command " + std::to_wstring(command) + L" " + std::to_wstring(enable);
    }
    void TitleChange(CWebBrowserUI*, BSTR title) override { seen += std::wstring(L"title ") + title; }
    std::wstring seen;
    bool cancelNavigation = false;
};

// Variants for one event's arguments, kept in place and freed together.
struct Args {
    ~Args() {
        for (VARIANT& v : values) VariantClear(&v);
    }
    VARIANT* Add(VARIANT value) {
        values.push_back(value);
        return &values.back();
    }
    VARIANT Str(const wchar_t* text) {
        VARIANT v;
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocString(text);
        return *Add(v);
    }
    VARIANT Ref(VARIANT value) {
        VARIANT ref;
        ref.vt = VT_BYREF | VT_VARIANT;
        ref.pvarVal = Add(value);
        return ref;
    }
    std::deque<VARIANT> values;
};

// A variant whose value is a pointer (or fits where one goes).
VARIANT Var(VARTYPE type, void* pointer) {
    VARIANT v;
    VariantInit(&v);
    v.vt = type;
    v.byref = pointer;
    return v;
}

VARIANT Long(LONG n) {
    VARIANT v = Var(VT_I4, nullptr);
    v.lVal = n;
    return v;
}

TEST(WebBrowserEvents, ArgumentsArriveLastFirstAndReachTheReceiverInTheEventsOrder) {
    CWebBrowserUI browser;
    RecordingSink sink;
    sink.cancelNavigation = true;
    browser.SetWebBrowserEventHandler(&sink);
    Args a;
    VARIANT disp = Var(VT_DISPATCH, static_cast<IDispatch*>(&browser));
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT cancelRef = Var(VT_BYREF | VT_BOOL, &cancel);
    IDispatch* newWindow = nullptr;
    VARIANT yes = Var(VT_BOOL, nullptr);
    yes.boolVal = VARIANT_TRUE;
    struct Case {
        DISPID id;
        std::vector<VARIANT> args;
        const wchar_t* seen;
    };
    const Case cases[] = {
        {250,
         {disp, a.Ref(a.Str(L"http://a/")), a.Ref(Long(4)), a.Ref(a.Str(L"top")), a.Ref(a.Str(L"")),
          a.Ref(a.Str(L"H: 1")), cancelRef},
         L"before http://a/ 4 top  H: 1 ok"},
        {271,
         {disp, a.Ref(a.Str(L"http://d/")), a.Ref(a.Str(L"top")), a.Ref(Long(404)), cancelRef},
         L"error http://d/ top 404 ok"},
        {273,
         {Var(VT_BYREF | VT_DISPATCH, &newWindow), cancelRef, Long(6), a.Str(L"http://ctx/"), a.Str(L"http://e/")},
         L"newwindow 6 http://ctx/ http://e/ ok"},
        {105, {Long(2), yes}, L"command 2 -1"},
        {113, {a.Str(L"Title")}, L"title Title"},
        {102, {a.Str(L"status")}, L""},
    };
    for (const Case& c : cases) {
        std::vector<VARIANT> reversed(c.args.rbegin(), c.args.rend());
        DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        sink.seen.clear();
        EXPECT_EQ(S_OK, browser.Invoke(c.id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr));
        EXPECT_EQ(std::wstring(c.seen), sink.seen) << c.id;
        EXPECT_EQ(E_INVALIDARG,
                  browser.Invoke(c.id, IID_IDispatch, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr));
    }
    EXPECT_EQ(VARIANT_TRUE, cancel);
    DISPPARAMS few = {&disp, nullptr, 1, 0};
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, browser.Invoke(250, IID_NULL, 0, DISPATCH_METHOD, &few, nullptr, nullptr, nullptr));
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND,
              browser.Invoke(999, IID_NULL, 0, DISPATCH_METHOD, &few, nullptr, nullptr, nullptr));
}

TEST(WebBrowserAnswers, WithoutAReceiverTheBrowserKeepsItsOwnBehaviour) {
    CWebBrowserUI b;
    DOCHOSTUIINFO info = {};
    info.dwFlags = DOCHOSTUIFLAG_DIALOG;
    LPWSTR url = reinterpret_cast<LPWSTR>(1);
    IDataObject* data = reinterpret_cast<IDataObject*>(1);
    IInternetSecurityMgrSite* secSite = reinterpret_cast<IInternetSecurityMgrSite*>(1);
    MSG key = {nullptr, WM_KEYDOWN, VK_F5, 0, 0, {0, 0}};
    DWORD policy = 3;
    GUID otherGroup = IID_IUnknown;
    VARIANT out;
    VariantInit(&out);
    struct Answer {
        const char* call;
        HRESULT got;
        HRESULT expected;
    };
    const Answer answers[] = {
        {"ShowContextMenu", b.ShowContextMenu(0, nullptr, nullptr, nullptr), S_FALSE},
        {"GetHostInfo", b.GetHostInfo(&info), S_OK},
        {"ShowUI", b.ShowUI(0, nullptr, nullptr, nullptr, nullptr), S_OK},
        {"HideUI", b.HideUI(), S_OK},
        {"UpdateUI", b.UpdateUI(), S_OK},
        {"EnableModeless", b.EnableModeless(TRUE), E_NOTIMPL},
        {"OnDocWindowActivate", b.OnDocWindowActivate(TRUE), E_NOTIMPL},
        {"OnFrameWindowActivate", b.OnFrameWindowActivate(TRUE), E_NOTIMPL},
        {"ResizeBorder", b.ResizeBorder(nullptr, nullptr, TRUE), E_NOTIMPL},
        {"UI TranslateAccelerator", b.TranslateAccelerator(&key, nullptr, 0), S_FALSE},
        {"GetOptionKeyPath", b.GetOptionKeyPath(nullptr, 0), E_NOTIMPL},
        {"GetDropTarget", b.GetDropTarget(nullptr, nullptr), S_FALSE},
        {"GetExternal", b.GetExternal(nullptr), S_FALSE},
        {"TranslateUrl", b.TranslateUrl(0, const_cast<LPWSTR>(L"x"), &url), E_NOTIMPL},
        {"FilterDataObject", b.FilterDataObject(nullptr, &data), E_NOTIMPL},
        {"QueryStatus", b.QueryStatus(nullptr, 0, nullptr, nullptr), OLECMDERR_E_NOTSUPPORTED},
        {"Exec no group", b.Exec(nullptr, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, nullptr), OLECMDERR_E_UNKNOWNGROUP},
        {"Exec other group", b.Exec(&otherGroup, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, nullptr),
         OLECMDERR_E_UNKNOWNGROUP},
        {"Exec other command", b.Exec(&kCgidDocHostCommandHandler, 1, 0, nullptr, nullptr), OLECMDERR_E_NOTSUPPORTED},
        {"Exec script error", b.Exec(&kCgidDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, &out),
         E_INVALIDARG},
        {"ProcessUrlAction",
         b.ProcessUrlAction(L"http://a/", 0x1400, reinterpret_cast<BYTE*>(&policy), sizeof(policy), nullptr, 0, 0, 0),
         S_OK},
        {"GetSecuritySite", b.GetSecuritySite(&secSite), INET_E_DEFAULT_ACTION},
        {"MapUrlToZone", b.MapUrlToZone(L"http://a/", nullptr, 0), INET_E_DEFAULT_ACTION},
        {"key without browser", b.TranslateAccelerator(&key), E_NOTIMPL},
    };
    for (const Answer& a : answers) EXPECT_EQ(a.expected, a.got) << a.call;
    EXPECT_EQ(static_cast<DWORD>(DOCHOSTUIFLAG_DIALOG | 0x200004), info.dwFlags);
    EXPECT_EQ(nullptr, url);
    EXPECT_EQ(nullptr, data);
    EXPECT_EQ(nullptr, secSite);
    EXPECT_EQ(static_cast<DWORD>(URLPOLICY_ALLOW), policy);
    EXPECT_EQ(VT_BOOL, out.vt);
    EXPECT_EQ(VARIANT_TRUE, out.boolVal);
    MSG move = {nullptr, WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
    EXPECT_EQ(S_FALSE, b.TranslateAccelerator(&move));
}

// The browser is handed the interface it asked for, and no download manager.
TEST(WebBrowserAnswers, ServicesAndInterfacesAreTheOnesAskedFor) {
    CWebBrowserUI b;
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(S_OK, b.QueryService(IID_IInternetSecurityManager, IID_IInternetSecurityManager, &out));
    EXPECT_EQ(static_cast<IInternetSecurityManager*>(&b), out);
    EXPECT_EQ(E_NOINTERFACE, b.QueryService(kIidDownloadManager, kIidDownloadManager, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(E_NOINTERFACE, b.QueryService(IID_IInternetSecurityManager, IID_IUnknown, &out));
    const std::pair<IID, void*> parts[] = {
        {IID_IUnknown, static_cast<IDocHostUIHandler*>(&b)},
        {IID_IDocHostUIHandler, static_cast<IDocHostUIHandler*>(&b)},
        {IID_IDispatch, static_cast<IDispatch*>(&b)},
        {IID_IServiceProvider, static_cast<IServiceProvider*>(&b)},
        {IID_IOleCommandTarget, static_cast<IOleCommandTarget*>(&b)},
        {IID_IInternetSecurityManager, static_cast<IInternetSecurityManager*>(&b)},
        {IID_IOleObject, nullptr},
    };
    for (const auto& part : parts) {
        EXPECT_EQ(part.second != nullptr ? S_OK : E_NOINTERFACE, b.QueryInterface(part.first, &out));
        EXPECT_EQ(part.second, out);
    }
}

// Wine's browser object runs without a page engine, far enough to report a refused
// connection through the events that the control connected.
TEST_F(ActiveXHost, SystemBrowserIsHostedInItsWindowAndReportsNavigationThroughItsEvents) {
    RecordingSink sink;
    CWebBrowserUI* browser = Place(RECT{20, 20, 120, 80}, nullptr, new CWebBrowserUI);
    browser->SetWebBrowserEventHandler(&sink);
    ASSERT_NE(nullptr, browser->GetWebBrowser2());
    EXPECT_EQ(GetWindow(hwnd(), GW_CHILD), browser->GetHostWindow());
    browser->Navigate2(L"http://127.0.0.1:9/");
    const std::wstring refused = L"error http://127.0.0.1:9/";
    for (DWORD start = GetTickCount();
         sink.seen.find(refused) == std::wstring::npos && GetTickCount() - start < 60000;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(10);
    }
    EXPECT_EQ(0u, sink.seen.find(L"before http://127.0.0.1:9/")) << sink.seen;
    EXPECT_NE(std::wstring::npos, sink.seen.find(refused)) << sink.seen;
    browser->SetWebBrowserEventHandler(nullptr);
}

TEST_F(ActiveXHost, WebBrowserThatCannotBeCreatedStaysEmpty) {
    CWebBrowserUI* browser = new CWebBrowserUI;
    browser->SetAttribute(L"HomePage", L"about:blank");
    browser->SetAttribute(L"AUTONAVI", L"True");
    EXPECT_TRUE(browser->IsAutoNavigation());
    Place(RECT{20, 20, 120, 80}, L"{0B7E4D12-5A8C-4F3B-8E21-6D9C0A4F7B35}", browser);
    EXPECT_EQ(nullptr, browser->GetWebBrowser2());
    EXPECT_EQ(nullptr, browser->GetHostWindow());
    EXPECT_EQ(E_PENDING, browser->RegisterEventHandler(true));
}

}  // namespace
