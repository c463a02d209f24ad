// Page scripts on the renderer thread: native functions bound in OnContextCreated, the
// values their arguments arrive as, return values, property attributes, fresh contexts
// per load, script errors, window.open, and process messages to the UI thread.
#include <gtest/gtest.h>

#include <cmath>

#include "../common/LoopbackServer.h"
#include "../common/TestClient.h"
#include "include/cef_app.h"
#include "include/cef_render_process_handler.h"
#include "include/cef_v8.h"
#include "include/wrapper/cef_closure_task.h"
#include "tallyhive/engine_testing.h"

#include <psapi.h>  // after windows.h

namespace {

EventList g_events;    // browser side
EventList g_renderer;  // renderer side

// How a script value looks through the V8 API.
std::string Describe(CefRefPtr<CefV8Value> v) {
    if (v->IsInt()) return "int:" + std::to_string(v->GetIntValue());
    if (v->IsDouble()) return "double:" + std::to_string(v->GetDoubleValue());
    if (v->IsString()) return "string:" + v->GetStringValue().ToString();
    if (v->IsBool()) return std::string("bool:") + (v->GetBoolValue() ? "true" : "false");
    if (v->IsNull()) return "null";
    if (v->IsUndefined()) return "undefined";
    return v->IsFunction() ? "function" : "object";
}

class Natives : public CefV8Handler {
public:
    bool Execute(const CefString& name, CefRefPtr<CefV8Value>, const CefV8ValueList& args,
                 CefRefPtr<CefV8Value>& retval, CefString& exception) override {
        if (name == "answer") {
            retval = CefV8Value::CreateString("4.0");
        } else if (name == "fail") {
            exception = "native failure";
        } else if (name == "send") {
            Send(args);
        } else if (name == "evaluate") {
            Evaluate(args[0]->GetStringValue());
        } else if (name == "tick") {
            // A message that names the address the calling frame answers; the script learns
            // how many messages the browser side has taken so far.
            CefRefPtr<CefV8Context> context = CefV8Context::GetCurrentContext();
            context->GetBrowser()->SendProcessMessage(
                PID_BROWSER, CefProcessMessage::Create("from " + context->GetFrame()->GetURL().ToString()));
            retval = CefV8Value::CreateInt(g_events.Count("message"));
        } else {
            std::string line = "record(" + std::to_string(args.size()) + ")";
            for (const auto& a : args) line += " " + Describe(a);
            g_renderer.Add(line + (CefCurrentlyOn(TID_RENDERER) ? "" : " [off-renderer]"));
        }
        return true;
    }

    // Code run through the context's Eval: what it gave, or what it threw and where.
    void Evaluate(const CefString& code) {
        CefRefPtr<CefV8Value> result;
        CefRefPtr<CefV8Exception> exception;
        if (CefV8Context::GetCurrentContext()->Eval(code, result, exception)) {
            g_renderer.Add("eval " + Describe(result) + (exception ? " with exception" : ""));
        } else {
            g_renderer.Add("eval threw " + (exception ? exception->GetMessage().ToString() + " line " +
                                                           std::to_string(exception->GetLineNumber())
                                                     : std::string("nothing")));
        }
    }

    // A message with the integer and string arguments, changed after sending.
    void Send(const CefV8ValueList& args) {
        CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(args[0]->GetStringValue());
        CefRefPtr<CefListValue> list = message->GetArgumentList();
        list->SetSize(args.size() - 1);
        for (size_t i = 1; i < args.size(); ++i) {
            if (args[i]->IsInt()) list->SetInt(i - 1, args[i]->GetIntValue());
            else list->SetString(i - 1, args[i]->GetStringValue());
        }
        sent = message;
        senderThread = GetCurrentThreadId();
        CefV8Context::GetCurrentContext()->GetBrowser()->SendProcessMessage(PID_BROWSER, message);
        list->SetString(0, "changed after sending");
    }

    CefRefPtr<CefProcessMessage> sent;
    DWORD senderThread = 0;
    IMPLEMENT_REFCOUNTING(Natives);
};

class TestApp : public CefApp, public CefRenderProcessHandler {
public:
    CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() override { return this; }
    void OnContextCreated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                          CefRefPtr<CefV8Context> context) override {
        (void)frame;
        const bool current = CefV8Context::GetCurrentContext() && CefV8Context::GetCurrentContext()->IsSame(context);
        const bool fresh = !last || !last->IsSame(context);
        last = context;
        g_renderer.Add(std::string("context-created") + (current ? " current" : "") + (fresh ? " fresh" : "") +
                       (context->GetBrowser()->IsSame(browser) ? " same-browser" : ""));
        CefRefPtr<CefV8Value> object = CefV8Value::CreateObject(nullptr);
        for (const char* name : {"record", "answer", "fail", "send", "evaluate", "tick"}) {
            object->SetValue(name, CefV8Value::CreateFunction(name, natives.get()), V8_PROPERTY_ATTRIBUTE_DONTDELETE);
        }
        context->GetGlobal()->SetValue("native", object, V8_PROPERTY_ATTRIBUTE_DONTDELETE);
        context->GetGlobal()->SetValue("plain", CefV8Value::CreateInt(1), V8_PROPERTY_ATTRIBUTE_NONE);
    }

    CefRefPtr<Natives> natives = new Natives();
    CefRefPtr<CefV8Context> last;
    IMPLEMENT_REFCOUNTING(TestApp);
};

std::wstring g_folder;
LoopbackServer* g_server = nullptr;
CefRefPtr<TestApp> g_app;
CefRefPtr<TestClient> g_client;

class ScriptsTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        g_folder = TempFolder(L"engine-scripts");
        g_server = new LoopbackServer();
        g_app = new TestApp();
        ASSERT_TRUE(StartEngine(g_folder, g_app.get()));
        g_client = new TestClient(&g_events);
        ASSERT_TRUE(CefBrowserHost::CreateBrowser(PopupInfo(), g_client.get(), "about:blank", CefBrowserSettings(), nullptr));
        g_events.WaitFor("load-end");
    }

    static void TearDownTestSuite() {
        g_events.Clear();
        g_client->First()->GetHost()->CloseBrowser(true);
        g_events.WaitFor("before-close " + std::to_string(g_client->First()->GetIdentifier()));
        CefShutdown();
        delete g_server;
    }

    // Serves body as a page, loads it, and returns what the renderer recorded meanwhile.
    static std::vector<std::string> Run(const std::string& path, const std::string& body) {
        LoopbackServer::Reply page;
        page.body = body;
        g_server->Serve(path, page);
        g_events.Clear();
        g_renderer.Clear();
        g_client->First()->GetMainFrame()->LoadURL(g_server->Url(path));
        g_events.WaitFor("load-end");
        return g_renderer.All();
    }

    static std::string Log() { return ReadWhole(g_folder + L"\\cef.log"); }
};

TEST_F(ScriptsTest, ArgumentsArriveAsTheV8ApiSays) {
    const std::vector<std::string> expected = {
        "context-created current fresh same-browser",
        "record(6) int:7 double:2.500000 string:text bool:true null int:-2147483648",
        "record(0)",
        "record(3) double:4294967296.000000 double:2147483648.000000 double:-0.000000",
        "record(1) undefined",
    };
    EXPECT_EQ(expected, Run("/args", "<script>native.record(7, 2.5, 'text', true, null, -2147483648);"
                                      "native.record();</script><p>text</p>"
                                      "<script>native.record(4294967296, 2147483648, -0); native.record(undefined);</script>"));
}

TEST_F(ScriptsTest, AReturnValueReachesTheScriptAndAnExceptionIsThrown) {
    const std::vector<std::string> expected = {
        "context-created current fresh same-browser",
        "record(2) string:4.0 string:Error: native failure",
    };
    EXPECT_EQ(expected, Run("/return", "<script>var caught = '';"
                                        "try { native.fail(); } catch (e) { caught = String(e); }"
                                        "native.record(native.answer(), caught);</script>"));
}

TEST_F(ScriptsTest, EvalGivesTheResultOrTheExceptionWithItsLine) {
    const std::vector<std::string> expected = {
        "context-created current fresh same-browser",
        "eval int:42",
        "eval threw ReferenceError: identifier 'missing' undefined line 2",
    };
    EXPECT_EQ(expected, Run("/eval", "<script>native.evaluate('6 * 7'); native.evaluate('1;\\nmissing.x');</script>"));
}

TEST_F(ScriptsTest, DontDeletePropertiesSurviveDelete) {
    const std::vector<std::string> expected = {
        "context-created current fresh same-browser",
        "record(4) bool:false string:object bool:true string:undefined",
    };
    EXPECT_EQ(expected, Run("/delete", "<script>var a = delete window.native; var b = delete window.plain;"
                                        "native.record(a, typeof window.native, b, typeof window.plain);</script>"));
}

TEST_F(ScriptsTest, EachLoadGetsAFreshContext) {
    Run("/first", "<script>window.marker = 1;</script>");
    const std::vector<std::string> expected = {"context-created current fresh same-browser", "record(1) string:undefined"};
    EXPECT_EQ(expected, Run("/second", "<script>native.record(typeof window.marker);</script>"));
}

TEST_F(ScriptsTest, AScriptErrorIsLoggedAndLaterScriptsStillRun) {
    const std::vector<std::string> expected = {"context-created current fresh same-browser", "record(1) string:after"};
    EXPECT_EQ(expected, Run("/error", "<script>\nthrow new Error('boom');</script>"
                                       "<script>console.log('hello', 42); document.querySelector('x');</script>"
                                       "<script>native.record('after');</script>"));
    const std::string log = Log();
    EXPECT_NE(std::string::npos, log.find("CONSOLE(2) \"Uncaught Error: boom\", source: " + g_server->Url("/error") + " (2)"))
        << log;
    EXPECT_NE(std::string::npos, log.find(":INFO] CONSOLE \"hello 42\"")) << log;
    EXPECT_NE(std::string::npos, log.find("TypeError: undefined not callable (property 'querySelector'")) << log;
}

SIZE_T PeakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PeakWorkingSetSize;
}

// A script that grows without end meets its heap's budget (64 MiB): it gets the script
// engine's out-of-memory error, uncaught or caught, and the document's later scripts and
// timers still run. Under Wine the peak working set is the process's high-water mark.
TEST_F(ScriptsTest, AScriptThatGrowsWithoutEndGetsTheOutOfMemoryErrorAndThePageGoesOn) {
    const std::string grow =
        "function grow() { var s = 'x', a = []; for (;;) { if (s.length < 1048576) s += s; a.push(s + a.length); } }";
    const SIZE_T before = PeakWorkingSet();
    Run("/grow", "<script>" + grow + "\ngrow();</script>"
                 "<script>try { grow(); } catch (e) { native.record(String(e)); }</script>"
                 "<script>native.record('later'); setTimeout(function () { native.record('timer'); }, 0);</script>");
    EXPECT_EQ("record(1) string:timer", g_renderer.WaitFor("record(1) string:timer"));
    const std::vector<std::string> expected = {
        "context-created current fresh same-browser",
        "record(1) string:Error: alloc failed",
        "record(1) string:later",
        "record(1) string:timer",
    };
    EXPECT_EQ(expected, g_renderer.All());
    EXPECT_NE(std::string::npos, Log().find("CONSOLE(1) \"Uncaught Error: alloc failed\", source: " + g_server->Url("/grow")))
        << Log();
    EXPECT_LE(PeakWorkingSet(), before + (256u << 20));
}

TEST_F(ScriptsTest, ExecuteJavaScriptRunsInTheFramesContext) {
    Run("/exec", "<script>window.value = 'kept';</script>");
    g_renderer.Clear();
    g_client->First()->GetMainFrame()->ExecuteJavaScript("native.record(window.value)", "http://exec/", 0);
    EXPECT_EQ("record(1) string:kept", g_renderer.WaitFor("record"));
}

TEST_F(ScriptsTest, AMessageFromTheRendererArrivesOnTheUiThreadAsACopy) {
    Run("/message", "<script>native.send('PlayMp3', 'http://a/b.mp3', 5);</script>");
    ASSERT_EQ("message PlayMp3 source=1", g_events.WaitFor("message"));
    CefRefPtr<CefProcessMessage> received = g_client->received;
    ASSERT_TRUE(received);
    EXPECT_NE(g_client->receivedThread, g_app->natives->senderThread);
    EXPECT_NE(g_client->receivedThread, GetCurrentThreadId());
    CefRefPtr<CefListValue> args = received->GetArgumentList();
    ASSERT_EQ(2u, args->GetSize());
    EXPECT_EQ("http://a/b.mp3", args->GetString(0).ToString());
    EXPECT_EQ(VTYPE_INT, args->GetType(1));
    EXPECT_EQ(5, args->GetInt(1));
    EXPECT_FALSE(args->IsSame(g_app->natives->sent->GetArgumentList()));
    EXPECT_EQ("changed after sending", g_app->natives->sent->GetArgumentList()->GetString(0).ToString());
}

// A page that sets its location and goes on sending, until the browser side has taken
// 50 of its messages (by then it has begun the next load): every message arrives before
// the next document starts, or before the failure that replaces the page, and names the
// sending document's own address; once replaced it sends nothing more. The failing address
// fails in the very task that starts its load, queued ahead of every message the page
// sends after setting its location: only the page's retiring holds the failure back until
// those have arrived.
TEST_F(ScriptsTest, ADocumentsMessagesAllArriveBeforeTheDocumentThatReplacesIt) {
    const std::string failing = "tallyhive-nothing:page";
    const struct {
        const char* path;
        std::string next;
        std::string replaced;  // the event of the replacement
        std::string settled;   // the last event that comes
    } cases[] = {
        {"/leaving", "data:text/html,<p>next</p>", "load-start data:text/html,<p>next</p>",
         "load-end 200 data:text/html,<p>next</p>"},
        {"/failing", failing, "load-error -302 net::ERR_UNKNOWN_URL_SCHEME " + failing,
         "load-error -302 net::ERR_UNKNOWN_URL_SCHEME " + failing},
    };
    for (const auto& c : cases) {
        const std::string url = g_server->Url(c.path);
        LoopbackServer::Reply page;
        page.body = "<script>location.href = '" + c.next + "';"
                    "for (var n = 0, first = native.tick(); native.tick() - first < 50 && n < 1000000; ++n) {}</script>";
        g_server->Serve(c.path, page);
        g_events.Clear();
        g_client->First()->GetMainFrame()->LoadURL(url);
        ASSERT_EQ(c.settled, g_events.WaitFor(c.settled));
        const std::vector<std::string> events = g_events.All();
        size_t replaced = 0;
        while (replaced < events.size() && events[replaced] != c.replaced) ++replaced;
        int sent = 0;
        std::vector<std::string> wrong;  // after the replacement, or naming another address
        for (size_t i = 0; i < events.size(); ++i) {
            if (events[i].compare(0, 8, "message ") != 0) continue;
            ++sent;
            if (i > replaced || events[i] != "message from " + url + " source=1") wrong.push_back(events[i]);
        }
        // The last tick may send its message and see it taken before it reads the count.
        EXPECT_GE(sent, 50) << c.next;
        EXPECT_EQ(std::vector<std::string>(), wrong) << c.next;
    }
}

TEST_F(ScriptsTest, WindowOpenAsksBeforePopupAndOpensNothingWhenRefused) {
    g_client->blockPopups = true;
    Run("/popup", "<script>native.record(window.open('next.html', 'name'));</script>");
    EXPECT_EQ("before-popup " + g_server->Url("/next.html"), g_events.WaitFor("before-popup"));
    // A task queued after the popup request runs after it: nothing was created meanwhile.
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    class Signal : public CefTask {
    public:
        explicit Signal(HANDLE e) : e_(e) {}
        void Execute() override { SetEvent(e_); }
        HANDLE e_;
        IMPLEMENT_REFCOUNTING(Signal);
    };
    CefPostTask(TID_UI, new Signal(done));
    WaitForSingleObject(done, 30000);
    CloseHandle(done);
    EXPECT_EQ(0, g_events.Count("after-created"));
    EXPECT_EQ(std::vector<std::string>({"context-created current fresh same-browser", "record(1) null"}), g_renderer.All());
}

TEST_F(ScriptsTest, WindowOpenCreatesAPopupWhenAllowed) {
    g_client->blockPopups = false;
    Run("/popup2", "<script>window.open('" + g_server->Url("/page") + "');</script>");
    EXPECT_EQ("after-created popup=1", g_events.WaitFor("after-created"));
    g_client->blockPopups = true;
    CefRefPtr<CefBrowser> popup = g_client->browsers.back();
    EXPECT_TRUE(popup->IsPopup());
    popup->GetHost()->CloseBrowser(true);
    EXPECT_EQ("before-close " + std::to_string(popup->GetIdentifier()), g_events.WaitFor("before-close"));
}

TEST_F(ScriptsTest, TasksPostedToTheRendererRunThere) {
    class Check : public CefTask {
    public:
        void Execute() override { g_renderer.Add(CefCurrentlyOn(TID_RENDERER) && !CefCurrentlyOn(TID_UI) ? "on renderer" : "elsewhere"); }
        IMPLEMENT_REFCOUNTING(Check);
    };
    g_renderer.Clear();
    EXPECT_FALSE(CefCurrentlyOn(TID_RENDERER));
    ASSERT_TRUE(CefPostTask(TID_RENDERER, new Check()));
    EXPECT_EQ("on renderer", g_renderer.WaitFor("on"));
}

class Counter : public CefBase {
public:
    void Hit(bool onUi, int amount) { g_renderer.Add("hit " + std::to_string(amount) + (onUi == CefCurrentlyOn(TID_UI) ? " where expected" : "")); }
    IMPLEMENT_REFCOUNTING(Counter);
};

TEST_F(ScriptsTest, BoundClosuresRunOnTheThreadTheyArePostedTo) {
    g_renderer.Clear();
    CefRefPtr<Counter> counter = new Counter();
    ASSERT_TRUE(CefPostTask(TID_UI, base::Bind(&Counter::Hit, counter.get(), true, 5)));
    Counter* raw = counter.get();
    counter = nullptr;  // the closure keeps the receiver alive
    EXPECT_EQ("hit 5 where expected", g_renderer.WaitFor("hit"));
    (void)raw;
}

}  // namespace
