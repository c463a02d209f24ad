#include "PageSnapshot.h"

#include "CanonicalUrl.h"
#include "HtmlParser.h"
#include "include/internal/cef_string.h"

namespace engine {
namespace {

std::wstring Label(const DomNode& element) {
    std::wstring label = element.tag();
    const std::wstring* id = element.Attribute(L"id");
    if (id != nullptr && !id->empty()) label += L"#" + *id;
    const std::wstring* classes = element.Attribute(L"class");
    std::wstring name;
    for (size_t i = 0; classes != nullptr && i <= classes->size(); ++i) {
        if (i < classes->size() && !IsCssSpace((*classes)[i])) {
            name += (*classes)[i];
        } else if (!name.empty()) {
            label += L"." + name;
            name.clear();
        }
    }
    return label;
}

bool Clickable(const DomNode& element, const ComputedStyle& style) {
    return element.listensToClick() || element.Attribute(L"onclick") != nullptr || style.pointer ||
           (element.tag() == L"a" && element.Attribute(L"href") != nullptr);
}

RenderItem::Kind KindOf(const DomNode& element, const ComputedStyle& style) {
    if (element.tag() == L"img") return RenderItem::kImage;
    if (element.tag() == L"br") return RenderItem::kBreak;
    return style.display == ComputedStyle::kBlock || style.fixed ? RenderItem::kBlock : RenderItem::kInline;
}

std::shared_ptr<const DecodedImage> ImageOf(const DomNode& img, const std::wstring& page, const ImageSource& images) {
    const std::wstring* src = img.Attribute(L"src");
    std::string address;
    if (src == nullptr || Trim(*src).empty() || !images ||
        !ReadAddress(CefString(Trim(*src)).ToString(), CefString(page).ToString(), address)) {
        return nullptr;
    }
    return images(address);
}

}  // namespace

StyleSheets CollectStyleSheets(const DomDocument& doc, StyleSheetCache& cache) {
    StyleSheets sheets;
    StyleSheetCache used;
    WalkTree(
        doc.root(),
        [&](DomNode* n) {
            if (!n->IsElement()) return false;
            if (n->tag() != L"style") return true;
            const std::wstring text = DomDocument::TextContent(n);
            auto found = cache.find(text);
            std::shared_ptr<const StyleSheet> sheet =
                found != cache.end() ? found->second : std::make_shared<const StyleSheet>(text);
            used[text] = sheet;
            sheets.push_back(sheet);
            return false;
        },
        [](DomNode*) {});
    cache.swap(used);
    return sheets;
}

std::shared_ptr<const PageSnapshot> BuildSnapshot(const DomDocument& doc, const StyleSheets& sheets,
                                                  const std::wstring& url, const ImageSource& images) {
    auto page = std::make_shared<PageSnapshot>();
    page->document = doc.serial();
    page->url = url;
    page->title = doc.Title();
    struct Open {
        size_t item;
        ComputedStyle style;
        double opacity;
        bool clickable;
    };
    std::vector<Open> open;
    const ComputedStyle initial = InitialStyle();
    auto& items = page->items;
    WalkTree(
        doc.root(),
        [&](DomNode* n) {
            const Open* parent = open.empty() ? nullptr : &open.back();
            if (!n->IsElement()) {
                if (parent != nullptr) {
                    items.push_back({RenderItem::kText, parent->clickable, n->parent()->serial(), items.size() + 1,
                                     parent->opacity, parent->style, n->text(), nullptr});
                }
                return false;
            }
            const ComputedStyle style = ComputeStyle(*n, parent ? parent->style : initial, sheets);
            if (style.display == ComputedStyle::kNone) return false;
            const bool clickable = (parent && parent->clickable) || Clickable(*n, style);
            const double opacity = (parent ? parent->opacity : 1.0) * style.opacity;
            items.push_back({KindOf(*n, style), clickable, n->serial(), 0, opacity, style, Label(*n), nullptr});
            if (items.back().kind == RenderItem::kImage) items.back().image = ImageOf(*n, url, images);
            open.push_back({items.size() - 1, style, opacity, clickable});
            return true;
        },
        [&](DomNode*) {
            items[open.back().item].end = items.size();
            open.pop_back();
        });
    // As in a browser, the root's background, or else the body's, fills the whole window.
    for (const RenderItem& item : items) {
        if (item.kind == RenderItem::kBlock && item.style.hasBackground &&
            (item.node == doc.root()->serial() || item.node == doc.body()->serial())) {
            page->canvas = item.style.background;
            break;
        }
    }
    return page;
}

std::shared_ptr<const PageSnapshot> SnapshotOfMarkup(const std::wstring& html, int document, const std::wstring& url) {
    DomDocument doc(document);
    ParseDocument(html, doc, [](DomNode*, int) {});
    StyleSheetCache cache;
    return BuildSnapshot(doc, CollectStyleSheets(doc, cache), url);
}

std::wstring PageSnapshot::VisibleText() const {
    std::wstring out;
    std::wstring line;
    bool space = false;
    std::vector<size_t> ends;
    const auto breakLine = [&] {
        if (!line.empty()) out += (out.empty() ? L"" : L"\n") + line;
        line.clear();
        space = false;
    };
    for (size_t i = 0; i < items.size(); ++i) {
        while (!ends.empty() && ends.back() <= i) {
            ends.pop_back();
            breakLine();
        }
        const RenderItem& item = items[i];
        if (item.kind == RenderItem::kBlock) {
            breakLine();
            ends.push_back(item.end);
        } else if (item.kind == RenderItem::kBreak) {
            breakLine();
        } else if (item.kind == RenderItem::kText) {
            for (wchar_t c : item.text) {
                if (IsCssSpace(c)) {
                    space = !line.empty();
                    continue;
                }
                if (space) line += L' ';
                space = false;
                line += c;
            }
        }
    }
    breakLine();
    return out;
}

}  // namespace engine
