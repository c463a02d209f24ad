// Where the boxes, texts and pictures of a page snapshot go in a window of a given size,
// how they are painted, and which element a point hits. Blocks stack top to bottom with
// their padding and vertical margins (adjoining margins collapse, as in a browser), their
// text wraps at blanks and between CJK characters into lines as high as their line
// height, pictures sit on the line's baseline; a fixed box is placed against the window
// and painted over the flow in z-index order. UI thread.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "HandleOwner.h"
#include "PageSnapshot.h"

namespace engine {

class PageLayout {
public:
    PageLayout() = default;
    PageLayout(const PageLayout&) = delete;
    PageLayout& operator=(const PageLayout&) = delete;

    // dc measures the text; the page keeps no reference to it.
    void Build(const PageSnapshot& page, HDC dc, SIZE view);
    void Paint(HDC dc, int scrollY) const;
    // The item painted topmost at point (client coordinates), or -1.
    int HitTest(POINT point, int scrollY) const;
    int ContentHeight() const { return contentHeight_; }
    // The block and image boxes with their items, in client coordinates.
    std::vector<std::pair<int, RECT>> Boxes(int scrollY) const;

private:
    struct Op {
        RECT rect;  // page coordinates in the flow, window coordinates in a fixed layer
        int item;
        bool text;
        bool filled;
        BYTE alpha;
        COLORREF color;
        size_t font;
        std::wstring chars;
        int radius;
        BoxShadow shadow;
        std::shared_ptr<GdiObject> picture;
        SIZE pictureSize;
    };
    struct Layer {
        int z;
        size_t order;
        bool scrolls;
        std::vector<Op> ops;
    };
    struct Font {
        int size;
        bool bold;
        std::unique_ptr<GdiObject> handle;
        int height;  // the line height of "normal"
        int ascent;
        int descent;
        int space;
    };
    // On a line: above and below its baseline, the part that decides the line's height;
    // glyphs (text) or the picture itself sits at lift above the baseline.
    struct Fragment {
        int x;
        int width;
        int above;
        int below;
        int lift;
        int height;
        Op op;
    };
    // Margins that meet with nothing between them: the largest positive one and the most
    // negative one add up.
    struct Margin {
        int positive = 0;
        int negative = 0;
        void Add(int margin);
        int Value() const { return positive + negative; }
    };
    struct Block {
        size_t end;
        size_t layer;
        size_t op;
        int x;  // the content box
        int width;
        int top;  // the border box; known once something is in it unless it has top padding
        int y;    // where the next content goes
        int fixedHeight;  // -1 when the content decides
        bool fixed;
        bool centred;
        COLORREF backdrop;  // what shows through where this block paints nothing
        std::vector<Fragment> line;
        int lineWidth;
        bool space;
        int padding[4];  // top, right, bottom, left
        int marginBottom;
        CssLength radius;
        Margin savedMargin;  // a fixed box's: the flow's, while the box has its own
        size_t savedWaiting;
    };

    static Op BoxOp(int item, const RECT& rect);
    size_t FontFor(const ComputedStyle& style);
    void OpenBlock(int index, const RenderItem& item);
    void OpenFlowBlock(Block& block, const Block& parent, const ComputedStyle& s);
    void CloseBlock();
    int CloseFlowBlock(Block& block);
    // Content is about to land in the innermost block: the margins waiting above it
    // take their place, and blocks still waiting for their top get it.
    void Settle();
    void AddText(int index, const RenderItem& item);
    void AddWord(Block& block, const Op& style, int above, int below, const std::wstring& text, size_t begin, size_t end);
    void AddImage(int index, const RenderItem& item);
    void AddBreak(const RenderItem& item);
    void Place(Block& block, Fragment fragment, bool breakable);
    void FlushLine(Block& block);
    void PaintBox(HDC dc, const Op& op, const RECT& rect, const RECT& view) const;

    HDC dc_ = nullptr;  // while building
    SIZE view_ = {0, 0};
    COLORREF canvas_ = RGB(255, 255, 255);
    std::vector<Layer> layers_;
    std::vector<Block> open_;
    std::vector<Font> fonts_;
    Margin margin_;         // collapsed margins above the next content of the flow
    size_t waiting_ = 0;    // how many innermost open blocks wait for their top
    std::map<const DecodedImage*, std::shared_ptr<GdiObject>> pictures_;  // while building
    int contentHeight_ = 0;
    size_t characters_ = 0;  // of text laid out so far
};

}  // namespace engine
