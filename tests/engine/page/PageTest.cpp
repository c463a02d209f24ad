// The page model as the client's own pages use it: the error page with its server lines,
// countdown and reload; the dimming overlay painted over the page; the DOM calls, timers,
// location and clicks of simple pages; scripts that never end; hostile markup. Pages
// report through a native function bound the way the client binds its bridge.
#include "../common/LoopbackServer.h"  // winsock2.h must come before windows.h

#include <gtest/gtest.h>

#include <stb_image_write.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "../../framework/core/render/Canvas.h"
#include "PngFile.h"
#include "../common/TestClient.h"
#include "include/cef_app.h"
#include "include/cef_parser.h"
#include "include/cef_render_process_handler.h"
#include "include/cef_v8.h"
#include "tallyhive/engine_testing.h"

namespace {

EventList g_events;    // browser side
EventList g_renderer;  // what pages recorded

// The bridge as the client binds it: a call becomes a process message with the call's
// integer and string arguments; record lets a page report to the test.
class Bridge : public CefV8Handler {
public:
    bool Execute(const CefString& name, CefRefPtr<CefV8Value>, const CefV8ValueList& args, CefRefPtr<CefV8Value>&,
                 CefString&) override {
        if (name == "record") {
            g_renderer.Add(args.empty() ? std::string() : args[0]->GetStringValue().ToString());
            return true;
        }
        CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(name);
        CefRefPtr<CefListValue> list = message->GetArgumentList();
        list->SetSize(args.size());
        for (size_t i = 0; i < args.size(); ++i) {
            if (args[i]->IsInt()) list->SetInt(i, args[i]->GetIntValue());
            else list->SetString(i, args[i]->GetStringValue());
        }
        CefV8Context::GetCurrentContext()->GetBrowser()->SendProcessMessage(PID_BROWSER, message);
        return true;
    }
    IMPLEMENT_REFCOUNTING(Bridge);
};

class TestApp : public CefApp, public CefRenderProcessHandler {
public:
    CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() override { return this; }
    void OnContextCreated(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, CefRefPtr<CefV8Context> context) override {
        const auto attribute = V8_PROPERTY_ATTRIBUTE_DONTDELETE;
        CefRefPtr<CefV8Value> extension = CefV8Value::CreateObject(nullptr);
        extension->SetValue("ChangeLine", CefV8Value::CreateFunction("ChangeLine", bridge.get()), attribute);
        context->GetGlobal()->SetValue("AppExtension", extension, attribute);
        CefRefPtr<CefV8Value> native = CefV8Value::CreateObject(nullptr);
        native->SetValue("record", CefV8Value::CreateFunction("record", bridge.get()), attribute);
        context->GetGlobal()->SetValue("native", native, attribute);
    }
    CefRefPtr<Bridge> bridge = new Bridge();
    IMPLEMENT_REFCOUNTING(TestApp);
};

// The error page as the client ships it: lines from the JSON in a single-quoted string,
// a heading per line calling the bridge, a countdown on the button, then a reload.
const char kErrorTemplate[] = R"HTML(<!DOCTYPE html>
<html lang="zh-cn"><head><meta http-equiv="Content-Type" content="text/html; charset=UTF-8">
<title>:) 抱歉，请求资源失败</title>
<style type="text/css">
body { font-family: 'Microsoft YaHei'; margin: 0; }
.page { width: 520px; margin: 28px auto 0; line-height: 8px; }
.page img { width: 342px; margin-left: 52px; }
.title { color: #F7C462; text-align: center; }
.tip { color: #676767; text-align: center; }
#linesdiv { margin-left: 120px; }
.lineitem { color: #279ac6; font-size: 18px; text-align: left; cursor: pointer; }
.lineitem a { color: #279ac6; text-decoration: none; }
.btn { width: 457px; height: 40px; margin: 0 auto; background: #FFF300; border-radius: 35px;
       box-shadow: 0 2px 6px rgba(0, 0, 0, .15); text-align: center; }
.btn:hover { background: #FAED00; }
.btn a { color: #935929; font-size: 20px; text-decoration: none; }
</style></head>
<body><div class="page">
<img src="data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mNk+M9QDwADhgGAWjR9awAAAABJRU5ErkJggg==" height="60">
<h2 class="title">抱歉，请求资源失败 ~</h2>
<p class="tip">错误码：$errorcode$. </p>
<p class="tip">你请求访问的资源，暂时无法响应，建议你检查电脑的网络环境，谢谢！</p>
<div id="linesdiv"></div>
<div class="btn"><a id="re_get" title="重新进入" href="javascript:;" onclick="location.reload(true)">重新进入</a></div>
</div>
<script type="text/javascript">
var lines = JSON.parse('$linesjosn$');
var box = document.getElementById('linesdiv');
for (var i = 0; i < lines.length; i++) {
    var item = document.createElement('h3');
    item.className = 'lineitem';
    item.onclick = (function (index) { return function () { AppExtension.ChangeLine(index); }; })(i);
    var link = document.createElement('a');
    link.href = 'javascript:;';
    link.textContent = lines[i].name + (lines[i].check ? '[√]' : '');
    item.appendChild(link);
    box.appendChild(item);
}
var seconds = 10;
var button = document.getElementById('re_get');
button.textContent = '重新进入(' + seconds + '秒)';
var countdown = setInterval(function () {
    seconds--;
    button.textContent = '重新进入(' + seconds + '秒)';
    if (seconds <= 0) {
        clearInterval(countdown);
        location.reload(true);
    }
}, 1000);
</script></body></html>)HTML";

std::string ReplaceAll(std::string text, const std::string& find, const std::string& replacement) {
    for (size_t at = text.find(find); at != std::string::npos; at = text.find(find, at + replacement.size())) {
        text.replace(at, find.size(), replacement);
    }
    return text;
}

// The lines JSON as the client writes it with the engine's writer.
std::string LinesJson() {
    CefRefPtr<CefListValue> list = CefListValue::Create();
    const char* const names[] = {"线路一", "线路二", "线路三"};
    for (size_t i = 0; i < 3; ++i) {
        CefRefPtr<CefDictionaryValue> line = CefDictionaryValue::Create();
        line->SetString("name", names[i]);
        line->SetString("url", "http://line" + std::to_string(i) + ".example/");
        line->SetBool("check", i == 1);
        list->SetDictionary(i, line);
    }
    CefRefPtr<CefValue> value = CefValue::Create();
    value->SetList(list);
    return CefWriteJSON(value, JSON_WRITER_DEFAULT).ToString();
}

// A picture of one colour (0xRRGGBB), as a PNG or a JPEG.
std::string Picture(int width, int height, DWORD rgb, bool jpeg = false) {
    std::vector<unsigned char> pixels;
    for (int i = 0; i < width * height; ++i) {
        pixels.insert(pixels.end(), {static_cast<unsigned char>(rgb >> 16), static_cast<unsigned char>(rgb >> 8),
                                     static_cast<unsigned char>(rgb)});
    }
    std::string out;
    const auto append = [](void* to, void* data, int size) { static_cast<std::string*>(to)->append(static_cast<char*>(data), size); };
    if (jpeg) stbi_write_jpg_to_func(append, &out, width, height, 3, pixels.data(), 95);
    else stbi_write_png_to_func(append, &out, width, height, 3, pixels.data(), width * 3);
    return out;
}

std::string Base64(const std::string& bytes) {
    const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const auto at = [&](size_t k) { return k < bytes.size() ? static_cast<unsigned char>(bytes[k]) : 0u; };
        const unsigned n = (at(i) << 16) | (at(i + 1) << 8) | at(i + 2);
        out += digits[(n >> 18) & 63];
        out += digits[(n >> 12) & 63];
        out += i + 1 < bytes.size() ? digits[(n >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? digits[n & 63] : '=';
    }
    return out;
}

std::wstring g_folder;
LoopbackServer* g_server = nullptr;
CefRefPtr<TestApp> g_app;
CefRefPtr<TestClient> g_client;

bool WaitUntil(const std::function<bool()>& condition) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > limit) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

class PageTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        g_folder = TempFolder(L"engine-page");
        g_server = new LoopbackServer();
        g_app = new TestApp();
        ASSERT_TRUE(StartEngine(g_folder, g_app.get()));
        g_client = new TestClient(&g_events);
        PopupInfo info;
        info.x = info.y = 0;
        info.width = 640;
        info.height = 480;
        ASSERT_TRUE(CefBrowserHost::CreateBrowser(info, g_client.get(), "about:blank", CefBrowserSettings(), nullptr));
        g_events.WaitFor("load-end");
    }

    static void TearDownTestSuite() {
        g_events.Clear();
        Browser()->GetHost()->CloseBrowser(true);
        g_events.WaitFor("before-close " + std::to_string(Browser()->GetIdentifier()));
        CefShutdown();
        delete g_server;
    }

    static CefRefPtr<CefBrowser> Browser() { return g_client->First(); }
    static HWND Window() { return Browser()->GetHost()->GetWindowHandle(); }

    // Serves body at path and loads it; true once the load has ended.
    static bool Load(const std::string& path, const std::string& body) {
        LoopbackServer::Reply page;
        page.body = body;
        g_server->Serve(path, page);
        g_events.Clear();
        g_renderer.Clear();
        Browser()->GetMainFrame()->LoadURL(g_server->Url(path));
        return g_events.WaitFor("load-end") == "load-end 200 " + g_server->Url(path);
    }

    static std::vector<engine_testing::PageBox> Boxes(const std::string& element) {
        std::vector<engine_testing::PageBox> found;
        for (const auto& box : engine_testing::PageBoxes(Browser())) {
            if (box.element == element) found.push_back(box);
        }
        return found;
    }

    static RECT BoxOf(const std::string& element) {
        const auto found = Boxes(element);
        EXPECT_EQ(1u, found.size()) << element;
        return found.empty() ? RECT{0, 0, 0, 0} : found[0].rect;
    }

    static void Click(const RECT& rect) {
        const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        PostMessageW(Window(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(Window(), WM_LBUTTONUP, 0, at);
    }

    static std::string Text() { return CefString(engine_testing::DisplayedText(Browser())).ToString(); }
    // The window's page as it paints it.
    static std::unique_ptr<Canvas> Shot() {
        RECT client;
        GetClientRect(Window(), &client);
        auto canvas = std::make_unique<Canvas>(client.right, client.bottom);
        SendMessageW(Window(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->dc()), PRF_CLIENT);
        return canvas;
    }
    static DWORD At(const Canvas& canvas, LONG x, LONG y) { return canvas.At(x, y) & 0xFFFFFF; }
    static std::string Log() { return ReadWhole(g_folder + L"\\cef.log"); }
};

TEST_F(PageTest, TheErrorPageListsTheLinesCallsTheBridgeCountsDownAndReloads) {
    LoopbackServer::Reply back;
    back.body = "<title>Back online</title><p>the shop</p>";
    g_server->Serve("/back", back);
    std::string page = ReplaceAll(kErrorTemplate, "$errorcode$", "-105 : ERR_NAME_NOT_RESOLVED");
    page = ReplaceAll(page, "$linesjosn$", LinesJson());
    g_events.Clear();
    Browser()->GetMainFrame()->LoadString(page, g_server->Url("/back"));
    ASSERT_EQ("load-end 200 " + g_server->Url("/back"), g_events.WaitFor("load-end"));

    g_events.Clear();
    const std::string text = Text();
    EXPECT_NE(std::string::npos, text.find("错误码：-105 : ERR_NAME_NOT_RESOLVED.")) << text;
    EXPECT_NE(std::string::npos, text.find("\n线路一\n线路二[√]\n线路三\n重新进入(10秒)")) << text;
    const auto headings = Boxes("h3.lineitem");
    ASSERT_EQ(3u, headings.size());
    EXPECT_TRUE(headings[1].clickable);
    EXPECT_LT(headings[0].rect.bottom, headings[2].rect.top);

    // Each second's text as the window shows it, until the page has asked its address
    // again; the second line is clicked meanwhile.
    std::vector<int> seconds;
    bool clicked = false;
    ASSERT_TRUE(WaitUntil([&] {
        const std::string now = Text();
        const size_t at = now.find("重新进入(");
        if (at != std::string::npos) {
            const int s = std::atoi(now.c_str() + at + std::string("重新进入(").size());
            if (seconds.empty() || seconds.back() != s) seconds.push_back(s);
        }
        if (!clicked) Click(headings[1].rect);
        clicked = true;
        return now.compare(0, 11, "Back online") == 0;
    }));
    ASSERT_EQ("message ChangeLine source=1", g_events.WaitFor("message"));
    ASSERT_EQ(1u, g_client->received->GetArgumentList()->GetSize());
    EXPECT_EQ(1, g_client->received->GetArgumentList()->GetInt(0));
    if (!seconds.empty() && seconds.back() == 0) seconds.pop_back();  // shown for a moment, or not at all
    EXPECT_EQ(std::vector<int>({10, 9, 8, 7, 6, 5, 4, 3, 2, 1}), seconds);
    EXPECT_EQ("load-end 200 " + g_server->Url("/back"), g_events.WaitFor("load-end"));
    EXPECT_EQ("GET /back HTTP/1.1", g_server->Requests().back());
}

TEST_F(PageTest, TheDimmingScriptOverlaysThePageOnceAndHidesIt) {
    ASSERT_TRUE(Load("/dim", "<body style=\"background-color: #FFFFFF\"><p>page under the overlay</p></body>"));
    // The script as the main window sends it: the definition, then the call.
    const std::string define =
        "function BG_Show(show) { var bg = document.getElementById('cpp_bg');"
        " if (!bg) { bg = document.createElement('div'); bg.id = 'cpp_bg';"
        " bg.setAttribute('style', 'top: 0;left: 0;background-color: #000000;width: 100%;position: fixed;"
        "height: 100%;opacity: 0.45;z-index: 10000;'); document.body.appendChild(bg); }"
        " bg.style.display = show ? '' : 'none'; }";
    RECT client;
    GetClientRect(Window(), &client);
    // Each channel of a pixel near the window's bottom, away from the page's text.
    const auto level = [&](int shift) {
        Canvas canvas(client.right, client.bottom);
        SendMessageW(Window(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
        return ChannelOf(canvas.At(client.right / 2, client.bottom - 5), shift);
    };
    const struct {
        const char* call;
        size_t overlays;
        int level;  // white under black at 0.45: 255 * 0.55
    } steps[] = {{"BG_Show(true);", 1, 140}, {"BG_Show(false);", 0, 255}, {"BG_Show(true);", 1, 140}};
    for (const auto& step : steps) {
        Browser()->GetMainFrame()->ExecuteJavaScript(define + step.call, Browser()->GetMainFrame()->GetURL(), 0);
        ASSERT_TRUE(WaitUntil([&] { return Boxes("div#cpp_bg").size() == step.overlays; })) << step.call;
        for (int shift : {0, 8, 16}) EXPECT_NEAR(step.level, level(shift), 2) << step.call;
        if (step.overlays == 0) continue;
        const RECT overlay = Boxes("div#cpp_bg")[0].rect;
        EXPECT_TRUE(EqualRect(&overlay, &client)) << overlay.right << "x" << overlay.bottom;
    }
}

TEST_F(PageTest, PicturesFromTheServerAndFromDataUrlsArePaintedAtTheirSizeAndBadOnesAreSkipped) {
    const struct {
        const char* path;
        std::string body;
    } served[] = {{"/red.png", Picture(30, 20, 0xFF0000)},
                  {"/broken.png", "\x89PNG\r\n\x1a\n not a picture"},
                  {"/wide.png", Picture(9000, 1, 0x00FF00)}};
    for (const auto& picture : served) {
        LoopbackServer::Reply reply;
        reply.body = picture.body;
        g_server->Serve(picture.path, reply);
    }
    const std::string jpeg = "data:image/jpeg;base64," + Base64(Picture(24, 16, 0x0000FF, true));
    ASSERT_TRUE(Load("/pictures", "<body style=\"margin: 0\"><div><img id=served src=\"/red.png\"></div>"
                                  "<div><img id=inline width=48 src=\"" + jpeg + "\"></div>"
                                  "<div><img id=broken src=\"/broken.png\" width=10 height=10><img id=wide src=\"/wide.png\">"
                                  "<img id=other src=\"ftp://127.0.0.1/x.png\"></div><p>after the pictures</p>"
                                  // What the engine does not know, or bounds, leaves the rest to be shown.
                                  "<div style=\"float: left; display: grid; line-height: 1e300px; border-radius: 1px / 2px;"
                                  " box-shadow: inset 0 0 5px red\"><img src=\"/red.png\" width=100000 height=100000>odd"
                                  "</div><p>the end</p></body>"));
    ASSERT_TRUE(WaitUntil([] { return BoxOf("img#served").right == 30; }));
    const struct {
        const char* element;
        RECT box;
        DWORD colour;  // at its centre
    } expected[] = {{"img#served", {0, 0, 30, 20}, 0xFF0000},
                    {"img#inline", {0, 20, 48, 52}, 0x0000FF},
                    {"img#broken", {0, 52, 10, 62}, 0xFFFFFF},
                    {"img#wide", {10, 62, 10, 62}, 0xFFFFFF},
                    {"img#other", {10, 62, 10, 62}, 0xFFFFFF}};
    const auto shot = Shot();
    for (const auto& e : expected) {
        const RECT box = BoxOf(e.element);
        EXPECT_TRUE(EqualRect(&box, &e.box)) << e.element << ": " << box.left << "," << box.top << " " << box.right << "x"
                                             << box.bottom;
        EXPECT_TRUE(ColourNear(e.colour, At(*shot, (box.left + box.right) / 2, (box.top + box.bottom) / 2), 8))
            << e.element;
    }
    EXPECT_NE(std::string::npos, Text().find("after the pictures\nodd\nthe end")) << Text();
    EXPECT_EQ(0xFF0000u, At(*shot, 20, shot->height() - 5));  // the huge picture, cut to the window
    // The fetches of the skipped pictures end in their own time.
    for (const std::string skipped : {"/broken.png is not shown", "/wide.png is not shown", "x.png is not shown"}) {
        EXPECT_TRUE(WaitUntil([&] { return Log().find(skipped) != std::string::npos; })) << skipped;
    }
}

TEST_F(PageTest, APageOfManyPicturesFetchesAFewAtATimeAndShowsEachThatArrives) {
    // Each picture comes slowly, so that fetches left to run at once would overlap.
    const int kPictures = 24;
    LoopbackServer::Reply slow;
    slow.trickleMs = 150;
    std::string page = "<body style=\"margin: 0\">";
    for (int i = 0; i < kPictures; ++i) {
        const std::string path = "/many/" + std::to_string(i) + ".png";
        // One broken picture, and one the server does not have (its 404 comes at once).
        slow.body = i == 7 ? "\x89PNG\r\n\x1a\n not a picture" : Picture(20, 10, 0xFF0000);
        if (i != 13) g_server->Serve(path, slow);
        page += "<div><img id=p" + std::to_string(i) + " src=\"" + path + "\"></div>";
    }
    g_server->Watch("/many/");
    ASSERT_TRUE(Load("/many", page + "</body>"));
    const auto arrived = [](int i) {
        if (i == 7 || i == 13) return Log().find("/many/" + std::to_string(i) + ".png is not shown") != std::string::npos;
        return BoxOf("img#p" + std::to_string(i)).right == 20;
    };
    ASSERT_TRUE(WaitUntil([&] {
        for (int i = 0; i < kPictures; ++i) {
            if (!arrived(i)) return false;
        }
        return true;
    }));
    EXPECT_LE(g_server->MostAnsweredAtOnce(), 6);  // as many connections as a browser keeps to a host
    EXPECT_GE(g_server->MostAnsweredAtOnce(), 2);
    const auto shot = Shot();
    for (int i = 0; i < kPictures; ++i) {
        const RECT box = BoxOf("img#p" + std::to_string(i));
        const bool shown = i != 7 && i != 13;
        EXPECT_EQ(shown ? 10 : 0, box.bottom - box.top) << i;
        if (shown) {
            EXPECT_TRUE(ColourNear(0xFF0000, At(*shot, 10, (box.top + box.bottom) / 2), 8)) << i;
        }
    }
    g_server->Watch("");
}

// A large picture decodes in about twice the room it keeps, so six of them arriving
// together cannot all decode at once: they take turns for the engine's one budget. Ten
// large and two medium ones keep 168 MB of its 192 MB, so each finds room in its turn;
// a large one more, shown by a second browser meanwhile, finds none.
TEST_F(PageTest, LargePicturesTakeTurnsForOneBudgetThatEveryDocumentShares) {
    const std::string large = TestPng::Solid(2048, 2048, 8, 6, std::string("\xFF\x00\x00\xFF", 4));
    const std::string medium = TestPng::Solid(1024, 1024, 8, 6, std::string("\x00\xFF\x00\xFF", 4));
    LoopbackServer::Reply held;
    held.held = true;
    std::vector<std::pair<std::string, int>> pictures;  // element and side
    std::string page = "<body style=\"margin: 0\">";
    for (int i = 0; i < 12; ++i) {
        const std::string name = (i < 10 ? "large" : "medium") + std::to_string(i);
        held.body = i < 10 ? large : medium;
        g_server->Serve("/turns/" + name + ".png", held);
        page += "<div><img id=" + name + " src=\"/turns/" + name + ".png\"></div>";
        pictures.emplace_back("img#" + name, i < 10 ? 2048 : 1024);
    }
    g_server->Hold();
    ASSERT_TRUE(Load("/turns", page + "</body>"));
    // The first six answers go out together once all six have been asked for.
    ASSERT_TRUE(WaitUntil([] {
        const auto requests = g_server->Requests();
        return std::count_if(requests.begin(), requests.end(),
                             [](const std::string& r) { return r.compare(0, 11, "GET /turns/") == 0; }) >= 6;
    }));
    g_server->Release();
    const auto shown = [](CefRefPtr<CefBrowser> browser, const std::string& element) {
        for (const auto& box : engine_testing::PageBoxes(browser)) {
            if (box.element == element) return box.rect.right - box.rect.left;
        }
        return 0L;
    };
    const auto settled = [&](CefRefPtr<CefBrowser> browser, const std::string& element) {
        return shown(browser, element) > 0 || Log().find(element.substr(4) + ".png is not shown") != std::string::npos;
    };
    ASSERT_TRUE(WaitUntil([&] {
        for (const auto& picture : pictures) {
            if (!settled(Browser(), picture.first)) return false;
        }
        return true;
    }));
    for (const auto& picture : pictures) EXPECT_EQ(picture.second, shown(Browser(), picture.first)) << picture.first;

    LoopbackServer::Reply one;
    one.body = large;
    g_server->Serve("/turns/late.png", one);
    LoopbackServer::Reply second;
    second.body = "<body style=\"margin: 0\"><img id=late src=\"/turns/late.png\"></body>";
    g_server->Serve("/turns/second", second);
    g_events.Clear();
    ASSERT_TRUE(CefBrowserHost::CreateBrowser(PopupInfo(), g_client.get(), g_server->Url("/turns/second"),
                                              CefBrowserSettings(), nullptr));
    ASSERT_NE("", g_events.WaitFor("load-end"));
    CefRefPtr<CefBrowser> other = g_client->browsers.back();
    EXPECT_TRUE(WaitUntil([&] { return settled(other, "img#late"); }));
    EXPECT_EQ(0, shown(other, "img#late"));
    other->GetHost()->CloseBrowser(true);
    ASSERT_NE("", g_events.WaitFor("before-close " + std::to_string(other->GetIdentifier())));
    // The budget is the whole engine's: the large pictures go before the next test.
    ASSERT_TRUE(Load("/turns/after", "<p>after the pictures</p>"));
    ASSERT_TRUE(WaitUntil([] { return Text().find("after the pictures") != std::string::npos; }));
}

TEST_F(PageTest, MarginsPaddingLineHeightAndRoundedCornersLandWhereTheStyleSays) {
    ASSERT_TRUE(Load("/boxes", "<body style=\"margin: 0\">"
                               "<div id=a style=\"margin: 20px 0 10px; height: 30px; background: #FF0000\"></div>"
                               "<div id=b style=\"margin-top: 30px; padding: 10px 0 6px 12px; background: #00FF00\">"
                               "<div id=inner style=\"height: 20px; background: #0000FF\"></div></div>"
                               "<div id=c style=\"line-height: 40px; font-size: 20px; background: #FFFF00\">田</div>"
                               "<div id=d style=\"width: 100px; height: 40px; border-radius: 20px; background: #FF00FF\">"
                               "</div><div id=e><p id=p style=\"margin: 12px 0\">text</p></div></body>"));
    ASSERT_TRUE(WaitUntil([] { return Boxes("p#p").size() == 1; }));
    // Adjoining margins collapse into the larger one, through a parent without padding too.
    RECT client;
    GetClientRect(Window(), &client);
    const LONG w = client.right;
    const struct {
        const char* element;
        RECT box;
    } expected[] = {{"div#a", {0, 20, w, 50}},   {"div#b", {0, 80, w, 116}},   {"div#inner", {12, 90, w, 110}},
                    {"div#c", {0, 116, w, 156}}, {"div#d", {0, 156, 100, 196}}, {"p#p", {0, 208, w, BoxOf("p#p").bottom}},
                    {"div#e", BoxOf("p#p")}};
    for (const auto& e : expected) {
        const RECT box = BoxOf(e.element);
        EXPECT_TRUE(EqualRect(&box, &e.box)) << e.element << ": " << box.left << "," << box.top << " " << box.right << ","
                                             << box.bottom;
    }
    const auto shot = Shot();
    // The glyph stands in the middle of its 40-pixel line.
    int top = -1;
    int bottom = -1;
    for (int y = 116; y < 156; ++y) {
        for (int x = 0; x < 40; ++x) {
            if (At(*shot, x, y) != 0xFFFF00 && top < 0) top = y;
            if (At(*shot, x, y) != 0xFFFF00) bottom = y;
        }
    }
    ASSERT_GE(top, 116);
    EXPECT_NEAR(136, (top + bottom + 1) / 2.0, 2.5) << top << ".." << bottom;
    // Corners outside the radius show the page; the edges' middles and the centre the fill.
    const struct {
        int x, y;
        DWORD colour;
    } corners[] = {{1, 157, 0xFFFFFF}, {98, 194, 0xFFFFFF}, {1, 176, 0xFF00FF}, {50, 157, 0xFF00FF}, {50, 176, 0xFF00FF}};
    for (const auto& c : corners) EXPECT_TRUE(ColourNear(c.colour, At(*shot, c.x, c.y), 8)) << c.x << "," << c.y;
}

// The pointer is really moved over the window: the engine asks to hear when it leaves,
// and is told at once when it is not there.
TEST_F(PageTest, TheBoxUnderThePointerTakesItsHoverStyleUntilThePointerGoes) {
    ASSERT_TRUE(Load("/hover", "<style>.b { height: 40px; background: #FF0000; } .b:hover { background: #00FF00; }</style>"
                               "<body style=\"margin: 0\"><div class=b></div><p>below</p></body>"));
    ASSERT_TRUE(WaitUntil([] { return Boxes("div.b").size() == 1; }));
    ShowWindow(Window(), SW_SHOWNOACTIVATE);
    const struct {
        UINT message;
        int y;
        DWORD colour;
    } steps[] = {{WM_MOUSEMOVE, 20, 0x00FF00}, {WM_MOUSEMOVE, 300, 0xFF0000}, {WM_MOUSEMOVE, 10, 0x00FF00},
                 {WM_MOUSELEAVE, 2000, 0xFF0000}};
    for (const auto& step : steps) {
        POINT at = {20, step.y};
        ClientToScreen(Window(), &at);
        SetCursorPos(at.x, at.y);
        PostMessageW(Window(), step.message, 0, MAKELPARAM(20, step.y));
        EXPECT_TRUE(WaitUntil([&] { return At(*Shot(), 20, 20) == step.colour; })) << step.y;
    }
    ShowWindow(Window(), SW_HIDE);
}

TEST_F(PageTest, EachDomCallOfTheSubsetDoesWhatPagesExpect) {
    const struct {
        const char* code;
        std::string expected;
    } cases[] = {
        {"document.getElementById('main').id + document.getElementById('nothing')", "mainnull"},
        {"document.body.children.length + document.getElementById('main').parentNode.tagName", "3BODY"},
        {"var d = document.createElement('div'); d.id = 'made'; d.className = 'a b';"
         "document.body.appendChild(d) === d && document.getElementById('made') === d && d.parentNode === document.body",
         "true"},
        {"d.setAttribute('data-x', '7'); d.getAttribute('data-x') + d.getAttribute('missing') + d.className", "7nulla b"},
        {"d.textContent = 'hi <b>'; d.innerHTML", "hi &lt;b&gt;"},
        {"d.innerHTML = '<span id=\"in\">x</span><i>y'; d.children.length + d.textContent + "
         "document.getElementById('in').parentNode.id",
         "2xymade"},
        {"d.style.display = 'none'; d.style.backgroundColor = '#000'; d.style.cssText + '|' + d.style.display",
         "display: none; background-color: #000;|none"},
        {"d.style.display = ''; d.getAttribute('style')", "background-color: #000;"},
        {"document.body.removeChild(d); d.parentNode", "null"},
        {"document.body.removeChild(d)", "threw NotFoundError"},
        {"document.body.appendChild(document.body)", "threw HierarchyRequestError"},
        {"document.title + (document.title = 'Renamed', document.title)", "Page modelRenamed"},
        {"var seen = []; var b = document.getElementById('main'); b.onclick = function () { seen.push('property'); };"
         "b.addEventListener('click', function (e) { seen.push('listener ' + e.target.id); });"
         "document.getElementById('inner').click(); seen.join()",
         "property,listener inner"},
        {"document.getElementById('attr').click(); window.hit", "attr"},
        {"JSON.stringify(JSON.parse('[{\"name\":\"线路一\",\"check\":true}]'))", "[{\"name\":\"线路一\",\"check\":true}]"},
        {"location.href", g_server->Url("/dom")},
    };
    std::string script = "<script>var cases = [";
    for (const auto& c : cases) script += "'" + ReplaceAll(ReplaceAll(c.code, "\\", "\\\\"), "'", "\\'") + "',";
    script += "]; cases.forEach(function (c) { var r; try { r = String((0, eval)(c)); }"
              " catch (e) { r = 'threw ' + String(e.message).split(':')[0]; } native.record(r); });</script>";
    ASSERT_TRUE(Load("/dom", "<title>Page model</title><div id=main><b id=inner>in</b></div>"
                             "<p id=attr onclick=\"window.hit = this.id\">p</p>" + script));
    const std::vector<std::string> records = g_renderer.All();
    ASSERT_EQ(sizeof(cases) / sizeof(cases[0]), records.size());
    for (size_t i = 0; i < records.size(); ++i) EXPECT_EQ(cases[i].expected, records[i]) << cases[i].code;
}

TEST_F(PageTest, TimersRunInDueOrderAndCancelledOnesNever) {
    ASSERT_TRUE(Load("/timers",
                     "<script>"
                     "setTimeout(function () { native.record('300'); }, 300);"
                     "setTimeout(function (a, b) { native.record('100' + a + b); }, 100, 'x', 'y');"
                     "setTimeout(function () { native.record('100 again'); }, 100);"
                     "clearTimeout(setTimeout(function () { native.record('cancelled'); }, 5));"
                     "setTimeout('native.record(\"code 200\")', 200);"
                     "var n = 0, every = setInterval(function () {"
                     "  native.record('interval ' + ++n);"
                     "  if (n === 3) { clearInterval(every); setTimeout(function () { native.record('end'); }, 150); }"
                     "}, 400);"
                     "</script>"));
    ASSERT_EQ("end", g_renderer.WaitFor("end"));
    const std::vector<std::string> expected = {"100xy", "100 again", "code 200", "300", "interval 1", "interval 2",
                                               "interval 3", "end"};
    EXPECT_EQ(expected, g_renderer.All());
}

TEST_F(PageTest, TimersEndWithTheirPageAndTheirBrowser) {
    ASSERT_TRUE(Load("/ticking", "<script>setInterval(function () { native.record('old page'); }, 10);</script>"));
    ASSERT_EQ("old page", g_renderer.WaitFor("old page"));
    // A second browser whose page ticks as it closes.
    g_events.Clear();
    ASSERT_TRUE(CefBrowserHost::CreateBrowser(PopupInfo(), g_client.get(), g_server->Url("/ticking"), CefBrowserSettings(),
                                              nullptr));
    ASSERT_NE("", g_events.WaitFor("load-end"));
    CefRefPtr<CefBrowser> second = g_client->browsers.back();
    second->GetHost()->CloseBrowser(true);
    ASSERT_NE("", g_events.WaitFor("before-close " + std::to_string(second->GetIdentifier())));
    // Both old pages ticked every 10 ms; nothing of them may come while the new page waits.
    ASSERT_TRUE(Load("/next", "<script>native.record('parsed');"
                              "setTimeout(function () { native.record('new page'); }, 300);</script>"));
    ASSERT_EQ("new page", g_renderer.WaitFor("new page"));
    const std::vector<std::string> records = g_renderer.All();
    const auto parsed = std::find(records.begin(), records.end(), "parsed");
    EXPECT_EQ(std::vector<std::string>({"parsed", "new page"}), std::vector<std::string>(parsed, records.end()));
}

TEST_F(PageTest, AScriptThatNeverEndsIsStoppedAndTheBrowserStaysUsable) {
    engine_testing::SetScriptTimeLimit(500);
    ASSERT_TRUE(Load("/forever",
                     "<script>while (true) {}</script><script>native.record('next script');</script>"
                     "<div id=spin onclick=\"for (;;) {}\">spin</div>"
                     "<script>setTimeout(function () { for (;;) {} }, 0);"
                     "setTimeout(function () { native.record('next timer'); }, 50);</script>"));
    EXPECT_EQ("next timer", g_renderer.WaitFor("next timer"));
    const std::string line = "a script of " + g_server->Url("/forever") + " ran longer than 500 ms and was stopped";
    const auto stopped = [&line] {
        const std::string log = Log();
        size_t count = 0;
        for (size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1)) ++count;
        return count;
    };
    EXPECT_EQ(2u, stopped());  // the script block and the timer
    Click(BoxOf("div#spin"));
    EXPECT_TRUE(WaitUntil([&] { return stopped() == 3; })) << Log();
    Browser()->GetMainFrame()->ExecuteJavaScript("native.record('usable')", "", 0);
    EXPECT_EQ("usable", g_renderer.WaitFor("usable"));
    EXPECT_EQ(std::vector<std::string>({"next script", "next timer", "usable"}), g_renderer.All());
    engine_testing::SetScriptTimeLimit(10000);
}

TEST_F(PageTest, AClickRunsTheNearestHandlerAndFollowsLinks) {
    ASSERT_TRUE(Load("/click",
                     "<div id=outer onclick=\"native.record('outer got ' + event.target.id)\">"
                     "<p id=inner>inside</p></div><p id=plain>no handler</p>"
                     "<a id=script style=\"display: block\" href=\"javascript:native.record('script link')\">run</a>"
                     "<a id=link style=\"display: block\" href=\"/linked\">go</a>"));
    LoopbackServer::Reply linked;
    linked.body = "<p>linked</p>";
    g_server->Serve("/linked", linked);
    const std::vector<std::pair<std::string, bool>> clickable = {
        {"div#outer", true}, {"p#inner", true}, {"p#plain", false}, {"a#script", true}, {"a#link", true}};
    for (const auto& c : clickable) {
        ASSERT_EQ(1u, Boxes(c.first).size()) << c.first;
        EXPECT_EQ(c.second, Boxes(c.first)[0].clickable) << c.first;
    }
    Click(BoxOf("p#plain"));
    Click(BoxOf("p#inner"));
    Click(BoxOf("a#script"));
    EXPECT_EQ("script link", g_renderer.WaitFor("script link"));
    EXPECT_EQ(std::vector<std::string>({"outer got inner", "script link"}), g_renderer.All());
    g_events.Clear();
    Click(BoxOf("a#link"));
    EXPECT_EQ("load-end 200 " + g_server->Url("/linked"), g_events.WaitFor("load-end"));
}

TEST_F(PageTest, LocationReadsAssignsAndReloads) {
    ASSERT_TRUE(Load("/where", "<p>here</p>"));
    LoopbackServer::Reply there;
    there.body = "<script>native.record(location.href);</script>";
    g_server->Serve("/there", there);
    const auto run = [](const std::string& code) {
        g_events.Clear();
        g_renderer.Clear();
        Browser()->GetMainFrame()->ExecuteJavaScript(code, "", 0);
        return g_events.WaitFor("load-end");
    };
    EXPECT_EQ("load-end 200 " + g_server->Url("/there"), run("location.href = 'there'"));
    EXPECT_EQ(std::vector<std::string>({g_server->Url("/there")}), g_renderer.All());
    const size_t requests = g_server->Requests().size();
    EXPECT_EQ("load-end 200 " + g_server->Url("/there"), run("location.reload(true)"));
    EXPECT_EQ(requests + 1, g_server->Requests().size());
    // Only the fragment changes: no load, a new address.
    g_renderer.Clear();
    Browser()->GetMainFrame()->ExecuteJavaScript("location.href = '#part'; native.record(location.href)", "", 0);
    EXPECT_EQ(g_server->Url("/there#part"), g_renderer.WaitFor("http"));
    EXPECT_EQ(requests + 1, g_server->Requests().size());
}

TEST_F(PageTest, HostileMarkupParsesWithinBounds) {
    std::string deep;
    for (int i = 0; i < 10000; ++i) deep += "<div>";
    deep += "<p id=deep>deep text</p><p><b><i>unclosed <span title=\"" + std::string(1 << 20, 'x') + "\">big</span>";
    deep += "<script>var n = 0; for (var e = document.getElementById('deep'); e.parentNode !== document; e = e.parentNode) ++n;"
            "native.record(String(n));</script>";
    ASSERT_TRUE(Load("/hostile", deep));
    const int depth = std::atoi(g_renderer.WaitFor("").c_str());
    EXPECT_GT(depth, 500);
    EXPECT_LE(depth, 512);
    const std::string text = Text();
    EXPECT_NE(std::string::npos, text.find("deep text\nunclosed big")) << text.substr(0, 200);
}

// The shape of a page that once held the window's thread for half a minute: one word of
// 60,000 characters, split by stray end tags, with a Thai letter near its end. It wraps
// within the window like any overlong word; past the most text a layout takes, the rest
// of a page is left out.
TEST_F(PageTest, AnOverlongWordWrapsAndTextBeyondTheBoundIsLeftOut) {
    std::string word = "<div id=line>y</div><div id=word><table><td>y";
    for (int i = 0; i < 3500; ++i) word += std::string(i == 3000 ? "&#x0e2d;" : "") + "</p></span>&#x100000e2d;td>y";
    ASSERT_TRUE(Load("/word", word + "</div>"));
    const RECT line = BoxOf("div#line");
    const RECT wrapped = BoxOf("div#word");
    EXPECT_GT(line.bottom - line.top, 0);
    EXPECT_GT(wrapped.bottom - wrapped.top, 200 * (line.bottom - line.top));
    EXPECT_EQ(line.right, wrapped.right);
    EXPECT_NE(std::string::npos, Text().find("td>y\xE0\xB8\xAD&#x100000e2d;td>y"));

    std::string many = "<div id=many>";
    for (int i = 0; i < 550000; ++i) many += "x ";
    ASSERT_TRUE(Load("/many", many + "</div><div id=after>after</div>"));
    const RECT after = BoxOf("div#after");
    EXPECT_EQ(after.top, after.bottom);
}

// A page that calls the bridge in a loop, loaded again and again: the engine keeps no
// record of it unless a trace is asked for, and then only the latest records in memory,
// while the trace file gets them all. Each load makes more calls than the records kept,
// so a keep without its bound holds more than the bound after the second load.
TEST_F(PageTest, ABridgeCalledInALoopLeavesTheTraceBounded) {
    const int calls = 1500;
    LoopbackServer::Reply page;
    page.body = "<script>for (var i = 0; i < " + std::to_string(calls) +
                "; ++i) AppExtension.ChangeLine(i); native.record('done ' + i)</script>";
    g_server->Serve("/loop", page);
    const auto loadAll = [calls](int times) {
        for (int n = 0; n < times; ++n) {
            g_events.Clear();
            g_renderer.Clear();
            Browser()->GetMainFrame()->LoadURL(g_server->Url("/loop"));
            if (g_renderer.WaitFor("done") != "done " + std::to_string(calls)) return false;
        }
        return true;
    };
    engine_testing::ClearTraceRecords();
    ASSERT_TRUE(loadAll(3));
    EXPECT_TRUE(engine_testing::TraceRecords().empty());

    const std::wstring file = g_folder + L"\\loop-trace.txt";
    SetEnvironmentVariableW(L"TALLYHIVE_ENGINE_TRACE", file.c_str());
    const bool loaded = loadAll(2);
    SetEnvironmentVariableW(L"TALLYHIVE_ENGINE_TRACE", nullptr);
    ASSERT_TRUE(loaded);
    const std::string message = "process message sent id=" + std::to_string(Browser()->GetIdentifier()) +
                                " to=browser name=ChangeLine args=1";
    const auto records = engine_testing::TraceRecords();
    EXPECT_LE(records.size(), 1024u);
    EXPECT_GE(std::count(records.begin(), records.end(), message), 1000);
    const std::string written = ReadWhole(file);
    size_t lines = 0;
    for (size_t at = written.find(message); at != std::string::npos; at = written.find(message, at + 1)) ++lines;
    EXPECT_EQ(2u * calls, lines);
}

}  // namespace
