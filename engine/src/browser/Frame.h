// The engine's one frame per browser: its address on both sides, its script context on
// the renderer side. As a render process's frame does, the frame answers the renderer
// thread with the address of the document the renderer holds, and every other thread
// with the address the browser side has committed.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "DomDocument.h"
#include "PageImages.h"
#include "PageSnapshot.h"
#include "include/cef_browser.h"
#include "include/cef_frame.h"
#include "include/cef_v8.h"

namespace engine {

class BrowserImpl;
class ScriptContext;

class FrameImpl : public CefFrame {
public:
    explicit FrameImpl(BrowserImpl* browser);

    bool IsValid() override;
    void Undo() override { Unsupported("undo"); }
    void Redo() override { Unsupported("redo"); }
    void Cut() override { Unsupported("cut"); }
    void Copy() override;
    void Paste() override;
    void Delete() override { Unsupported("delete"); }
    void SelectAll() override { Unsupported("select all"); }
    void ViewSource() override { Unsupported("view source"); }
    void LoadURL(const CefString& url) override;
    void LoadString(const CefString& string_val, const CefString& url) override;
    void ExecuteJavaScript(const CefString& code, const CefString& script_url, int start_line) override;
    bool IsMain() override { return true; }
    bool IsFocused() override { return true; }
    CefString GetName() override { return CefString(); }
    int64_t GetIdentifier() override { return identifier_; }
    CefRefPtr<CefFrame> GetParent() override { return nullptr; }
    CefString GetURL() override;
    CefRefPtr<CefBrowser> GetBrowser() override;
    CefRefPtr<CefV8Context> GetV8Context() override;

    // The browser side's address. UI thread, and the renderer's for a fragment change.
    void SetUrl(const std::wstring& url);
    // The browser has closed: the frame no longer leads to it.
    void Detach();

    // Renderer thread from here on.
    // The document gives way to the load serial, at url: its context goes, so its
    // timers stop and nothing more is sent from it.
    void Retire(const std::wstring& url, int serial);
    // Puts the page's text in place of the retired document, in a fresh context, which
    // runs the page's scripts as they are parsed, then its load event. serial names the
    // load; one whose document a later load retired before it came here is not shown.
    void LoadDocument(const std::wstring& html, int serial);
    // The document is gone; so is its context.
    void ReleaseContext();
    // Runs code in the current context, logging script errors.
    void RunScript(const std::wstring& code, const std::string& url, int line);
    DomDocument* Document() const { return document_.get(); }
    // Hands the browser window a new picture of the document when it changed.
    void ShowChanges();
    // A fetched image of the given load's document has been decoded (null: it cannot be shown).
    void ImageArrived(int document, const std::string& url, std::shared_ptr<const DecodedImage> image);
    // A click the window hit-tested on the given load's document.
    void Click(int document, unsigned node);
    // The pointer has come over node (0: over none) of the given load's document.
    void Hover(int document, unsigned node);
    // What the page asks of its location: another address (relative to this one) or a reload.
    void NavigateFromPage(const std::wstring& url);
    void ReloadFromPage();

private:
    void Unsupported(const char* what);
    void Publish();
    // Where the document's fetched images go. Made for each call, not kept by the images:
    // it holds the frame, which owns them.
    PageImages::Fetched ImageFetched();
    CefRefPtr<ScriptContext> CreateContext(CefRefPtr<CefBrowser> browser);

    std::mutex mutex_;
    BrowserImpl* browser_;
    std::wstring url_;
    int64_t identifier_;
    std::wstring documentUrl_;  // renderer thread only
    int retiredFor_ = 0;        // the load the document last gave way to; renderer thread only
    CefRefPtr<CefV8Context> context_;  // a ScriptContext; renderer thread only
    std::shared_ptr<DomDocument> document_;  // renderer thread only
    StyleSheetCache sheets_;                 // renderer thread only
    std::unique_ptr<PageImages> images_;     // the document's; renderer thread only
    IMPLEMENT_REFCOUNTING(FrameImpl);
};

}  // namespace engine
