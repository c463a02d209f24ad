#include <UIHotKey.h>

#include <commctrl.h>

#include <initializer_list>
#include <string>

#include "../ControlWindow.h"

using namespace HiveUI;

namespace {

std::wstring Name(UINT virtualKey) {
    wchar_t name[260] = {};
    GetKeyNameTextW(static_cast<LONG>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16, name, 260);
    return name;
}

class HotKeyTest : public ControlWindow {
protected:
    CHotKeyUI* BuildHotKey(const wchar_t* attributes = L"") {
        Build(std::wstring(L"<HotKey name=\"key\" float=\"true\" pos=\"10,10,210,40\" ") + attributes + L"/>");
        return Find<CHotKeyUI>(L"key");
    }
    // Focuses the control, which opens its editing window.
    HWND Edit(CHotKeyUI* key) {
        manager().SetFocus(key);
        return key->GetNativeWindow();
    }
    // Keys as the user holds them down one after another; with Alt held they are system keys.
    static void Hold(HWND editor, std::initializer_list<UINT> keys) {
        bool alt = false;
        for (UINT key : keys) {
            alt = alt || key == VK_MENU;
            SendMessageW(editor, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 0);
        }
    }
};

TEST_F(HotKeyTest, TypedCombinationReadsCtrlShiftAltThenKey) {
    CHotKeyUI* key = BuildHotKey();
    const HWND editor = Edit(key);
    ASSERT_NE(nullptr, editor);
    Hold(editor, {VK_CONTROL, VK_SHIFT, VK_MENU, 'K'});
    const std::wstring expected = Name(VK_CONTROL) + L" + " + Name(VK_SHIFT) + L" + " + Name(VK_MENU) + L" + " + Name('K');
    EXPECT_EQ(expected, key->GetText().GetData());
    EXPECT_EQ('K', key->GetVirtualKey());
    EXPECT_EQ(HOTKEYF_CONTROL | HOTKEYF_SHIFT | HOTKEYF_ALT, key->GetModifiers());
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ((Note{L"key", L"textchanged", 0}), notes.back());
}

TEST_F(HotKeyTest, ClearedCombinationShowsNoneAndDropsModifiers) {
    CHotKeyUI* key = BuildHotKey();
    const HWND editor = Edit(key);
    ASSERT_NE(nullptr, editor);
    Hold(editor, {VK_CONTROL, VK_F5});
    ASSERT_EQ(VK_F5, key->GetVirtualKey());
    // A cleared field, as the common control reports it to its parent.
    SendMessageW(editor, HKM_SETHOTKEY, MAKEWORD(0, HOTKEYF_CONTROL), 0);
    notes.clear();
    SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(0, EN_CHANGE), reinterpret_cast<LPARAM>(editor));
    EXPECT_EQ(L"无", std::wstring(key->GetText()));
    EXPECT_EQ(0, key->GetModifiers());
    EXPECT_EQ((std::vector<Note>{{L"key", L"textchanged", 0}}), notes);
}

TEST_F(HotKeyTest, EnterSendsReturnAndKeepsTheCombination) {
    CHotKeyUI* key = BuildHotKey();
    const HWND editor = Edit(key);
    ASSERT_NE(nullptr, editor);
    Hold(editor, {VK_CONTROL, 'Q'});
    const CUIString before = key->GetText();
    notes.clear();
    SendMessageW(editor, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ((std::vector<Note>{{L"key", L"return", 0}}), notes);
    EXPECT_EQ(MAKEWORD('Q', HOTKEYF_CONTROL), LOWORD(SendMessageW(editor, HKM_GETHOTKEY, 0, 0)));
    EXPECT_EQ(before, key->GetText());
}

TEST_F(HotKeyTest, StoredCombinationSeedsTheNextEditorAfterFocusLoss) {
    CHotKeyUI* key = BuildHotKey();
    const HWND editor = Edit(key);
    ASSERT_NE(nullptr, editor);
    Hold(editor, {VK_SHIFT, VK_F2});
    SetFocus(hwnd());
    // The editor closes itself from a posted message, never inside its own focus loss.
    EXPECT_TRUE(IsWindow(editor));
    Pump();
    EXPECT_FALSE(IsWindow(editor));
    EXPECT_EQ(nullptr, key->GetNativeWindow());
    manager().SetFocus(nullptr);
    const HWND next = Edit(key);
    ASSERT_NE(nullptr, next);
    EXPECT_EQ(MAKEWORD(VK_F2, HOTKEYF_SHIFT), LOWORD(SendMessageW(next, HKM_GETHOTKEY, 0, 0)));
    EXPECT_EQ(Name(VK_SHIFT) + L" + " + Name(VK_F2), std::wstring(key->GetText()));
}

TEST_F(HotKeyTest, DisabledControlOpensNoEditor) {
    CHotKeyUI* key = BuildHotKey(L"enabled=\"false\"");
    EXPECT_EQ(0u, key->GetControlFlags());
    manager().SetFocus(key);
    Click(50, 20);
    Pump();
    EXPECT_EQ(nullptr, key->GetNativeWindow());
    EXPECT_FALSE(manager().IsCaptured());
}

TEST_F(HotKeyTest, ImageKeysMatchOnlyInLowerCase) {
    WritePng(L"hotkey-red.png", 4, 4, [](int, int) { return 0xFF0000u; });
    PixelCanvas canvas(320, 200);
    CHotKeyUI* exact = BuildHotKey(L"normalimage=\"hotkey-red.png\"");
    Paint(exact, canvas);
    EXPECT_EQ(0xFF0000u, canvas.rgb(12, 38));
    PixelCanvas other(320, 200);
    CHotKeyUI* capital = BuildHotKey(L"NormalImage=\"hotkey-red.png\"");
    Paint(capital, other);
    EXPECT_EQ(0xFFFFFFu, other.rgb(12, 38));
}

}  // namespace
