#include <ComboWnd.h>
#include <UICombo.h>
#include <UIComboBox.h>
#include <UIVerticalLayout.h>

#include "../list/ListKit.h"

using namespace HiveUI;

namespace {

// Label rows r0..r{count-1}, 30 pixels high.
std::wstring ComboRows(int count) {
    std::wstring rows;
    for (int i = 0; i < count; ++i)
        rows += L"<ListLabelElement name=\"r" + std::to_wstring(i) + L"\" text=\"line " + std::to_wstring(i) +
                L"\" height=\"30\"/>";
    return rows;
}

RECT ScreenRect(HWND wnd) {
    RECT rect = {};
    GetWindowRect(wnd, &rect);
    return rect;
}

class ComboWindow : public ListWindow {
protected:
    void SetUp() override {
        ListWindow::SetUp();
        onNotify = [this](TNotifyInfo& msg) {
            if (msg.sType == L"itemselect") previous.push_back(static_cast<int>(msg.lParam));
        };
    }
    // A combo at 10,10 - 210,40 of the window.
    CComboUI* BuildCombo(const std::wstring& attributes, int rows) {
        Build(L"<Combo name=\"combo\" float=\"true\" pos=\"10,10,210,40\" " + attributes + L">" + ComboRows(rows) +
              L"</Combo>");
        return Find<CComboUI>(L"combo");
    }
    HWND Open(CComboUI* combo) {
        EXPECT_TRUE(combo->Activate());
        CComboWnd* drop = combo->GetDropWindow();
        EXPECT_NE(nullptr, drop);
        return drop != nullptr ? drop->GetHWND() : nullptr;
    }
    // Runs the thread's messages until done holds, within a generous bound.
    static bool PumpUntil(const std::function<bool()>& done) {
        for (int i = 0; i < 500 && !done(); ++i) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            Sleep(10);
        }
        return done();
    }
    static bool WaitClosed(CComboUI* combo) {
        return PumpUntil([combo] { return combo->GetDropWindow() == nullptr; });
    }

    std::vector<int> previous;
};

TEST_F(ComboWindow, DropDownOpensUnderTheComboAsWideAndAsHighAsItsRows) {
    struct Case {
        const wchar_t* inset;
        int height;
    };
    for (const Case& c : {Case{L"0,0,0,0", 94}, Case{L"0,6,0,0", 100}}) {
        CComboUI* combo = BuildCombo(std::wstring(L"dropboxsize=\"0,140\" dropboxinset=\"") + c.inset + L"\"", 3);
        const HWND drop = Open(combo);
        ASSERT_NE(nullptr, drop);
        POINT origin = {10, 40};
        ClientToScreen(hwnd(), &origin);
        const RECT rect = ScreenRect(drop);
        EXPECT_EQ(origin.x, rect.left) << c.inset;
        EXPECT_EQ(origin.y + 3, rect.top) << c.inset;
        EXPECT_EQ(200, rect.right - rect.left) << c.inset;
        EXPECT_EQ(c.height, rect.bottom - rect.top) << c.inset;
        EXPECT_EQ((std::vector<Note>{{L"combo", L"predropdown", 0}, {L"combo", L"dropdown", 0}}), notes);
        EXPECT_EQ(3, combo->GetDropWindow()->GetLayout()->GetCount());
        SendMessageW(drop, WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_TRUE(WaitClosed(combo));
    }
}

TEST_F(ComboWindow, NearTheWorkAreaBottomTheDropDownOpensRightAbove) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(nullptr, MONITOR_DEFAULTTOPRIMARY), &monitor);
    SetWindowPos(hwnd(), nullptr, 200, monitor.rcWork.bottom - 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    CComboUI* combo = BuildCombo(L"dropboxsize=\"0,140\"", 3);
    const HWND drop = Open(combo);
    ASSERT_NE(nullptr, drop);
    POINT comboTop = {10, 10};
    ClientToScreen(hwnd(), &comboTop);
    const RECT rect = ScreenRect(drop);
    EXPECT_EQ(comboTop.y, rect.bottom);
    EXPECT_EQ(94, rect.bottom - rect.top);
    EXPECT_EQ(comboTop.x, rect.left);
}

TEST_F(ComboWindow, EscapeRestoresTheSelectionAndTellsOnlyAChange) {
    CComboUI* combo = BuildCombo(L"", 4);
    ASSERT_TRUE(combo->SelectItem(1));
    notes.clear();
    previous.clear();
    HWND drop = Open(combo);
    SendMessageW(drop, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(2, combo->GetCurSel());
    SendMessageW(drop, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(1, combo->GetCurSel());
    ASSERT_TRUE(WaitClosed(combo));
    EXPECT_EQ((std::vector<Note>{{L"combo", L"predropdown", 0},
                                 {L"combo", L"dropdown", 0},
                                 {L"combo", L"itemselect", 2},
                                 {L"combo", L"itemselect", 1}}),
              notes);
    EXPECT_EQ((std::vector<int>{1, 2}), previous);
    // The rows are back in the combo, out of sight.
    EXPECT_EQ(combo, combo->GetItemAt(0)->GetParent());
    EXPECT_TRUE(IsRectEmpty(&combo->GetItemAt(1)->GetPos()));

    notes.clear();
    drop = Open(combo);
    SendMessageW(drop, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(WaitClosed(combo));
    EXPECT_TRUE(NotesOf(L"itemselect").empty());
    EXPECT_EQ(1, combo->GetCurSel());
}

TEST_F(ComboWindow, RemovingTheSelectedRowSelectsTheOneThatTookItsPlace) {
    CComboUI* combo = BuildCombo(L"", 4);
    ASSERT_TRUE(combo->SelectItem(2));
    previous.clear();
    notes.clear();
    ASSERT_TRUE(combo->RemoveAt(2));
    EXPECT_EQ(2, combo->GetCurSel());
    EXPECT_STREQ(L"r3", combo->GetItemAt(2)->GetName().GetData());
    EXPECT_EQ((std::vector<Note>{{L"combo", L"itemselect", 2}}), notes);
    EXPECT_EQ(std::vector<int>{-1}, previous);
    // A lower row leaving moves the selection down with its row.
    ASSERT_TRUE(combo->RemoveAt(0));
    EXPECT_EQ(1, combo->GetCurSel());
    EXPECT_STREQ(L"line 3", combo->GetText().GetData());
    auto* row = static_cast<IListItemUI*>(combo->GetItemAt(1)->GetInterface(L"ListItem"));
    EXPECT_EQ(1, row->GetIndex());
}

TEST_F(ComboWindow, RowsRemovedWhileTheDropDownIsOpenLeaveItsList) {
    CComboUI* combo = BuildCombo(L"", 4);
    const HWND drop = Open(combo);
    ASSERT_NE(nullptr, drop);
    CVerticalLayoutUI* layout = combo->GetDropWindow()->GetLayout();
    ASSERT_TRUE(combo->RemoveAt(1));
    EXPECT_EQ(3, layout->GetCount());
    EXPECT_EQ(combo->GetItemAt(1), layout->GetItemAt(1));
    RedrawWindow(drop, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    combo->RemoveAll();
    EXPECT_EQ(0, layout->GetCount());
    RedrawWindow(drop, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    SendMessageW(drop, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(WaitClosed(combo));
}

TEST_F(ComboWindow, DestroyingTheComboClosesItsOpenDropDown) {
    CComboUI* combo = BuildCombo(L"", 3);
    const HWND drop = Open(combo);
    ASSERT_NE(nullptr, drop);
    ASSERT_TRUE(Find<CContainerUI>(L"root")->Remove(combo));
    EXPECT_TRUE(PumpUntil([drop] { return !IsWindow(drop); }));
    // The window that held it goes on painting and taking the mouse where it was.
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Click(50, 20);
    EXPECT_EQ(nullptr, Find<CComboUI>(L"combo"));
}

TEST_F(ComboWindow, TheWheelOverTheClosedComboSelectsOnlyWithScrollSelect) {
    struct Case {
        const wchar_t* attributes;
        int afterDown;
        int afterUp;
    };
    for (const Case& c : {Case{L"", 2, 1}, Case{L"scrollselect=\"false\"", 1, 1}}) {
        CComboUI* combo = BuildCombo(c.attributes, 4);
        ASSERT_TRUE(combo->SelectItem(1));
        Wheel(50, 20, false);
        EXPECT_EQ(c.afterDown, combo->GetCurSel()) << c.attributes;
        Wheel(50, 20, true);
        EXPECT_EQ(c.afterUp, combo->GetCurSel()) << c.attributes;
        EXPECT_EQ(nullptr, combo->GetDropWindow());
    }
}

TEST_F(ComboWindow, TextPlacementKeysSetTheDrawTextFlags) {
    struct Case {
        const wchar_t* attributes;
        UINT style;
    };
    const Case cases[] = {
        {L"", DT_VCENTER | DT_SINGLELINE},
        {L"align=\"right\"", DT_VCENTER | DT_RIGHT},
        {L"align=\"right\" valign=\"vcenter\"", DT_VCENTER | DT_RIGHT | DT_SINGLELINE},
        {L"align=\"center\"", DT_VCENTER | DT_SINGLELINE | DT_CENTER},
        {L"valign=\"bottom\"", DT_BOTTOM | DT_SINGLELINE},
        {L"wordbreak=\"true\"", DT_VCENTER | DT_WORDBREAK | DT_EDITCONTROL},
        {L"endellipsis=\"true\"", DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS},
    };
    for (const Case& c : cases) {
        CComboUI* combo = BuildCombo(c.attributes, 1);
        EXPECT_EQ(c.style, combo->GetTextStyle()) << c.attributes;
    }
}

// A strip of five 10-pixel cells: normal, hot, pushed, focused, disabled.
TEST_F(ComboWindow, TheArrowIsTheStateCellAtTheRightEdgeOrNothing) {
    static const DWORD kCells[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF};
    WritePng(L"arrow5.png", 50, 10, [](int x, int) { return kCells[x / 10]; });
    struct Case {
        const wchar_t* source;
        bool enabled;
        DWORD right;
    };
    const Case cases[] = {
        {L"0,0,50,10", true, kCells[0]},
        {L"0,0,50,10", false, kCells[4]},
        {L"0,0,4,10", true, 0xFFFFFF},
        {L"0,0,50", true, 0xFFFFFF},
        {L"60,0,110,10", true, 0xFFFFFF},  // wholly right of the image
    };
    for (const Case& c : cases) {
        Build(std::wstring(L"<ComboBox name=\"combo\" float=\"true\" pos=\"10,10,210,40\" arrowimage=\"file='arrow5.png' "
                           L"source='") + c.source + L"'\">" + ComboRows(2) + L"</ComboBox>");
        auto* combo = Find<CComboBoxUI>(L"combo");
        manager().SetFocus(nullptr);
        combo->SetEnabled(c.enabled);
        PixelCanvas canvas(320, 200);
        Paint(combo, canvas);
        EXPECT_EQ(c.right, canvas.rgb(205, 25)) << c.source << " " << c.enabled;
        EXPECT_EQ(0xFFFFFFu, canvas.rgb(195, 25)) << c.source;
    }
}

TEST(ComboArrow, TheSourceRectangleIsReadOnlyWhenItIsFourNumbers) {
    struct Case {
        const wchar_t* description;
        bool read;
        RECT source;
    };
    const Case cases[] = {
        {L"file='a.png' source='0,0,100,20'", true, {0, 0, 100, 20}},
        {L"source='5,1,55,11' dest='0,0,1,1'", true, {5, 1, 55, 11}},
        {L"file='a.png' source='0,0,100'", false, {}},
        {L"file='a.png' source='0,0,100,", false, {}},
        {L"file='a.png' source='0,0,x,20'", false, {}},
        {L"file='a.png'", false, {}},
        {L"source=", false, {}},
    };
    for (const Case& c : cases) {
        RECT source = {};
        EXPECT_EQ(c.read, ReadImageSource(c.description, source)) << c.description;
        if (c.read) {
            EXPECT_TRUE(EqualRect(&c.source, &source)) << c.description;
        }
    }
}

}  // namespace
