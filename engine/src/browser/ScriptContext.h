// A script context of a frame on Duktape: a fresh heap per document with `window` as
// its global object and the page model (document, elements, timers, location) on it,
// the handlers of its native functions, and references that keep its objects alive for
// value objects held by native code. Every run of page code is held to a time limit, and
// the heap to a budget. Renderer thread only.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <utility>

#include <duktape.h>

#include "PageTimers.h"
#include "ScriptHeapBudget.h"
#include "include/cef_browser.h"
#include "include/cef_v8.h"

namespace engine {

class DomDocument;
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
    bool Eval(const CefString& code, CefRefPtr<CefV8Value>& retval, CefRefPtr<CefV8Exception>& exception) override;

    // Runs page code; a script error goes to the engine log as the console would show it.
    void Run(const std::wstring& code, const std::string& url, int line);
    // The document is gone: its timers stop, the heap is freed and every value of it turns invalid.
    void Invalidate();

    // The page model's entry points: a click on an element (its handlers, then a link's
    // action) and the load events once the page is parsed.
    void Click(unsigned node);
    void FireLoad();
    // Timers of the page, run on this thread in order while the context lives.
    int AddTimer(double delay, bool repeat);
    void RemoveTimer(int id);

    FrameImpl* Frame() const { return frame_.get(); }
    DomDocument* Document() const;
    duk_context* Heap() const { return heap_; }
    // Keeps the object at idx alive under a new reference number.
    unsigned Keep(duk_idx_t idx);
    void PushKept(unsigned ref);
    void Forget(unsigned ref);
    int AddHandler(const CefString& name, CefRefPtr<CefV8Handler> handler);
    std::pair<CefString, CefRefPtr<CefV8Handler>> Handler(int id) const;
    // Runs work inside a protected call; false with the error's text when the script threw.
    // The outermost call starts the time limit and shows the page's changes when it ends.
    bool Protect(const std::function<void(duk_context*)>& work, std::string* error);

    static ScriptContext* FromHeap(duk_context* heap);
    static void LogScriptError(duk_context* heap, const std::string& url);
    static void LogUncaught(const std::string& message, int line, const std::string& url);
    // Called by the script engine while code runs: true once the time limit has passed.
    bool TimedOut();

private:
    ScriptContext(CefRefPtr<CefBrowser> browser, CefRefPtr<FrameImpl> frame);
    bool Install();
    // Calls a function of the page model with numeric arguments, logging what it throws.
    void CallPage(const char* name, std::initializer_list<double> arguments);
    void RunDueTimers();
    void ArmTimer();
    static void CALLBACK OnTimer(HWND hwnd, UINT message, UINT_PTR id, DWORD time);
    std::string Url() const;
    static void* HeapAlloc(void* udata, duk_size_t size);
    static void* HeapRealloc(void* udata, void* block, duk_size_t size);
    static void HeapFree(void* udata, void* block);
    [[noreturn]] static void HeapFatal(void* udata, const char* message);

    ScriptHeapBudget heapBudget_;
    duk_context* heap_ = nullptr;
    CefRefPtr<CefBrowser> browser_;
    CefRefPtr<FrameImpl> frame_;
    unsigned nextRef_ = 1;
    std::map<int, std::pair<CefString, CefRefPtr<CefV8Handler>>> handlers_;
    int depth_ = 0;  // nested protected calls
    ULONGLONG deadline_ = 0;
    bool limited_ = false;
    bool timedOut_ = false;
    PageTimers timers_;
    UINT_PTR timer_ = 0;
    IMPLEMENT_REFCOUNTING(ScriptContext);
};

}  // namespace engine
