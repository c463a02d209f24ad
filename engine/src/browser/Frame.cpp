#include "Frame.h"

#include <windows.h>

#include <atomic>

#include "Browser.h"
#include "Closure.h"
#include "EngineContext.h"
#include "EngineLog.h"
#include "EngineTrace.h"
#include "HtmlParser.h"
#include "LocalResource.h"
#include "ScriptContext.h"
#include "Url.h"

namespace engine {
namespace {

std::atomic<int64_t> g_nextFrameId{1};

std::string OneLine(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\\n") : c == '\r' ? std::string("\\r") : std::string(1, c);
    return out;
}

// Script elements of another type (templates, data) hold no code to run.
bool IsScriptType(const std::wstring* type) {
    if (type == nullptr || Trim(*type).empty()) return true;
    const std::wstring lower = ToLower(*type);
    return lower.find(L"javascript") != std::wstring::npos || lower.find(L"ecmascript") != std::wstring::npos;
}

}  // namespace

FrameImpl::FrameImpl(BrowserImpl* browser) : browser_(browser), identifier_(g_nextFrameId++) {}

bool FrameImpl::IsValid() {
    std::lock_guard<std::mutex> lock(mutex_);
    return browser_ != nullptr;
}

CefString FrameImpl::GetURL() {
    if (CefCurrentlyOn(TID_RENDERER)) return documentUrl_;
    std::lock_guard<std::mutex> lock(mutex_);
    return url_;
}

void FrameImpl::SetUrl(const std::wstring& url) {
    std::lock_guard<std::mutex> lock(mutex_);
    url_ = url;
}

CefRefPtr<CefBrowser> FrameImpl::GetBrowser() {
    std::lock_guard<std::mutex> lock(mutex_);
    return browser_;
}

void FrameImpl::Detach() {
    std::lock_guard<std::mutex> lock(mutex_);
    browser_ = nullptr;
}

void FrameImpl::Unsupported(const char* what) {
    EngineLog::Write(LOGSEVERITY_WARNING, std::string("frame command '") + what + "' is not supported by this engine");
}

void FrameImpl::Copy() {
    EngineLog::Write(LOGSEVERITY_WARNING, "copy: this engine has no text selection; nothing was copied");
}

void FrameImpl::Paste() {
    EngineLog::Write(LOGSEVERITY_WARNING, "paste: this engine has no editable fields; nothing was pasted");
}

void FrameImpl::LoadURL(const CefString& url) {
    CefRefPtr<CefBrowser> owner = GetBrowser();
    const NavEntry entry = EntryFor(url.ToString());
    Trace("LoadURL id=" + std::to_string(owner ? owner->GetIdentifier() : 0) +
          " url=" + CefString(entry.url).ToString());
    if (!owner) return;
    CefRefPtr<BrowserImpl> browser = static_cast<BrowserImpl*>(owner.get());
    PostWork(TID_UI, [browser, entry] { browser->Navigate(entry, true); });
}

void FrameImpl::LoadString(const CefString& string_val, const CefString& url) {
    CefRefPtr<CefBrowser> owner = GetBrowser();
    const std::string file = CopyPageBesideTrace(string_val.ToString());
    NavEntry entry = EntryFor(url.ToString());
    Trace("LoadString id=" + std::to_string(owner ? owner->GetIdentifier() : 0) +
          " url=" + CefString(entry.url).ToString() + " length=" + std::to_string(string_val.length()) +
          (file.empty() ? "" : " file=" + file));
    if (!owner) return;
    CefRefPtr<BrowserImpl> browser = static_cast<BrowserImpl*>(owner.get());
    entry.hasContent = true;
    entry.content = string_val.ToWString();
    entry.fromLoadString = true;
    PostWork(TID_UI, [browser, entry] { browser->Navigate(entry, true); });
}

void FrameImpl::ExecuteJavaScript(const CefString& code, const CefString& script_url, int start_line) {
    Trace("ExecuteJavaScript url=" + script_url.ToString() + " line=" + std::to_string(start_line) +
          " code=" + OneLine(code.ToString()));
    CefRefPtr<FrameImpl> self = this;
    const std::wstring text = code.ToWString();
    const std::string url = script_url.ToString();
    if (!PostWork(TID_RENDERER, [self, text, url, start_line] { self->RunScript(text, url, start_line); })) {
        EngineLog::Write(LOGSEVERITY_ERROR, "ExecuteJavaScript: the renderer thread does not run");
    }
}

CefRefPtr<CefV8Context> FrameImpl::GetV8Context() {
    if (!CefCurrentlyOn(TID_RENDERER)) {
        EngineLog::Write(LOGSEVERITY_ERROR, "GetV8Context called off the renderer thread");
        return nullptr;
    }
    return context_.get();
}

void FrameImpl::ReleaseContext() {
    if (context_) {
        CefRefPtr<CefApp> app = EngineContext::Get().App();
        CefRefPtr<CefRenderProcessHandler> handler = app ? app->GetRenderProcessHandler() : nullptr;
        CefRefPtr<CefBrowser> browser = GetBrowser();
        if (handler && browser) handler->OnContextReleased(browser, this, context_.get());
        static_cast<ScriptContext*>(context_.get())->Invalidate();
        context_ = nullptr;
    }
    document_.reset();
    sheets_.clear();
    images_.reset();
}

CefRefPtr<ScriptContext> FrameImpl::CreateContext(CefRefPtr<CefBrowser> browser) {
    CefRefPtr<ScriptContext> context = ScriptContext::Create(browser, this);
    context_ = context.get();
    if (!context) return nullptr;
    CefRefPtr<CefApp> app = EngineContext::Get().App();
    CefRefPtr<CefRenderProcessHandler> handler = app ? app->GetRenderProcessHandler() : nullptr;
    if (handler) {
        context->Enter();
        handler->OnContextCreated(browser, this, context.get());
        context->Exit();
    }
    return context;
}

void FrameImpl::Retire(const std::wstring& url, int serial) {
    ReleaseContext();
    documentUrl_ = url;
    retiredFor_ = serial;
}

void FrameImpl::LoadDocument(const std::wstring& html, int serial) {
    if (serial != retiredFor_) return;
    CefRefPtr<CefBrowser> browser = GetBrowser();
    if (!browser) return;
    const std::string url = CefString(documentUrl_).ToString();
    document_ = std::make_shared<DomDocument>(serial);
    images_ = std::make_unique<PageImages>(url);
    CefRefPtr<ScriptContext> context = CreateContext(browser);
    int external = 0;
    ParseDocument(html, *document_, [&](DomNode* script, int line) {
        if (!IsScriptType(script->Attribute(L"type"))) return;
        if (script->Attribute(L"src") != nullptr) ++external;
        else if (context) context->Run(DomDocument::TextContent(script), url, line);
    });
    if (external > 0) {
        EngineLog::Write(LOGSEVERITY_WARNING, std::to_string(external) + " external script(s) of " + url + " were not loaded");
    }
    if (context) context->FireLoad();
    ShowChanges();
}

void FrameImpl::ShowChanges() {
    if (!document_ || !document_->TakeChanged()) return;
    Publish();
}

void FrameImpl::Publish() {
    CefRefPtr<CefBrowser> owner = GetBrowser();
    if (!owner) return;
    CefRefPtr<BrowserImpl> browser = static_cast<BrowserImpl*>(owner.get());
    const PageImages::Fetched fetched = ImageFetched();
    PageImages* images = images_.get();
    std::shared_ptr<const PageSnapshot> page =
        BuildSnapshot(*document_, CollectStyleSheets(*document_, sheets_), GetURL().ToWString(),
                      [images, &fetched](const std::string& url) { return images->Get(url, fetched); });
    PostWork(TID_UI, [browser, page] { browser->ShowPage(page); });
}

PageImages::Fetched FrameImpl::ImageFetched() {
    CefRefPtr<FrameImpl> self = this;
    const int serial = document_->serial();
    // A fetched image comes back to this thread, for the document it was asked for.
    return [self, serial](const std::string& url, std::shared_ptr<const DecodedImage> image) {
        PostWork(TID_RENDERER, [self, serial, url, image] { self->ImageArrived(serial, url, image); });
    };
}

void FrameImpl::ImageArrived(int document, const std::string& url, std::shared_ptr<const DecodedImage> image) {
    if (!document_ || document_->serial() != document) return;
    const bool shown = image != nullptr;
    images_->Put(url, std::move(image), ImageFetched());
    if (!shown) return;  // the page looks as it did
    document_->TakeChanged();  // the picture below holds any other change as well
    Publish();
}

void FrameImpl::Click(int document, unsigned node) {
    // A click meant for a page that has been replaced meanwhile is dropped.
    if (!document_ || document_->serial() != document || !context_) return;
    static_cast<ScriptContext*>(context_.get())->Click(node);
}

void FrameImpl::Hover(int document, unsigned node) {
    if (!document_ || document_->serial() != document) return;
    document_->SetHovered(document_->Node(node));
    // Only a page whose rules name :hover looks different.
    for (const auto& sheet : sheets_) {
        if (!sheet.second->UsesHover()) continue;
        document_->TakeChanged();  // the picture below holds any other change as well
        Publish();
        return;
    }
}

void FrameImpl::NavigateFromPage(const std::wstring& url) {
    CefRefPtr<CefBrowser> owner = GetBrowser();
    if (!owner) return;
    const std::string current = GetURL().ToString();
    const NavEntry entry = EntryFor(CefString(url).ToString(), current);
    const std::string target = CefString(entry.url).ToString();
    if (RefusesLocalResource(current, target)) return;  // the page stays
    // Only the fragment changes: the page stays and its address changes at once.
    if (!entry.unreadable && target.find('#') != std::string::npos &&
        WithoutFragment(target) == WithoutFragment(current)) {
        documentUrl_ = entry.url;
        SetUrl(documentUrl_);
        return;
    }
    CefRefPtr<BrowserImpl> browser = static_cast<BrowserImpl*>(owner.get());
    PostWork(TID_UI, [browser, entry] { browser->Navigate(entry, true); });
}

void FrameImpl::ReloadFromPage() {
    CefRefPtr<CefBrowser> owner = GetBrowser();
    if (owner) owner->Reload();
}

void FrameImpl::RunScript(const std::wstring& code, const std::string& url, int line) {
    if (!context_ || !context_->IsValid()) {
        EngineLog::Write(LOGSEVERITY_WARNING, "a script for " + url + " was dropped: the frame has no document yet");
        return;
    }
    static_cast<ScriptContext*>(context_.get())->Run(code, url, line);
}

}  // namespace engine
