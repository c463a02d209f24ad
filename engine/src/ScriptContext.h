// A script context of a frame on Duktape: a fresh heap per document with `window` as
// its global object, the handlers of its native functions, and references that keep
// its objects alive for value objects held by native code. Renderer thread only.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>

#include <duktape.h>

#include "include/cef_browser.h"
#include "include/cef_v8.h"

namespace engine {

class FrameImpl;

class ScriptContext : public CefV8Context {
public:
    static CefRefPtr<ScriptContext> Create(CefRefPtr<CefBrowser> browser, CefRefPtr<FrameImpl> frame);
    ~ScriptContext() override;

    bool IsValid() override { return heap_ != nullptr; }
    CefRefPtr<CefBrowser> GetBrowser() override { return browser_; }
    CefRefPtr<CefFrame> GetFrame() override;
    CefRefPtr<CefV8Value> GetGlobal() override;
    bool Enter() override;
    bool Exit() override;
    bool IsSame(CefRefPtr<CefV8Context> that) override { return that.get() == static_cast<CefV8Context*>(this); }
    bool Eval(const CefString& code, CefRefPtr<CefV8Value>& retval, CefString& exception) override;

    // Runs page code; a script error goes to the engine log as the console would show it.
    void Run(const std::wstring& code, const std::string& url, int line);
    // The document is gone: the heap is freed and every value of it turns invalid.
    void Invalidate();

    duk_context* Heap() const { return heap_; }
    // Keeps the object at idx alive under a new reference number.
    unsigned Keep(duk_idx_t idx);
    void PushKept(unsigned ref);
    void Forget(unsigned ref);
    int AddHandler(const CefString& name, CefRefPtr<CefV8Handler> handler);
    std::pair<CefString, CefRefPtr<CefV8Handler>> Handler(int id) const;
    // Runs work inside a protected call; false with the error's text when the script threw.
    bool Protect(const std::function<void(duk_context*)>& work, std::string* error);

    static ScriptContext* FromHeap(duk_context* heap);
    static void LogScriptError(duk_context* heap, const std::string& url);

private:
    ScriptContext(CefRefPtr<CefBrowser> browser, CefRefPtr<FrameImpl> frame);
    bool Install();

    duk_context* heap_ = nullptr;
    CefRefPtr<CefBrowser> browser_;
    CefRefPtr<FrameImpl> frame_;
    unsigned nextRef_ = 1;
    std::map<int, std::pair<CefString, CefRefPtr<CefV8Handler>>> handlers_;
    IMPLEMENT_REFCOUNTING(ScriptContext);
};

}  // namespace engine
