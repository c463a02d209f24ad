#include "StyleSheet.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

namespace engine {
namespace {

const wchar_t* const kBlockElements[] = {
    L"html",   L"body",     L"div",     L"p",      L"h1",     L"h2",     L"h3",       L"h4",      L"h5",
    L"h6",     L"ul",       L"ol",      L"li",     L"dl",     L"dt",     L"dd",       L"table",   L"thead",
    L"tbody",  L"tfoot",    L"tr",      L"td",     L"th",     L"caption", L"form",    L"fieldset", L"section",
    L"header", L"footer",   L"article", L"aside",  L"nav",    L"main",   L"pre",      L"blockquote", L"hr",
    L"center", L"address",  L"figure",  L"details", L"summary"};
const wchar_t* const kHiddenElements[] = {L"head",  L"script", L"style",    L"title",   L"meta",
                                          L"link",  L"base",   L"template", L"noscript"};
const int kHeadingSizes[] = {32, 24, 19, 16, 13, 11};
// A heading's margins above and below, in its own font size.
const double kHeadingMargins[] = {0.67, 0.83, 1.0, 1.33, 1.67, 2.33};

std::wstring StripComments(const std::wstring& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size();) {
        if (text.compare(i, 2, L"/*") == 0) {
            const size_t end = text.find(L"*/", i + 2);
            i = end == std::wstring::npos ? text.size() : end + 2;
        } else {
            out += text[i++];
        }
    }
    return out;
}

// The index after the block that opens at text[open] ('{'), nested blocks included.
size_t BlockEnd(const std::wstring& text, size_t open) {
    int depth = 0;
    for (size_t i = open; i < text.size(); ++i) {
        if (text[i] == L'{') ++depth;
        else if (text[i] == L'}' && --depth == 0) return i + 1;
    }
    return text.size();
}

std::vector<std::wstring> Tokens(const std::wstring& value) {
    std::vector<std::wstring> tokens;
    int depth = 0;
    std::wstring token;
    for (wchar_t c : value) {
        depth += c == L'(' ? 1 : c == L')' && depth > 0 ? -1 : 0;
        if (IsCssSpace(c) && depth == 0) {
            if (!token.empty()) tokens.push_back(token);
            token.clear();
        } else {
            token += c;
        }
    }
    if (!token.empty()) tokens.push_back(token);
    return tokens;
}

bool IsIdentChar(wchar_t c) { return std::iswalnum(c) || c == L'-' || c == L'_' || c >= 0x80; }

void ApplyMarginLeft(ComputedStyle& style, const std::wstring& value) {
    CssLength length;
    if (ToLower(Trim(value)) == L"auto") {
        style.marginLeft = CssLength();
        style.centredBox = true;
    } else if (ParseLength(value, length)) {
        style.marginLeft = length;
        style.centredBox = false;
    }
}

// The top, right, bottom and left values of a margin or padding shorthand of one to four values.
bool Sides(const std::wstring& value, std::wstring (&sides)[4]) {
    const std::vector<std::wstring> parts = Tokens(value);
    if (parts.empty() || parts.size() > 4) return false;
    sides[0] = parts[0];
    sides[1] = parts.size() > 1 ? parts[1] : parts[0];
    sides[2] = parts.size() > 2 ? parts[2] : parts[0];
    sides[3] = parts.size() > 3 ? parts[3] : sides[1];
    return true;
}

// Margins read every length (auto is 0 for the vertical ones); a right margin is not used.
void ApplyMargin(ComputedStyle& style, const std::wstring& value) {
    std::wstring sides[4];
    if (!Sides(value, sides)) return;
    ParseLength(sides[0], style.marginTop);
    ParseLength(sides[2], style.marginBottom);
    ApplyMarginLeft(style, sides[3]);
}

void ApplyPadding(CssLength& side, const std::wstring& value) {
    CssLength length;
    if (ParseLength(value, length) && !length.IsAuto() && length.value >= 0) side = length;
}

void ApplyPaddings(ComputedStyle& style, const std::wstring& value) {
    std::wstring sides[4];
    if (!Sides(value, sides)) return;
    ApplyPadding(style.paddingTop, sides[0]);
    ApplyPadding(style.paddingRight, sides[1]);
    ApplyPadding(style.paddingBottom, sides[2]);
    ApplyPadding(style.paddingLeft, sides[3]);
}

// A unitless number is kept as a factor that children apply to their own font size.
void ApplyLineHeight(ComputedStyle& style, const std::wstring& keyword) {
    double number = 0;
    CssLength length;
    if (keyword == L"normal") {
        style.lineHeight = CssLength();
        style.lineFactor = 0;
    } else if (ParseNumber(keyword, number) && number > 0) {
        style.lineHeight = CssLength();
        style.lineFactor = number;
    } else if (ParseLength(keyword, length) && !length.IsAuto() && length.value >= 0) {
        style.lineHeight = length;
        style.lineFactor = 0;
    }
}

// One radius for all four corners: the first value.
void ApplyRadius(ComputedStyle& style, const std::wstring& value) {
    const std::vector<std::wstring> parts = Tokens(value);
    CssLength length;
    if (!parts.empty() && ParseLength(parts[0], length) && !length.IsAuto() && length.value >= 0) style.radius = length;
}

// The first shadow of the list: two to four pixel lengths and a colour (the text colour
// when none is given). An inset shadow, or one the engine cannot read, is not drawn.
void ApplyBoxShadow(ComputedStyle& style, const std::wstring& value) {
    int depth = 0;
    size_t end = 0;
    for (; end < value.size() && !(value[end] == L',' && depth == 0); ++end) {
        depth += value[end] == L'(' ? 1 : value[end] == L')' && depth > 0 ? -1 : 0;
    }
    style.shadow = BoxShadow();
    BoxShadow shadow;
    shadow.color = style.color;
    int lengths[4] = {0, 0, 0, 0};
    size_t count = 0;
    for (const std::wstring& token : Tokens(value.substr(0, end))) {
        CssLength length;
        if (ParseLength(token, length) && length.unit == CssLength::kPx && count < 4) {
            lengths[count++] = length.Resolve(0, 0);
        } else if (!ParseColor(token, shadow.color, shadow.alpha)) {
            return;
        }
    }
    if (count < 2 || lengths[2] < 0) return;
    shadow.present = true;
    shadow.x = lengths[0];
    shadow.y = lengths[1];
    shadow.blur = std::min(lengths[2], 100);
    shadow.spread = std::max(-100, std::min(lengths[3], 100));
    style.shadow = shadow;
}

void ApplyFontSize(ComputedStyle& style, const std::wstring& value, const ComputedStyle& parent) {
    const std::wstring t = ToLower(Trim(value));
    double number = 0;
    CssLength length;
    if (t.size() > 2 && t.compare(t.size() - 2, 2, L"em") == 0 && ParseNumber(t.substr(0, t.size() - 2), number)) {
        style.fontSize = static_cast<int>(std::lround(parent.fontSize * number));
    } else if (ParseLength(t, length) && !length.IsAuto()) {
        style.fontSize = length.Resolve(parent.fontSize, parent.fontSize);
    }
    style.fontSize = std::max(1, std::min(style.fontSize, 400));
}

void ApplyBackground(ComputedStyle& style, const std::wstring& value) {
    COLORREF color = 0;
    bool transparent = false;
    if (ToLower(Trim(value)) == L"none") style.hasBackground = false;
    for (const std::wstring& token : Tokens(value)) {
        if (ParseColor(token, color, transparent)) {
            style.hasBackground = !transparent;
            style.background = color;
            return;
        }
    }
}

void Apply(ComputedStyle& style, const CssDeclaration& d, const ComputedStyle& parent) {
    const std::wstring& name = d.name;
    const std::wstring keyword = ToLower(d.value);
    COLORREF color = 0;
    bool transparent = false;
    double number = 0;
    if (name == L"display") {
        if (keyword == L"none") style.display = ComputedStyle::kNone;
        else if (keyword.compare(0, 6, L"inline") == 0) style.display = ComputedStyle::kInline;
        else style.display = ComputedStyle::kBlock;
    } else if (name == L"color") {
        if (ParseColor(d.value, color, transparent) && !transparent) style.color = color;
    } else if (name == L"background-color") {
        if (ParseColor(d.value, color, transparent)) {
            style.hasBackground = !transparent;
            style.background = color;
        }
    } else if (name == L"background") {
        ApplyBackground(style, d.value);
    } else if (name == L"opacity") {
        if (ParseNumber(keyword, number)) style.opacity = std::max(0.0, std::min(1.0, number));
    } else if (name == L"position") {
        style.fixed = keyword == L"fixed";
    } else if (name == L"top" || name == L"left" || name == L"width" || name == L"height") {
        CssLength& length = name == L"top" ? style.top : name == L"left" ? style.left : name == L"width" ? style.width : style.height;
        ParseLength(d.value, length);
    } else if (name == L"z-index") {
        if (ParseNumber(keyword, number) && std::fabs(number) < 1e9) style.zIndex = static_cast<int>(number);
        else if (keyword == L"auto") style.zIndex = 0;
    } else if (name == L"font-size") {
        ApplyFontSize(style, d.value, parent);
    } else if (name == L"font-weight") {
        style.bold = keyword == L"bold" || keyword == L"bolder" || (ParseNumber(keyword, number) && number >= 600);
    } else if (name == L"text-align") {
        style.centred = keyword == L"center";
    } else if (name == L"margin-left") {
        ApplyMarginLeft(style, d.value);
    } else if (name == L"margin") {
        ApplyMargin(style, d.value);
    } else if (name == L"margin-top" || name == L"margin-bottom") {
        ParseLength(d.value, name == L"margin-top" ? style.marginTop : style.marginBottom);
    } else if (name == L"padding") {
        ApplyPaddings(style, d.value);
    } else if (name.compare(0, 8, L"padding-") == 0) {
        CssLength* side = name == L"padding-top" ? &style.paddingTop : name == L"padding-right" ? &style.paddingRight
                        : name == L"padding-bottom" ? &style.paddingBottom : name == L"padding-left" ? &style.paddingLeft
                                                                                   : nullptr;
        if (side != nullptr) ApplyPadding(*side, d.value);
    } else if (name == L"line-height") {
        ApplyLineHeight(style, Trim(keyword));
    } else if (name == L"border-radius") {
        ApplyRadius(style, d.value);
    } else if (name == L"box-shadow") {
        ApplyBoxShadow(style, d.value);
    } else if (name == L"cursor") {
        style.pointer = keyword == L"pointer";
    }
}

// What a browser gives each element before the page's own rules.
void ApplyDefaults(ComputedStyle& style, const DomNode& element) {
    const std::wstring& tag = element.tag();
    style.display = OneOf(tag, kHiddenElements) || element.Attribute(L"hidden") ? ComputedStyle::kNone
                    : OneOf(tag, kBlockElements) ? ComputedStyle::kBlock
                                                 : ComputedStyle::kInline;
    if (tag.size() == 2 && tag[0] == L'h' && tag[1] >= L'1' && tag[1] <= L'6') {
        style.bold = true;
        style.fontSize = kHeadingSizes[tag[1] - L'1'];
        style.marginTop = style.marginBottom = {CssLength::kEm, kHeadingMargins[tag[1] - L'1']};
    }
    if (tag == L"p") style.marginTop = style.marginBottom = {CssLength::kEm, 1.0};
    if (tag == L"b" || tag == L"strong" || tag == L"th") style.bold = true;
    if (tag == L"center") style.centred = true;
    if (tag == L"a" && element.Attribute(L"href") != nullptr) {
        style.color = RGB(0, 0, 238);
        style.pointer = true;
    }
    if (tag != L"img") return;
    CssLength length;
    const std::wstring* width = element.Attribute(L"width");
    const std::wstring* height = element.Attribute(L"height");
    if (width && ParseNumber(Trim(*width), length.value)) style.width = {CssLength::kPx, length.value};
    if (height && ParseNumber(Trim(*height), length.value)) style.height = {CssLength::kPx, length.value};
}

// Lengths in em, and a line height in percent, are pixels of the element's own font size.
void ResolveFontRelative(ComputedStyle& s) {
    CssLength* const lengths[] = {&s.top,        &s.left,         &s.width,         &s.height,
                                  &s.marginLeft, &s.marginTop,    &s.marginBottom,  &s.paddingTop,
                                  &s.paddingRight, &s.paddingBottom, &s.paddingLeft, &s.radius,
                                  &s.lineHeight};
    for (CssLength* length : lengths) {
        if (length->unit == CssLength::kEm) *length = {CssLength::kPx, length->value * s.fontSize};
    }
    if (s.lineHeight.unit == CssLength::kPercent) s.lineHeight = {CssLength::kPx, s.lineHeight.value * s.fontSize / 100};
}

}  // namespace

StyleSheet::StyleSheet(const std::wstring& source) {
    const std::wstring text = StripComments(source);
    for (size_t i = 0; i < text.size();) {
        const size_t open = text.find(L'{', i);
        if (open == std::wstring::npos) break;
        const size_t end = BlockEnd(text, open);
        const std::wstring prelude = Trim(text.substr(i, open - i));
        // An at-rule that ends with ';' (@import, @charset) comes before the block found.
        const size_t semi = prelude.rfind(L';');
        const std::wstring selectors = semi == std::wstring::npos ? prelude : Trim(prelude.substr(semi + 1));
        i = end;
        if (selectors.empty() || selectors[0] == L'@') continue;  // @media and its kin are not applied
        Rule rule;
        size_t start = 0;
        for (size_t k = 0; k <= selectors.size(); ++k) {
            if (k < selectors.size() && selectors[k] != L',') continue;
            Selector selector;
            if (ParseSelector(Trim(selectors.substr(start, k - start)), selector)) {
                for (const Compound& part : selector.parts) usesHover_ = usesHover_ || part.hover;
                rule.selectors.push_back(selector);
            }
            start = k + 1;
        }
        const size_t bodyEnd = end > open + 1 && text[end - 1] == L'}' ? end - 1 : end;
        rule.declarations = ParseDeclarations(text.substr(open + 1, bodyEnd - open - 1));
        if (!rule.selectors.empty() && !rule.declarations.empty()) rules_.push_back(std::move(rule));
    }
}

// Tag, #id, .class, * and :hover, joined by descendant or child combinators; anything
// else (other pseudo-classes, attributes, sibling combinators) makes the selector match
// nothing.
bool StyleSheet::ParseSelector(const std::wstring& text, Selector& selector) {
    bool child = false;
    bool between = true;
    const size_t kMaxParts = 32;
    for (size_t i = 0; i < text.size();) {
        const wchar_t c = text[i];
        if (IsCssSpace(c)) {
            between = true;
            ++i;
            continue;
        }
        if (c == L'>') {
            if (selector.parts.empty() || child) return false;
            child = between = true;
            ++i;
            continue;
        }
        if (!between || selector.parts.size() >= kMaxParts) return false;
        Compound compound;
        while (i < text.size() && !IsCssSpace(text[i]) && text[i] != L'>') {
            const wchar_t kind = text[i];
            const bool marked = kind == L'*' || kind == L'#' || kind == L'.' || kind == L':';
            if (!marked && !IsIdentChar(kind)) return false;
            if (marked) ++i;
            std::wstring name;
            while (i < text.size() && IsIdentChar(text[i])) name += text[i++];
            if (kind == L'#') compound.id = name;
            else if (kind == L'.') compound.classes.push_back(name);
            else if (kind == L':' && ToLower(name) == L"hover") compound.hover = true;
            else if (kind == L':') return false;
            else if (kind != L'*') compound.tag = ToLower(name);
            if ((kind == L'#' || kind == L'.') && name.empty()) return false;
            selector.specificity += kind == L'#' ? 10000 : kind == L'.' || kind == L':' ? 100 : kind == L'*' ? 0 : 1;
        }
        if (!selector.parts.empty()) selector.childOf.push_back(child);
        selector.parts.push_back(compound);
        child = between = false;
    }
    return !selector.parts.empty() && !child;
}

bool StyleSheet::Matches(const Compound& compound, const DomNode& element) {
    if (!compound.tag.empty() && compound.tag != element.tag()) return false;
    if (compound.hover && !element.hovered()) return false;
    if (!compound.id.empty()) {
        const std::wstring* id = element.Attribute(L"id");
        if (id == nullptr || *id != compound.id) return false;
    }
    for (const std::wstring& name : compound.classes) {
        if (!element.HasClass(name)) return false;
    }
    return true;
}

// Right to left, each descendant step taking the nearest ancestor that matches.
bool StyleSheet::Matches(const Selector& selector, const DomNode& element) {
    size_t k = selector.parts.size() - 1;
    if (!Matches(selector.parts[k], element)) return false;
    const DomNode* node = &element;
    while (k-- > 0) {
        node = node->parent();
        if (!selector.childOf[k]) {
            while (node != nullptr && !Matches(selector.parts[k], *node)) node = node->parent();
        }
        if (node == nullptr || !Matches(selector.parts[k], *node)) return false;
    }
    return true;
}

void StyleSheet::Collect(const DomNode& element, size_t sheetOrder, std::vector<Match>& out) const {
    for (size_t r = 0; r < rules_.size(); ++r) {
        int best = -1;
        for (const Selector& selector : rules_[r].selectors) {
            if (selector.specificity > best && Matches(selector, element)) best = selector.specificity;
        }
        if (best >= 0) out.push_back({best, (sheetOrder << 20) + r, &rules_[r].declarations});
    }
}

ComputedStyle InitialStyle() { return ComputedStyle(); }

ComputedStyle ComputeStyle(const DomNode& element, const ComputedStyle& parent, const StyleSheets& sheets) {
    ComputedStyle style;
    style.color = parent.color;
    style.fontSize = parent.fontSize;
    style.bold = parent.bold;
    style.centred = parent.centred;
    style.pointer = parent.pointer;
    style.lineHeight = parent.lineHeight;
    style.lineFactor = parent.lineFactor;
    ApplyDefaults(style, element);
    std::vector<StyleSheet::Match> matches;
    for (size_t s = 0; s < sheets.size(); ++s) sheets[s]->Collect(element, s, matches);
    std::stable_sort(matches.begin(), matches.end(), [](const StyleSheet::Match& a, const StyleSheet::Match& b) {
        return a.specificity != b.specificity ? a.specificity < b.specificity : a.order < b.order;
    });
    for (const auto& match : matches) {
        for (const CssDeclaration& d : *match.declarations) Apply(style, d, parent);
    }
    for (const CssDeclaration& d : element.style()) Apply(style, d, parent);
    ResolveFontRelative(style);
    return style;
}

}  // namespace engine
