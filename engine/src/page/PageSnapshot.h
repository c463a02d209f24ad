// What the painter needs of a page at one moment: the displayed elements and texts in
// document order with their computed style. Built on the renderer thread whenever a
// script has changed the document, then read-only on the UI thread.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "DomDocument.h"
#include "ImageDecoder.h"
#include "StyleSheet.h"

namespace engine {

struct RenderItem {
    enum Kind : unsigned char { kBlock, kInline, kText, kImage, kBreak };
    Kind kind;
    bool clickable;  // the element or an ancestor handles clicks, is a link or shows the hand
    unsigned node;   // the element's serial; for a text, the element holding it
    size_t end;      // one past the item's last descendant
    double opacity;  // with the ancestors' opacity
    ComputedStyle style;
    std::wstring text;  // a text as written; for an element "tag#id.class"
    std::shared_ptr<const DecodedImage> image;  // an <img>'s picture, once it can be shown
};

struct PageSnapshot {
    int document = 0;  // the load the page belongs to
    std::wstring url;
    std::wstring title;
    COLORREF canvas = RGB(255, 255, 255);
    std::vector<RenderItem> items;

    // The text a reader sees: one line per block, runs of white space as one blank.
    std::wstring VisibleText() const;
};

using StyleSheetCache = std::map<std::wstring, std::shared_ptr<const StyleSheet>>;

// The sheets of the document's style elements in page order; cache keeps parsed sheets
// whose text has not changed since the last call.
StyleSheets CollectStyleSheets(const DomDocument& doc, StyleSheetCache& cache);
// The picture an <img> element's src names, already resolved against the page's address.
using ImageSource = std::function<std::shared_ptr<const DecodedImage>(const std::string& url)>;
// Without images, every <img> shows as a picture that cannot be had.
std::shared_ptr<const PageSnapshot> BuildSnapshot(const DomDocument& doc, const StyleSheets& sheets,
                                                  const std::wstring& url, const ImageSource& images = nullptr);
// The picture of a page without scripts, straight from its markup (the engine's own pages).
std::shared_ptr<const PageSnapshot> SnapshotOfMarkup(const std::wstring& html, int document, const std::wstring& url);

}  // namespace engine
