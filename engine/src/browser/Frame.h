// The engine's one frame per browser: its address on both sides, its script context on
// the renderer side.
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

    void SetUrl(const std::wstring& url);
    // The browser has closed: the frame no longer leads to it.
    void Detach();

    // Renderer thread from here on.
    // Replaces the document by the page's text in a fresh context, which runs the page's
    // scripts as they are parsed, then its load event. serial names the load.
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
    CefRefPtr<ScriptContext> CreateContext(CefRefPtr<CefBrowser> browser);

    std::mutex mutex_;
    BrowserImpl* browser_;
    std::wstring url_;
    int64_t identifier_;
    CefRefPtr<CefV8Context> context_;  // a ScriptContext; renderer thread only
    std::shared_ptr<DomDocument> document_;  // renderer thread only
    StyleSheetCache sheets_;                 // renderer thread only
    std::unique_ptr<PageImages> images_;     // the document's; renderer thread only
    IMPLEMENT_REFCOUNTING(FrameImpl);
};

}  // namespace engine
