// Where the boxes and texts of a page snapshot go in a window of a given size, how they
// are painted, and which element a point hits. Blocks stack top to bottom, their text
// wraps at blanks and between CJK characters; a fixed box is placed against the window
// and painted over the flow in z-index order. UI thread.
#pragma once

#include <windows.h>

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
        int height;
        int space;
    };
    struct Fragment {
        int x;
        int width;
        int height;
        Op op;
    };
    struct Block {
        size_t end;
        size_t layer;
        size_t op;
        int x;
        int width;
        int top;
        int y;
        int fixedHeight;  // -1 when the content decides
        bool fixed;
        bool centred;
        COLORREF backdrop;  // what shows through where this block paints nothing
        std::vector<Fragment> line;
        int lineWidth;
        bool space;
    };

    size_t FontFor(const ComputedStyle& style);
    void OpenBlock(int index, const RenderItem& item);
    void CloseBlock();
    void AddText(int index, const RenderItem& item);
    void AddWord(Block& block, const Op& style, const std::wstring& text, size_t begin, size_t end);
    void AddImage(int index, const RenderItem& item);
    void Place(Block& block, Fragment fragment, bool breakable);
    void FlushLine(Block& block);

    HDC dc_ = nullptr;  // while building
    SIZE view_ = {0, 0};
    COLORREF canvas_ = RGB(255, 255, 255);
    std::vector<Layer> layers_;
    std::vector<Block> open_;
    std::vector<Font> fonts_;
    int contentHeight_ = 0;
    size_t characters_ = 0;  // of text laid out so far
};

}  // namespace engine
