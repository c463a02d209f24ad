// A client of the engine for tests: every callback is written to an event list that the
// test waits on, with whether it ran on the engine's UI thread.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "include/cef_app.h"
#include "include/cef_browser.h"
#include "include/cef_client.h"
#include "include/cef_task.h"

class EventList {
public:
    void Add(const std::string& event) {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(event);
        changed_.notify_all();
    }
    std::vector<std::string> All() {
        std::lock_guard<std::mutex> lock(mutex_);
        return events_;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.clear();
    }
    // Waits until an event starts with prefix; the safety limit only keeps a broken engine
    // from hanging the run. Returns the event, or "" when it never came.
    std::string WaitFor(const std::string& prefix) {
        std::unique_lock<std::mutex> lock(mutex_);
        std::string found;
        changed_.wait_for(lock, std::chrono::seconds(30), [&] {
            for (const auto& e : events_) {
                if (e.compare(0, prefix.size(), prefix) == 0) {
                    found = e;
                    return true;
                }
            }
            return false;
        });
        return found;
    }
    int Count(const std::string& prefix) {
        std::lock_guard<std::mutex> lock(mutex_);
        int n = 0;
        for (const auto& e : events_) n += e.compare(0, prefix.size(), prefix) == 0;
        return n;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> events_;
};

class TestClient : public CefClient,
                   public CefLifeSpanHandler,
                   public CefLoadHandler,
                   public CefRequestHandler,
                   public CefDownloadHandler,
                   public CefContextMenuHandler,
                   public CefKeyboardHandler {
public:
    explicit TestClient(EventList* events) : events_(events) {}

    CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
    CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
    CefRefPtr<CefRequestHandler> GetRequestHandler() override { return this; }
    CefRefPtr<CefDownloadHandler> GetDownloadHandler() override { return this; }
    CefRefPtr<CefContextMenuHandler> GetContextMenuHandler() override { return this; }
    CefRefPtr<CefKeyboardHandler> GetKeyboardHandler() override { return this; }

    bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, CefProcessId source,
                                  CefRefPtr<CefProcessMessage> message) override {
        (void)browser;
        std::lock_guard<std::mutex> lock(mutex_);
        received = message;
        receivedThread = GetCurrentThreadId();
        Add("message " + message->GetName().ToString() + " source=" + std::to_string(source));
        return true;
    }

    bool OnBeforePopup(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, const CefString& url, const CefString&,
                       CefLifeSpanHandler::WindowOpenDisposition, bool, const CefPopupFeatures&, CefWindowInfo&, CefRefPtr<CefClient>&,
                       CefBrowserSettings&, bool*) override {
        Add("before-popup " + url.ToString());
        return blockPopups;
    }
    void OnAfterCreated(CefRefPtr<CefBrowser> browser) override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!first) first = browser;
        browsers.push_back(browser);
        Add(std::string("after-created popup=") + (browser->IsPopup() ? "1" : "0"));
    }
    void OnBeforeClose(CefRefPtr<CefBrowser> browser) override {
        Add("before-close " + std::to_string(browser->GetIdentifier()));
    }

    void OnLoadStart(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame> frame) override {
        Add("load-start " + frame->GetURL().ToString());
    }
    void OnLoadEnd(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame> frame, int status) override {
        Add("load-end " + std::to_string(status) + " " + frame->GetURL().ToString());
    }
    void OnLoadError(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, ErrorCode code, const CefString& text,
                     const CefString& url) override {
        Add("load-error " + std::to_string(code) + " " + text.ToString() + " " + url.ToString());
    }

    bool OnResourceResponse(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, CefRefPtr<CefRequest> request,
                            CefRefPtr<CefResponse> response) override {
        Add("response " + std::to_string(response->GetStatus()) + " " + response->GetMimeType().ToString() + " " +
            request->GetURL().ToString());
        return false;
    }

    void OnBeforeDownload(CefRefPtr<CefBrowser>, CefRefPtr<CefDownloadItem> item, const CefString& name,
                          CefRefPtr<CefBeforeDownloadCallback> callback) override {
        Add("before-download " + name.ToString() + " total=" + std::to_string(item->GetTotalBytes()));
        callback->Continue(downloadPath, false);
    }
    void OnDownloadUpdated(CefRefPtr<CefBrowser>, CefRefPtr<CefDownloadItem> item,
                           CefRefPtr<CefDownloadItemCallback>) override {
        if (item->IsComplete()) Add("download-complete " + item->GetFullPath().ToString());
        else if (item->IsCanceled()) Add("download-canceled");
    }

    void OnBeforeContextMenu(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, CefRefPtr<CefContextMenuParams> params,
                             CefRefPtr<CefMenuModel> model) override {
        Add("context-menu flags=" + std::to_string(params->GetTypeFlags()) + " count=" + std::to_string(model->GetCount()) +
            " first=" + std::to_string(model->GetCommandIdAt(0)));
        model->Clear();  // an empty menu is not shown, so the test is not left in a menu loop
    }

    bool OnPreKeyEvent(CefRefPtr<CefBrowser>, const CefKeyEvent& event, CefEventHandle os_event, bool*) override {
        Add("pre-key msg=" + std::to_string(os_event ? os_event->message : 0) + " vk=" +
            std::to_string(os_event ? os_event->wParam : 0) + " code=" + std::to_string(event.windows_key_code));
        return os_event && os_event->message == WM_KEYUP && os_event->wParam == VK_F5;
    }
    bool OnKeyEvent(CefRefPtr<CefBrowser>, const CefKeyEvent& event, CefEventHandle) override {
        Add("key code=" + std::to_string(event.windows_key_code));
        return false;
    }

    CefRefPtr<CefBrowser> First() {
        std::lock_guard<std::mutex> lock(mutex_);
        return first;
    }

    bool blockPopups = true;
    CefString downloadPath;
    std::mutex mutex_;
    CefRefPtr<CefBrowser> first;
    std::vector<CefRefPtr<CefBrowser>> browsers;
    CefRefPtr<CefProcessMessage> received;
    DWORD receivedThread = 0;

private:
    // Every callback must arrive on the engine's UI thread; the mark makes a wrong one visible.
    void Add(const std::string& event) { events_->Add(event + (CefCurrentlyOn(TID_UI) ? "" : " [off-ui]")); }

    EventList* events_;
    IMPLEMENT_REFCOUNTING(TestClient);
};

// Starts the engine with its own UI thread and its log at folder\cef.log.
inline bool StartEngine(const std::wstring& folder, CefRefPtr<CefApp> app) {
    CefSettings settings;
    settings.multi_threaded_message_loop = 1;
    CefString(&settings.log_file) = folder + L"\\cef.log";
    settings.log_severity = LOGSEVERITY_INFO;
    return CefInitialize(CefMainArgs(GetModuleHandleW(nullptr)), settings, app, nullptr);
}

// A top-level test window for a browser, so no window of the test's thread is its parent.
// A type rather than a function: the window information cannot be copied implicitly.
struct PopupInfo : CefWindowInfo {
    PopupInfo() {
        SetAsPopup(nullptr, "engine test");
        style &= ~WS_VISIBLE;
    }
};

inline std::wstring TempFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + name + L"-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

inline std::string ReadWhole(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string out;
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &n, nullptr) && n > 0) out.append(buffer, n);
    CloseHandle(file);
    return out;
}
