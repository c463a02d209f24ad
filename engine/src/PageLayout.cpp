#include "PageLayout.h"

#include <algorithm>

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

void FillSolid(HDC dc, const RECT& rect, COLORREF color, BYTE alpha) {
    if (alpha == 255) {
        SetDCBrushColor(dc, color);
        FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        return;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 1;
    info.bmiHeader.biHeight = 1;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    GdiObject pixel(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    MemoryDc source(CreateCompatibleDC(dc));
    if (pixel.get() == nullptr || source.get() == nullptr) return;
    *static_cast<DWORD*>(bits) = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    SelectGuard select(source.get(), pixel.get());
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, alpha, 0};
    AlphaBlend(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, source.get(), 0, 0, 1, 1, blend);
}

RECT Shifted(RECT rect, int dy) {
    OffsetRect(&rect, 0, dy);
    return rect;
}

}  // namespace

size_t PageLayout::FontFor(const ComputedStyle& style) {
    for (size_t i = 0; i < fonts_.size(); ++i) {
        if (fonts_[i].size == style.fontSize && fonts_[i].bold == style.bold) return i;
    }
    Font font{style.fontSize, style.bold,
              std::make_unique<GdiObject>(CreateFontW(-style.fontSize, 0, 0, 0, style.bold ? FW_BOLD : FW_NORMAL, 0,
                                                      0, 0, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0,
                                                      L"Microsoft YaHei")),
              style.fontSize, style.fontSize / 4};
    SelectGuard select(dc_, font.handle->get());
    TEXTMETRICW metrics = {};
    if (GetTextMetricsW(dc_, &metrics)) font.height = metrics.tmHeight + metrics.tmExternalLeading;
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
    characters_ = 0;
    const size_t count = page.items.size();
    open_.push_back(Block{count, 0, 0, 0, static_cast<int>(view.cx), 0, 0, -1, false, false, page.canvas, {}, 0, false});
    layers_[0].ops.push_back(Op{{0, 0, 0, 0}, -1, false, false, 0, 0, 0, {}});
    for (size_t i = 0; i < count;) {
        while (open_.size() > 1 && open_.back().end <= i) CloseBlock();
        const RenderItem& item = page.items[i];
        const int index = static_cast<int>(i);
        switch (item.kind) {
        case RenderItem::kBlock: OpenBlock(index, item); break;
        case RenderItem::kText: AddText(index, item); break;
        case RenderItem::kImage: AddImage(index, item); break;
        case RenderItem::kBreak:
            if (open_.back().line.empty()) open_.back().y += fonts_[FontFor(item.style)].height;
            FlushLine(open_.back());
            break;
        case RenderItem::kInline: break;
        }
        // Whatever an image or a line break holds is not shown.
        i = item.kind == RenderItem::kImage || item.kind == RenderItem::kBreak ? std::max(item.end, i + 1) : i + 1;
    }
    while (open_.size() > 1) CloseBlock();
    FlushLine(open_.back());
    contentHeight_ = open_.back().y;
    open_.clear();
    dc_ = nullptr;
    std::stable_sort(layers_.begin(), layers_.end(),
                     [](const Layer& a, const Layer& b) { return a.z != b.z ? a.z < b.z : a.order < b.order; });
}

void PageLayout::OpenBlock(int index, const RenderItem& item) {
    Block& parent = open_.back();
    FlushLine(parent);
    const ComputedStyle& s = item.style;
    Block block{item.end, parent.layer, 0, 0, 0, 0, 0, -1, s.fixed, s.centred, parent.backdrop, {}, 0, false};
    if (s.fixed) {
        block.layer = layers_.size();
        layers_.push_back(Layer{s.zIndex, layers_.size(), false, {}});
        block.x = s.left.Resolve(view_.cx, 0);
        block.top = s.top.Resolve(view_.cy, 0);
        block.width = std::max(0, s.width.Resolve(view_.cx, view_.cx - block.x));
        if (!s.height.IsAuto()) block.fixedHeight = std::max(0, s.height.Resolve(view_.cy, 0));
    } else {
        const int width = s.width.IsAuto() ? -1 : std::max(0, s.width.Resolve(parent.width, 0));
        int margin = s.marginLeft.Resolve(parent.width, 0);
        if (s.centredBox && width >= 0) margin = std::max(0, (parent.width - width) / 2);
        block.x = parent.x + margin;
        block.width = width >= 0 ? width : std::max(0, parent.width - margin);
        block.top = parent.y;
        if (s.height.unit == CssLength::kPx || (s.height.unit == CssLength::kPercent && parent.fixedHeight >= 0)) {
            block.fixedHeight = std::max(0, s.height.Resolve(parent.fixedHeight, 0));
        }
    }
    block.y = block.top;
    if (s.hasBackground) block.backdrop = Blend(parent.backdrop, s.background, item.opacity);
    const BYTE alpha = Alpha(item.opacity);
    Layer& layer = layers_[block.layer];
    layer.ops.push_back(Op{{0, 0, 0, 0}, index, false, s.hasBackground && alpha > 0, alpha, s.background, 0, {}});
    block.op = layer.ops.size() - 1;
    open_.push_back(std::move(block));
}

void PageLayout::CloseBlock() {
    Block& block = open_.back();
    FlushLine(block);
    const int height = block.fixedHeight >= 0 ? block.fixedHeight : block.y - block.top;
    layers_[block.layer].ops[block.op].rect = {block.x, block.top, block.x + block.width, block.top + height};
    const bool fixed = block.fixed;
    const int bottom = block.top + height;
    open_.pop_back();
    if (!fixed) open_.back().y = bottom;
}

void PageLayout::AddText(int index, const RenderItem& item) {
    Block& block = open_.back();
    const size_t font = FontFor(item.style);
    const COLORREF color = Blend(block.backdrop, item.style.color, item.opacity);
    const std::wstring& text = item.text;
    const size_t length = std::min(text.size(), kMostCharacters - characters_);
    if (length < text.size() && characters_ < kMostCharacters) {
        EngineLog::Write(LOGSEVERITY_WARNING, "the page holds more text than is laid out; the rest is not shown");
    }
    characters_ += length;
    SelectGuard select(dc_, fonts_[font].handle->get());
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
        AddWord(block, Op{{}, index, true, false, 255, color, font, {}}, text, i, end);
        i = end;
    }
}

// A word stays whole and alone on a line when wider than the block, as in a browser,
// unless it is longer than kLongestRun characters: then it is cut where each line is
// full. Measuring or drawing one long run costs the text system far more than its
// length (a page of one 60,000-character word with a Thai letter in it held the window's
// thread for half a minute), so no call is handed more, and a word costs in proportion
// to its length.
void PageLayout::AddWord(Block& block, const Op& style, const std::wstring& text, size_t begin, size_t end) {
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
        Place(block, Fragment{0, width, fonts_[style.font].height, std::move(op)}, true);
        begin += static_cast<size_t>(take);
    }
}

void PageLayout::AddImage(int index, const RenderItem& item) {
    Block& block = open_.back();
    const ComputedStyle& s = item.style;
    const int margin = std::max(0, s.marginLeft.Resolve(block.width, 0));
    const int width = std::max(0, s.width.Resolve(block.width, 0));
    const int height = std::max(0, s.height.Resolve(0, 0));
    const BYTE alpha = Alpha(item.opacity);
    Place(block, Fragment{margin, width, height, Op{{}, index, false, s.hasBackground && alpha > 0, alpha, s.background, 0, {}}},
          false);
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

void PageLayout::FlushLine(Block& block) {
    if (block.line.empty()) return;
    int height = 0;
    for (const Fragment& f : block.line) height = std::max(height, f.height);
    const int offset = block.centred ? std::max(0, (block.width - block.lineWidth) / 2) : 0;
    Layer& layer = layers_[block.layer];
    for (Fragment& f : block.line) {
        const int top = block.y + height - f.height;
        f.op.rect = {block.x + offset + f.x, top, block.x + offset + f.x + f.width, top + f.height};
        layer.ops.push_back(std::move(f.op));
    }
    block.y += height;
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
            RECT visible;
            if (!IntersectRect(&visible, &rect, &view)) continue;
            if (!op.text) {
                if (op.filled) FillSolid(dc, visible, op.color, op.alpha);
                continue;
            }
            SelectGuard font(dc, fonts_[op.font].handle->get());
            SetTextColor(dc, op.color);
            TextOutW(dc, rect.left, rect.top, op.chars.c_str(), static_cast<int>(op.chars.size()));
        }
    }
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
