// A browser whose main frame shows a page at a given address: what the browser client
// reads of the browser a bridge message came through. Nothing else of it works. The
// browser and its frame share one identifier.
#pragma once

#include <string>
#include <vector>

#include "include/cef_browser.h"
#include "include/cef_frame.h"
#include "include/cef_v8.h"

class PageAtAddress : public CefBrowser {
public:
    explicit PageAtAddress(const std::string& url, int id = 7) : id_(id), frame_(new Frame(url, id)) {}

    CefRefPtr<CefFrame> GetMainFrame() override { return frame_; }
    int GetIdentifier() override { return id_; }
    CefRefPtr<CefBrowserHost> GetHost() override { return nullptr; }
    bool CanGoBack() override { return false; }
    void GoBack() override {}
    bool CanGoForward() override { return false; }
    void GoForward() override {}
    bool IsLoading() override { return false; }
    void Reload() override {}
    void ReloadIgnoreCache() override {}
    void StopLoad() override {}
    bool IsSame(CefRefPtr<CefBrowser> that) override { return that.get() == this; }
    bool IsPopup() override { return false; }
    bool HasDocument() override { return true; }
    CefRefPtr<CefFrame> GetFocusedFrame() override { return frame_; }
    size_t GetFrameCount() override { return 1; }
    void GetFrameNames(std::vector<CefString>&) override {}
    bool SendProcessMessage(CefProcessId, CefRefPtr<CefProcessMessage>) override { return false; }

private:
    class Frame : public CefFrame {
    public:
        Frame(const std::string& url, int id) : url_(url), id_(id) {}
        CefString GetURL() override { return url_; }
        int64_t GetIdentifier() override { return id_; }
        bool IsMain() override { return true; }
        bool IsValid() override { return true; }
        void Undo() override {}
        void Redo() override {}
        void Cut() override {}
        void Copy() override {}
        void Paste() override {}
        void Delete() override {}
        void SelectAll() override {}
        void ViewSource() override {}
        void LoadURL(const CefString&) override {}
        void LoadString(const CefString&, const CefString&) override {}
        void ExecuteJavaScript(const CefString&, const CefString&, int) override {}
        bool IsFocused() override { return true; }
        CefString GetName() override { return CefString(); }
        CefRefPtr<CefFrame> GetParent() override { return nullptr; }
        CefRefPtr<CefBrowser> GetBrowser() override { return nullptr; }
        CefRefPtr<CefV8Context> GetV8Context() override { return nullptr; }

    private:
        std::string url_;
        int id_;
        IMPLEMENT_REFCOUNTING(Frame);
    };
    int id_;
    CefRefPtr<Frame> frame_;
    IMPLEMENT_REFCOUNTING(PageAtAddress);
};
