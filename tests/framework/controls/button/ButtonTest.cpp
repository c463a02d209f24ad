#include <UIButton.h>
#include <UITabLayout.h>

#include <functional>
#include <string>

#include "../ControlWindow.h"

using namespace HiveUI;

namespace {

int Clicks(const std::vector<Note>& notes) {
    int clicks = 0;
    for (const Note& note : notes) clicks += note.type == L"click" ? 1 : 0;
    return clicks;
}

TEST_F(ControlWindow, AButtonClicksOnlyWhenPressedAndReleasedInsideOrActivatedByKey) {
    Build(L"<Button name=\"ok\" float=\"true\" pos=\"10,10,110,40\"/>"
          L"<Button name=\"other\" float=\"true\" pos=\"150,10,250,40\"/>");
    auto* ok = Find<CButtonUI>(L"ok");
    ASSERT_NE(nullptr, ok);
    const struct {
        const char* name;
        bool enabled;
        std::function<void()> act;
        int clicks;
    } cases[] = {
        {"press and release inside", true, [&] { Click(50, 25); }, 1},
        {"leave and release outside", true, [&] { Press(50, 25); Move(200, 100, MK_LBUTTON); Release(200, 100); }, 0},
        {"leave and come back", true, [&] { Press(50, 25); Move(200, 100, MK_LBUTTON); Move(60, 30, MK_LBUTTON);
                                            Release(60, 30); }, 1},
        {"pressed elsewhere", true, [&] { Press(200, 25); Release(50, 25); }, 0},
        {"double click", true, [&] { Send(WM_LBUTTONDBLCLK, MK_LBUTTON, 50, 25); Release(50, 25); }, 1},
        {"space", true, [&] { ok->SetFocus(); Key(VK_SPACE); }, 1},
        {"enter", true, [&] { ok->SetFocus(); Key(VK_RETURN); }, 1},
        {"another key", true, [&] { ok->SetFocus(); Key('A'); }, 0},
        {"disabled press", false, [&] { Click(50, 25); }, 0},
        {"disabled space", false, [&] { ok->SetFocus(); Key(VK_SPACE); }, 0},
    };
    for (const auto& c : cases) {
        ok->SetEnabled(c.enabled);
        notes.clear();
        c.act();
        EXPECT_EQ(c.clicks, Clicks(notes)) << c.name;
        if (c.clicks == 1) {
            EXPECT_EQ(L"ok", notes.back().sender) << c.name;
        }
    }
}

TEST_F(ControlWindow, ThePushedLookFollowsThePointerWhileTheButtonIsHeld) {
    Build(L"<Button name=\"ok\" float=\"true\" pos=\"10,10,110,40\" bkcolor=\"#FFFFFFFF\" pushedbkcolor=\"#FF0000FF\" "
          L"hotbkcolor=\"#FF00FF00\" disabledbkcolor=\"#FF808080\"/>");
    auto* ok = Find<CButtonUI>(L"ok");
    auto colourAfter = [&](const std::function<void()>& act) {
        act();
        PixelCanvas canvas(320, 200);
        Paint(ok, canvas);
        return canvas.rgb(20, 20);
    };
    EXPECT_EQ(0xFFFFFFu, colourAfter([] {}));
    EXPECT_EQ(0x00FF00u, colourAfter([&] { Move(50, 25); }));
    EXPECT_EQ(0x0000FFu, colourAfter([&] { Press(50, 25); }));
    EXPECT_EQ(0x00FF00u, colourAfter([&] { Move(200, 100, MK_LBUTTON); }));
    EXPECT_EQ(0x0000FFu, colourAfter([&] { Move(50, 25, MK_LBUTTON); }));
    EXPECT_EQ(0x00FF00u, colourAfter([&] { Release(50, 25); }));
    EXPECT_EQ(0x808080u, colourAfter([&] { ok->SetEnabled(false); }));
}

// Strips of two, three and four 10-pixel frames: red, green, blue, grey.
TEST_F(ControlWindow, AStateStripGivesEachStateItsFrame) {
    const DWORD frames[] = {0xFF0000, 0x00FF00, 0x0000FF, 0x808080};
    for (int count = 2; count <= 4; ++count)
        WritePng((L"strip" + std::to_wstring(count) + L".png").c_str(), 10 * count, 10,
                 [&](int x, int) { return frames[x / 10]; });
    WritePng(L"yellow.png", 4, 4, [](int, int) { return 0xFFFF00u; });
    enum State { kNormal, kHot, kPushed, kDisabled, kFocused };
    const struct {
        const wchar_t* attributes;
        State state;
        DWORD colour;
    } cases[] = {
        {L"stateimage=\"strip2.png\" statecount=\"2\"", kNormal, 0xFF0000},
        {L"stateimage=\"strip2.png\" statecount=\"2\"", kHot, 0x00FF00},
        {L"stateimage=\"strip2.png\" statecount=\"2\"", kPushed, 0x00FF00},
        {L"stateimage=\"file='strip3.png'\" statecount=\"3\"", kPushed, 0x0000FF},
        {L"stateimage=\"strip3.png\" statecount=\"3\"", kHot, 0x00FF00},
        {L"stateimage=\"strip3.png\" statecount=\"3\"", kDisabled, 0xFF0000},
        {L"stateimage=\"strip4.png\" statecount=\"4\"", kDisabled, 0x808080},
        {L"stateimage=\"strip4.png\" statecount=\"4\"", kFocused, 0xFF0000},
        {L"normalimage=\"yellow.png\" stateimage=\"strip2.png\" statecount=\"2\"", kNormal, 0xFF0000},
        {L"stateimage=\"strip2.png\" statecount=\"2\" normalimage=\"yellow.png\"", kNormal, 0xFFFF00},
    };
    std::wstring layout;
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        layout += L"<Button name=\"s" + std::to_wstring(i) + L"\" float=\"true\" pos=\"" + std::to_wstring(10 + 30 * i) +
                  L",10," + std::to_wstring(30 + 30 * i) + L",20\" " + cases[i].attributes + L"/>";
    }
    Build(layout);
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        auto* button = Find<CButtonUI>((L"s" + std::to_wstring(i)).c_str());
        TEventInfo event;
        event.ptMouse = {20 + 30 * i, 15};
        if (cases[i].state == kHot) event.Type = UIEVENT_MOUSEENTER;
        if (cases[i].state == kPushed) event.Type = UIEVENT_BUTTONDOWN;
        if (event.Type != 0) button->DoEvent(event);
        if (cases[i].state == kDisabled) button->SetEnabled(false);
        if (cases[i].state == kFocused) button->SetFocus();
        PixelCanvas canvas(320, 200);
        Paint(button, canvas);
        EXPECT_EQ(cases[i].colour, canvas.rgb(20 + 30 * i, 15)) << i;
    }
}

TEST_F(ControlWindow, AButtonSelectsItsBoundPage) {
    Build(L"<Button name=\"go\" float=\"true\" pos=\"10,10,60,30\" bindtablayoutname=\"pages\" bindtabindex=\"2\"/>"
          L"<Button name=\"unbound\" float=\"true\" pos=\"70,10,120,30\" bindtablayoutname=\"pages\" "
          L"bindtabindex=\"-1\"/>"
          L"<Button name=\"notatab\" float=\"true\" pos=\"130,10,180,30\" bindtablayoutname=\"go\" "
          L"bindtabindex=\"1\"/>"
          L"<TabLayout name=\"pages\" float=\"true\" pos=\"10,50,300,190\"><Control/><Control/><Control/></TabLayout>");
    auto* pages = Find<CTabLayoutUI>(L"pages");
    Click(30, 20);
    EXPECT_EQ(2, pages->GetCurSel());
    EXPECT_EQ((std::vector<Note>{{L"go", L"click", 0}, {L"pages", L"tabselect", 2}}), notes);

    auto* unbound = Find<CButtonUI>(L"unbound");
    EXPECT_EQ(-1, unbound->GetBindTabIndex());
    Click(90, 20);
    EXPECT_EQ(2, pages->GetCurSel());
    unbound->BindTriggerTabSel(1);
    EXPECT_EQ(1, pages->GetCurSel());

    notes.clear();
    Click(150, 20);
    EXPECT_EQ((std::vector<Note>{{L"notatab", L"click", 0}}), notes);
}

TEST_F(ControlWindow, AButtonDeletedByItsClickHandlerIsNotTouchedAfterwards) {
    auto* root = Build(L"<Button name=\"close\" float=\"true\" pos=\"10,10,60,30\" bindtablayoutname=\"pages\" "
                       L"bindtabindex=\"1\"/>"
                       L"<TabLayout name=\"pages\" float=\"true\" pos=\"10,50,300,190\"><Control/><Control/></TabLayout>");
    root->SetDelayedDestroy(false);
    struct Watcher {
        bool deleted = false;
        bool OnDestroy(void*) { return deleted = true; }
    } watcher;
    Find<CButtonUI>(L"close")->OnDestroy += MakeDelegate(&watcher, &Watcher::OnDestroy);
    onNotify = [root](TNotifyInfo& msg) {
        if (msg.sType == L"click") root->Remove(msg.pSender);
    };
    Click(30, 20);
    EXPECT_TRUE(watcher.deleted);
    EXPECT_EQ(0, Find<CTabLayoutUI>(L"pages")->GetCurSel());
    EXPECT_EQ((std::vector<Note>{{L"close", L"click", 0}}), notes);
}

}  // namespace
