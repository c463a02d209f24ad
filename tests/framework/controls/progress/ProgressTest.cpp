#include <UIProgress.h>

#include <string>

#include "../ControlWindow.h"

using namespace HiveUI;

namespace {

TEST(Progress, AValueOutsideTheRangeIsIgnoredAndTheTextShowsThePercentage) {
    const struct {
        const wchar_t* attributes[3][2];
        int value;
    } cases[] = {
        {{{L"value", L"150"}, {L"max", L"200"}, {L"min", L"0"}}, 0},
        {{{L"max", L"200"}, {L"value", L"150"}, {L"min", L"0"}}, 150},
        {{{L"value", L"-1"}, {L"min", L"-5"}, {L"max", L"5"}}, 0},
        {{{L"min", L"-5"}, {L"value", L"-1"}, {L"max", L"5"}}, -1},
        {{{L"value", L"100"}, {L"value", L"101"}, {L"min", L"0"}}, 100},
    };
    for (const auto& c : cases) {
        CProgressUI progress;
        for (const auto& attribute : c.attributes) progress.SetAttribute(attribute[0], attribute[1]);
        EXPECT_EQ(c.value, progress.GetValue()) << c.attributes[0][0];
    }
    CProgressUI progress;
    progress.SetShowText(true);
    progress.SetValue(25);
    EXPECT_STREQ(L"25%", progress.GetText());
    progress.SetMinValue(25);
    progress.SetMaxValue(25);
    progress.UpdateText();
    EXPECT_STREQ(L"0%", progress.GetText());
}

// Each bar is 100 long and 20 thick; the filled part is red by colour or green by image.
TEST_F(ControlWindow, TheFilledPartFollowsTheValueAcrossOrUp) {
    WritePng(L"green.png", 4, 4, [](int, int) { return 0x00FF00u; });
    const struct {
        bool horizontal;
        int value;
        bool image;
    } cases[] = {
        {true, 0, false},  {true, 37, false},  {true, 100, false},  {true, 0, true},  {true, 37, true},
        {true, 100, true}, {false, 0, false},  {false, 37, false}, {false, 100, false}, {false, 0, true},
        {false, 37, true}, {false, 100, true},
    };
    std::wstring layout;
    auto origin = [](int i) { return i < 6 ? POINT{10, 5 + 30 * i} : POINT{130 + 30 * (i - 6), 5}; };
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        const auto& c = cases[i];
        const POINT at = origin(i);
        const int right = at.x + (c.horizontal ? 100 : 20), bottom = at.y + (c.horizontal ? 20 : 100);
        layout += L"<Progress name=\"p" + std::to_wstring(i) + L"\" float=\"true\" pos=\"" + std::to_wstring(at.x) + L"," +
                  std::to_wstring(at.y) + L"," + std::to_wstring(right) + L"," + std::to_wstring(bottom) +
                  L"\" hor=\"" + (c.horizontal ? L"true" : L"false") + L"\" value=\"" + std::to_wstring(c.value) +
                  L"\" " + (c.image ? L"foreimage=\"green.png\"" : L"forecolor=\"#FFFF0000\"") + L"/>";
    }
    Build(layout);
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        const auto& c = cases[i];
        PixelCanvas canvas(320, 200);
        Paint(Find<CControlUI>((L"p" + std::to_wstring(i)).c_str()), canvas);
        const POINT at = origin(i);
        const DWORD fill = c.image ? 0x00FF00u : 0xFF0000u;
        // Pixel k along the filling direction: from the left, or up from the bottom.
        auto along = [&](int k) {
            return c.horizontal ? canvas.rgb(at.x + k, at.y + 10) : canvas.rgb(at.x + 10, at.y + 99 - k);
        };
        EXPECT_EQ(c.value > 0 ? fill : 0xFFFFFFu, along(0)) << i;
        if (c.value > 0) {
            EXPECT_EQ(fill, along(c.value - 1)) << i;
        }
        if (c.value < 100) {
            EXPECT_EQ(0xFFFFFFu, along(c.value)) << i;
        }
    }
}

// A 100 x 20 image, blue on its left half and yellow on its right, over 30 % of the bar.
TEST_F(ControlWindow, AForeImageThatDoesNotStretchShowsThePartUnderTheFill) {
    WritePng(L"halves.png", 100, 20, [](int x, int) { return x < 50 ? 0x0000FFu : 0xFFFF00u; });
    Build(L"<Progress name=\"cut\" float=\"true\" pos=\"10,10,110,30\" value=\"30\" foreimage=\"halves.png\" "
          L"isstretchfore=\"false\"/>"
          L"<Progress name=\"squeezed\" float=\"true\" pos=\"10,40,110,60\" value=\"30\" foreimage=\"halves.png\"/>");
    PixelCanvas canvas(320, 200);
    Paint(Find<CControlUI>(L"cut"), canvas);
    Paint(Find<CControlUI>(L"squeezed"), canvas);
    EXPECT_EQ(0x0000FFu, canvas.rgb(12, 20));
    EXPECT_EQ(0x0000FFu, canvas.rgb(38, 20));
    EXPECT_EQ(0xFFFFFFu, canvas.rgb(41, 20));
    EXPECT_EQ(0x0000FFu, canvas.rgb(12, 50));
    EXPECT_EQ(0xFFFF00u, canvas.rgb(38, 50));
    EXPECT_EQ(0xFFFFFFu, canvas.rgb(41, 50));
}

TEST_F(ControlWindow, AnEmptyRangeIsRepairedAtTheNextPaint) {
    Build(L"<Progress name=\"flat\" float=\"true\" pos=\"10,10,110,30\" forecolor=\"#FFFF0000\"/>");
    auto* flat = Find<CProgressUI>(L"flat");
    flat->SetMinValue(50);
    flat->SetMaxValue(50);
    EXPECT_EQ(50, flat->GetMaxValue());
    PixelCanvas canvas(320, 200);
    Paint(flat, canvas);
    EXPECT_EQ(51, flat->GetMaxValue());
    EXPECT_EQ(50, flat->GetValue());
    EXPECT_EQ(0xFFFFFFu, canvas.rgb(12, 20));
}

}  // namespace
