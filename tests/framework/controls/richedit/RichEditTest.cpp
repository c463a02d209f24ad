#include <TxtWinHost.h>
#include <UIRichEdit.h>
#include <UIScrollBar.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "../ControlWindow.h"

using namespace HiveUI;

namespace {

class RichEditTest : public ControlWindow {
protected:
    // The field at (10,10)-(210,110) and a button to move the focus to.
    CRichEditUI* BuildEdit(const std::wstring& attributes = L"") {
        Build(L"<RichEdit name=\"edit\" float=\"true\" pos=\"10,10,210,110\" " + attributes +
              L"/><Button name=\"next\" float=\"true\" pos=\"10,150,100,180\"/>");
        auto* edit = Find<CRichEditUI>(L"edit");
        if (edit != nullptr && edit->GetHost() == nullptr) {
            skipReason = "the rich edit library's windowless text services cannot be created here";
        }
        return edit;
    }
    void SetKey(int key, bool down) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[key] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }
    std::string skipReason;
};

#define REQUIRE_HOST(edit)                                  \
    ASSERT_NE(nullptr, edit);                               \
    if (!skipReason.empty()) GTEST_SKIP() << skipReason

TEST_F(RichEditTest, LongChineseTextReadsBackUnchanged) {
    CRichEditUI* edit = BuildEdit();
    REQUIRE_HOST(edit);
    std::wstring text;
    for (int i = 0; i < 300; ++i) text += L"宠物店管理系统，库存与收银。";
    edit->SetText(text.c_str());
    EXPECT_EQ(text, std::wstring(edit->GetText()));
    EXPECT_EQ(static_cast<long>(text.size()), edit->GetTextLength());
    // The text was set, not typed: there is nothing to undo.
    EXPECT_FALSE(edit->CanUndo());
}

TEST_F(RichEditTest, LimitBelowOneMeansTheDefaultAndALaterLimitKeepsTheText) {
    CRichEditUI* edit = BuildEdit(L"maxchar=\"0\"");
    REQUIRE_HOST(edit);
    EXPECT_EQ(32767, edit->GetLimitText());
    DWORD length = 0;
    edit->GetHost()->TxGetMaxLength(&length);
    EXPECT_EQ(32767u, length);
    edit->SetText(L"0123456789abcdef");
    edit->SetLimitText(4);
    edit->GetHost()->TxGetMaxLength(&length);
    EXPECT_EQ(4u, length);
    EXPECT_EQ(L"0123456789abcdef", std::wstring(edit->GetText()));
    edit->SetLimitText(-5);
    EXPECT_EQ(32767, edit->GetLimitText());
}

TEST_F(RichEditTest, StyleKeysGiveThePropertyBits) {
    const DWORD base = TXTBIT_RICHTEXT | TXTBIT_MULTILINE | TXTBIT_HIDESELECTION | TXTBIT_WORDWRAP;
    const struct {
        const wchar_t* attributes;
        DWORD bits;
    } cases[] = {
        {L"", base},
        {L"readonly=\"true\"", base | TXTBIT_READONLY},
        {L"readonly=\"True\"", base},
        {L"password=\"true\"", base | TXTBIT_USEPASSWORD},
        {L"rich=\"false\"", base & ~TXTBIT_RICHTEXT},
        {L"MultiLine=\"false\"", base & ~TXTBIT_MULTILINE},
        {L"multiline=\"TRUE\"", base & ~TXTBIT_MULTILINE},
        {L"autohscroll=\"true\"", base & ~TXTBIT_WORDWRAP},
        {L"hscrollbar=\"true\"", base & ~TXTBIT_WORDWRAP},
        {L"AutoHScroll=\"true\"", base},
    };
    for (const auto& c : cases) {
        CRichEditUI* edit = BuildEdit(c.attributes);
        REQUIRE_HOST(edit);
        DWORD bits = 0;
        edit->GetHost()->TxGetPropertyBits(0xFFFFFFFF, &bits);
        EXPECT_EQ(c.bits, bits) << c.attributes;
    }
}

TEST_F(RichEditTest, CaseRulesOfTheFlagKeys) {
    CRichEditUI edit;
    edit.SetAttribute(L"WantTab", L"false");
    edit.SetAttribute(L"wantreturn", L"True");
    edit.SetAttribute(L"MAXCHAR", L"12");
    edit.SetAttribute(L"TipValueColor", L"#FF112233");
    edit.SetAttribute(L"tipvaluealign", L"right");
    EXPECT_TRUE(edit.IsWantTab());
    EXPECT_FALSE(edit.IsWantReturn());
    EXPECT_EQ(12, edit.GetLimitText());
    EXPECT_EQ(0xFF112233u, edit.GetTipValueColor());
    EXPECT_EQ(static_cast<UINT>(DT_SINGLELINE | DT_RIGHT), edit.GetTipValueAlign());
}

TEST_F(RichEditTest, EnterSendsReturnAndInsertsNothingWhenNotWanted) {
    const struct {
        const wchar_t* attributes;
        bool ctrl;
        bool inserts;
    } cases[] = {
        {L"wantreturn=\"false\"", false, false},
        {L"wantctrlreturn=\"false\"", true, false},
        {L"wantctrlreturn=\"false\"", false, true},
        {L"", true, true},
    };
    for (const auto& c : cases) {
        CRichEditUI* edit = BuildEdit(c.attributes);
        REQUIRE_HOST(edit);
        edit->SetText(L"ab");
        manager().SetFocus(edit);
        notes.clear();
        SetKey(VK_CONTROL, c.ctrl);
        Key(VK_RETURN);
        SendMessageW(hwnd(), WM_CHAR, c.ctrl ? 0x0A : 0x0D, 0);
        SetKey(VK_CONTROL, false);
        const bool returned = !notes.empty() && notes.front() == (Note{L"edit", L"return", 0});
        EXPECT_EQ(!c.inserts, returned) << c.attributes << " ctrl " << c.ctrl;
        EXPECT_EQ(c.inserts, std::wstring(edit->GetText()) != L"ab") << c.attributes << " ctrl " << c.ctrl;
        const bool changed = std::find(notes.begin(), notes.end(), Note{L"edit", L"textchanged", 0}) != notes.end();
        EXPECT_EQ(c.inserts, changed) << c.attributes << " ctrl " << c.ctrl;
    }
}

TEST_F(RichEditTest, TabStaysOnlyWhenWanted) {
    for (bool want : {true, false}) {
        CRichEditUI* edit = BuildEdit(want ? L"" : L"wanttab=\"false\"");
        REQUIRE_HOST(edit);
        edit->SetText(L"");
        manager().SetFocus(edit);
        // As the message loop offers a key to the managers before dispatching it.
        LRESULT result = 0;
        if (!manager().PreMessageHandler(WM_KEYDOWN, VK_TAB, 0, result)) {
            Key(VK_TAB);
            SendMessageW(hwnd(), WM_CHAR, L'\t', 0);
        }
        EXPECT_EQ(want, manager().GetFocus() == edit) << want;
        EXPECT_EQ(want ? L"\t" : L"", std::wstring(edit->GetText())) << want;
    }
}

TEST_F(RichEditTest, ClickInTheTextFocusesTheFieldAndTypingReachesIt) {
    CRichEditUI* edit = BuildEdit();
    REQUIRE_HOST(edit);
    manager().SetFocus(Find<CControlUI>(L"next"));
    Click(250, 50);
    EXPECT_NE(edit, manager().GetFocus());
    Click(50, 50);
    EXPECT_EQ(edit, manager().GetFocus());
    SendMessageW(hwnd(), WM_CHAR, L'猫', 0);
    EXPECT_EQ(L"猫", std::wstring(edit->GetText()));
}

TEST_F(RichEditTest, TipShowsOnlyWhileEmptyAndUnfocused) {
    CRichEditUI* edit = BuildEdit(L"tipvalue=\"WWWW\" tipvaluecolor=\"#FF0000FF\"");
    ASSERT_NE(nullptr, edit);
    const auto tipInk = [&] {
        PixelCanvas canvas(320, 200);
        Paint(edit, canvas);
        int count = 0;
        for (int y = 10; y < 110; ++y) {
            for (int x = 10; x < 210; ++x) count += canvas.rgb(x, y) == 0x0000FF ? 1 : 0;
        }
        return count;
    };
    EXPECT_GT(tipInk(), 0);
    manager().SetFocus(edit);
    EXPECT_EQ(0, tipInk());
    manager().SetFocus(Find<CControlUI>(L"next"));
    EXPECT_GT(tipInk(), 0);
    if (!skipReason.empty()) GTEST_SKIP() << skipReason;
    edit->SetText(L"x");
    EXPECT_EQ(0, tipInk());
}

TEST_F(RichEditTest, VerticalBarFollowsTheTextLength) {
    CRichEditUI* edit = BuildEdit(L"vscrollbar=\"true\"");
    REQUIRE_HOST(edit);
    std::wstring lines;
    for (int i = 0; i < 40; ++i) lines += L"line\r";
    edit->SetText(lines.c_str());
    UpdateWindow(hwnd());
    ASSERT_NE(nullptr, edit->GetVerticalScrollBar());
    EXPECT_TRUE(edit->GetVerticalScrollBar()->IsVisible());
    EXPECT_GT(edit->GetVerticalScrollBar()->GetScrollRange(), 0);
    edit->SetText(L"short");
    UpdateWindow(hwnd());
    EXPECT_FALSE(edit->GetVerticalScrollBar()->IsVisible());
}

TEST_F(RichEditTest, HostCopesWithItsWindowGone) {
    CRichEditUI* edit = BuildEdit();
    REQUIRE_HOST(edit);
    CTxtWinHost* host = edit->GetHost();
    DestroyWindow(hwnd());
    EXPECT_EQ(nullptr, host->TxGetDC());
    EXPECT_FALSE(host->TxCreateCaret(nullptr, 1, 16));
    EXPECT_FALSE(host->TxSetCaretPos(5, 5));
    POINT pt = {1, 1};
    EXPECT_FALSE(host->TxScreenToClient(&pt));
    host->TxInvalidateRect(nullptr, FALSE);
    edit->SetText(L"still here");
    EXPECT_EQ(L"still here", std::wstring(edit->GetText()));
}

// Reads the popup menu while it tracks, then closes it.
struct MenuReader {
    static std::vector<std::pair<std::wstring, bool>> items;
    static void CALLBACK Read(HWND, UINT, UINT_PTR id, DWORD) {
        const HWND popup = FindWindowW(L"#32768", nullptr);
        if (popup == nullptr) return;
        KillTimer(nullptr, id);
        const auto menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
        for (int i = 0; menu != nullptr && i < GetMenuItemCount(menu); ++i) {
            wchar_t text[64] = {};
            GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
            const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
            // A separator's grey bit is the system's business.
            items.emplace_back(text, (state & MF_SEPARATOR) == 0 && (state & MF_GRAYED) != 0);
        }
        EndMenu();
    }
};
std::vector<std::pair<std::wstring, bool>> MenuReader::items;

TEST_F(RichEditTest, ContextMenuListsItsItemsAndGreysWhatCannotRun) {
    CRichEditUI* edit = BuildEdit(L"readonly=\"true\"");
    REQUIRE_HOST(edit);
    edit->SetText(L"abc");
    manager().SetFocus(edit);
    MenuReader::items.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, MenuReader::Read);
    POINT pt = {50, 50};
    ClientToScreen(hwnd(), &pt);
    SendMessageW(hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd()), MAKELPARAM(pt.x, pt.y));
    KillTimer(nullptr, timer);
    const std::vector<std::pair<std::wstring, bool>> expected = {
        {L"撤销(&U)", true}, {L"重做(&R)", true}, {L"", false},     {L"剪切(&X)", true}, {L"复制(&C)", true},
        {L"粘帖(&V)", true}, {L"清空(&L)", true}, {L"", false}, {L"全选(&A)", false},
    };
    EXPECT_EQ(expected, MenuReader::items);
}

}  // namespace
