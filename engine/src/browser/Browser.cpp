#include "Browser.h"

#include <algorithm>
#include <mutex>
#include <new>

#include "BrowserWindow.h"
#include "CanonicalUrl.h"
#include "Closure.h"
#include "Download.h"
#include "EngineContext.h"
#include "EngineLog.h"
#include "EngineTrace.h"
#include "ErrorNames.h"
#include "HandleOwner.h"
#include "HtmlParser.h"
#include "OutOfMemory.h"
#include "Url.h"
#include "tallyhive/engine_testing.h"

namespace engine {
namespace {

std::mutex g_registryMutex;
std::vector<BrowserImpl*> g_open;
int g_nextId = 1;

std::string Utf8(const std::wstring& text) { return CefString(text).ToString(); }

std::string Attachment(const FetchResult& result) {
    const std::string disposition = result.Header("Content-Disposition");
    std::string lower = disposition;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.compare(0, 10, "attachment") == 0 ? disposition : std::string();
}

std::string CharsetOf(const std::string& contentType) {
    std::string lower = contentType;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const size_t at = lower.find("charset=");
    if (at == std::string::npos) return std::string();
    std::string charset = lower.substr(at + 8);
    charset.erase(std::remove(charset.begin(), charset.end(), '"'), charset.end());
    return charset.substr(0, charset.find(';'));
}

CefRefPtr<CefRequest> MakeRequest(const std::wstring& url) {
    CefRefPtr<CefRequest> request = CefRequest::Create();
    request->SetURL(url);
    return request;
}

CefRefPtr<CefResponse> MakeResponse(const FetchResult& result) {
    CefRefPtr<CefResponse> response = CefResponse::Create();
    response->SetStatus(result.status);
    response->SetStatusText(result.statusText);
    const std::string type = result.Header("Content-Type");
    response->SetMimeType(type.substr(0, type.find(';')));
    CefResponse::HeaderMap headers;
    for (const auto& h : result.headers) headers.emplace(h.first, h.second);
    response->SetHeaderMap(headers);
    return response;
}

// As in Chromium, the text that LoadString put at an address is not kept for a later
// visit: a reload, or a move back or forward onto it, asks that address again. An error
// page that reloads itself shows the page once the server answers, and the application
// hears of a failure that lasts again (whatever the address's scheme) and answers it as
// the first time.
NavEntry Revisited(NavEntry entry) {
    if (entry.fromLoadString) {
        entry.hasContent = false;
        entry.content.clear();
        entry.fromLoadString = false;
    }
    return entry;
}

LRESULT CALLBACK RefuseActivation(int code, WPARAM wParam, LPARAM lParam) {
    return code == HCBT_ACTIVATE ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

NavEntry EntryFor(const std::string& address, const std::string& base) {
    NavEntry entry;
    std::string canonical;
    entry.unreadable = !ReadAddress(address, base, canonical);
    entry.url = CefString(entry.unreadable ? address : canonical).ToWString();
    return entry;
}

BrowserImpl::BrowserImpl(CefRefPtr<CefClient> client, const CefBrowserSettings& settings, bool popup)
    : client_(client), settings_(settings), popup_(popup) {
    std::lock_guard<std::mutex> lock(g_registryMutex);
    id_ = g_nextId++;
    frame_ = new FrameImpl(this);
}

CefRefPtr<BrowserImpl> BrowserImpl::Create(const CefWindowInfo& info, CefRefPtr<CefClient> client,
                                           const std::wstring& url, const CefBrowserSettings& settings, bool popup,
                                           const NavEntry* firstPage) {
    CefRefPtr<BrowserImpl> browser = new BrowserImpl(client, settings, popup);
    if (!browser->CreateHostWindow(info)) {
        EngineLog::Write(LOGSEVERITY_ERROR, "the browser window could not be created (error " +
                                                std::to_string(GetLastError()) + ")");
        browser->frame_->Detach();
        return nullptr;
    }
    {
        std::lock_guard<std::mutex> lock(g_registryMutex);
        g_open.push_back(browser.get());
    }
    Trace("browser created id=" + std::to_string(browser->id_) + " popup=" + (popup ? "1" : "0") + " url=" + Utf8(url));
    CefRefPtr<CefApp> app = EngineContext::Get().App();
    PostWork(TID_RENDERER, [app, browser] {
        CefRefPtr<CefRenderProcessHandler> handler = app ? app->GetRenderProcessHandler() : nullptr;
        if (handler) handler->OnBrowserCreated(browser.get());
    });
    CefRefPtr<CefLifeSpanHandler> lifeSpan = client ? client->GetLifeSpanHandler() : nullptr;
    if (lifeSpan) lifeSpan->OnAfterCreated(browser.get());
    if (firstPage != nullptr) {
        browser->Navigate(*firstPage, true);
    } else if (!url.empty()) {
        NavEntry entry;
        entry.url = url;
        browser->Navigate(entry, true);
    }
    return browser;
}

bool BrowserImpl::CreateHostWindow(const CefWindowInfo& info) {
    if (info.windowless_rendering_enabled) {
        EngineLog::Write(LOGSEVERITY_WARNING, "windowless rendering is not supported; a window is made instead");
    }
    window_ = CreateBrowserWindow(info, this);
    opener_ = info.parent_window;
    return window_ != nullptr;
}

CefRefPtr<CefLoadHandler> BrowserImpl::LoadHandler() { return client_ ? client_->GetLoadHandler() : nullptr; }

bool BrowserImpl::IsSame(CefRefPtr<CefBrowser> that) { return that && that->GetIdentifier() == id_; }

CefRefPtr<CefRequestContext> BrowserImpl::GetRequestContext() { return CefRequestContext::GetGlobalContext(); }

bool BrowserImpl::CanGoBack() { return historyIndex_ > 0; }

bool BrowserImpl::CanGoForward() { return historyIndex_ + 1 < static_cast<int>(history_.size()); }

void BrowserImpl::GoBack() {
    CefRefPtr<BrowserImpl> self = this;
    PostWork(TID_UI, [self] {
        if (!self->CanGoBack()) return;
        --self->historyIndex_;
        self->Navigate(Revisited(self->history_[self->historyIndex_]), false);
    });
}

void BrowserImpl::GoForward() {
    CefRefPtr<BrowserImpl> self = this;
    PostWork(TID_UI, [self] {
        if (!self->CanGoForward()) return;
        ++self->historyIndex_;
        self->Navigate(Revisited(self->history_[self->historyIndex_]), false);
    });
}

void BrowserImpl::Reload() {
    CefRefPtr<BrowserImpl> self = this;
    PostWork(TID_UI, [self] {
        if (self->historyIndex_ < 0) return;
        self->Navigate(Revisited(self->history_[self->historyIndex_]), false);
    });
}

void BrowserImpl::StopLoad() {
    CefRefPtr<BrowserImpl> self = this;
    PostWork(TID_UI, [self] { self->AbortPending(); });
}

void BrowserImpl::SetZoomLevel(double zoomLevel) {
    if (zoomLevel != 0.0) EngineLog::Write(LOGSEVERITY_WARNING, "zooming is not supported; the page keeps its size");
}

void BrowserImpl::Print() { EngineLog::Write(LOGSEVERITY_WARNING, "printing is not supported by this engine"); }

bool BrowserImpl::SendProcessMessage(CefProcessId target, CefRefPtr<CefProcessMessage> message) {
    if (!message) return false;
    // Copied now, like a message that leaves its process: later edits by the sender stay with it.
    CefRefPtr<CefProcessMessage> copy = message->Copy();
    const bool toBrowser = target == PID_BROWSER;
    Trace("process message sent id=" + std::to_string(id_) + " to=" + (toBrowser ? "browser" : "renderer") +
          " name=" + copy->GetName().ToString() + " args=" + std::to_string(copy->GetArgumentList()->GetSize()));
    CefRefPtr<BrowserImpl> self = this;
    if (toBrowser) {
        return PostWork(TID_UI, [self, copy] {
            if (!self->closed_ && self->client_) self->client_->OnProcessMessageReceived(self.get(), PID_RENDERER, copy);
        });
    }
    CefRefPtr<CefApp> app = EngineContext::Get().App();
    return PostWork(TID_RENDERER, [self, copy, app] {
        CefRefPtr<CefRenderProcessHandler> handler = app ? app->GetRenderProcessHandler() : nullptr;
        if (handler) handler->OnProcessMessageReceived(self.get(), PID_BROWSER, copy);
    });
}

void BrowserImpl::CloseBrowser(bool force) {
    CefRefPtr<BrowserImpl> self = this;
    Trace("close browser id=" + std::to_string(id_) + " force=" + (force ? "1" : "0"));
    PostWork(TID_UI, [self] {
        if (self->closed_ || self->window_ == nullptr) return;
        CefRefPtr<CefLifeSpanHandler> lifeSpan = self->client_ ? self->client_->GetLifeSpanHandler() : nullptr;
        // DoClose returning true means the application destroys the window itself.
        if (lifeSpan && lifeSpan->DoClose(self.get())) return;
        self->NotifyTopLevelOfClose();
        if (self->window_ != nullptr) DestroyWindow(self->window_);
    });
}

// The application learns of the close as of a user's: its top-level window gets WM_CLOSE,
// and may destroy itself (and the browser with it) while handling it. The wait is
// bounded, so a window busy in a modal loop cannot hold the engine's thread.
void BrowserImpl::NotifyTopLevelOfClose() {
    HWND top = window_ != nullptr ? GetAncestor(window_, GA_ROOT) : nullptr;
    if (top == nullptr) return;
    Trace("close sent to top-level id=" + std::to_string(id_));
    DWORD_PTR result = 0;
    SendMessageTimeoutW(top, WM_CLOSE, 0, 0, SMTO_NORMAL, kTopLevelCloseBound, &result);
}

// The request runs later on the engine's thread; by then the user may have gone to
// another window (a popup menu, a dialog), and focusing the browser would activate its
// top-level window again and close or hide that one. Only a browser whose top-level
// window is still in front takes the focus. The window that is in front may change
// between that look and the focus change (the top-level window's thread goes on
// meanwhile), so for the change's length the activation a focus change would need is
// refused: the focus moves only inside the window that is active then.
void BrowserImpl::SetFocus(bool focus) {
    CefRefPtr<BrowserImpl> self = this;
    PostWork(TID_UI, [self, focus] {
        HWND window = self->window_;
        if (!focus || window == nullptr || ::GetForegroundWindow() != ::GetAncestor(window, GA_ROOT)) return;
        const HookHandle refusal(SetWindowsHookExW(WH_CBT, RefuseActivation, nullptr, GetCurrentThreadId()));
        if (refusal.get() != nullptr) ::SetFocus(window);
    });
}

void BrowserImpl::OnWindowDestroyed() {
    if (closed_) return;
    window_ = nullptr;
    closed_ = true;
    if (pendingJob_) pendingJob_->Cancel();
    pendingNav_ = 0;
    ++navCounter_;
    {
        std::lock_guard<std::mutex> lock(g_registryMutex);
        g_open.erase(std::remove(g_open.begin(), g_open.end(), this), g_open.end());
    }
    Trace("browser closed id=" + std::to_string(id_));
    CefRefPtr<BrowserImpl> self = this;
    CefRefPtr<CefApp> app = EngineContext::Get().App();
    const bool posted = PostWork(TID_RENDERER, [self, app] {
        self->frame_->ReleaseContext();
        CefRefPtr<CefRenderProcessHandler> handler = app ? app->GetRenderProcessHandler() : nullptr;
        if (handler) handler->OnBrowserDestroyed(self.get());
        self->frame_->Detach();
    });
    if (!posted) frame_->Detach();
    if (devTools_) devTools_->CloseBrowser(true);
    devTools_ = nullptr;
    CefRefPtr<CefLifeSpanHandler> lifeSpan = client_ ? client_->GetLifeSpanHandler() : nullptr;
    if (lifeSpan) lifeSpan->OnBeforeClose(this);
}

void BrowserImpl::OnPopupRequested(const NavEntry& entry, const std::wstring& name) {
    if (closed_) return;
    CefRefPtr<CefLifeSpanHandler> lifeSpan = client_ ? client_->GetLifeSpanHandler() : nullptr;
    CefWindowInfo info;
    info.SetAsPopup(window_, CefString());
    CefRefPtr<CefClient> client = client_;
    CefBrowserSettings settings = settings_;
    CefPopupFeatures features;
    bool noScriptAccess = false;
    if (lifeSpan && lifeSpan->OnBeforePopup(this, frame_.get(), entry.url, name, WOD_NEW_FOREGROUND_TAB, false,
                                            features, info, client, settings, &noScriptAccess)) {
        Trace("popup blocked id=" + std::to_string(id_) + " url=" + Utf8(entry.url));
        return;
    }
    Trace("popup opened id=" + std::to_string(id_) + " url=" + Utf8(entry.url));
    Create(info, client, entry.url, settings, true, &entry);
}

// A load still fetching when another starts ends as aborted, as in the browser.
void BrowserImpl::AbortPending() {
    if (pendingNav_ == 0) return;
    if (pendingJob_) pendingJob_->Cancel();
    pendingJob_.reset();
    pendingNav_ = 0;
    const std::wstring url = pendingEntry_.url;
    Trace("load failed id=" + std::to_string(id_) + " code=-3 url=" + Utf8(url));
    CefRefPtr<CefLoadHandler> handler = LoadHandler();
    if (handler) handler->OnLoadError(this, frame_.get(), ERR_ABORTED, "net::ERR_ABORTED", url);
    SetLoading(false);
}

void BrowserImpl::Navigate(const NavEntry& entry, bool addToHistory) {
    if (closed_) return;
    AbortPending();
    const int navId = ++navCounter_;
    pendingNav_ = navId;
    pendingEntry_ = entry;
    pendingAddsHistory_ = addToHistory;
    Trace("load started id=" + std::to_string(id_) + " url=" + Utf8(entry.url));
    SetLoading(true);
    StartLoad(navId, entry);
}

void BrowserImpl::StartLoad(int navId, const NavEntry& entry) {
    const std::string url = Utf8(entry.url);
    const std::string scheme = UrlScheme(url);
    if (entry.hasContent) return Commit(navId, entry.url, entry.content, 200);
    if (entry.unreadable) return Fail(navId, ERR_INVALID_URL, entry.url);
    if (url == "about:blank") return Commit(navId, entry.url, std::wstring(), 0);
    if (scheme == "data") {
        std::string mime, charset, body;
        if (!DecodeDataUrl(url, mime, charset, body)) return Fail(navId, ERR_INVALID_URL, entry.url);
        return Commit(navId, entry.url, DecodePage(body, charset == "US-ASCII" ? std::string() : charset), 200);
    }
    if (scheme.empty()) return Fail(navId, ERR_INVALID_URL, entry.url);
    // A file is read as a page is fetched: off this thread, within the same bound.
    if (scheme != "http" && scheme != "https" && scheme != "file") {
        return Fail(navId, ERR_UNKNOWN_URL_SCHEME, entry.url);
    }
    CefRefPtr<BrowserImpl> self = this;
    pendingJob_ = StartFetch(WithoutFragment(url), [self, navId, entry](FetchResult result) {
        auto shared = std::make_shared<FetchResult>(std::move(result));
        PostWork(TID_UI, [self, navId, entry, shared] { self->OnFetched(navId, entry, std::move(*shared)); });
    }, kMaxPageBytes);
}

void BrowserImpl::OnFetched(int navId, const NavEntry& entry, FetchResult result) {
    if (navId != pendingNav_ || closed_) return;
    pendingJob_.reset();
    if (result.error != 0) return Fail(navId, result.error, entry.url);
    if (UrlScheme(Utf8(entry.url)) == "file") return CommitBody(navId, entry.url, result.body, std::string(), 0);
    std::wstring url = entry.url;
    if (!result.finalUrl.empty() && result.finalUrl != WithoutFragment(Utf8(entry.url))) url = CefString(result.finalUrl).ToWString();
    CefRefPtr<CefRequestHandler> requestHandler = client_ ? client_->GetRequestHandler() : nullptr;
    if (requestHandler &&
        requestHandler->OnResourceResponse(this, frame_.get(), MakeRequest(CefString(WithoutFragment(Utf8(url))).ToWString()),
                                           MakeResponse(result))) {
        EngineLog::Write(LOGSEVERITY_WARNING, "asking for a request again after its response is not supported; "
                                              "the response stands");
    }
    const std::string disposition = Attachment(result);
    if (!disposition.empty()) {
        pendingNav_ = 0;
        SetLoading(false);
        StartDownload(this, Utf8(url), disposition, std::move(result));
        return;
    }
    CommitBody(navId, url, result.body, CharsetOf(result.Header("Content-Type")), result.status);
}

// A body within its bound may still be more than the process has memory left for: its
// load then fails, and the process goes on.
void BrowserImpl::CommitBody(int navId, const std::wstring& url, const std::string& body, const std::string& charset,
                             int status) {
    try {
        Commit(navId, url, DecodePage(body, charset), status);
    } catch (const std::bad_alloc&) {
        LogOutOfMemory("a page's commit");
        Fail(navId, ERR_FAILED, url);
    }
}

void BrowserImpl::RecordHistory(const NavEntry& entry, bool addsHistory) {
    // A reload or a move through the history, or a new load of the address already shown
    // (as Chromium treats it), takes the place of the current entry: a page that reloads
    // itself forever does not grow the history.
    if (historyIndex_ >= 0 && (!addsHistory || history_[historyIndex_].url == entry.url)) {
        history_[historyIndex_] = entry;
        return;
    }
    if (!addsHistory) return;
    if (historyIndex_ + 1 < static_cast<int>(history_.size())) history_.resize(static_cast<size_t>(historyIndex_ + 1));
    history_.push_back(entry);
    historyIndex_ = static_cast<int>(history_.size()) - 1;
}

// As between a render process and its browser, the document that a load replaces is
// retired on the renderer thread first: whatever its running script still sends is queued
// to this thread before the rest of the load's commit, and once retired it sends nothing.
// From here on the load is no longer the pending one that a newer load aborts.
void BrowserImpl::AfterRetiring(int navId, const std::wstring& url, std::function<void()> rest) {
    pendingNav_ = 0;
    pendingJob_.reset();
    CefRefPtr<BrowserImpl> self = this;
    const bool posted = PostWork(TID_RENDERER, [self, navId, url, rest] {
        self->frame_->Retire(url, navId);
        PostWork(TID_UI, rest);
    });
    if (!posted) rest();
}

void BrowserImpl::Commit(int navId, const std::wstring& url, const std::wstring& html, int status) {
    NavEntry entry = pendingEntry_;
    entry.url = url;
    const bool addsHistory = pendingAddsHistory_;
    CefRefPtr<BrowserImpl> self = this;
    AfterRetiring(navId, url, [self, navId, entry, addsHistory, html, status] {
        self->CompleteCommit(navId, entry, addsHistory, html, status);
    });
}

void BrowserImpl::CompleteCommit(int navId, const NavEntry& entry, bool addsHistory, const std::wstring& html,
                                 int status) {
    if (closed_) return;
    RecordHistory(entry, addsHistory);
    frame_->SetUrl(entry.url);
    hasDocument_ = true;
    ShowLoad(navId);
    CefRefPtr<CefLoadHandler> handler = LoadHandler();
    if (handler) handler->OnLoadStart(this, frame_.get());
    CefRefPtr<BrowserImpl> self = this;
    const std::wstring url = entry.url;
    const bool posted = PostWork(TID_RENDERER, [self, html, navId, status, url] {
        try {
            self->frame_->LoadDocument(html, navId);
        } catch (const std::bad_alloc&) {
            LogOutOfMemory("a page's document");
            PostWork(TID_UI, [self, navId, url] {
                if (navId == self->navCounter_ && !self->closed_) self->Fail(navId, ERR_FAILED, url);
            });
            return;
        }
        PostWork(TID_UI, [self, navId, status] { self->FinishLoad(navId, status); });
    });
    if (!posted) FinishLoad(navId, status);
}

void BrowserImpl::FinishLoad(int navId, int status) {
    // A newer load has begun: this one's end is not reported.
    if (navId != navCounter_ || closed_) return;
    Trace("load ended id=" + std::to_string(id_) + " status=" + std::to_string(status));
    CefRefPtr<CefLoadHandler> handler = LoadHandler();
    if (handler) handler->OnLoadEnd(this, frame_.get(), status);
    SetLoading(false);
}

void BrowserImpl::Fail(int navId, int code, const std::wstring& url) {
    NavEntry entry = pendingEntry_;
    const bool addsHistory = pendingAddsHistory_;
    CefRefPtr<BrowserImpl> self = this;
    AfterRetiring(navId, url, [self, navId, entry, addsHistory, code, url] {
        self->CompleteFail(navId, entry, addsHistory, code, url);
    });
}

void BrowserImpl::CompleteFail(int navId, const NavEntry& entry, bool addsHistory, int code, const std::wstring& url) {
    if (closed_) return;
    RecordHistory(entry, addsHistory);
    frame_->SetUrl(url);
    const std::string name = std::string("net::") + ErrorName(code);
    Trace("load failed id=" + std::to_string(id_) + " code=" + std::to_string(code) + " url=" + Utf8(url));
    EngineLog::Write(LOGSEVERITY_INFO, "load of " + Utf8(url) + " failed: " + name);
    // The engine's own error page stands in for the retired document.
    ShowLoad(navId);
    const std::wstring page = L"<html><head><title>" + EscapeHtml(url) + L"</title></head><body>"
                              L"<p style=\"margin-left: 12px\">This page could not be loaded.</p>"
                              L"<p style=\"margin-left: 12px\">" + CefString(name).ToWString() + L"</p>"
                              L"<p style=\"margin-left: 12px\">" + EscapeHtml(url) + L"</p></body></html>";
    ShowPage(SnapshotOfMarkup(page, navId, url));
    // A newer load has begun meanwhile: it goes on, and what the application would do
    // about this failure (show a page of its own here) would only cut it short.
    if (navId != navCounter_) return;
    CefRefPtr<CefLoadHandler> handler = LoadHandler();
    if (handler) handler->OnLoadError(this, frame_.get(), static_cast<cef_errorcode_t>(code), name, url);
    SetLoading(false);
}

void BrowserImpl::SetLoading(bool loading) {
    loading_ = loading;
    CefRefPtr<CefLoadHandler> handler = LoadHandler();
    if (handler) handler->OnLoadingStateChange(this, loading, CanGoBack(), CanGoForward());
}

std::vector<CefRefPtr<BrowserImpl>> BrowserImpl::OpenBrowsers() {
    std::lock_guard<std::mutex> lock(g_registryMutex);
    return std::vector<CefRefPtr<BrowserImpl>>(g_open.begin(), g_open.end());
}

void CloseOpenBrowsers() {
    const std::vector<CefRefPtr<BrowserImpl>> open = BrowserImpl::OpenBrowsers();
    if (open.empty()) return;
    std::string ids;
    for (const auto& browser : open) ids += " " + std::to_string(browser->GetIdentifier());
    EngineLog::Write(LOGSEVERITY_ERROR, "CefShutdown called with " + std::to_string(open.size()) +
                                            " browser(s) still open:" + ids + "; closing them");
    Trace("shutdown with open browsers" + ids);
    if (CefCurrentlyOn(TID_UI)) {
        for (const auto& browser : open) DestroyWindow(browser->GetWindowHandle());
        return;
    }
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const bool posted = done != nullptr && PostWork(TID_UI, [open, done] {
        for (const auto& browser : open) {
            HWND window = browser->GetWindowHandle();
            if (window != nullptr) DestroyWindow(window);
        }
        SetEvent(done);
    });
    if (posted) WaitPumpingSentMessages(done);
    if (done != nullptr) CloseHandle(done);
}

}  // namespace engine

bool CefBrowserHost::CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client, const CefString& url,
                                   const CefBrowserSettings& settings, CefRefPtr<CefRequestContext> request_context) {
    (void)request_context;  // one network context serves every browser here
    const engine::NavEntry entry = engine::EntryFor(url.ToString());
    const bool navigates = !url.empty();
    engine::Trace("create browser url=" + CefString(entry.url).ToString());
    const bool posted = engine::PostWork(TID_UI, [windowInfo, client, entry, navigates, settings] {
        engine::BrowserImpl::Create(windowInfo, client, entry.url, settings, false, navigates ? &entry : nullptr);
    });
    if (!posted) engine::EngineLog::Write(LOGSEVERITY_ERROR, "CreateBrowser: the engine's UI thread does not run");
    return posted;
}
