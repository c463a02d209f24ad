#include <DpiScale.h>
#include <SkinValue.h>
#include <UIControl.h>
#include <UIManager.h>

#include <gtest/gtest.h>

using HiveUI::CControlUI;
using HiveUI::CPaintManagerUI;

namespace {

// Shows what the control keeps but does not report.
class OpenControl : public CControlUI {
public:
    const wchar_t* Custom(const wchar_t* name) {
        auto* value = static_cast<HiveUI::CUIString*>(m_customAttributes.Find(name));
        return value != nullptr ? value->GetData() : nullptr;
    }
    int CustomCount() const { return m_customAttributes.GetSize(); }
    SIZE FixedXY() const { return m_fixedXY; }
};

TEST(ControlAttributes, PosTakesTheRightOrBottomEdgeForNegativeLeftOrTop) {
    OpenControl control;
    control.SetAttribute(L"pos", L"-10,5,-2,25");
    EXPECT_EQ(-2, control.FixedXY().cx);
    EXPECT_EQ(5, control.FixedXY().cy);
    EXPECT_EQ(8, control.GetFixedWidth());
    EXPECT_EQ(20, control.GetFixedHeight());
    control.SetAttribute(L"pos", L"3,-4,13,-1");
    EXPECT_EQ(3, control.FixedXY().cx);
    EXPECT_EQ(-1, control.FixedXY().cy);
    EXPECT_EQ(10, control.GetFixedWidth());
    EXPECT_EQ(3, control.GetFixedHeight());
}

TEST(ControlAttributes, FloatReadsFractionsOrAWordInAnyCase) {
    CControlUI control;
    control.SetAttribute(L"float", L"0.5,0,1,0.3");
    EXPECT_TRUE(control.IsFloat());
    EXPECT_DOUBLE_EQ(0.5, control.GetFloatPercent().left);
    EXPECT_DOUBLE_EQ(0.0, control.GetFloatPercent().top);
    EXPECT_DOUBLE_EQ(1.0, control.GetFloatPercent().right);
    EXPECT_DOUBLE_EQ(0.3, control.GetFloatPercent().bottom);
    control.SetAttribute(L"float", L"false");
    EXPECT_FALSE(control.IsFloat());
    control.SetAttribute(L"Float", L"TRUE");
    EXPECT_TRUE(control.IsFloat());
    EXPECT_DOUBLE_EQ(0.3, control.GetFloatPercent().bottom);
}

TEST(ControlAttributes, FloatAlignWordsCombineFromTheCurrentValue) {
    struct Case {
        UINT start;
        const wchar_t* words;
        UINT expected;
    };
    const Case cases[] = {
        {0, L"right,vcenter", 6}, {6, L"null left", 0},   {0, L"center bottom", 9}, {9, L"RIGHT", 10},
        {10, L"top", 2},          {2, L"left,  top", 0}, {5, L"sideways", 5},      {0, L"", 0},
        {0, L"bottom,vcenter", 4}, {3, L"right", 2},
    };
    for (const Case& c : cases) {
        CControlUI control;
        control.SetFloatAlign(c.start);
        control.SetAttribute(L"floatalign", c.words);
        EXPECT_EQ(c.expected, control.GetFloatAlign()) << c.words;
    }
}

TEST(ControlAttributes, BorderSizeSwitchesBetweenUniformAndPerSideForms) {
    CControlUI control;
    control.SetAttribute(L"bordersize", L"1,1,1,1");
    EXPECT_EQ(1, control.GetBorderRect().left);
    EXPECT_EQ(1, control.GetBorderRect().bottom);
    EXPECT_EQ(0, control.GetBorderSize());
    control.SetAttribute(L"bordersize", L"2");
    EXPECT_EQ(2, control.GetBorderSize());
    EXPECT_EQ(0, control.GetBorderRect().left);
    EXPECT_EQ(0, control.GetBorderRect().bottom);
    control.SetAttribute(L"bordersize", L"1,0,0,0");
    EXPECT_EQ(2, control.GetBorderSize());
    EXPECT_EQ(1, control.GetBorderRect().left);
    control.SetAttribute(L"rightbordersize", L"3");
    EXPECT_EQ(3, control.GetBorderRect().right);
}

TEST(ControlAttributes, ColoursTakeAnOptionalHashAndSomeSkipLeadingBlanks) {
    struct Case {
        const wchar_t* name;
        const wchar_t* value;
        DWORD (CControlUI::*get)() const;
        DWORD expected;
    };
    const Case cases[] = {
        {L"bkcolor", L"#FF112233", &CControlUI::GetBkColor, 0xFF112233},
        {L"bkcolor1", L"ff112233", &CControlUI::GetBkColor, 0xFF112233},
        {L"bkcolor2", L" \t#80ABCDEF", &CControlUI::GetBkColor2, 0x80ABCDEF},
        {L"bkcolor3", L"#00FF00zz", &CControlUI::GetBkColor3, 0x0000FF00},
        {L"forecolor", L"  12345678", &CControlUI::GetForeColor, 0x12345678},
        {L"bordercolor", L"#FF0000FF", &CControlUI::GetBorderColor, 0xFF0000FF},
        {L"bordercolor", L" #FF0000FF", &CControlUI::GetBorderColor, 0},
        {L"focusbordercolor", L"FFABCDEF", &CControlUI::GetFocusBorderColor, 0xFFABCDEF},
        {L"bkcolor", L"#", &CControlUI::GetBkColor, 0},
    };
    for (const Case& c : cases) {
        CControlUI control;
        control.SetAttribute(c.name, c.value);
        EXPECT_EQ(c.expected, (control.*c.get)()) << c.name << L" " << c.value;
    }
}

TEST(ControlAttributes, NumberListsStopAtTheirEndAndReadMissingNumbersAsZero) {
    RECT rc = HiveUI::ReadSkinRect(L"7,-8");
    EXPECT_EQ(7, rc.left);
    EXPECT_EQ(-8, rc.top);
    EXPECT_EQ(0, rc.right);
    EXPECT_EQ(0, rc.bottom);
    rc = HiveUI::ReadSkinRect(L"1;2 3x4");
    EXPECT_EQ(4, rc.bottom);
    SIZE size = HiveUI::ReadSkinSize(L"");
    EXPECT_EQ(0, size.cx);
}

TEST(ControlAttributes, SizeLimitsIgnoreNegativesAndUnchangedValuesRequestNoLayout) {
    CPaintManagerUI manager;
    CControlUI control;
    control.SetManager(&manager, nullptr, false);
    control.SetAttribute(L"width", L"-5");
    control.SetAttribute(L"minwidth", L"-1");
    EXPECT_EQ(0, control.GetFixedWidth());
    EXPECT_EQ(0, control.GetMinWidth());
    EXPECT_FALSE(manager.IsUpdateNeeded());
    control.SetAttribute(L"maxwidth", L"9999");
    EXPECT_FALSE(manager.IsUpdateNeeded());
    control.SetAttribute(L"maxwidth", L"300");
    EXPECT_EQ(300, control.GetMaxWidth());
    EXPECT_TRUE(manager.IsUpdateNeeded());
}

TEST(ControlAttributes, TextsSwitchesAndCursorWords) {
    OpenControl control;
    control.ApplyAttributeList(
        L"name=\"ok\" text=\"a{\\n}b\" tooltip=\"x<n>y\" userdata=\"u\" enabled=\"False\" mouse=\"no\" "
        L"keyboard=\"TRUE\" shortcut=\"Quit\" menu=\"true\" drag=\"true\" cursor=\"HAND\" virtualwnd=\"vw\"");
    EXPECT_STREQ(L"ok", control.GetName().GetData());
    EXPECT_STREQ(L"a\nb", control.GetText().GetData());
    EXPECT_STREQ(L"x\r\ny", control.GetToolTip().GetData());
    EXPECT_STREQ(L"u", control.GetUserData().GetData());
    EXPECT_FALSE(control.IsEnabled());
    EXPECT_FALSE(control.IsMouseEnabled());
    EXPECT_TRUE(control.IsKeyboardEnabled());
    EXPECT_EQ(L'Q', control.GetShortcut());
    EXPECT_TRUE(control.IsContextMenuUsed());
    EXPECT_TRUE(control.IsDragEnabled());
    EXPECT_EQ(32649, control.GetCursor());
    EXPECT_STREQ(L"vw", control.GetVirtualWnd().GetData());
    control.SetAttribute(L"cursor", L"pointer");
    EXPECT_EQ(32649, control.GetCursor());
    control.SetAttribute(L"cursor", L"sizewe");
    EXPECT_EQ(32644, control.GetCursor());
}

TEST(ControlAttributes, UnknownNamesBecomeCustomAttributesAndTheFirstValueStays) {
    OpenControl control;
    control.SetAttribute(L"group", L"one");
    control.SetAttribute(L"group", L"two");
    control.SetAttribute(L"empty", L"");
    EXPECT_STREQ(L"one", control.Custom(L"group"));
    EXPECT_EQ(nullptr, control.Custom(L"empty"));
    EXPECT_EQ(1, control.CustomCount());
    control.RemoveAllCustomAttributes();
    EXPECT_EQ(0, control.CustomCount());
}

TEST(ControlAttributes, AttributeListsSeparateByBlankOrCommaAndStopAtBrokenPairs) {
    struct Case {
        const wchar_t* list;
        const wchar_t* name;
        const wchar_t* text;
    };
    const Case cases[] = {
        {L"name=\"a\" text=\"b\"", L"a", L"b"},
        {L"name=\"a\",text=\"b\"", L"a", L"b"},
        {L"name=&quot;a&quot; text=&quot;b&quot;", L"a", L"b"},
        {L"name=\"a\" text=\"b", L"a", L""},
        {L"name=\"a\";text=\"b\"", L"a", L""},
        {L"name=\"a\"  text=\"b\"", L"a", L""},
        {L"name=a text=\"b\"", L"", L""},
        {L"name", L"", L""},
        {L"", L"", L""},
        {L"name=\"\" text=\"b\"", L"", L"b"},
    };
    for (const Case& c : cases) {
        CControlUI control;
        control.ApplyAttributeList(c.list);
        EXPECT_STREQ(c.name, control.GetName().GetData()) << c.list;
        EXPECT_STREQ(c.text, control.GetText().GetData()) << c.list;
    }
}

TEST(ControlAttributes, AValueNamingAStyleAppliesTheStyleInstead) {
    CPaintManagerUI manager;
    manager.AddStyle(L"red", L"bkcolor=\"#FFFF0000\" name=\"styled\"");
    manager.AddStyle(L"outer", L"red");
    CControlUI control;
    control.SetManager(&manager, nullptr, false);
    control.SetAttribute(L"text", L"red");
    EXPECT_EQ(0xFFFF0000, control.GetBkColor());
    EXPECT_STREQ(L"styled", control.GetName().GetData());
    EXPECT_TRUE(control.GetText().IsEmpty());
    CControlUI other;
    other.SetManager(&manager, nullptr, false);
    other.ApplyAttributeList(L"outer");
    EXPECT_EQ(0xFFFF0000, other.GetBkColor());
    other.SetAttribute(L"innerstyle", L"text=\"inner\"");
    EXPECT_STREQ(L"inner", other.GetText().GetData());
}

TEST(ControlAttributes, StylesThatNameThemselvesEndInsteadOfExhaustingTheStack) {
    CPaintManagerUI manager;
    manager.AddStyle(L"loop", L"loop");
    manager.AddStyle(L"ping", L"text=\"pong\"");
    manager.AddStyle(L"pong", L"text=\"ping\" name=\"done\"");
    CControlUI control;
    control.SetManager(&manager, nullptr, false);
    control.ApplyAttributeList(L"loop");
    control.SetAttribute(L"bkcolor", L"loop");
    control.ApplyAttributeList(L"ping");
    EXPECT_STREQ(L"done", control.GetName().GetData());
}

}  // namespace

namespace {

TEST(ControlAttributes, LengthGettersFollowTheManagersScaleWhileSettersKeepSkinUnits) {
    HiveUI::CPaintManagerUI manager;
    manager.GetDpiScale()->SetScale(144);
    HiveUI::CControlUI control;
    control.ApplyAttributeList(L"width=\"20\" height=\"10\" minwidth=\"4\" maxheight=\"30\" padding=\"2,4,6,8\" "
                               L"bordersize=\"2\" borderround=\"6,8\"");
    control.SetToolTipWidth(100);
    EXPECT_EQ(20, control.GetFixedWidth());
    control.SetManager(&manager, nullptr, false);
    EXPECT_EQ(30, control.GetFixedWidth());
    EXPECT_EQ(15, control.GetFixedHeight());
    EXPECT_EQ(6, control.GetMinWidth());
    EXPECT_EQ(45, control.GetMaxHeight());
    EXPECT_EQ(3, control.GetPadding().left);
    EXPECT_EQ(12, control.GetPadding().bottom);
    EXPECT_EQ(3, control.GetBorderSize());
    EXPECT_EQ(12, control.GetBorderRound().cy);
    EXPECT_EQ(150, control.GetToolTipWidth());
    SIZE estimate = control.EstimateSize(SIZE{999, 999});
    EXPECT_EQ(30, estimate.cx);
    EXPECT_EQ(15, estimate.cy);
    control.SetManager(nullptr, nullptr, false);
}

}  // namespace
