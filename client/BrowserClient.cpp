#include "BrowserClient.h"

#include <algorithm>

#include "ErrorPage.h"
#include "MainFrameMessages.h"
#include "ServerLines.h"
#include "WebStaticFiles.h"
#include "include/cef_cookie.h"
#include "include/cef_task.h"

CefRefPtr<CBrowserClient> g_browserClient;

namespace {

// The browser client looks the template up under a name of its own.
const wchar_t* const kErrorPageFile = L"error.html";

struct TPageMenuItem {
    int command;
    const wchar_t* text;
};

const TPageMenuItem kPageMenu[] = {
    {MENU_ID_COPY, L"复制"},   {MENU_ID_PASTE, L"粘贴"},         {MENU_ID_RELOAD, L"重新加载"},
    {MENU_ID_BACK, L"返回上一页"}, {MENU_ID_PRINT, L"打印此网页"},
};

class CloseAllBrowsersTask : public CefTask {
public:
    CloseAllBrowsersTask(CefRefPtr<CBrowserClient> client, bool force) : m_client(client), m_force(force) {}
    void Execute() override { m_client->CloseAllBrowsers(m_force); }

private:
    CefRefPtr<CBrowserClient> m_client;
    bool m_force;
    IMPLEMENT_REFCOUNTING(CloseAllBrowsersTask);
};

}  // namespace

CBrowserClient::CBrowserClient(IWindowConformityl* windowControl) : m_windowControl(windowControl) {}

bool CBrowserClient::OnBeforePopup(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, const CefString&, const CefString&,
                                   CefLifeSpanHandler::WindowOpenDisposition, bool, const CefPopupFeatures&, CefWindowInfo&,
                                   CefRefPtr<CefClient>&, CefBrowserSettings&, bool*) {
    return true;
}

void CBrowserClient::OnAfterCreated(CefRefPtr<CefBrowser> browser) {
    base::AutoLock lock(m_lock);
    m_browsers.push_back(browser);
    if (m_mainBrowser) return;
    m_mainBrowser = browser;
    m_mainBrowserId = browser->GetIdentifier();
    if (m_mainWnd != nullptr) ::PostMessageW(m_mainWnd, WM_BROWSER_RELAYOUT, 0, 0);
}

bool CBrowserClient::RunModal(CefRefPtr<CefBrowser>) { return false; }

bool CBrowserClient::DoClose(CefRefPtr<CefBrowser>) { return false; }

void CBrowserClient::OnBeforeClose(CefRefPtr<CefBrowser> browser) {
    m_refusals.PageGone(browser->GetIdentifier());
    base::AutoLock lock(m_lock);
    if (browser->GetIdentifier() == m_mainBrowserId) m_mainBrowser = nullptr;
    m_browsers.erase(std::remove_if(m_browsers.begin(), m_browsers.end(),
                                    [&](const CefRefPtr<CefBrowser>& entry) { return entry->IsSame(browser); }),
                     m_browsers.end());
}

void CBrowserClient::OnLoadEnd(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame>, int) {
    CefRefPtr<CefFrame> mainFrame = browser->GetMainFrame();
    const std::string url = mainFrame ? mainFrame->GetURL().ToString() : std::string();
    PostToMainWindow(WM_PAGE_LOADED);
    if (url == "about:blank" && IsLive(browser)) LoadSelectedLine(mainFrame);
}

void CBrowserClient::OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, ErrorCode errorCode,
                                 const CefString&, const CefString& failedUrl) {
    if (errorCode == ERR_ABORTED) return;
    const TWebStaticRecord* page = FindWebStaticFile(kErrorPageFile);
    if (page == nullptr || !frame || !IsLive(browser)) return;
    const std::string text(reinterpret_cast<const char*>(page->data), page->size);
    m_errorPagesComing[frame->GetIdentifier()] = failedUrl.ToString();
    frame->LoadString(FillErrorPage(text, errorCode), failedUrl);
}

// The error page stands at the failed address, which may be any site's: the frame is
// known to show it from the start of the load that the error page made until the next.
// The engine reports a load's start only once the document before it can send no more,
// so every call is judged by the page that made it.
void CBrowserClient::OnLoadStart(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame) {
    if (!frame) return;
    if (frame->IsMain() && browser) m_refusals.PageGone(browser->GetIdentifier());
    const int64_t id = frame->GetIdentifier();
    const auto coming = m_errorPagesComing.find(id);
    if (coming != m_errorPagesComing.end() && coming->second == frame->GetURL().ToString()) {
        m_errorPagesShown.insert(id);
    } else {
        m_errorPagesShown.erase(id);
    }
    if (coming != m_errorPagesComing.end()) m_errorPagesComing.erase(coming);
}

// Cookies reach the disk as soon as a server sets them, so a killed client keeps its login.
bool CBrowserClient::OnResourceResponse(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, CefRefPtr<CefRequest>,
                                        CefRefPtr<CefResponse>) {
    CefRefPtr<CefCookieManager> manager = CefCookieManager::GetGlobalManager(nullptr);
    if (manager) manager->FlushStore(nullptr);
    return false;
}

void CBrowserClient::OnBeforeDownload(CefRefPtr<CefBrowser>, CefRefPtr<CefDownloadItem> download_item,
                                      const CefString&, CefRefPtr<CefBeforeDownloadCallback> callback) {
    callback->Continue(download_item->GetURL(), true);
}

// A link that downloads through a new window leaves that empty window behind otherwise.
void CBrowserClient::OnDownloadUpdated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> download_item,
                                       CefRefPtr<CefDownloadItemCallback>) {
    if (download_item->IsComplete() && browser->IsPopup() && !browser->HasDocument()) {
        browser->GetHost()->CloseBrowser(true);
    }
}

void CBrowserClient::OnBeforeContextMenu(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>,
                                         CefRefPtr<CefContextMenuParams> params, CefRefPtr<CefMenuModel> model) {
    if ((params->GetTypeFlags() & (CM_TYPEFLAG_PAGE | CM_TYPEFLAG_FRAME)) == 0 || model->GetCount() == 0) return;
    model->Clear();
    for (const TPageMenuItem& item : kPageMenu) model->AddItem(item.command, item.text);
}

bool CBrowserClient::OnContextMenuCommand(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, CefRefPtr<CefContextMenuParams>,
                                          int, EventFlags) {
    return false;
}

// F5 goes back to the selected line's start page, not to the current page.
bool CBrowserClient::OnPreKeyEvent(CefRefPtr<CefBrowser> browser, const CefKeyEvent&, CefEventHandle os_event,
                                   bool*) {
    if (os_event == nullptr || os_event->message != WM_KEYUP || os_event->wParam != VK_F5) return false;
    if (IsLive(browser)) {
        LoadSelectedLine(browser->GetMainFrame());
        PostToMainWindow(WM_BROWSER_RELAYOUT);
    }
    return true;
}

bool CBrowserClient::OnKeyEvent(CefRefPtr<CefBrowser>, const CefKeyEvent&, CefEventHandle) { return false; }

CefRefPtr<CefBrowser> CBrowserClient::GetBrowser() {
    base::AutoLock lock(m_lock);
    return m_closing ? nullptr : m_mainBrowser;
}

int CBrowserClient::GetMainBrowserId() {
    base::AutoLock lock(m_lock);
    return m_mainBrowserId;
}

bool CBrowserClient::HasOpenBrowsers() {
    base::AutoLock lock(m_lock);
    return !m_browsers.empty();
}

void CBrowserClient::SetMainWindow(HWND wnd) {
    base::AutoLock lock(m_lock);
    m_mainWnd = wnd;
}

void CBrowserClient::CloseAllBrowsers(bool force_close) {
    if (!CefCurrentlyOn(TID_UI)) {
        CefPostTask(TID_UI, new CloseAllBrowsersTask(this, force_close));
        return;
    }
    std::vector<CefRefPtr<CefBrowser>> browsers;
    {
        base::AutoLock lock(m_lock);
        m_closing = true;
        browsers = m_browsers;
    }
    // Outside the lock: a close may call back into this client.
    for (const CefRefPtr<CefBrowser>& browser : browsers) browser->GetHost()->CloseBrowser(force_close);
}

bool CBrowserClient::IsLive(CefRefPtr<CefBrowser> browser) {
    if (!browser) return false;
    base::AutoLock lock(m_lock);
    if (m_closing) return false;
    return std::any_of(m_browsers.begin(), m_browsers.end(),
                       [&](const CefRefPtr<CefBrowser>& entry) { return entry->IsSame(browser); });
}

void CBrowserClient::PostToMainWindow(UINT msg) {
    base::AutoLock lock(m_lock);
    if (m_mainWnd != nullptr) ::PostMessageW(m_mainWnd, msg, 0, 0);
}

void CBrowserClient::LoadSelectedLine(CefRefPtr<CefFrame> frame) {
    if (frame) frame->LoadURL(g_lines.lines[g_lines.selected].url);
}
