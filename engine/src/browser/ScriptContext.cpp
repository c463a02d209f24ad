#include "ScriptContext.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <vector>

#include "Browser.h"
#include "Closure.h"
#include "EngineLog.h"
#include "Frame.h"
#include "LocalResource.h"
#include "PageScript.h"
#include "V8Value.h"
#include "tallyhive/engine_testing.h"

namespace engine {
namespace {

// Contexts entered, innermost last. Only the renderer thread enters contexts, so one
// stack serves (and no per-thread storage has to be torn down when that thread ends).
std::vector<CefRefPtr<ScriptContext>> t_entered;

bool OnRenderer() { return CefCurrentlyOn(TID_RENDERER); }

// Long enough for any honest page on this interpreter, short enough that a page that
// never ends gives the renderer thread back.
std::atomic<unsigned> g_scriptTimeLimit{10000};

// The contexts whose page timers are armed, by Win32 timer id; renderer thread only.
std::map<UINT_PTR, ScriptContext*> g_timerOwners;

// Thrown past Duktape when it gives a heap up, to the context's own protected call.
class HeapLost : public std::runtime_error {
public:
    explicit HeapLost(const std::string& message) : std::runtime_error(message) {}
};

class V8ExceptionImpl : public CefV8Exception {
public:
    V8ExceptionImpl(const std::string& message, int line) : message_(message), line_(line) {}
    CefString GetMessage() override { return message_; }
    CefString GetSourceLine() override { return CefString(); }
    CefString GetScriptResourceName() override { return CefString(); }
    int GetLineNumber() override { return line_; }
    int GetStartPosition() override { return 0; }
    int GetEndPosition() override { return 0; }
    int GetStartColumn() override { return 0; }
    int GetEndColumn() override { return 0; }

private:
    std::string message_;
    int line_;
    IMPLEMENT_REFCOUNTING(V8ExceptionImpl);
};

std::string Utf8At(duk_context* heap, duk_idx_t idx) {
    duk_size_t len = 0;
    const char* text = duk_safe_to_lstring(heap, idx, &len);
    return std::string(text, len);
}

// console.log and its kin (magic: the log severity), each argument as text, blank-separated.
duk_ret_t ConsoleWrite(duk_context* heap) {
    std::string text;
    const duk_idx_t count = duk_get_top(heap);
    for (duk_idx_t i = 0; i < count; ++i) text += (i ? " " : "") + Utf8At(heap, i);
    ScriptContext* context = ScriptContext::FromHeap(heap);
    CefRefPtr<CefFrame> frame = context ? context->GetFrame() : nullptr;
    const std::string url = frame ? frame->GetURL().ToString() : std::string();
    EngineLog::Write(static_cast<cef_log_severity_t>(duk_get_current_magic(heap)),
                     "CONSOLE \"" + text + "\", source: " + url);
    return 0;
}

// window.open asks the browser side; a page never gets a window object back here.
duk_ret_t WindowOpen(duk_context* heap) {
    const std::string target = duk_is_undefined(heap, 0) ? std::string() : Utf8At(heap, 0);
    const std::string name = duk_is_undefined(heap, 1) ? std::string() : Utf8At(heap, 1);
    ScriptContext* context = ScriptContext::FromHeap(heap);
    CefRefPtr<CefBrowser> browser = context ? context->GetBrowser() : nullptr;
    CefRefPtr<CefFrame> frame = context ? context->GetFrame() : nullptr;
    if (browser && frame) {
        CefRefPtr<BrowserImpl> impl = static_cast<BrowserImpl*>(browser.get());
        const NavEntry entry = EntryFor(target.empty() ? "about:blank" : target, frame->GetURL().ToString());
        const std::wstring frameName = CefString(name).ToWString();
        if (!RefusesLocalResource(frame->GetURL().ToString(), CefString(entry.url).ToString())) {
            PostWork(TID_UI, [impl, entry, frameName] { impl->OnPopupRequested(entry, frameName); });
        }
    }
    duk_push_null(heap);
    return 1;
}

void PutFunction(duk_context* heap, const char* name, duk_c_function fn, duk_idx_t nargs, int magic) {
    duk_push_c_function(heap, fn, nargs);
    duk_set_magic(heap, -1, magic);
    duk_put_prop_string(heap, -2, name);
}

}  // namespace

ScriptContext::ScriptContext(CefRefPtr<CefBrowser> browser, CefRefPtr<FrameImpl> frame)
    : browser_(browser), frame_(frame) {}

ScriptContext::~ScriptContext() { Invalidate(); }

CefRefPtr<ScriptContext> ScriptContext::Create(CefRefPtr<CefBrowser> browser, CefRefPtr<FrameImpl> frame) {
    CefRefPtr<ScriptContext> context = new ScriptContext(browser, frame);
    context->heap_ = duk_create_heap(HeapAlloc, HeapRealloc, HeapFree, context.get(), HeapFatal);
    if (context->heap_ == nullptr || !context->Install()) {
        EngineLog::Write(LOGSEVERITY_ERROR, "a script context could not be created");
        context->Invalidate();
        return nullptr;
    }
    context->limited_ = true;  // the engine's own set-up is not page code
    return context;
}

bool ScriptContext::Install() {
    std::string error;
    const bool ok = Protect(
        [](duk_context* heap) {
            duk_push_global_object(heap);
            duk_dup(heap, -1);
            duk_put_prop_string(heap, -2, "window");
            duk_dup(heap, -1);
            duk_put_prop_string(heap, -2, "self");
            duk_push_object(heap);
            PutFunction(heap, "log", ConsoleWrite, DUK_VARARGS, LOGSEVERITY_INFO);
            PutFunction(heap, "info", ConsoleWrite, DUK_VARARGS, LOGSEVERITY_INFO);
            PutFunction(heap, "debug", ConsoleWrite, DUK_VARARGS, LOGSEVERITY_VERBOSE);
            PutFunction(heap, "warn", ConsoleWrite, DUK_VARARGS, LOGSEVERITY_WARNING);
            PutFunction(heap, "error", ConsoleWrite, DUK_VARARGS, LOGSEVERITY_ERROR);
            duk_put_prop_string(heap, -2, "console");
            PutFunction(heap, "open", WindowOpen, 3, 0);
            duk_pop(heap);
            duk_push_heap_stash(heap);
            duk_push_object(heap);
            duk_put_prop_string(heap, -2, "kept");
            duk_pop(heap);
            InstallPageScript(heap);
        },
        &error);
    if (!ok) EngineLog::Write(LOGSEVERITY_ERROR, "script context set-up failed: " + error);
    return ok;
}

void ScriptContext::Invalidate() {
    timers_.Clear();
    ArmTimer();
    if (heap_ != nullptr) {
        duk_destroy_heap(heap_);
        heap_ = nullptr;
    }
    handlers_.clear();
    browser_ = nullptr;
    frame_ = nullptr;
}

void* ScriptContext::HeapAlloc(void* udata, duk_size_t size) {
    return static_cast<ScriptContext*>(udata)->heapBudget_.Alloc(size);
}

void* ScriptContext::HeapRealloc(void* udata, void* block, duk_size_t size) {
    return static_cast<ScriptContext*>(udata)->heapBudget_.Realloc(block, size);
}

void ScriptContext::HeapFree(void* udata, void* block) { static_cast<ScriptContext*>(udata)->heapBudget_.Free(block); }

// Duktape gives a heap up only for an error thrown outside every protected call, which
// the engine never makes. Should it happen all the same, only this context ends: a heap
// given up is in no state to be used or freed, so it is let go (its budget bounds it),
// and Duktape, which must not be returned to, is left by a throw.
void ScriptContext::HeapFatal(void* udata, const char* message) {
    auto* context = static_cast<ScriptContext*>(udata);
    const std::string text = message != nullptr ? message : "";
    EngineLog::Write(LOGSEVERITY_ERROR, "the script context of " + context->Url() +
                                            " met a fatal script engine error and was ended: " + text);
    context->timers_.Clear();
    context->heap_ = nullptr;
    context->ArmTimer();
    throw HeapLost(text);
}

CefRefPtr<CefFrame> ScriptContext::GetFrame() { return frame_.get(); }

ScriptContext* ScriptContext::FromHeap(duk_context* heap) {
    duk_memory_functions functions;
    duk_get_memory_functions(heap, &functions);
    return static_cast<ScriptContext*>(functions.udata);
}

bool ScriptContext::Protect(const std::function<void(duk_context*)>& work, std::string* error) {
    if (heap_ == nullptr) {
        if (error) *error = "the script context is no longer valid";
        return false;
    }
    auto call = [](duk_context* heap, void* udata) -> duk_ret_t {
        (*static_cast<const std::function<void(duk_context*)>*>(udata))(heap);
        return 0;
    };
    CefRefPtr<ScriptContext> self = this;
    if (depth_++ == 0) {
        deadline_ = GetTickCount64() + g_scriptTimeLimit;
        timedOut_ = false;
    }
    duk_int_t rc = DUK_EXEC_ERROR;
    try {
        const duk_idx_t top = duk_get_top(heap_);
        rc = duk_safe_call(heap_, call, const_cast<std::function<void(duk_context*)>*>(&work), 0, 1);
        if (rc != DUK_EXEC_SUCCESS && error != nullptr) *error = Utf8At(heap_, -1);
        duk_set_top(heap_, top);
    } catch (const HeapLost& lost) {
        if (error != nullptr) *error = lost.what();
    }
    if (--depth_ == 0) {
        if (timedOut_) {
            EngineLog::Write(LOGSEVERITY_ERROR, "a script of " + Url() + " ran longer than " +
                                                    std::to_string(g_scriptTimeLimit) + " ms and was stopped");
        }
        timedOut_ = false;
        heapBudget_.EndRun();
        if (frame_) frame_->ShowChanges();
    }
    return rc == DUK_EXEC_SUCCESS;
}

bool ScriptContext::TimedOut() {
    if (!limited_ || depth_ == 0 || GetTickCount64() <= deadline_) return false;
    timedOut_ = true;
    return true;
}

std::string ScriptContext::Url() const { return frame_ ? frame_->GetURL().ToString() : std::string(); }

DomDocument* ScriptContext::Document() const { return frame_ ? frame_->Document() : nullptr; }

unsigned ScriptContext::Keep(duk_idx_t idx) {
    const duk_idx_t abs = duk_normalize_index(heap_, idx);
    const unsigned ref = nextRef_++;
    duk_push_heap_stash(heap_);
    duk_get_prop_string(heap_, -1, "kept");
    duk_dup(heap_, abs);
    duk_put_prop_index(heap_, -2, ref);
    duk_pop_2(heap_);
    return ref;
}

void ScriptContext::PushKept(unsigned ref) {
    duk_push_heap_stash(heap_);
    duk_get_prop_string(heap_, -1, "kept");
    duk_get_prop_index(heap_, -1, ref);
    duk_remove(heap_, -2);
    duk_remove(heap_, -2);
}

void ScriptContext::Forget(unsigned ref) {
    if (heap_ == nullptr) return;
    Protect(
        [ref](duk_context* heap) {
            duk_push_heap_stash(heap);
            duk_get_prop_string(heap, -1, "kept");
            duk_del_prop_index(heap, -1, ref);
        },
        nullptr);
}

int ScriptContext::AddHandler(const CefString& name, CefRefPtr<CefV8Handler> handler) {
    const int id = static_cast<int>(handlers_.size()) + 1;
    handlers_[id] = std::make_pair(name, handler);
    return id;
}

std::pair<CefString, CefRefPtr<CefV8Handler>> ScriptContext::Handler(int id) const {
    auto it = handlers_.find(id);
    return it != handlers_.end() ? it->second : std::make_pair(CefString(), CefRefPtr<CefV8Handler>());
}

bool ScriptContext::Enter() {
    if (!CefCurrentlyOn(TID_RENDERER)) {
        EngineLog::Write(LOGSEVERITY_ERROR, "a script context can only be entered on the renderer thread");
        return false;
    }
    t_entered.push_back(this);
    return true;
}

bool ScriptContext::Exit() {
    if (!OnRenderer()) return false;
    for (size_t i = t_entered.size(); i > 0; --i) {
        if (t_entered[i - 1].get() == this) {
            t_entered.erase(t_entered.begin() + static_cast<std::ptrdiff_t>(i - 1));
            return true;
        }
    }
    return false;
}

void ScriptContext::LogScriptError(duk_context* heap, const std::string& url) {
    int line = 0;
    if (duk_is_object(heap, -1)) {
        duk_get_prop_string(heap, -1, "lineNumber");
        line = duk_is_number(heap, -1) ? duk_get_int(heap, -1) : 0;
        duk_pop(heap);
    }
    LogUncaught(Utf8At(heap, -1), line, url);
}

void ScriptContext::LogUncaught(const std::string& message, int line, const std::string& url) {
    EngineLog::Write(LOGSEVERITY_ERROR, "CONSOLE(" + std::to_string(line) + ") \"Uncaught " + message +
                                            "\", source: " + url + " (" + std::to_string(line) + ")");
}

void ScriptContext::Run(const std::wstring& code, const std::string& url, int line) {
    if (heap_ == nullptr) return;
    // Blank lines in front keep the page's line numbers in error messages.
    const std::string text = std::string(line > 1 ? static_cast<size_t>(line - 1) : 0, '\n') + CefString(code).ToString();
    CefRefPtr<ScriptContext> self = this;
    Enter();
    std::string error;
    const bool ran = Protect(
        [&](duk_context* heap) {
            duk_push_string(heap, url.c_str());
            if (duk_pcompile_lstring_filename(heap, 0, text.data(), text.size()) != 0 || duk_pcall(heap, 0) != DUK_EXEC_SUCCESS) {
                LogScriptError(heap, url);
            }
        },
        &error);
    if (!ran) LogUncaught(error, 0, url);
    Exit();
}

void ScriptContext::CallPage(const char* name, std::initializer_list<double> arguments) {
    if (heap_ == nullptr) return;
    CefRefPtr<ScriptContext> self = this;
    const std::string url = Url();
    Enter();
    std::string error;
    const bool ran = Protect(
        [&](duk_context* heap) {
            duk_push_heap_stash(heap);
            duk_get_prop_string(heap, -1, "page");
            duk_get_prop_string(heap, -1, name);
            for (double argument : arguments) duk_push_number(heap, argument);
            if (duk_pcall(heap, static_cast<duk_idx_t>(arguments.size())) != DUK_EXEC_SUCCESS) LogScriptError(heap, url);
        },
        &error);
    if (!ran) LogUncaught(error, 0, url);
    Exit();
}

void ScriptContext::Click(unsigned node) { CallPage("activate", {static_cast<double>(node)}); }

void ScriptContext::FireLoad() { CallPage("fireLoad", {}); }

int ScriptContext::AddTimer(double delay, bool repeat) {
    const int id = timers_.Add(GetTickCount64(), delay, repeat);
    ArmTimer();
    return id;
}

void ScriptContext::RemoveTimer(int id) {
    timers_.Remove(id);
    ArmTimer();
}

// One Win32 timer per context, always set for the page timer due next.
void ScriptContext::ArmTimer() {
    if (timer_ != 0) {
        KillTimer(nullptr, timer_);
        g_timerOwners.erase(timer_);
        timer_ = 0;
    }
    const int64_t wait = heap_ != nullptr ? timers_.Wait(GetTickCount64()) : -1;
    if (wait < 0) return;
    timer_ = SetTimer(nullptr, 0, static_cast<UINT>(std::min<int64_t>(std::max<int64_t>(wait, 1), 0x7FFFFFFF)), &OnTimer);
    if (timer_ != 0) g_timerOwners[timer_] = this;
}

void CALLBACK ScriptContext::OnTimer(HWND hwnd, UINT message, UINT_PTR id, DWORD time) {
    (void)hwnd;
    (void)message;
    (void)time;
    auto owner = g_timerOwners.find(id);
    if (owner == g_timerOwners.end()) {
        KillTimer(nullptr, id);
        return;
    }
    CefRefPtr<ScriptContext> context = owner->second;
    context->RunDueTimers();
}

// Timers that fall due while these run wait for the next round, so an interval cannot
// keep the thread to itself.
void ScriptContext::RunDueTimers() {
    const ULONGLONG now = GetTickCount64();
    int id = 0;
    bool repeat = false;
    while (heap_ != nullptr && timers_.TakeDue(now, id, repeat)) {
        CallPage("fireTimer", {static_cast<double>(id), repeat ? 1.0 : 0.0});
    }
    ArmTimer();
}

bool ScriptContext::Eval(const CefString& code, CefRefPtr<CefV8Value>& retval,
                         CefRefPtr<CefV8Exception>& exception) {
    exception = nullptr;
    if (heap_ == nullptr) {
        exception = new V8ExceptionImpl("the script context is no longer valid", 0);
        return false;
    }
    const std::string text = code.ToString();
    CefRefPtr<ScriptContext> self = this;
    Enter();
    bool ok = false;
    std::string error;
    int line = 0;
    Protect(
        [&](duk_context* heap) {
            duk_push_string(heap, "eval");
            ok = duk_pcompile_lstring_filename(heap, DUK_COMPILE_EVAL, text.data(), text.size()) == 0 &&
                 duk_pcall(heap, 0) == DUK_EXEC_SUCCESS;
            if (ok) {
                retval = V8ValueImpl::FromStack(this, -1);
                return;
            }
            // Before the message: taking it turns the thrown value into a string.
            if (duk_is_object(heap, -1)) {
                duk_get_prop_string(heap, -1, "lineNumber");
                line = duk_get_int(heap, -1);
                duk_pop(heap);
            }
            error = Utf8At(heap, -1);
        },
        &error);
    if (!ok) exception = new V8ExceptionImpl(error, line);
    Exit();
    return ok;
}

CefRefPtr<CefV8Value> ScriptContext::GetGlobal() {
    CefRefPtr<CefV8Value> global;
    Protect([this, &global](duk_context* heap) {
        duk_push_global_object(heap);
        global = V8ValueImpl::FromStack(this, -1);
    }, nullptr);
    return global;
}

}  // namespace engine

CefRefPtr<CefV8Context> CefV8Context::GetCurrentContext() {
    return !engine::OnRenderer() || engine::t_entered.empty() ? nullptr : engine::t_entered.back().get();
}

CefRefPtr<CefV8Context> CefV8Context::GetEnteredContext() {
    return !engine::OnRenderer() || engine::t_entered.empty() ? nullptr : engine::t_entered.front().get();
}

bool CefV8Context::InContext() { return engine::OnRenderer() && !engine::t_entered.empty(); }

// Asked by the script engine while code runs (see the engine's CMakeLists.txt).
int tallyhive_script_timed_out(void* udata) {
    auto* context = static_cast<engine::ScriptContext*>(udata);
    return context != nullptr && context->TimedOut() ? 1 : 0;
}

void engine_testing::SetScriptTimeLimit(unsigned milliseconds) { engine::g_scriptTimeLimit = milliseconds; }
