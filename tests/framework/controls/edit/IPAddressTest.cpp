#include <UIIPAddress.h>
#include <UIIPAddressEx.h>

#include <commctrl.h>

#include <string>

#include "../ControlWindow.h"

using namespace HiveUI;

namespace {

std::wstring Dotted(DWORD address) {
    wchar_t text[32] = {};
    swprintf(text, 32, L"%d.%d.%d.%d", static_cast<int>(address >> 24), static_cast<int>((address >> 16) & 0xFF),
             static_cast<int>((address >> 8) & 0xFF), static_cast<int>(address & 0xFF));
    return text;
}

class IPAddressWindow : public ControlWindow {
protected:
    std::wstring Text(CControlUI* control) { return control->GetText().GetData(); }
    void Start(CIPAddressUI* field) {
        field->SetFocus();
        Click(60, 25);
        ASSERT_NE(nullptr, field->GetNativeWindow());
        ASSERT_TRUE(IsWindowVisible(field->GetNativeWindow()));
    }
};

TEST_F(IPAddressWindow, ANewFieldShowsTheHostsAddressUnderItsOwnClassName) {
    Build(L"<IPAddress name=\"ip\" float=\"true\" pos=\"10,10,160,40\"/>");
    auto* ip = Find<CIPAddressUI>(L"ip");
    EXPECT_EQ(Dotted(GetLocalIpAddress()), Text(ip));
    EXPECT_EQ(std::wstring(L"IPAddressUI"), ip->GetClass());
    EXPECT_EQ(ip, ip->GetInterface(L"IPAddress"));
    EXPECT_EQ(nullptr, ip->GetInterface(L"ipaddress"));
}

TEST_F(IPAddressWindow, FocusLossTakesTheAddressAndHidesTheWindowForTheNextEdit) {
    Build(L"<IPAddress name=\"ip\" float=\"true\" pos=\"10,10,160,40\"/>");
    auto* ip = Find<CIPAddressUI>(L"ip");
    Start(ip);
    const HWND native = ip->GetNativeWindow();
    SendMessageW(native, IPM_SETADDRESS, 0, MAKEIPADDRESS(10, 1, 2, 3));
    ::SetFocus(hwnd());
    Pump();
    EXPECT_EQ(L"10.1.2.3", Text(ip));
    EXPECT_EQ(native, ip->GetNativeWindow());
    EXPECT_FALSE(IsWindowVisible(native));
    Click(60, 25);
    EXPECT_TRUE(IsWindowVisible(native));
    EXPECT_EQ(MAKEIPADDRESS(10, 1, 2, 3), [&] {
        DWORD address = 0;
        SendMessageW(native, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
        return address;
    }());
}

TEST_F(IPAddressWindow, DeleteAndBackspaceClearTheTextWhileEscapeKeepsIt) {
    Build(L"<IPAddress name=\"ip\" float=\"true\" pos=\"10,10,160,40\"/>");
    auto* ip = Find<CIPAddressUI>(L"ip");
    const struct {
        WPARAM key;
        bool clears;
    } cases[] = {{VK_ESCAPE, false}, {VK_DELETE, true}, {VK_BACK, true}};
    for (const auto& c : cases) {
        Start(ip);
        const HWND native = ip->GetNativeWindow();
        SendMessageW(native, IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 168, 0, 1));
        ::SetFocus(hwnd());
        Pump();
        ASSERT_EQ(L"192.168.0.1", Text(ip)) << c.key;
        Click(60, 25);
        ASSERT_TRUE(IsWindowVisible(native)) << c.key;
        SendMessageW(native, WM_KEYUP, c.key, 0);
        EXPECT_EQ(c.clears ? L"" : L"192.168.0.1", Text(ip)) << c.key;
        Pump();
        EXPECT_FALSE(IsWindow(native)) << c.key;
        EXPECT_EQ(nullptr, ip->GetNativeWindow()) << c.key;
    }
}

TEST_F(IPAddressWindow, ARemovedFieldsHiddenWindowGoesWithoutReachingIt) {
    auto* root = Build(L"<IPAddress name=\"ip\" float=\"true\" pos=\"10,10,160,40\"/>");
    auto* ip = Find<CIPAddressUI>(L"ip");
    Start(ip);
    const HWND native = ip->GetNativeWindow();
    ::SetFocus(hwnd());
    Pump();
    root->Remove(ip);
    SendMessageW(native, WM_KEYUP, VK_DELETE, 0);
    Pump();
    EXPECT_FALSE(IsWindow(native));
}

class IPAddressExWindow : public IPAddressWindow {
protected:
    CIPAddressExUI* BuildField() {
        Build(L"<IPAddressEx name=\"ip\" float=\"true\" pos=\"10,10,210,40\"/>");
        return Find<CIPAddressExUI>(L"ip");
    }
    void Type(const char* keys) {
        for (const char* k = keys; *k != '\0'; ++k) Key(static_cast<WPARAM>(*k));
    }
};

TEST_F(IPAddressExWindow, TypedDigitsFillTheNumbersAndMoveOnAfterThree) {
    CIPAddressExUI* ip = BuildField();
    Click(20, 25);
    ASSERT_EQ(1, ip->GetActiveField());
    Type("300");
    EXPECT_EQ(255, ip->GetNumber(1));
    EXPECT_EQ(2, ip->GetActiveField());
    Type("07");
    EXPECT_EQ(7, ip->GetNumber(2));
    Key(VK_DECIMAL);
    Key(VK_NUMPAD4);
    Key(VK_NUMPAD2);
    EXPECT_EQ(42, ip->GetNumber(3));
    EXPECT_EQ(L"255.7.42.0", Text(ip));
}

TEST_F(IPAddressExWindow, AClickPicksTheNumberOfItsQuarterAndArrowsStayInRange) {
    CIPAddressExUI* ip = BuildField();
    const struct {
        int x;
        int field;
    } clicks[] = {{15, 1}, {60, 1}, {61, 2}, {110, 2}, {111, 3}, {160, 3}, {161, 4}, {205, 4}};
    for (const auto& c : clicks) {
        Click(c.x, 25);
        EXPECT_EQ(c.field, ip->GetActiveField()) << c.x;
    }
    Key(VK_DOWN);
    EXPECT_EQ(0, ip->GetNumber(4));
    Type("254");
    Key(VK_UP);
    Key(VK_UP);
    EXPECT_EQ(255, ip->GetNumber(4));
    Type("9");
    EXPECT_EQ(255, ip->GetNumber(4));
}

TEST_F(IPAddressExWindow, WithoutAPickedNumberKeysChangeNothing) {
    CIPAddressExUI* ip = BuildField();
    ip->SetFocus();
    ASSERT_EQ(0, ip->GetActiveField());
    Type("12");
    Key(VK_UP);
    Key(VK_DELETE);
    Key(VK_RIGHT);
    EXPECT_EQ(L"0.0.0.0", Text(ip));
    EXPECT_EQ(0, ip->GetActiveField());
}

}  // namespace
