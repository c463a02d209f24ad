// One browser: its window, main frame, history and loads. Everything that changes
// its state runs on the engine's UI thread; other threads post there.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Fetcher.h"
#include "Frame.h"
#include "PageLayout.h"
#include "PageSnapshot.h"
#include "include/cef_browser.h"
#include "include/cef_client.h"

namespace engine {

// An entry of the history: an address, and the text a LoadString gave it (or the
// engine's own page, the developer tools', which has no address to ask).
struct NavEntry {
    std::wstring url;  // canonical, or as given when it cannot be read
    bool unreadable = false;
    bool hasContent = false;
    std::wstring content;
    bool fromLoadString = false;
};

// The entry for an address a caller gave, read relative to base (a page's address; empty
// for none): one that cannot be read keeps its text and fails to load.
NavEntry EntryFor(const std::string& address, const std::string& base = std::string());

class BrowserImpl : public CefBrowser, public CefBrowserHost {
public:
    // UI thread: makes the window, reports OnAfterCreated and starts loading url.
    static CefRefPtr<BrowserImpl> Create(const CefWindowInfo& info, CefRefPtr<CefClient> client,
                                         const std::wstring& url, const CefBrowserSettings& settings, bool popup,
                                         const NavEntry* firstPage);

    // CefBrowser
    CefRefPtr<CefBrowserHost> GetHost() override { return this; }
    bool CanGoBack() override;
    void GoBack() override;
    bool CanGoForward() override;
    void GoForward() override;
    bool IsLoading() override { return loading_; }
    void Reload() override;
    void ReloadIgnoreCache() override { Reload(); }
    void StopLoad() override;
    int GetIdentifier() override { return id_; }
    bool IsSame(CefRefPtr<CefBrowser> that) override;
    bool IsPopup() override { return popup_; }
    bool HasDocument() override { return hasDocument_; }
    CefRefPtr<CefFrame> GetMainFrame() override { return frame_.get(); }
    CefRefPtr<CefFrame> GetFocusedFrame() override { return frame_.get(); }
    size_t GetFrameCount() override { return 1; }
    void GetFrameNames(std::vector<CefString>& names) override { names.assign(1, CefString()); }
    bool SendProcessMessage(CefProcessId target_process, CefRefPtr<CefProcessMessage> message) override;

    // CefBrowserHost
    CefRefPtr<CefBrowser> GetBrowser() override { return this; }
    void CloseBrowser(bool force_close) override;
    void SetFocus(bool focus) override;
    CefWindowHandle GetWindowHandle() override { return window_; }
    CefWindowHandle GetOpenerWindowHandle() override { return opener_; }
    CefRefPtr<CefClient> GetClient() override { return client_; }
    CefRefPtr<CefRequestContext> GetRequestContext() override;
    double GetZoomLevel() override { return 0.0; }
    void SetZoomLevel(double zoomLevel) override;
    void Print() override;
    void ShowDevTools(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
                      const CefBrowserSettings& settings, const CefPoint& inspect_element_at) override;
    void CloseDevTools() override;

    // UI thread.
    void Navigate(const NavEntry& entry, bool addToHistory);
    void OnWindowDestroyed();
    void OnPopupRequested(const NavEntry& entry, const std::wstring& name);
    void Paint(HDC dc, const RECT& client);
    void Scroll(int delta);
    // The page's picture from the renderer; one of an older load is dropped.
    void ShowPage(std::shared_ptr<const PageSnapshot> page);
    // A left button press and release at client points: a click on what both hit.
    void MouseDown(POINT point);
    void MouseUp(POINT point);
    // The pointer at a client point, or gone from the window (outside its client area).
    void MouseMove(POINT point);
    bool IsClickableAt(POINT point);
    // The laid-out boxes of the page's elements as "tag#id.class", their rectangles in
    // client coordinates and whether they take clicks; any thread.
    std::vector<std::pair<std::string, std::pair<RECT, bool>>> PageBoxes();
    bool HandleKey(UINT message, WPARAM wParam, LPARAM lParam);
    void ShowContextMenu(POINT clientPoint);
    void RunMenuCommand(int commandId);
    FrameImpl* Frame() { return frame_.get(); }
    std::wstring DisplayedText();

    // Browsers still open, for shutdown.
    static std::vector<CefRefPtr<BrowserImpl>> OpenBrowsers();

private:
    static const UINT kTopLevelCloseBound = 5000;

    BrowserImpl(CefRefPtr<CefClient> client, const CefBrowserSettings& settings, bool popup);
    bool CreateHostWindow(const CefWindowInfo& info);
    void NotifyTopLevelOfClose();
    void AbortPending();
    void StartLoad(int navId, const NavEntry& entry);
    void OnFetched(int navId, const NavEntry& entry, FetchResult result);
    void CommitBody(int navId, const std::wstring& url, const std::string& body, const std::string& charset,
                    int status);
    // A load's document (or the engine's error page for it) replaces the current one:
    // once the renderer has retired the old document, rest runs on this thread.
    void AfterRetiring(int navId, const std::wstring& url, std::function<void()> rest);
    void Commit(int navId, const std::wstring& url, const std::wstring& html, int status);
    void CompleteCommit(int navId, const NavEntry& entry, bool addsHistory, const std::wstring& html, int status);
    void Fail(int navId, int code, const std::wstring& url);
    void CompleteFail(int navId, const NavEntry& entry, bool addsHistory, int code, const std::wstring& url);
    void FinishLoad(int navId, int status);
    void RecordHistory(const NavEntry& entry, bool addsHistory);
    void SetLoading(bool loading);
    // The window shows the page of this load from now on, as soon as the renderer has it.
    void ShowLoad(int navId);
    // With displayMutex_ held: a layout of the current page for the window's size.
    const PageLayout* Layout(HDC dc);
    // With displayMutex_ held: the item under point (-1 for none) and its element (0).
    int ItemAt(POINT point);
    unsigned NodeAt(POINT point);
    CefRefPtr<CefLoadHandler> LoadHandler();

    CefRefPtr<CefClient> client_;
    CefBrowserSettings settings_;
    CefRefPtr<FrameImpl> frame_;
    HWND window_ = nullptr;
    HWND opener_ = nullptr;
    int id_;
    bool popup_;
    // Read from any thread, written on the UI thread.
    std::atomic<bool> hasDocument_{false};
    std::atomic<bool> loading_{false};
    std::atomic<bool> closed_{false};
    std::vector<NavEntry> history_;
    int historyIndex_ = -1;
    int navCounter_ = 0;
    int pendingNav_ = 0;  // the load still fetching, 0 when none
    bool pendingAddsHistory_ = false;
    NavEntry pendingEntry_;
    std::shared_ptr<FetchJob> pendingJob_;
    std::mutex displayMutex_;  // the window paints on the UI thread; tests read from theirs
    int pageSerial_ = 0;       // the load whose page the window shows
    std::shared_ptr<const PageSnapshot> page_;
    PageLayout layout_;
    bool layoutValid_ = false;
    SIZE layoutSize_ = {0, 0};
    unsigned pressedNode_ = 0;
    int pressedDocument_ = 0;
    unsigned hoveredNode_ = 0;
    int hoveredDocument_ = 0;
    int scrollY_ = 0;
    CefRefPtr<BrowserImpl> devTools_;
    IMPLEMENT_REFCOUNTING(BrowserImpl);
};

// Shutdown: logs the browsers still open and closes them on the UI thread.
void CloseOpenBrowsers();

}  // namespace engine
