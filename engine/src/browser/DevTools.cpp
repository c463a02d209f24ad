// Developer tools: a top-level browser of the given client that shows the inspected
// page's address and the engine log's recent lines.
#include "Browser.h"
#include "Closure.h"
#include "DomDocument.h"
#include "EngineLog.h"
#include "EngineTrace.h"

namespace engine {
namespace {

std::wstring DevToolsPage(const std::wstring& inspectedUrl) {
    std::wstring page = L"<html><head><title>Developer tools: " + EscapeHtml(inspectedUrl) +
                        L"</title></head><body><p>Inspected page: " + EscapeHtml(inspectedUrl) + L"</p><p>Engine log:</p>";
    for (const std::string& line : EngineLog::RecentLines()) page += L"<div>" + EscapeHtml(CefString(line).ToWString()) + L"</div>";
    return page + L"</body></html>";
}

}  // namespace

void BrowserImpl::ShowDevTools(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
                               const CefBrowserSettings& settings, const CefPoint& inspect_element_at) {
    (void)inspect_element_at;  // there are no elements to inspect here
    CefRefPtr<BrowserImpl> self = this;
    PostWork(TID_UI, [self, windowInfo, client, settings] {
        if (self->closed_) return;
        if (self->devTools_ && self->devTools_->window_ != nullptr) {
            SetForegroundWindow(self->devTools_->window_);
            return;
        }
        NavEntry page;
        page.url = L"chrome-devtools://devtools/inspector.html";
        page.hasContent = true;
        page.content = DevToolsPage(self->frame_->GetURL().ToWString());
        Trace("dev tools opened id=" + std::to_string(self->id_) + " url=" + self->frame_->GetURL().ToString());
        self->devTools_ = Create(windowInfo, client, std::wstring(), settings, true, &page);
    });
}

void BrowserImpl::CloseDevTools() {
    CefRefPtr<BrowserImpl> self = this;
    PostWork(TID_UI, [self] {
        if (self->devTools_) self->devTools_->CloseBrowser(true);
        self->devTools_ = nullptr;
    });
}

}  // namespace engine
