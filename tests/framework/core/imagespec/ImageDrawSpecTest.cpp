#include <DpiScale.h>
#include <ImageDrawSpec.h>

#include <gtest/gtest.h>

using HiveUI::TImageDrawSpec;

namespace {

TImageDrawSpec Parsed(const wchar_t* description, const wchar_t* modifier = nullptr) {
    TImageDrawSpec spec;
    spec.Parse(description, modifier, nullptr);
    return spec;
}

void ExpectRect(const RECT& r, LONG l, LONG t, LONG rt, LONG b) {
    EXPECT_EQ(l, r.left);
    EXPECT_EQ(t, r.top);
    EXPECT_EQ(rt, r.right);
    EXPECT_EQ(b, r.bottom);
}

}  // namespace

TEST(ImageDrawSpec, BareNameAndFilePairNameTheSameFileButOnlyThePairsGiveCorners) {
    const TImageDrawSpec bare = Parsed(L"btn.png");
    EXPECT_STREQ(L"btn.png", bare.name);
    ExpectRect(bare.corner, 0, 0, 0, 0);
    EXPECT_EQ(255, bare.fade);
    const TImageDrawSpec pairs = Parsed(L"file='btn.png' corner='4,5,6,7'");
    EXPECT_STREQ(L"btn.png", pairs.name);
    ExpectRect(pairs.corner, 4, 5, 6, 7);
    EXPECT_STREQ(L"file='btn.png' corner='4,5,6,7'", pairs.description);
}

TEST(ImageDrawSpec, BlanksAndTabsBetweenPairs) {
    struct Case {
        const wchar_t* text;
        bool destRead;
    } cases[] = {
        {L"file='a.png' dest='1,2,3,4'", true},
        {L"file='a.png'  dest='1,2,3,4'", true},           // further spaces are skipped
        {L"  file = 'a.png' dest\t=\t'1,2,3,4'", true},    // blanks around the key and "="
        {L"file='a.png'\tdest='1,2,3,4'", false},          // a tab behind the quote ends it
        {L"file='a.png',dest='1,2,3,4'", false},
        {L"file='a.png'dest='1,2,3,4'", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        const TImageDrawSpec spec = Parsed(c.text);
        EXPECT_STREQ(L"a.png", spec.name);
        EXPECT_EQ(c.destRead ? 3 : 0, spec.dest.right);
    }
}

TEST(ImageDrawSpec, MalformedPairsEndParsingButKeepEarlierPairs) {
    struct Case {
        const wchar_t* text;
        BYTE fade;
        LONG destLeft;
    } cases[] = {
        {L"fade='10' dest='1,2,3,4", 10, 0},   // no closing quote
        {L"fade='10' dest '1,2,3,4'", 10, 0},  // no "="
        {L"fade='10' dest=1,2,3,4", 10, 0},    // no opening quote
        {L"fade='10' dest=", 10, 0},
        {L"fade='10' dest='5' fade", 10, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        const TImageDrawSpec spec = Parsed(c.text);
        EXPECT_EQ(c.fade, spec.fade);
        EXPECT_EQ(c.destLeft, spec.dest.left);
        EXPECT_STREQ(c.text, spec.name);
    }
}

TEST(ImageDrawSpec, KeysAreComparedExactlyAndEmptyValuesIgnored) {
    const TImageDrawSpec capital = Parsed(L"FILE='a.png' Fade='3'");
    EXPECT_STREQ(L"FILE='a.png' Fade='3'", capital.name);
    EXPECT_EQ(255, capital.fade);
    const TImageDrawSpec empty = Parsed(L"file='' fade=''");
    EXPECT_STREQ(L"file='' fade=''", empty.name);
    EXPECT_EQ(255, empty.fade);
    const TImageDrawSpec unknown = Parsed(L"colour='red' file='b.png'");
    EXPECT_STREQ(L"b.png", unknown.name);
}

TEST(ImageDrawSpec, ValuesOfEveryKey) {
    const TImageDrawSpec spec = Parsed(
        L"res='101' restype='PNG' source='1,2,3,4' corner='5,6,7,8' mask='#ffff00ff' hole='TRUE' "
        L"xtiled='true' ytiled='yes' hsl='True' iconsize='16,18' iconalign='left'");
    EXPECT_STREQ(L"101", spec.name);
    EXPECT_STREQ(L"PNG", spec.resType);
    ExpectRect(spec.source, 1, 2, 3, 4);
    ExpectRect(spec.corner, 5, 6, 7, 8);
    EXPECT_EQ(0xFFFF00FFu, spec.mask);
    EXPECT_TRUE(spec.hole);
    EXPECT_TRUE(spec.xTiled);
    EXPECT_FALSE(spec.yTiled);
    EXPECT_TRUE(spec.hsl);
    EXPECT_EQ(16, spec.iconSize.cx);
    EXPECT_EQ(18, spec.iconSize.cy);
    EXPECT_STREQ(L"left", spec.iconAlign);
    EXPECT_EQ(0x80FF0000u, Parsed(L"mask='80ff0000'").mask);
}

TEST(ImageDrawSpec, FadeIsStoredInEightBits) {
    EXPECT_EQ(44, Parsed(L"fade='300'").fade);
    EXPECT_EQ(0, Parsed(L"fade='0'").fade);
    EXPECT_EQ(128, Parsed(L"fade='128'").fade);
}

TEST(ImageDrawSpec, ModifierKeysWinOverTheDescription) {
    const TImageDrawSpec spec = Parsed(L"file='a.png' fade='100' dest='1,1,2,2'", L"fade='200'");
    EXPECT_EQ(200, spec.fade);
    EXPECT_STREQ(L"a.png", spec.name);
    ExpectRect(spec.dest, 1, 1, 2, 2);
    EXPECT_STREQ(L"fade='200'", spec.modifier);
    const TImageDrawSpec resource = Parsed(L"a.png", L"res='7' restype='ZIPRES'");
    EXPECT_STREQ(L"7", resource.name);
    EXPECT_STREQ(L"ZIPRES", resource.resType);
}

TEST(ImageDrawSpec, NumberListsSkipOneCharacterAndStopAtTheirEnd) {
    ExpectRect(Parsed(L"dest='1;2x3 4'").dest, 1, 2, 3, 4);
    ExpectRect(Parsed(L"dest='10,20'").dest, 10, 20, 0, 0);
    ExpectRect(Parsed(L"dest='7'").dest, 7, 0, 0, 0);
    ExpectRect(Parsed(L"dest='1, 2, 3, 4'").dest, 1, 2, 3, 4);
    ExpectRect(Parsed(L"dest='1,,3,4'").dest, 1, 0, 3, 4);
    const TImageDrawSpec icon = Parsed(L"iconsize='9'");
    EXPECT_EQ(9, icon.iconSize.cx);
    EXPECT_EQ(0, icon.iconSize.cy);
}

TEST(ImageDrawSpec, ClearRestoresTheDefaults) {
    TImageDrawSpec spec = Parsed(L"file='a.png' fade='3' hole='true' dest='1,2,3,4' mask='ff'");
    spec.Clear();
    EXPECT_TRUE(spec.name.IsEmpty());
    EXPECT_TRUE(spec.description.IsEmpty());
    EXPECT_EQ(255, spec.fade);
    EXPECT_FALSE(spec.hole);
    EXPECT_EQ(0u, spec.mask);
    ExpectRect(spec.dest, 0, 0, 0, 0);
}

TEST(ImageDrawSpec, DpiScaleScalesRectanglesAndMarksTheFileName) {
    struct Case {
        int dpi;
        const wchar_t* name;
        RECT dest;
    } cases[] = {
        {96, L"skin.v2.png", {1, 1, 11, 11}},
        {120, L"skin@125.v2@125.png", {1, 1, 14, 14}},
        {144, L"skin@150.v2@150.png", {2, 2, 17, 17}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "dpi " << c.dpi);
        HiveUI::CDpiScale scale;
        scale.SetScale(c.dpi);
        TImageDrawSpec spec = Parsed(L"file='skin.v2.png' dest='1,1,11,11' iconsize='10,10'");
        spec.ApplyDpiScale(scale);
        EXPECT_STREQ(c.name, spec.name);
        ExpectRect(spec.dest, c.dest.left, c.dest.top, c.dest.right, c.dest.bottom);
        EXPECT_EQ(10, spec.iconSize.cx);
    }
    HiveUI::CDpiScale scale;
    scale.SetScale(144);
    TImageDrawSpec spec = Parsed(L"file='a.png' source='0,0,20,10' corner='2,4,6,8'");
    spec.ApplyDpiScale(scale);
    ExpectRect(spec.source, 0, 0, 30, 15);
    ExpectRect(spec.corner, 3, 6, 9, 12);
}
