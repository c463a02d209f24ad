#include <UIFadeButton.h>
#include <UIGroupBox.h>
#include <UIRing.h>
#include <UIRollText.h>

#include <string>

#include "../ControlWindow.h"

using namespace HiveUI;

namespace {

DWORD Blue(DWORD rgb) { return rgb & 0xFF; }

// Pumps messages until the condition holds or the bound runs out.
bool PumpUntil(const std::function<bool()>& done, DWORD bound = 10000) {
    const DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < bound) {
        Pump();
        Sleep(5);
    }
    return done();
}

TEST_F(ControlWindow, AFadeButtonCrossFadesFromItsNormalToItsHotImage) {
    WritePng(L"fade_red.png", 4, 4, [](int, int) { return 0xFF0000u; });
    WritePng(L"fade_blue.png", 4, 4, [](int, int) { return 0x0000FFu; });
    Build(L"<FadeButton name=\"fade\" float=\"true\" pos=\"10,10,60,40\" normalimage=\"fade_red.png\" "
          L"hotimage=\"fade_blue.png\" bkcolor=\"#FF000000\"/>");
    auto* fade = Find<CFadeButtonUI>(L"fade");
    auto blueAt = [&] {
        PixelCanvas canvas(320, 200);
        Paint(fade, canvas);
        return Blue(canvas.rgb(30, 25));
    };
    EXPECT_EQ(0u, blueAt());
    // Wine tracks the real pointer for leaving: it is put over the button meanwhile.
    SetCursorPos(230, 225);
    Move(30, 25);
    ASSERT_TRUE(fade->IsAnimationRunning(8));
    EXPECT_EQ(0u, blueAt());  // the fade starts from the normal look
    fade->OnAnimationStep(30, 0, 8);
    const DWORD first = blueAt();
    EXPECT_GE(first, 8u);  // drawn at 10, never fully transparent
    EXPECT_LE(first, 12u);
    fade->OnAnimationStep(30, 15, 8);
    EXPECT_NEAR(127.0, static_cast<double>(blueAt()), 8.0);
    const DWORD started = GetTickCount();
    ASSERT_TRUE(PumpUntil([&] { return !fade->IsAnimationRunning(8); }));
    EXPECT_GE(GetTickCount() - started, 250u);  // 30 frames of 10 ms
    EXPECT_EQ(255u, blueAt());
    SetCursorPos(318, 398);
    Move(300, 190);
    ASSERT_TRUE(fade->IsAnimationRunning(9));
    EXPECT_EQ(255u, blueAt());  // the fade out starts from the hot look
    ASSERT_TRUE(PumpUntil([&] { return !fade->IsAnimationRunning(9); }));
    EXPECT_EQ(0u, blueAt());
}

// A 40x40 image: left half red, right half blue.
TEST_F(ControlWindow, ARingTurnsItsImageBy36DegreesPerTickAndOnlyWithAnImage) {
    WritePng(L"ring_half.png", 40, 40, [](int x, int) { return x < 20 ? 0xFF0000u : 0x0000FFu; });
    WritePng(L"ring_green.png", 4, 4, [](int, int) { return 0x00FF00u; });
    Build(L"<Ring name=\"ring\" float=\"true\" pos=\"10,10,50,50\" bkimage=\"ring_half.png\"/>"
          L"<Ring name=\"bare\" float=\"true\" pos=\"100,10,140,50\"/>");
    auto* ring = Find<CRingUI>(L"ring");
    auto* bare = Find<CRingUI>(L"bare");
    auto leftPixel = [&] {
        PixelCanvas canvas(320, 200);
        Paint(ring, canvas);
        return canvas.rgb(14, 30);
    };
    auto tick = [&](int count) {
        for (int i = 0; i < count; ++i) {
            TEventInfo event;
            event.Type = UIEVENT_TIMER;
            event.wParam = 100;
            ring->Event(event);
        }
    };
    EXPECT_EQ(0xFF0000u, leftPixel());
    tick(5);  // 180 degrees
    EXPECT_EQ(0x0000FFu, leftPixel());
    tick(5);  // 360
    EXPECT_EQ(0xFF0000u, leftPixel());
    tick(6);  // wraps to 0, then 216: the left edge shows the former right half
    EXPECT_EQ(0x0000FFu, leftPixel());

    PixelCanvas canvas(320, 200);
    Paint(bare, canvas);
    EXPECT_FALSE(manager().KillTimer(bare, 100));
    EXPECT_TRUE(manager().KillTimer(ring, 100));

    ring->SetAttribute(L"bkimage", L"ring_half.png");
    tick(4);  // 360 again: the same image stays loaded and turned
    EXPECT_EQ(0xFF0000u, leftPixel());
    ring->SetAttribute(L"bkimage", L"ring_green.png");
    EXPECT_EQ(0x00FF00u, leftPixel());
}

int LeftmostDark(PixelCanvas& canvas, const RECT& area) {
    for (int x = area.left; x < area.right; ++x) {
        for (int y = area.top; y < area.bottom; ++y) {
            if (canvas.rgb(x, y) != 0xFFFFFF) return x;
        }
    }
    return -1;
}

TEST_F(ControlWindow, RollingTextMeasuresOnItsFirstPaintThenStepsFivePixelsPerPaint) {
    Build(L"<RollText name=\"roll\" float=\"true\" pos=\"10,10,210,40\" text=\"WWWWWWWWWW\" textcolor=\"#FF000000\"/>");
    auto* roll = Find<CRollTextUI>(L"roll");
    const RECT area = {10, 10, 210, 40};
    std::vector<int> lefts;
    for (int i = 0; i < 80; ++i) {
        PixelCanvas canvas(320, 200);
        Paint(roll, canvas);
        lefts.push_back(LeftmostDark(canvas, area));
    }
    EXPECT_EQ(-1, lefts[0]);  // only measured
    // Once the text is wholly inside, its left edge moves 5 pixels with every paint.
    int steps = 0;
    for (size_t i = 1; i + 1 < lefts.size(); ++i) {
        if (lefts[i] <= area.left + 1 || lefts[i + 1] <= area.left + 1 || lefts[i + 1] < lefts[i]) continue;
        EXPECT_EQ(5, lefts[i + 1] - lefts[i]) << i;
        ++steps;
    }
    EXPECT_GT(steps, 10);
}

TEST_F(ControlWindow, RollingTextReportsTheEndOfItsRollOnce) {
    Build(L"<RollText name=\"roll\" float=\"true\" pos=\"10,10,210,40\" text=\"news\"/>");
    auto* roll = Find<CRollTextUI>(L"roll");
    ASSERT_TRUE(manager().SetTimer(roll, 21, 30));
    ASSERT_TRUE(PumpUntil([&] { return !notes.empty(); }));
    EXPECT_EQ((Note{L"roll", L"textrollend", 0}), notes.front());
    EXPECT_FALSE(manager().KillTimer(roll, 21));
}

TEST_F(ControlWindow, AGroupBoxDrawsItsFrameUnderItsTitleAndNoFrameWithoutABorder) {
    Build(L"<GroupBox name=\"framed\" float=\"true\" pos=\"10,10,150,90\" text=\"Title\" bordersize=\"1\" "
          L"bordercolor=\"#FFFF0000\" textcolor=\"#FF000000\" bkcolor=\"#FFFFFFFF\"/>"
          L"<GroupBox name=\"bare\" float=\"true\" pos=\"160,10,300,90\" text=\"Title\" bordersize=\"0\" "
          L"bordercolor=\"#FFFF0000\" textcolor=\"#FF000000\" bkcolor=\"#FFFFFFFF\"/>");
    struct Look {
        int red;
        int dark;
        bool leftLine;
    };
    auto look = [&](const wchar_t* name, int left) {
        PixelCanvas canvas(320, 200);
        Paint(Find<CControlUI>(name), canvas);
        Look seen = {0, 0, canvas.rgb(left + 5, 60) == 0xFF0000};
        for (int y = 10; y < 90; ++y) {
            for (int x = left; x < left + 140; ++x) {
                const DWORD rgb = canvas.rgb(x, y);
                seen.red += rgb == 0xFF0000 ? 1 : 0;
                seen.dark += rgb == 0 ? 1 : 0;
            }
        }
        return seen;
    };
    const Look framed = look(L"framed", 10);
    EXPECT_TRUE(framed.leftLine);  // 5 pixels inside the control
    EXPECT_GT(framed.dark, 0);
    const Look bare = look(L"bare", 160);
    EXPECT_EQ(0, bare.red);
    EXPECT_GT(bare.dark, 0);  // the title alone
    EXPECT_EQ(static_cast<LPVOID>(Find<CGroupBoxUI>(L"bare")), Find<CControlUI>(L"bare")->GetInterface(L"GroupBox"));
}

}  // namespace
