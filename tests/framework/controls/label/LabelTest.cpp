#include <UILabel.h>

#include <string>
#include <utility>
#include <vector>

#include "LabelKit.h"

using namespace HiveUI;

namespace {

using Attributes = std::vector<std::pair<const wchar_t*, const wchar_t*>>;

TEST_F(LabelTest, StyleAttributesSetAndClearTheirFlags) {
    const UINT base = DT_VCENTER | DT_SINGLELINE;
    const struct {
        Attributes attributes;
        UINT style;
    } cases[] = {
        {{}, base},
        {{{L"align", L"right"}}, base | DT_RIGHT},
        {{{L"ALIGN", L"left,right"}}, base | DT_RIGHT},
        {{{L"align", L"right"}, {L"align", L"center"}}, base | DT_CENTER},
        {{{L"align", L"Right"}}, base},
        {{{L"valign", L"bottom"}}, DT_BOTTOM | DT_SINGLELINE},
        {{{L"wordbreak", L"TRUE"}}, DT_VCENTER | DT_WORDBREAK | DT_EDITCONTROL},
        {{{L"wordbreak", L"true"}, {L"valign", L"top"}}, DT_SINGLELINE | DT_EDITCONTROL},
        {{{L"wordbreak", L"true"}, {L"wordbreak", L"no"}}, base},
        {{{L"endellipsis", L"true"}, {L"noprefix", L"True"}}, base | DT_END_ELLIPSIS | DT_NOPREFIX},
        {{{L"endellipsis", L"true"}, {L"endellipsis", L"1"}}, base},
    };
    for (const auto& c : cases) {
        CLabelUI label;
        for (const auto& attribute : c.attributes) label.SetAttribute(attribute.first, attribute.second);
        EXPECT_EQ(c.style, label.GetTextStyle()) << (c.attributes.empty() ? L"" : c.attributes.back().second);
    }
}

// Each case paints "Hi" (or a long text) into a 200 x 40 label and checks where the ink went.
TEST_F(LabelTest, TextStyleAttributesMoveTheDrawnText) {
    const int line = TextHeight();
    const struct {
        Attributes attributes;
        const wchar_t* text;
        bool (*check)(const RECT& ink, int line);
    } cases[] = {
        {{}, L"Hi", [](const RECT& ink, int) { return ink.left < 4 && ink.top > 8 && ink.bottom < 32; }},
        {{{L"align", L"right"}}, L"Hi", [](const RECT& ink, int) { return ink.left > 170 && ink.right > 190; }},
        {{{L"align", L"center"}}, L"Hi", [](const RECT& ink, int) { return std::abs(ink.left + ink.right - 200) < 6; }},
        {{{L"valign", L"top"}}, L"Hi", [](const RECT& ink, int) { return ink.top < 6; }},
        {{{L"valign", L"bottom"}}, L"Hi", [](const RECT& ink, int) { return ink.bottom > 34; }},
        {{{L"valign", L"top"}, {L"wordbreak", L"true"}},
         L"many words that cannot stand on one line",
         [](const RECT& ink, int line) { return ink.bottom - ink.top > line + 2; }},
        {{{L"valign", L"top"}},
         L"many words that cannot stand on one line",
         [](const RECT& ink, int line) { return ink.bottom - ink.top < line; }},
    };
    for (bool html : {false, true}) {
        for (const auto& c : cases) {
            Canvas canvas(200, 40, 0xFFFFFFFF);
            CLabelUI label;
            Place(label, RECT{0, 0, 200, 40});
            label.SetFont(0);
            label.SetShowHtml(html);
            label.SetText(c.text);
            for (const auto& attribute : c.attributes) label.SetAttribute(attribute.first, attribute.second);
            label.Paint(canvas.dc(), RECT{0, 0, 200, 40}, nullptr);
            const RECT ink = InkBox(canvas);
            EXPECT_TRUE(c.check(ink, line))
                << (html ? "tagged " : "plain ") << (c.attributes.empty() ? L"-" : c.attributes.back().first) << " ink "
                << ink.left << "," << ink.top << "," << ink.right << "," << ink.bottom;
        }
    }
}

TEST_F(LabelTest, EndEllipsisEndsATooLongTextInDots) {
    const wchar_t* text = L"ABCDEFGHIKLMNOPRSTUVWXYZ";
    for (bool html : {false, true}) {
        Canvas cut(80, 30, 0xFFFFFFFF), dotted(80, 30, 0xFFFFFFFF);
        for (Canvas* canvas : {&cut, &dotted}) {
            CLabelUI label;
            Place(label, RECT{0, 0, 80, 30});
            label.SetFont(0);
            label.SetShowHtml(html);
            label.SetText(text);
            if (canvas == &dotted) label.SetAttribute(L"endellipsis", L"true");
            label.Paint(canvas->dc(), RECT{0, 0, 80, 30}, nullptr);
        }
        // The cut text runs to the edge; the dotted one ends in dots inside it: a few
        // columns of ink only at the baseline.
        EXPECT_GE(InkBox(cut).right, 76) << html;
        const RECT dots = InkBox(dotted);
        EXPECT_LE(dots.right, 80) << html;
        int inkAboveBaseline = 0;
        for (int x = dots.right - 4; x < dots.right; ++x)
            for (int y = dots.top; y < dots.bottom - 4; ++y)
                inkAboveBaseline += (dotted.At(x, y) & 0xFFFFFF) != 0xFFFFFF;
        EXPECT_EQ(0, inkAboveBaseline) << html;
    }
}

TEST_F(LabelTest, ZeroColoursTakeTheManagerDefaultsAndDisabledLabelsTheDisabledColour) {
    manager_.SetDefaultFontColor(0xFFFF0000);
    manager_.SetDefaultDisabledColor(0xFF0000FF);
    CLabelUI label;
    Place(label, RECT{0, 0, 100, 30});
    label.SetFont(0);
    label.SetText(L"HHH");
    Canvas enabled(100, 30, 0xFFFFFFFF), disabled(100, 30, 0xFFFFFFFF);
    label.Paint(enabled.dc(), RECT{0, 0, 100, 30}, nullptr);
    EXPECT_EQ(0xFFFF0000u, label.GetTextColor());
    EXPECT_EQ(0xFF0000FFu, label.GetDisabledTextColor());
    EXPECT_TRUE(HasColour(enabled, 0xFF0000));
    EXPECT_FALSE(HasColour(enabled, 0x0000FF));
    label.SetEnabled(false);
    label.Paint(disabled.dc(), RECT{0, 0, 100, 30}, nullptr);
    EXPECT_TRUE(HasColour(disabled, 0x0000FF));
    EXPECT_FALSE(HasColour(disabled, 0xFF0000));
}

TEST_F(LabelTest, SizeFollowsTheTextAndThePadding) {
    const SIZE available = {300, 200};
    CLabelUI single;
    Place(single, RECT{0, 0, 10, 10});
    single.SetFont(0);
    single.SetTextPadding(RECT{3, 1, 5, 2});
    // Even an empty single-line label is as tall as its font plus 8 and its padding.
    EXPECT_EQ(TextHeight() + 8 + 3, single.EstimateSize(available).cy);
    EXPECT_EQ(0, single.EstimateSize(available).cx);
    single.SetAutoCalcWidth(true);
    single.SetText(L"Hello");
    EXPECT_EQ(TextSize(L"Hello").cx + 8, single.EstimateSize(available).cx);
    single.SetText(L"Hello, world");
    EXPECT_EQ(TextSize(L"Hello, world").cx + 8, single.EstimateSize(available).cx);
    // A label with both a fixed width and height never measures.
    single.SetFixedWidth(40);
    single.SetFixedHeight(12);
    EXPECT_EQ(40, single.EstimateSize(SIZE{301, 200}).cx);
    EXPECT_EQ(12, single.EstimateSize(SIZE{301, 200}).cy);

    CLabelUI wrapped;
    Place(wrapped, RECT{0, 0, 10, 10});
    wrapped.SetFont(0);
    wrapped.SetAttribute(L"wordbreak", L"true");
    wrapped.SetAutoCalcHeight(true);
    wrapped.SetText(L"one two three four");
    wrapped.SetFixedWidth(TextSize(L"one two three").cx + 1);
    EXPECT_EQ(2 * TextHeight(), wrapped.EstimateSize(available).cy);
    // Without a width of its own it wraps at the width it is offered.
    wrapped.SetFixedWidth(0);
    EXPECT_EQ(TextHeight(), wrapped.EstimateSize(available).cy);
    EXPECT_EQ(2 * TextHeight(), wrapped.EstimateSize(SIZE{TextSize(L"one two three").cx + 1, 200}).cy);
}

}  // namespace
