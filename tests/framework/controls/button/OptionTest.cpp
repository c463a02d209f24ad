#include <UICheckBox.h>
#include <UIOption.h>
#include <UIPtrArray.h>

#include "../ControlWindow.h"

using namespace HiveUI;

namespace {

const wchar_t kThreeOptions[] =
    L"<Option name=\"a\" group=\"g\" float=\"true\" pos=\"10,10,60,30\"/>"
    L"<Option name=\"b\" group=\"g\" float=\"true\" pos=\"70,10,120,30\"/>"
    L"<Option name=\"c\" group=\"g\" float=\"true\" pos=\"130,10,180,30\"/>"
    L"<Option name=\"free\" float=\"true\" pos=\"190,10,240,30\"/>";

TEST_F(ControlWindow, OnlyTheNewlySelectedOptionOfAGroupTellsOfIt) {
    Build(kThreeOptions);
    auto* a = Find<COptionUI>(L"a");
    auto* b = Find<COptionUI>(L"b");
    Click(30, 20);
    EXPECT_EQ((std::vector<Note>{{L"a", L"click", 0}, {L"a", L"selectchanged", 0}}), notes);
    notes.clear();
    Click(90, 20);
    EXPECT_EQ((std::vector<Note>{{L"b", L"click", 0}, {L"b", L"selectchanged", 0}}), notes);
    EXPECT_FALSE(a->IsSelected());
    EXPECT_TRUE(b->IsSelected());

    // A grouped option stays selected when clicked again, and deselecting it says nothing.
    notes.clear();
    Click(90, 20);
    b->Selected(false);
    EXPECT_EQ((std::vector<Note>{{L"b", L"click", 0}}), notes);
    EXPECT_FALSE(b->IsSelected());

    // An option without a group toggles and tells each change.
    notes.clear();
    Click(210, 20);
    Click(210, 20);
    EXPECT_EQ((std::vector<Note>{{L"free", L"click", 0},
                                 {L"free", L"selectchanged", 0},
                                 {L"free", L"click", 0},
                                 {L"free", L"selectchanged", 0}}),
              notes);
    EXPECT_FALSE(Find<COptionUI>(L"free")->IsSelected());
}

TEST_F(ControlWindow, GroupsOfTheSameNameInTwoWindowsDoNotMeet) {
    Build(kThreeOptions);
    HostWnd other;
    ASSERT_NE(nullptr, other.Create(nullptr, L"other", WS_POPUP, 0, 0, 0, 200, 100));
    CDialogBuilder builder;
    other.manager.AttachRoot(builder.Create(L"<Window><Option name=\"distant\" group=\"g\" selected=\"true\"/></Window>",
                                            nullptr, nullptr, &other.manager));
    auto* distant = static_cast<COptionUI*>(other.manager.FindControl(L"distant"));
    ASSERT_NE(nullptr, distant);
    Click(30, 20);
    EXPECT_TRUE(Find<COptionUI>(L"a")->IsSelected());
    EXPECT_TRUE(distant->IsSelected());
    EXPECT_EQ(3, manager().GetOptionGroup(L"g")->GetSize());
    EXPECT_EQ(1, other.manager.GetOptionGroup(L"g")->GetSize());
    DestroyWindow(other.GetHWND());
}

// A deleted option, one taken to no window and one moved to another group leave the list.
TEST_F(ControlWindow, AnOptionGroupForgetsOptionsThatAreGoneOrMoved) {
    auto* root = Build(kThreeOptions);
    root->SetDelayedDestroy(false);
    auto* a = Find<COptionUI>(L"a");
    auto* b = Find<COptionUI>(L"b");
    auto* c = Find<COptionUI>(L"c");
    root->Remove(a);
    const CUIPtrArray* group = manager().GetOptionGroup(L"g");
    ASSERT_NE(nullptr, group);
    EXPECT_EQ(-1, group->Find(a));
    b->SetGroup(L"h");
    EXPECT_EQ(-1, group->Find(b));
    EXPECT_EQ(0, manager().GetOptionGroup(L"h")->Find(b));
    c->SetManager(nullptr, nullptr, false);
    EXPECT_EQ(nullptr, manager().GetOptionGroup(L"g"));
    c->SetManager(&manager(), root, true);
    ASSERT_NE(nullptr, manager().GetOptionGroup(L"g"));
    EXPECT_EQ(0, manager().GetOptionGroup(L"g")->Find(c));
}

TEST_F(ControlWindow, EnablingAnOptionKeepsItsSelectedLook) {
    Build(L"<Option name=\"a\" float=\"true\" pos=\"10,10,110,40\" text=\"MMMM\" font=\"0\" selected=\"true\" "
          L"textcolor=\"#FF000000\" selectedtextcolor=\"#FFFF0000\" selectedbkcolor=\"#FF00FF00\"/>");
    manager().AddFont(0, L"Tahoma", 20, true, false, false);
    auto* a = Find<COptionUI>(L"a");
    a->SetEnabled(false);
    a->SetEnabled(true);
    PixelCanvas canvas(320, 200);
    Paint(a, canvas);
    EXPECT_TRUE(a->IsSelected());
    EXPECT_EQ(0x00FF00u, canvas.rgb(12, 12));
    bool red = false;
    for (int x = 10; x < 110 && !red; ++x)
        for (int y = 10; y < 40 && !red; ++y) red = canvas.rgb(x, y) == 0xFF0000u;
    EXPECT_TRUE(red);
}

TEST_F(ControlWindow, ACheckBoxTogglesOnPressWithAutoCheckAndOnReleaseWithout) {
    Build(L"<CheckBox name=\"auto\" float=\"true\" pos=\"10,10,60,30\" enableautocheck=\"TRUE\"/>"
          L"<CheckBox name=\"plain\" float=\"true\" pos=\"70,10,120,30\"/>");
    auto* box = Find<CCheckBoxUI>(L"auto");
    Press(30, 20);
    EXPECT_TRUE(box->GetCheck());
    EXPECT_EQ((std::vector<Note>{{L"auto", L"selectchanged", 1}, {L"auto", L"checkclick", 0}}), notes);
    Release(30, 20);
    Click(30, 20);
    EXPECT_FALSE(box->GetCheck());
    EXPECT_EQ(L"selectchanged", notes[2].type);
    EXPECT_EQ(0u, notes[2].wParam);
    EXPECT_EQ(4u, notes.size());

    notes.clear();
    Press(90, 20);
    EXPECT_TRUE(notes.empty());
    Release(90, 20);
    EXPECT_EQ((std::vector<Note>{{L"plain", L"click", 0}, {L"plain", L"selectchanged", 1}}), notes);
    EXPECT_TRUE(Find<CCheckBoxUI>(L"plain")->GetCheck());
}

// Deleted in the middle of its own notifications, an option sends nothing more.
TEST_F(ControlWindow, AnOptionDeletedByItsHandlerSendsNothingMore) {
    auto* root = Build(L"<Option name=\"o\" float=\"true\" pos=\"10,10,60,30\"/>"
                       L"<CheckBox name=\"box\" float=\"true\" pos=\"70,10,120,30\" enableautocheck=\"true\"/>");
    root->SetDelayedDestroy(false);
    onNotify = [root](TNotifyInfo& msg) {
        if (msg.sType == L"click" || msg.sType == L"selectchanged") root->Remove(msg.pSender);
    };
    Click(30, 20);
    Click(90, 20);
    EXPECT_EQ((std::vector<Note>{{L"o", L"click", 0}, {L"box", L"selectchanged", 1}}), notes);
    EXPECT_EQ(0, root->GetCount());
}

}  // namespace
