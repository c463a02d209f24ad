#include <UIDateTime.h>

#include <commctrl.h>

#include <string>

#include "../ControlWindow.h"

using namespace HiveUI;

namespace {

std::wstring DateText(const SYSTEMTIME& time) {
    wchar_t text[32] = {};
    swprintf(text, 32, L"%4d-%02d-%02d", time.wYear, time.wMonth, time.wDay);
    return text;
}

class DateTimeWindow : public ControlWindow {
protected:
    CDateTimeUI* BuildField() {
        Build(L"<DateTime name=\"date\" float=\"true\" pos=\"10,10,160,40\"/>");
        return Find<CDateTimeUI>(L"date");
    }
    // The picker takes a date as the user would: it holds it and tells its parent.
    void Choose(HWND picker, WORD year, WORD month, WORD day, UINT code = DTN_DATETIMECHANGE) {
        SYSTEMTIME time = {};
        time.wYear = year;
        time.wMonth = month;
        time.wDay = day;
        SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
        NMDATETIMECHANGE change = {};
        change.nmhdr.hwndFrom = picker;
        change.nmhdr.idFrom = 0;
        change.nmhdr.code = code;
        change.st = time;
        SendMessageW(hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
    }
    void Notify(HWND picker, UINT code) {
        NMHDR header = {picker, 0, code};
        SendMessageW(hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
    }
    std::wstring Text(CControlUI* control) { return control->GetText().GetData(); }
};

TEST_F(DateTimeWindow, ANewFieldShowsTodayAsYearMonthDay) {
    CDateTimeUI* date = BuildField();
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    EXPECT_EQ(DateText(now), Text(date));
    EXPECT_EQ(std::wstring(L"DateTimeUI"), date->GetClass());
    EXPECT_EQ(date, date->GetInterface(L"DateTime"));
    EXPECT_EQ(nullptr, date->GetInterface(L"datetime"));
}

TEST_F(DateTimeWindow, TheTextFollowsTheChosenDateAndEscapeRestoresTheOldOne) {
    CDateTimeUI* date = BuildField();
    const std::wstring before = Text(date);
    date->SetFocus();
    const HWND picker = date->GetNativeWindow();
    ASSERT_NE(nullptr, picker);
    EXPECT_TRUE(IsWindowVisible(picker));
    Choose(picker, 2024, 2, 29);
    EXPECT_EQ(L"2024-02-29", Text(date));
    SendMessageW(picker, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(before, Text(date));
    Pump();
    EXPECT_FALSE(IsWindow(picker));
    EXPECT_EQ(nullptr, date->GetNativeWindow());
}

TEST_F(DateTimeWindow, AnOpenCalendarKeepsEditingUntilADayIsChosen) {
    CDateTimeUI* date = BuildField();
    date->SetFocus();
    const HWND picker = date->GetNativeWindow();
    ASSERT_NE(nullptr, picker);
    Notify(picker, DTN_DROPDOWN);
    SendMessageW(picker, WM_KILLFOCUS, 0, 0);
    Pump();
    ASSERT_TRUE(IsWindow(picker));
    Choose(picker, 1999, 12, 31, DTN_CLOSEUP);
    EXPECT_EQ(L"1999-12-31", Text(date));
    Pump();
    EXPECT_FALSE(IsWindow(picker));
}

TEST_F(DateTimeWindow, AFieldRemovedWhileEditingLeavesItsPickerHarmless) {
    auto* root = Build(L"<DateTime name=\"date\" float=\"true\" pos=\"10,10,160,40\"/>");
    auto* date = Find<CDateTimeUI>(L"date");
    date->SetFocus();
    const HWND picker = date->GetNativeWindow();
    ASSERT_NE(nullptr, picker);
    root->Remove(date);
    SendMessageW(picker, WM_KEYDOWN, VK_ESCAPE, 1);
    Choose(picker, 2001, 1, 1);
    Pump();
    EXPECT_FALSE(IsWindow(picker));
}

}  // namespace
