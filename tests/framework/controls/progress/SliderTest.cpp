#include <UISlider.h>

#include "../ControlWindow.h"

using namespace HiveUI;

namespace {

const Note kValueChanged = {L"s", L"valuechanged", 0};

// 210 wide with a 10-wide thumb: 200 pixels of travel from x = 15 to x = 215.
const wchar_t kSlider[] = L"<Slider name=\"s\" float=\"true\" pos=\"10,50,220,70\" min=\"10\" max=\"60\"";

TEST_F(ControlWindow, DraggingTheThumbMovesTheValueByThePointersShareOfTheTravel) {
    Build(std::wstring(kSlider) + L" sendmove=\"true\"/>");
    auto* slider = Find<CSliderUI>(L"s");
    const struct {
        const char* step;
        std::function<void()> act;
        int value;
        std::vector<Note> notes;
    } steps[] = {
        {"press in the middle", [&] { Press(115, 60); }, 35, {}},
        {"drag three quarters", [&] { Move(165, 60, MK_LBUTTON); }, 47, {{L"s", L"movevaluechanged", 0}}},
        {"drag past the end", [&] { Move(300, 60, MK_LBUTTON); }, 60, {{L"s", L"movevaluechanged", 0}}},
        {"release", [&] { Release(48, 60); }, 18, {kValueChanged}},
        {"press at the left stop", [&] { Press(14, 60); }, 10, {}},
        {"release at the right stop", [&] { Release(216, 60); }, 60, {kValueChanged}},
        {"release without a change", [&] { Click(216, 60); }, 60, {kValueChanged}},
        {"right click", [&] { Send(WM_RBUTTONDOWN, MK_RBUTTON, 60, 60); Send(WM_RBUTTONUP, 0, 60, 60); }, 60, {}},
    };
    for (const auto& step : steps) {
        notes.clear();
        step.act();
        EXPECT_EQ(step.value, slider->GetValue()) << step.step;
        EXPECT_EQ(step.notes, notes) << step.step;
    }
}

TEST_F(ControlWindow, AWheelStepIsAlwaysReportedButMovesNoHeldThumb) {
    Build(std::wstring(kSlider) + L" value=\"58\" step=\"2\"/>");
    auto* slider = Find<CSliderUI>(L"s");
    const struct {
        const char* step;
        std::function<void()> act;
        int value;
    } steps[] = {
        {"up", [&] { Wheel(115, 60, true); }, 60},
        {"up at the end", [&] { Wheel(115, 60, true); }, 60},
        {"down", [&] { Wheel(115, 60, false); }, 58},
        {"down while held", [&] { Press(115, 60); Wheel(115, 60, false); }, 35},
    };
    for (const auto& step : steps) {
        notes.clear();
        step.act();
        EXPECT_EQ(step.value, slider->GetValue()) << step.step;
        EXPECT_EQ(std::vector<Note>{kValueChanged}, notes) << step.step;
    }
}

// Thumb images: red, green when hot, blue while held; the thumb of value 50 sits at 110-120.
TEST_F(ControlWindow, TheThumbShowsTheImageOfItsState) {
    WritePng(L"thumbred.png", 4, 4, [](int, int) { return 0xFF0000u; });
    WritePng(L"thumbgreen.png", 4, 4, [](int, int) { return 0x00FF00u; });
    WritePng(L"thumbblue.png", 4, 4, [](int, int) { return 0x0000FFu; });
    Build(L"<Slider name=\"s\" float=\"true\" pos=\"10,50,220,70\" value=\"50\" thumbimage=\"thumbred.png\" "
          L"thumbhotimage=\"thumbgreen.png\" thumbpushedimage=\"thumbblue.png\"/>");
    auto* slider = Find<CSliderUI>(L"s");
    const RECT thumb = slider->GetThumbRect();
    EXPECT_EQ((std::vector<LONG>{110, 55, 120, 65}), (std::vector<LONG>{thumb.left, thumb.top, thumb.right, thumb.bottom}));
    const struct {
        std::function<void()> act;
        DWORD colour;
    } steps[] = {
        {[] {}, 0xFF0000},
        {[&] { Move(115, 60); }, 0x00FF00},
        {[&] { Press(115, 60); }, 0x0000FF},
        {[&] { Release(115, 60); }, 0x00FF00},
        {[&] { Move(300, 150); }, 0xFF0000},
    };
    for (const auto& step : steps) {
        step.act();
        PixelCanvas canvas(320, 200);
        Paint(slider, canvas);
        EXPECT_EQ(step.colour, canvas.rgb(115, 60));
        EXPECT_EQ(0xFFFFFFu, canvas.rgb(100, 60));
    }
}

TEST_F(ControlWindow, ASliderWithoutRangeOrTravelKeepsItsThumbAtTheStart) {
    Build(L"<Slider name=\"flat\" float=\"true\" pos=\"10,50,110,70\" min=\"5\" max=\"5\" value=\"5\"/>"
          L"<Slider name=\"tight\" float=\"true\" pos=\"150,50,160,70\"/>");
    auto* flat = Find<CSliderUI>(L"flat");
    EXPECT_EQ(10, flat->GetThumbRect().left);
    Click(60, 60);
    EXPECT_EQ(5, flat->GetValue());
    Click(155, 60);
    EXPECT_EQ(100, Find<CSliderUI>(L"tight")->GetValue());
    EXPECT_EQ(150, Find<CSliderUI>(L"tight")->GetThumbRect().left);
}

}  // namespace
