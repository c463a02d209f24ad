#include <UIButton.h>
#include <UIComboBox.h>
#include <UIListContainerHeaderItem.h>
#include <UIListEx.h>
#include <UIListLabelElement.h>
#include <UIListTextExtElement.h>
#include <UIRichEdit.h>

#include "../list/ListKit.h"

using namespace HiveUI;

namespace {

// Fills every chooser with two choices and picks the first, as a filler that shows the
// current choice would.
class PetFiller : public IListComboFillerUI {
public:
    void FillComboItems(CComboBoxUI* combo, int row, int column) override {
        asked.push_back({row, column});
        for (const wchar_t* text : {L"cat", L"dog"}) {
            auto* item = new CListLabelElementUI;
            item->SetText(text);
            combo->Add(item);
        }
        combo->SelectItem(0);
    }
    std::vector<std::pair<int, int>> asked;
};

// Heads of 100 pixels, 24 high, over rows 24 high: row r spans y 24 (r + 1) to 24 (r + 2).
class ListExWindow : public ListWindow {
protected:
    CListExUI* BuildListEx(const std::wstring& heads, int rows) {
        std::wstring xml = L"<ListEx name=\"list\" float=\"true\" pos=\"0,0,320,160\"><ListHeader height=\"24\">" +
                           heads + L"</ListHeader>";
        for (int i = 0; i < rows; ++i)
            xml += L"<ListTextExtElement height=\"24\" checkboxwidth=\"16\" checkboxheight=\"16\"/>";
        xml += L"</ListEx><Button name=\"away\" float=\"true\" pos=\"0,170,100,200\"/>";
        Build(xml);
        auto* list = Find<CListExUI>(L"list");
        manager().AddNotifier(list);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < 3; ++c) Row(list, r)->SetText(c, CellText(r, c).c_str());
        }
        UpdateWindow(hwnd());
        return list;
    }
    static std::wstring CellText(int row, int column) {
        return std::wstring(1, static_cast<wchar_t>(L'a' + column)) + std::to_wstring(row);
    }
    static CListTextExtElementUI* Row(CListExUI* list, int index) {
        return static_cast<CListTextExtElementUI*>(list->GetItemAt(index));
    }
    static std::wstring TextOf(CListExUI* list, int row, int column) {
        const wchar_t* text = Row(list, row)->GetText(column);
        return text != nullptr ? text : L"";
    }
    // Clicks the middle of a cell.
    void ClickCell(int row, int column) { Click(column * 100 + 50, 24 * (row + 1) + 12); }
    CRichEditUI* Edit() { return Find<CRichEditUI>(L"ListEx_Edit"); }
    CComboBoxUI* Combo() { return Find<CComboBoxUI>(L"ListEx_Combo"); }
    static bool Shows(CControlUI* editor) {
        const RECT at = editor != nullptr ? editor->GetPos() : RECT{};
        return editor != nullptr && editor->IsVisible() && !IsRectEmpty(&at);
    }
};

const wchar_t kEditable[] =
    L"<ListContainerHeaderItem text=\"name\" width=\"100\" editable=\"true\"/>"
    L"<ListContainerHeaderItem text=\"kind\" width=\"100\" editable=\"true\" comboable=\"true\"/>"
    L"<ListContainerHeaderItem text=\"food\" width=\"100\" comboable=\"true\"/>";

TEST_F(ListExWindow, AnEditableCellOpensTheEditOnePixelInsideAndLeavingWritesItBack) {
    // The second column is both editable and choosable: the edit wins.
    for (int column : {0, 1}) {
        CListExUI* list = BuildListEx(kEditable, 3);
        ClickCell(1, column);
        UpdateWindow(hwnd());
        CRichEditUI* edit = Edit();
        ASSERT_TRUE(Shows(edit)) << column;
        const RECT cell = {column * 100 + 1, 49, column * 100 + 99, 71};
        EXPECT_TRUE(EqualRect(&cell, &edit->GetPos())) << column;
        EXPECT_EQ(CellText(1, column), edit->GetText().GetData());
        EXPECT_EQ(edit, manager().GetFocus());
        EXPECT_FALSE(Shows(Combo())) << column;

        SendMessageW(hwnd(), WM_CHAR, L'!', 0);
        Click(50, 185);
        EXPECT_EQ(CellText(1, column) + L"!", TextOf(list, 1, column)) << column;
        EXPECT_FALSE(Shows(edit)) << column;
        for (int other : {0, 2}) EXPECT_EQ(CellText(other, column), TextOf(list, other, column)) << column;
    }
}

TEST_F(ListExWindow, TheWheelOrAPressOnTheListClosesTheEditWithoutWritingBack) {
    struct Case {
        const char* what;
        bool wheel;
        POINT at;
    };
    const Case cases[] = {
        {"wheel over the rows", true, {150, 90}},
        {"wheel over the edit", true, {50, 60}},
        {"press on another row", false, {250, 90}},
        {"press on a head", false, {250, 12}},
    };
    for (const Case& c : cases) {
        CListExUI* list = BuildListEx(kEditable, 3);
        ClickCell(1, 0);
        ASSERT_TRUE(Shows(Edit())) << c.what;
        Edit()->SetText(L"changed");
        if (c.wheel) {
            Wheel(c.at.x, c.at.y, false);
        } else {
            Press(c.at.x, c.at.y);
        }
        Release(250, 90);
        EXPECT_FALSE(Shows(Edit())) << c.what;
        Click(50, 185);
        EXPECT_EQ(CellText(1, 0), TextOf(list, 1, 0)) << c.what;
    }
}

TEST_F(ListExWindow, AChoosableCellOpensTheComboAndTheChoiceIsWrittenBack) {
    CListExUI* list = BuildListEx(kEditable, 3);
    PetFiller filler;
    list->SetComboFiller(&filler);
    ClickCell(2, 2);
    CComboBoxUI* combo = Combo();
    ASSERT_TRUE(Shows(combo));
    const RECT cell = {201, 73, 299, 95};
    EXPECT_TRUE(EqualRect(&cell, &combo->GetPos()));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{2, 2}}), filler.asked);
    EXPECT_EQ(2, combo->GetCount());
    // What the filler picked is not the user's choice.
    EXPECT_EQ(CellText(2, 2), TextOf(list, 2, 2));

    combo->SelectItem(1);
    EXPECT_EQ(L"dog", TextOf(list, 2, 2));
    EXPECT_FALSE(Shows(combo));

    // Opened again, the same chooser is refilled, not a second one made.
    ClickCell(0, 2);
    EXPECT_EQ(combo, Combo());
    EXPECT_EQ(2, combo->GetCount());
}

TEST_F(ListExWindow, EditorsAreMadeOnceAndAreNoRows) {
    CListExUI* list = BuildListEx(kEditable, 3);
    ClickCell(0, 0);
    ClickCell(1, 2);
    ClickCell(2, 0);
    EXPECT_EQ(3, list->GetCount());
    EXPECT_EQ(Edit(), list->GetInlineEdit());
    EXPECT_EQ(Combo(), list->GetInlineCombo());
    for (int i = 0; i < list->GetCount(); ++i) EXPECT_NE(nullptr, Row(list, i)) << i;
}

TEST_F(ListExWindow, AnOpenEditKeepsToItsRowWhenRowsAreRemoved) {
    for (int removed : {2, 0, 3}) {
        CListExUI* list = BuildListEx(kEditable, 4);
        std::vector<std::wstring> expected = {L"a0", L"a1", L"changed", L"a3"};
        ClickCell(2, 0);
        ASSERT_TRUE(Shows(Edit())) << removed;
        Edit()->SetText(L"changed");
        list->RemoveAt(removed);
        expected.erase(expected.begin() + removed);
        Click(50, 185);
        std::vector<std::wstring> texts;
        for (int r = 0; r < list->GetCount(); ++r) texts.push_back(TextOf(list, r, 0));
        EXPECT_EQ(expected, texts) << removed;
        EXPECT_FALSE(Shows(Edit())) << removed;
    }
}

const wchar_t kCheckable[] =
    L"<ListContainerHeaderItem name=\"head\" text=\"all\" width=\"100\" checkable=\"true\" checkboxwidth=\"16\" "
    L"checkboxheight=\"16\"/><ListContainerHeaderItem text=\"kind\" width=\"100\"/>";

TEST_F(ListExWindow, TheHeadCheckBoxAndTheRowCheckBoxesFollowEachOther) {
    CListExUI* list = BuildListEx(kCheckable, 3);
    auto* head = Find<CListContainerHeaderItemUI>(L"head");
    auto rowsChecked = [&] {
        std::vector<bool> checked;
        for (int i = 0; i < list->GetCount(); ++i) checked.push_back(Row(list, i)->GetCheck());
        return checked;
    };
    // The boxes sit 6 pixels in from the left, centred: the head's at 6,4 - 22,20.
    Click(10, 10);
    EXPECT_TRUE(head->GetCheck());
    EXPECT_EQ((std::vector<bool>{true, true, true}), rowsChecked());

    Click(10, 24 * 2 + 8);
    EXPECT_FALSE(head->GetCheck());
    EXPECT_EQ((std::vector<bool>{true, false, true}), rowsChecked());

    Click(10, 24 * 2 + 8);
    EXPECT_TRUE(head->GetCheck());

    // A click beside the box checks nothing.
    Click(40, 24 * 2 + 8);
    EXPECT_TRUE(Row(list, 1)->GetCheck());
    Click(10, 10);
    EXPECT_EQ((std::vector<bool>{false, false, false}), rowsChecked());
}

}  // namespace
