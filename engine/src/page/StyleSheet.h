// The page's <style> rules and the cascade that gives each element the few properties
// the page model honours: display, colours, opacity, fixed position with its box,
// z-index, font size and weight, line height, centred text, margins, padding, rounded
// corners, a box shadow and the hand cursor. Everything else a page writes is parsed
// and ignored.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "CssDeclarations.h"
#include "DomDocument.h"

namespace engine {

struct BoxShadow {
    bool present = false;
    int x = 0, y = 0, blur = 0, spread = 0;
    COLORREF color = RGB(0, 0, 0);
    double alpha = 1.0;
};

struct ComputedStyle {
    enum Display : unsigned char { kInline, kBlock, kNone };
    Display display = kBlock;
    COLORREF color = RGB(0, 0, 0);
    bool hasBackground = false;
    COLORREF background = RGB(255, 255, 255);
    double opacity = 1.0;
    bool fixed = false;
    CssLength top, left, width, height, marginLeft;
    bool centredBox = false;  // margin-left: auto beside a width
    CssLength marginTop, marginBottom;
    CssLength paddingTop, paddingRight, paddingBottom, paddingLeft;
    CssLength radius;  // border-radius, the same for every corner
    BoxShadow shadow;
    int zIndex = 0;
    int fontSize = 16;
    bool bold = false;
    CssLength lineHeight;   // in pixels once computed; auto is the font's own ("normal")
    double lineFactor = 0;  // a unitless line-height, which children inherit as a factor
    bool centred = false;  // text-align: center
    bool pointer = false;  // cursor: pointer
};

class StyleSheet {
public:
    explicit StyleSheet(const std::wstring& text);

    // The declarations of the rules that match element, appended with their specificity
    // and order so the caller can sort them across sheets.
    struct Match {
        int specificity;
        size_t order;
        const CssDeclarations* declarations;
    };
    void Collect(const DomNode& element, size_t sheetOrder, std::vector<Match>& out) const;
    // Whether a rule depends on where the pointer is.
    bool UsesHover() const { return usesHover_; }

private:
    struct Compound {
        std::wstring tag;  // empty for any
        std::wstring id;
        std::vector<std::wstring> classes;
        bool hover = false;
    };
    struct Selector {
        std::vector<Compound> parts;
        std::vector<bool> childOf;  // before each part after the first: '>' rather than descendant
        int specificity = 0;
    };
    struct Rule {
        std::vector<Selector> selectors;
        CssDeclarations declarations;
    };

    static bool ParseSelector(const std::wstring& text, Selector& selector);
    static bool Matches(const Compound& compound, const DomNode& element);
    static bool Matches(const Selector& selector, const DomNode& element);

    std::vector<Rule> rules_;
    bool usesHover_ = false;
};

using StyleSheets = std::vector<std::shared_ptr<const StyleSheet>>;

// The style of element from its parent's, the sheets in page order and its style attribute.
ComputedStyle ComputeStyle(const DomNode& element, const ComputedStyle& parent, const StyleSheets& sheets);
// The style of the document's root box.
ComputedStyle InitialStyle();

}  // namespace engine
