// The page a browser's window shows: the renderer's latest picture of the document,
// laid out for the window's size, painted, scrolled and clicked. UI thread, except
// where tests read it under the display lock.
#include <algorithm>

#include "Browser.h"
#include "Closure.h"
#include "tallyhive/engine_testing.h"

namespace engine {

void BrowserImpl::ShowLoad(int navId) {
    std::lock_guard<std::mutex> lock(displayMutex_);
    pageSerial_ = navId;
}

void BrowserImpl::ShowPage(std::shared_ptr<const PageSnapshot> page) {
    {
        std::lock_guard<std::mutex> lock(displayMutex_);
        if (closed_ || page->document != pageSerial_) return;
        if (!page_ || page_->document != page->document) scrollY_ = 0;
        page_ = std::move(page);
        layoutValid_ = false;
    }
    if (window_ != nullptr) InvalidateRect(window_, nullptr, FALSE);
}

const PageLayout* BrowserImpl::Layout(HDC dc) {
    if (!page_) return nullptr;
    RECT client = {0, 0, 0, 0};
    if (window_ != nullptr) GetClientRect(window_, &client);
    const SIZE size = {client.right, client.bottom};
    if (layoutValid_ && size.cx == layoutSize_.cx && size.cy == layoutSize_.cy) return &layout_;
    if (dc != nullptr) {
        layout_.Build(*page_, dc, size);
    } else {
        MemoryDc measuring(CreateCompatibleDC(nullptr));
        layout_.Build(*page_, measuring.get(), size);
    }
    layoutValid_ = true;
    layoutSize_ = size;
    return &layout_;
}

void BrowserImpl::Paint(HDC dc, const RECT& client) {
    std::lock_guard<std::mutex> lock(displayMutex_);
    const PageLayout* layout = Layout(dc);
    if (layout == nullptr) {
        SetDCBrushColor(dc, RGB(255, 255, 255));
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        return;
    }
    layout->Paint(dc, scrollY_);
}

void BrowserImpl::Scroll(int delta) {
    {
        std::lock_guard<std::mutex> lock(displayMutex_);
        const PageLayout* layout = Layout(nullptr);
        const int bottom = layout ? std::max(0, layout->ContentHeight() - static_cast<int>(layoutSize_.cy)) : 0;
        scrollY_ = std::max(0, std::min(bottom, scrollY_ - delta / 2));
    }
    if (window_ != nullptr) InvalidateRect(window_, nullptr, FALSE);
}

int BrowserImpl::ItemAt(POINT point) {
    const PageLayout* layout = Layout(nullptr);
    return layout ? layout->HitTest(point, scrollY_) : -1;
}

unsigned BrowserImpl::NodeAt(POINT point) {
    const int item = ItemAt(point);
    return item >= 0 ? page_->items[item].node : 0;
}

void BrowserImpl::MouseDown(POINT point) {
    std::lock_guard<std::mutex> lock(displayMutex_);
    pressedNode_ = NodeAt(point);
    pressedDocument_ = page_ ? page_->document : 0;
}

// As in a browser, a click needs the press and the release on the same element.
void BrowserImpl::MouseUp(POINT point) {
    std::lock_guard<std::mutex> lock(displayMutex_);
    const unsigned node = NodeAt(point);
    const unsigned pressed = pressedNode_;
    pressedNode_ = 0;
    if (node == 0 || node != pressed || pressedDocument_ != page_->document) return;
    CefRefPtr<BrowserImpl> self = this;
    const int document = page_->document;
    PostWork(TID_RENDERER, [self, document, node] { self->frame_->Click(document, node); });
}

// The renderer hears of the pointer only when the element under it changes.
void BrowserImpl::MouseMove(POINT point) {
    std::lock_guard<std::mutex> lock(displayMutex_);
    if (!page_) return;
    const unsigned node = NodeAt(point);
    const int document = page_->document;
    if (node == hoveredNode_ && document == hoveredDocument_) return;
    hoveredNode_ = node;
    hoveredDocument_ = document;
    CefRefPtr<BrowserImpl> self = this;
    PostWork(TID_RENDERER, [self, document, node] { self->frame_->Hover(document, node); });
}

bool BrowserImpl::IsClickableAt(POINT point) {
    std::lock_guard<std::mutex> lock(displayMutex_);
    const int item = ItemAt(point);
    return item >= 0 && page_->items[item].clickable;
}

std::vector<std::pair<std::string, std::pair<RECT, bool>>> BrowserImpl::PageBoxes() {
    std::lock_guard<std::mutex> lock(displayMutex_);
    std::vector<std::pair<std::string, std::pair<RECT, bool>>> boxes;
    const PageLayout* layout = Layout(nullptr);
    if (layout == nullptr) return boxes;
    for (const auto& box : layout->Boxes(scrollY_)) {
        const RenderItem& item = page_->items[box.first];
        boxes.emplace_back(CefString(item.text).ToString(), std::make_pair(box.second, item.clickable));
    }
    return boxes;
}

std::wstring BrowserImpl::DisplayedText() {
    std::lock_guard<std::mutex> lock(displayMutex_);
    if (!page_) return L"\n";
    return (page_->title.empty() ? page_->url : page_->title) + L"\n" + page_->VisibleText();
}

}  // namespace engine

std::wstring engine_testing::DisplayedText(CefRefPtr<CefBrowser> browser) {
    auto* impl = dynamic_cast<engine::BrowserImpl*>(browser.get());
    return impl ? impl->DisplayedText() : std::wstring();
}

std::vector<engine_testing::PageBox> engine_testing::PageBoxes(CefRefPtr<CefBrowser> browser) {
    std::vector<PageBox> boxes;
    auto* impl = dynamic_cast<engine::BrowserImpl*>(browser.get());
    if (impl == nullptr) return boxes;
    for (const auto& box : impl->PageBoxes()) boxes.push_back({box.first, box.second.first, box.second.second});
    return boxes;
}
