// The browser side of the script bridge: a page's call arrives as a process message
// named after the function, and is carried out here on the engine's UI thread.
#include "BrowserClient.h"

#include "MainFrameMessages.h"
#include "PlayMP3.h"
#include "ServerLines.h"
#include "UrlOrigin.h"

namespace {

const int kAnyCount = -1;
const int kAtLeastOne = -2;

struct TBridgeCall {
    const char* name;
    int count;
    bool usesWindow;
    void (*run)(CBrowserClient& client, IWindowConformityl* window, CefRefPtr<CefBrowser> browser,
                CefRefPtr<CefListValue> args);
};

// In the order the names are tested.
const TBridgeCall kBridgeCalls[] = {
    {"PlayMp3", 1, false,
     [](CBrowserClient&, IWindowConformityl*, CefRefPtr<CefBrowser>, CefRefPtr<CefListValue> args) {
         PlayMP3::NewThreadPlayUrl(args->GetString(0).ToString());
     }},
    {"ResizeWindow", 2, true,
     [](CBrowserClient&, IWindowConformityl* window, CefRefPtr<CefBrowser>, CefRefPtr<CefListValue> args) {
         window->ResizeWindow(args->GetInt(0), args->GetInt(1));
     }},
    {"SetWinTitle", 1, true,
     [](CBrowserClient&, IWindowConformityl* window, CefRefPtr<CefBrowser>, CefRefPtr<CefListValue> args) {
         window->SetWinTitle(args->GetString(0).ToWString());
     }},
    {"WindowCenter", kAnyCount, true,
     [](CBrowserClient&, IWindowConformityl* window, CefRefPtr<CefBrowser>, CefRefPtr<CefListValue>) {
         window->WindowCenter();
     }},
    {"SetThemeColor", 1, true,
     [](CBrowserClient&, IWindowConformityl* window, CefRefPtr<CefBrowser>, CefRefPtr<CefListValue> args) {
         window->SetThemeColor(static_cast<DWORD>(args->GetInt(0)));
     }},
    {"SetBorder", 1, true,
     [](CBrowserClient&, IWindowConformityl* window, CefRefPtr<CefBrowser>, CefRefPtr<CefListValue> args) {
         window->SetBorder(args->GetInt(0));
     }},
    {"WindowFlash", kAnyCount, true,
     [](CBrowserClient&, IWindowConformityl* window, CefRefPtr<CefBrowser>, CefRefPtr<CefListValue>) {
         window->WindowFlash();
     }},
    {"ShowDevTools", kAnyCount, false,
     [](CBrowserClient& client, IWindowConformityl*, CefRefPtr<CefBrowser> browser, CefRefPtr<CefListValue>) {
         client.ShowDevTools(browser);
     }},
    {"WindowVisible", 1, true,
     [](CBrowserClient&, IWindowConformityl* window, CefRefPtr<CefBrowser>, CefRefPtr<CefListValue> args) {
         window->WindowVisible(args->GetInt(0) > 0);
     }},
    {"SendMenuMessage", 1, true,
     [](CBrowserClient&, IWindowConformityl* window, CefRefPtr<CefBrowser>, CefRefPtr<CefListValue> args) {
         window->SendMenuMessage(args->GetInt(0));
     }},
    {"ChangeLine", kAtLeastOne, false,
     [](CBrowserClient& client, IWindowConformityl*, CefRefPtr<CefBrowser>, CefRefPtr<CefListValue> args) {
         SetSelectedLine(args->GetInt(0));
         client.NotifyLineChanged();
     }},
    {"SetTitleColor", 1, true,
     [](CBrowserClient&, IWindowConformityl* window, CefRefPtr<CefBrowser>, CefRefPtr<CefListValue> args) {
         window->SetTitleColor(static_cast<DWORD>(args->GetInt(0)));
     }},
};

bool CountFits(int required, size_t given) {
    if (required == kAnyCount) return true;
    if (required == kAtLeastOne) return given >= 1;
    return given == static_cast<size_t>(required);
}

}  // namespace

bool CBrowserClient::OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, CefProcessId,
                                              CefRefPtr<CefProcessMessage> message) {
    const std::string name = message->GetName().ToString();
    CefRefPtr<CefListValue> args = message->GetArgumentList();
    for (const TBridgeCall& call : kBridgeCalls) {
        if (name != call.name) continue;
        if (!FromServicePage(browser, name)) return false;
        // A line change without a line is taken and does nothing.
        if (call.count == kAtLeastOne && args->GetSize() == 0) return true;
        if (!CountFits(call.count, args->GetSize())) return false;
        if (call.usesWindow && m_windowControl == nullptr) return false;
        call.run(*this, m_windowControl, browser, args);
        return true;
    }
    return false;
}

// The browser side learns nothing of the calling frame but its browser, so the main
// frame's page is judged here: the engine delivers a document's calls before the next
// document's commit, so that page is the one that made the call. The render side drops
// calls of sub-frames of other origins, where the engine has sub-frames. A page of any
// other origin (a followed link, an advertisement, a redirect) could otherwise hide or
// quit the client and make it fetch any address.
bool CBrowserClient::FromServicePage(CefRefPtr<CefBrowser> browser, const std::string& function) {
    CefRefPtr<CefFrame> frame = browser ? browser->GetMainFrame() : nullptr;
    if (frame && m_errorPagesShown.count(frame->GetIdentifier()) != 0) return true;
    const std::string url = frame ? frame->GetURL().ToString() : std::string();
    if (IsServerLineOrigin(url)) return true;
    m_refusals.Refused(browser ? browser->GetIdentifier() : 0, UrlOrigin(url), function);
    return false;
}

void CBrowserClient::ShowDevTools(CefRefPtr<CefBrowser> browser) {
    if (!IsLive(browser)) return;
    CefRefPtr<CefBrowserHost> host = browser->GetHost();
    if (!host) return;
    CefWindowInfo info;
    info.SetAsPopup(host->GetWindowHandle(), L"开发者工具栏");
    info.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    info.x = CW_USEDEFAULT;
    info.y = CW_USEDEFAULT;
    info.width = 600;
    info.height = 400;
    host->ShowDevTools(info, this, CefBrowserSettings(), CefPoint(0, 0));
}

void CBrowserClient::NotifyLineChanged() { PostToMainWindow(WM_LINE_CHANGED); }
