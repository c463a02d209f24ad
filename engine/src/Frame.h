// The engine's one frame per browser: its address on both sides, its script context on
// the renderer side.
#pragma once

#include <mutex>
#include <string>

#include "HtmlDocument.h"
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
    // Renderer thread: a fresh context for a new document, then its inline scripts.
    void CreateContext(const HtmlDocument& document);
    // Renderer thread: the document is gone; so is its context.
    void ReleaseContext();
    // Renderer thread: runs code in the current context, logging script errors.
    void RunScript(const std::wstring& code, const std::string& url, int line);
    // The browser has closed: the frame no longer leads to it.
    void Detach();

private:
    void Unsupported(const char* what);

    std::mutex mutex_;
    BrowserImpl* browser_;
    std::wstring url_;
    int64_t identifier_;
    CefRefPtr<CefV8Context> context_;  // a ScriptContext; renderer thread only
    IMPLEMENT_REFCOUNTING(FrameImpl);
};

}  // namespace engine
