#include <ListStyle.h>
#include <UIList.h>

#include <gtest/gtest.h>

using namespace HiveUI;

namespace {

struct KeyCase {
    const wchar_t* name;
    const wchar_t* value;
    UINT textStyle;  // the text style the key leaves, starting from 36 | DT_WORDBREAK | DT_BOTTOM
};

// Word combinations in an align value apply in a fixed order, not in the order written.
TEST(ListStyle, AlignWordsApplyInTheirOwnOrder) {
    const UINT start = DT_VCENTER | DT_SINGLELINE | DT_WORDBREAK | DT_BOTTOM;
    const KeyCase cases[] = {
        {L"itemalign", L"center left", start | DT_CENTER},
        {L"itemalign", L"right center", start | DT_RIGHT},
        {L"ITEMALIGN", L"left", start},
        {L"itemvalign", L"vcenter", (start & ~(DT_WORDBREAK | DT_BOTTOM)) | DT_VCENTER | DT_SINGLELINE},
        {L"itemvalign", L"top", start & ~(DT_VCENTER | DT_BOTTOM)},
        {L"itemvalign", L"bottom", (start & ~DT_VCENTER) | DT_BOTTOM},
        {L"itemendellipsis", L"TRUE", start | DT_END_ELLIPSIS},
    };
    for (const KeyCase& c : cases) {
        TListStyle style;
        style.uTextStyle = start;
        EXPECT_NE(ListStyleChange::kUnknownKey, SetListStyleAttribute(style, c.name, c.value));
        EXPECT_EQ(c.textStyle, style.uTextStyle) << c.name << "=" << c.value;
    }
}

TEST(ListStyle, ListReadsItemKeysWithTheirCaseRules) {
    CListUI list;
    TListStyle& style = *list.GetListStyle();
    list.SetAttribute(L"ItemTextColor", L"#FF112233");
    list.SetAttribute(L"itemselectedbkcolor", L"80FF0000");
    list.SetAttribute(L"itemtextpadding", L"1,2,3,4");
    list.SetAttribute(L"ITEMSHOWHTML", L"True");
    list.SetAttribute(L"itemfont", L"3");
    list.SetAttribute(L"itemhotimage", L"hot.png");
    EXPECT_EQ(0xFF112233u, style.dwTextColor);
    EXPECT_EQ(0x80FF0000u, style.dwSelectedBkColor);
    EXPECT_EQ((RECT{1, 2, 3, 4}).bottom, style.rcTextPadding.bottom);
    EXPECT_EQ(2, style.rcTextPadding.top);
    EXPECT_TRUE(style.bShowHtml);
    EXPECT_EQ(3, style.nFont);
    EXPECT_STREQ(L"hot.png", style.sHotImage.GetData());

    // "itemrselected" and "multiselect" take only their exact spelling and value.
    list.SetAttribute(L"ITEMRSELECTED", L"true");
    list.SetAttribute(L"itemrselected", L"TRUE");
    list.SetAttribute(L"MultiSelect", L"true");
    EXPECT_FALSE(style.bRSelected);
    EXPECT_FALSE(list.IsMultiSelect());
    list.SetAttribute(L"itemrselected", L"true");
    list.SetAttribute(L"multiselect", L"true");
    EXPECT_TRUE(style.bRSelected);
    EXPECT_TRUE(list.IsMultiSelect());
}

}  // namespace
