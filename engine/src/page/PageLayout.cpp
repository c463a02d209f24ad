#include "PageLayout.h"

#include <algorithm>
#include <cmath>

#include "BoxPainting.h"

#include "EngineLog.h"

namespace engine {
namespace {

// The most characters measured or drawn in one call: a line's worth and more.
const size_t kLongestRun = 256;
// The most text one layout takes, whatever scripts make of a page: what a window's
// thread can measure in about a second, and more than a page for a person holds.
const size_t kMostCharacters = 1000000;

BYTE Alpha(double opacity) { return static_cast<BYTE>(std::max(0.0, std::min(1.0, opacity)) * 255 + 0.5); }

COLORREF Blend(COLORREF under, COLORREF over, double opacity) {
    const double a = std::max(0.0, std::min(1.0, opacity));
    const auto mix = [a](int u, int o) { return static_cast<BYTE>(u + (o - u) * a + 0.5); };
    return RGB(mix(GetRValue(under), GetRValue(over)), mix(GetGValue(under), GetGValue(over)),
               mix(GetBValue(under), GetBValue(over)));
}

// CJK text breaks between any two characters, as a browser breaks it.
bool IsCjk(wchar_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF) ||
           (c >= 0xAC00 && c <= 0xD7AF);
}

RECT Shifted(RECT rect, int dy) {
    OffsetRect(&rect, 0, dy);
    return rect;
}

// The height of a line of this style's text, whose own font's "normal" one is normal.
int LineHeightOf(const ComputedStyle& style, int normal) {
    const double height = style.lineHeight.unit == CssLength::kPx ? style.lineHeight.value
                          : style.lineFactor > 0                   ? style.fontSize * style.lineFactor
                                                                   : normal;
    return static_cast<int>(std::lround(std::max(0.0, std::min(height, 4096.0))));
}

// Pictures are no larger than a window could show many times over.
int Bounded(int length) { return std::max(0, std::min(length, 16384)); }

}  // namespace

void PageLayout::Margin::Add(int margin) {
    positive = std::max(positive, margin);
    negative = std::min(negative, margin);
}

PageLayout::Op PageLayout::BoxOp(int item, const RECT& rect) {
    Op op = {};
    op.rect = rect;
    op.item = item;
    return op;
}

size_t PageLayout::FontFor(const ComputedStyle& style) {
    for (size_t i = 0; i < fonts_.size(); ++i) {
        if (fonts_[i].size == style.fontSize && fonts_[i].bold == style.bold) return i;
    }
    Font font{style.fontSize, style.bold,
              std::make_unique<GdiObject>(CreateFontW(-style.fontSize, 0, 0, 0, style.bold ? FW_BOLD : FW_NORMAL, 0,
                                                      0, 0, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0,
                                                      L"Microsoft YaHei")),
              style.fontSize, style.fontSize, 0, style.fontSize / 4};
    SelectGuard select(dc_, font.handle->get());
    TEXTMETRICW metrics = {};
    if (GetTextMetricsW(dc_, &metrics)) {
        font.height = metrics.tmHeight + metrics.tmExternalLeading;
        font.ascent = metrics.tmAscent;
        font.descent = metrics.tmDescent;
    } else {
        font.ascent = font.height;
    }
    SIZE space = {};
    if (GetTextExtentPoint32W(dc_, L" ", 1, &space)) font.space = space.cx;
    fonts_.push_back(std::move(font));
    return fonts_.size() - 1;
}

void PageLayout::Build(const PageSnapshot& page, HDC dc, SIZE view) {
    dc_ = dc;
    view_ = view;
    canvas_ = page.canvas;
    layers_.assign(1, Layer{0, 0, true, {}});
    open_.clear();
    margin_ = Margin();
    waiting_ = 0;
    characters_ = 0;
    const size_t count = page.items.size();
    Block root = {};
    root.end = count;
    root.width = static_cast<int>(view.cx);
    root.fixedHeight = -1;
    root.backdrop = page.canvas;
    open_.push_back(std::move(root));
    layers_[0].ops.push_back(BoxOp(-1, {0, 0, 0, 0}));
    for (size_t i = 0; i < count;) {
        while (open_.size() > 1 && open_.back().end <= i) CloseBlock();
        const RenderItem& item = page.items[i];
        const int index = static_cast<int>(i);
        switch (item.kind) {
        case RenderItem::kBlock: OpenBlock(index, item); break;
        case RenderItem::kText: AddText(index, item); break;
        case RenderItem::kImage: AddImage(index, item); break;
        case RenderItem::kBreak: AddBreak(item); break;
        case RenderItem::kInline: break;
        }
        // Whatever an image or a line break holds is not shown.
        i = item.kind == RenderItem::kImage || item.kind == RenderItem::kBreak ? std::max(item.end, i + 1) : i + 1;
    }
    while (open_.size() > 1) CloseBlock();
    FlushLine(open_.back());
    contentHeight_ = open_.back().y + std::max(0, margin_.Value());
    open_.clear();
    pictures_.clear();
    dc_ = nullptr;
    std::stable_sort(layers_.begin(), layers_.end(),
                     [](const Layer& a, const Layer& b) { return a.z != b.z ? a.z < b.z : a.order < b.order; });
}

void PageLayout::OpenBlock(int index, const RenderItem& item) {
    FlushLine(open_.back());
    const Block& parent = open_.back();
    const ComputedStyle& s = item.style;
    Block block = {};
    block.end = item.end;
    block.layer = parent.layer;
    block.fixedHeight = -1;
    block.fixed = s.fixed;
    block.centred = s.centred;
    block.backdrop = parent.backdrop;
    block.radius = s.radius;
    // Percentages of padding are of the containing block's width, on every side.
    const int base = s.fixed ? static_cast<int>(view_.cx) : parent.width;
    const CssLength* const sides[4] = {&s.paddingTop, &s.paddingRight, &s.paddingBottom, &s.paddingLeft};
    for (int k = 0; k < 4; ++k) block.padding[k] = std::max(0, sides[k]->Resolve(base, 0));
    if (s.fixed) {
        block.layer = layers_.size();
        layers_.push_back(Layer{s.zIndex, layers_.size(), false, {}});
        const int left = s.left.Resolve(view_.cx, 0);
        block.x = left + block.padding[3];
        block.top = s.top.Resolve(view_.cy, 0);
        block.y = block.top + block.padding[0];
        block.width = std::max(0, s.width.Resolve(view_.cx, view_.cx - left - block.padding[1] - block.padding[3]));
        if (!s.height.IsAuto()) block.fixedHeight = std::max(0, s.height.Resolve(view_.cy, 0));
        // Out of the flow: its children's margins are its own.
        block.savedMargin = margin_;
        block.savedWaiting = waiting_;
        margin_ = Margin();
        waiting_ = 0;
    } else {
        OpenFlowBlock(block, parent, s);
    }
    if (s.hasBackground) block.backdrop = Blend(block.backdrop, s.background, item.opacity);
    const BYTE alpha = Alpha(item.opacity);
    Op op = BoxOp(index, {0, 0, 0, 0});
    op.filled = s.hasBackground && alpha > 0;
    op.alpha = alpha;
    op.color = s.background;
    op.shadow = s.shadow;
    Layer& layer = layers_[block.layer];
    layer.ops.push_back(std::move(op));
    block.op = layer.ops.size() - 1;
    open_.push_back(std::move(block));
}

// A block of the flow takes its width, and its top once known: a block without top
// padding waits for its first content, as its top margin may join its first child's.
void PageLayout::OpenFlowBlock(Block& block, const Block& parent, const ComputedStyle& s) {
    const int horizontal = block.padding[1] + block.padding[3];
    const int width = s.width.IsAuto() ? -1 : std::max(0, s.width.Resolve(parent.width, 0));
    int margin = s.marginLeft.Resolve(parent.width, 0);
    if (s.centredBox && width >= 0) margin = std::max(0, (parent.width - width - horizontal) / 2);
    block.x = parent.x + margin + block.padding[3];
    block.width = width >= 0 ? width : std::max(0, parent.width - margin - horizontal);
    if (s.height.unit == CssLength::kPx || (s.height.unit == CssLength::kPercent && parent.fixedHeight >= 0)) {
        block.fixedHeight = std::max(0, s.height.Resolve(parent.fixedHeight, 0));
    }
    block.marginBottom = s.marginBottom.Resolve(parent.width, 0);
    margin_.Add(s.marginTop.Resolve(parent.width, 0));
    if (block.padding[0] > 0) {
        Settle();
        block.top = open_.back().y;
        block.y = block.top + block.padding[0];
    } else {
        block.top = block.y = parent.y;
        ++waiting_;
    }
}

void PageLayout::Settle() {
    Block& current = open_.back();
    const int at = current.y + margin_.Value();
    for (size_t k = open_.size() - waiting_; k < open_.size(); ++k) open_[k].top = open_[k].y = at;
    current.y = at;
    margin_ = Margin();
    waiting_ = 0;
}

void PageLayout::CloseBlock() {
    FlushLine(open_.back());
    Block& block = open_.back();
    int height = 0;
    if (block.fixed) {
        const int content = block.y + margin_.Value() - block.top - block.padding[0];
        height = block.fixedHeight >= 0 ? block.fixedHeight : std::max(0, content);
        margin_ = block.savedMargin;
        waiting_ = block.savedWaiting;
    } else {
        height = CloseFlowBlock(block);
    }
    const bool inFlow = !block.fixed && height >= 0;
    const RECT rect = {block.x - block.padding[3], block.top, block.x + block.width + block.padding[1],
                       block.top + (height >= 0 ? block.padding[0] + height + block.padding[2] : 0)};
    Op& op = layers_[block.layer].ops[block.op];
    op.rect = rect;
    op.radius = std::max(0, std::min({block.radius.Resolve(rect.right - rect.left, 0),
                                      static_cast<int>(rect.right - rect.left) / 2,
                                      static_cast<int>(rect.bottom - rect.top) / 2}));
    open_.pop_back();
    if (inFlow) open_.back().y = rect.bottom;
}

// The content height of a closing block of the flow, or -1 for an empty one that its
// margins collapse through; its bottom margin then waits for what follows.
int PageLayout::CloseFlowBlock(Block& block) {
    const bool waiting = waiting_ > 0;
    const bool extent = block.fixedHeight > 0 || block.padding[2] > 0;
    if (waiting && !extent) {
        --waiting_;
        margin_.Add(block.marginBottom);
        return -1;
    }
    if (waiting) Settle();
    int content = block.y;
    // Height or bottom padding keeps the last child's margin inside the block.
    if (block.fixedHeight >= 0 || block.padding[2] > 0) {
        content += margin_.Value();
        margin_ = Margin();
    }
    const int height = block.fixedHeight >= 0 ? block.fixedHeight : std::max(0, content - block.top - block.padding[0]);
    margin_.Add(block.marginBottom);
    return height;
}

void PageLayout::AddText(int index, const RenderItem& item) {
    Block& block = open_.back();
    const size_t font = FontFor(item.style);
    const Font& f = fonts_[font];
    // The line height's leading is split above and below the glyphs; it may be negative.
    const int lineHeight = LineHeightOf(item.style, f.height);
    const int above = f.ascent + (lineHeight - f.ascent - f.descent) / 2;
    const COLORREF color = Blend(block.backdrop, item.style.color, item.opacity);
    const std::wstring& text = item.text;
    const size_t length = std::min(text.size(), kMostCharacters - characters_);
    if (length < text.size() && characters_ < kMostCharacters) {
        EngineLog::Write(LOGSEVERITY_WARNING, "the page holds more text than is laid out; the rest is not shown");
    }
    characters_ += length;
    Op style = BoxOp(index, {0, 0, 0, 0});
    style.text = true;
    style.alpha = 255;
    style.color = color;
    style.font = font;
    SelectGuard select(dc_, f.handle->get());
    for (size_t i = 0; i < length;) {
        if (IsCssSpace(text[i])) {
            block.space = true;
            ++i;
            continue;
        }
        size_t end = i + 1;
        if (!IsCjk(text[i])) {
            while (end < length && !IsCssSpace(text[end]) && !IsCjk(text[end])) ++end;
        }
        AddWord(block, style, above, lineHeight - above, text, i, end);
        i = end;
    }
}

// A word stays whole and alone on a line when wider than the block, as in a browser,
// unless it is longer than kLongestRun characters: then it is cut where each line is
// full. Measuring or drawing one long run costs the text system far more than its
// length (a page of one 60,000-character word with a Thai letter in it held the window's
// thread for half a minute), so no call is handed more, and a word costs in proportion
// to its length.
void PageLayout::AddWord(Block& block, const Op& style, int above, int below, const std::wstring& text, size_t begin,
                         size_t end) {
    const Font& f = fonts_[style.font];
    const bool cut = end - begin > kLongestRun;
    std::vector<int> extents;
    size_t run = kLongestRun;
    while (begin < end) {
        const int count = static_cast<int>(std::min(end - begin, run));
        extents.resize(static_cast<size_t>(count));
        int fit = 0;
        SIZE size = {};
        GetTextExtentExPointW(dc_, text.c_str() + begin, count, std::max(1, block.width), &fit, extents.data(), &size);
        // As much as fills a line, and the next measure about a line long. When not one
        // character fits, the run overflows the block as a word wider than it does.
        int take = count;
        if (cut && size.cx > block.width && fit > 0) {
            take = fit;
            run = std::min(kLongestRun, static_cast<size_t>(fit) * 2);
        }
        const int width = take == count ? size.cx : extents[static_cast<size_t>(take) - 1];
        Op op = style;
        op.chars = text.substr(begin, static_cast<size_t>(take));
        Place(block, Fragment{0, width, above, below, f.ascent, f.ascent + f.descent, std::move(op)}, true);
        begin += static_cast<size_t>(take);
    }
}

// A picture's box takes the size its style gives, the rest from the picture's own
// proportions; one that cannot be shown keeps only the size its style gives.
void PageLayout::AddImage(int index, const RenderItem& item) {
    Block& block = open_.back();
    const ComputedStyle& s = item.style;
    const DecodedImage* image = item.image.get();
    const int naturalWidth = image ? image->width : 0;
    const int naturalHeight = image ? image->height : 0;
    int width = s.width.IsAuto() ? -1 : Bounded(s.width.Resolve(block.width, 0));
    int height = s.height.unit == CssLength::kPx ? Bounded(s.height.Resolve(0, 0)) : -1;
    if (width < 0 && height < 0) {
        width = naturalWidth;
        height = naturalHeight;
    } else if (width < 0) {
        width = naturalHeight > 0 ? Bounded(MulDiv(height, naturalWidth, naturalHeight)) : 0;
    } else if (height < 0) {
        height = naturalWidth > 0 ? Bounded(MulDiv(width, naturalHeight, naturalWidth)) : 0;
    }
    const int margin = std::max(0, s.marginLeft.Resolve(block.width, 0));
    const BYTE alpha = Alpha(item.opacity);
    Op op = BoxOp(index, {0, 0, 0, 0});
    op.filled = s.hasBackground && alpha > 0;
    op.alpha = alpha;
    op.color = s.background;
    if (image != nullptr) {
        std::shared_ptr<GdiObject>& picture = pictures_[image];
        if (!picture) picture = PictureBitmap(*image);
        op.picture = picture;
        op.pictureSize = {naturalWidth, naturalHeight};
    }
    Place(block, Fragment{margin, width, height, 0, height, height, std::move(op)}, false);
}

void PageLayout::AddBreak(const RenderItem& item) {
    Block& block = open_.back();
    if (block.line.empty()) {
        Settle();
        const size_t font = FontFor(item.style);
        block.y += LineHeightOf(item.style, fonts_[font].height);
    }
    FlushLine(block);
}

// Puts a word or an image on the block's line, after a blank when one came before, and
// starts a new line when it would not fit (a word wider than the block stays alone).
void PageLayout::Place(Block& block, Fragment fragment, bool text) {
    const size_t spaceFont = text ? fragment.op.font : FontFor(ComputedStyle());
    int space = block.space && !block.line.empty() ? fonts_[spaceFont].space : 0;
    if (!block.line.empty() && block.lineWidth + space + fragment.x + fragment.width > block.width) {
        FlushLine(block);
        space = 0;
    }
    block.space = false;
    Fragment* last = block.line.empty() ? nullptr : &block.line.back();
    if (text && last != nullptr && last->op.text && last->op.item == fragment.op.item &&
        last->op.chars.size() + fragment.op.chars.size() < kLongestRun) {
        last->op.chars += (space ? L" " : L"") + fragment.op.chars;
        last->width += space + fragment.width;
    } else {
        fragment.x += block.lineWidth + space;
        block.line.push_back(std::move(fragment));
        last = &block.line.back();
    }
    block.lineWidth = last->x + last->width;
}

// The line is as high as its fragments reach above and below their common baseline.
void PageLayout::FlushLine(Block& block) {
    if (block.line.empty()) return;
    Settle();
    int above = block.line.front().above;
    int below = block.line.front().below;
    for (const Fragment& f : block.line) {
        above = std::max(above, f.above);
        below = std::max(below, f.below);
    }
    const int baseline = block.y + above;
    const int offset = block.centred ? std::max(0, (block.width - block.lineWidth) / 2) : 0;
    Layer& layer = layers_[block.layer];
    for (Fragment& f : block.line) {
        const int top = baseline - f.lift;
        f.op.rect = {block.x + offset + f.x, top, block.x + offset + f.x + f.width, top + f.height};
        layer.ops.push_back(std::move(f.op));
    }
    block.y += std::max(0, above + below);
    block.line.clear();
    block.lineWidth = 0;
    block.space = false;
}

void PageLayout::Paint(HDC dc, int scrollY) const {
    const RECT view = {0, 0, view_.cx, view_.cy};
    FillSolid(dc, view, canvas_, 255);
    SetBkMode(dc, TRANSPARENT);
    for (const Layer& layer : layers_) {
        const int dy = layer.scrolls ? -scrollY : 0;
        for (const Op& op : layer.ops) {
            const RECT rect = Shifted(op.rect, dy);
            if (!op.text) {
                PaintBox(dc, op, rect, view);
                continue;
            }
            RECT visible;
            if (!IntersectRect(&visible, &rect, &view)) continue;
            SelectGuard font(dc, fonts_[op.font].handle->get());
            SetTextColor(dc, op.color);
            TextOutW(dc, rect.left, rect.top, op.chars.c_str(), static_cast<int>(op.chars.size()));
        }
    }
}

// Shadow, then background, then picture.
void PageLayout::PaintBox(HDC dc, const Op& op, const RECT& rect, const RECT& view) const {
    if (op.shadow.present) PaintShadow(dc, rect, op.radius, op.shadow, op.alpha, view);
    RECT visible;
    if (!IntersectRect(&visible, &rect, &view)) return;
    if (op.filled && op.radius > 0) FillRounded(dc, rect, op.radius, op.color, op.alpha, view);
    else if (op.filled) FillSolid(dc, visible, op.color, op.alpha);
    if (op.picture) PaintPicture(dc, rect, op.picture->get(), op.pictureSize, op.alpha, view);
}

int PageLayout::HitTest(POINT point, int scrollY) const {
    for (size_t l = layers_.size(); l-- > 0;) {
        const Layer& layer = layers_[l];
        const int dy = layer.scrolls ? -scrollY : 0;
        for (size_t i = layer.ops.size(); i-- > 0;) {
            const RECT rect = Shifted(layer.ops[i].rect, dy);
            if (layer.ops[i].item >= 0 && PtInRect(&rect, point)) return layer.ops[i].item;
        }
    }
    return -1;
}

std::vector<std::pair<int, RECT>> PageLayout::Boxes(int scrollY) const {
    std::vector<std::pair<int, RECT>> boxes;
    for (const Layer& layer : layers_) {
        for (const Op& op : layer.ops) {
            if (!op.text && op.item >= 0) boxes.emplace_back(op.item, Shifted(op.rect, layer.scrolls ? -scrollY : 0));
        }
    }
    return boxes;
}

}  // namespace engine
