#include <Shadow.h>

#include <gtest/gtest.h>

using HiveUI::CShadowUI;

namespace {

struct RangeCase {
    const char* what;
    bool (*apply)(CShadowUI&);
    bool accepted;
};

const RangeCase kRanges[] = {
    {"size -36", [](CShadowUI& s) { return s.SetSize(-36); }, false},
    {"size -35", [](CShadowUI& s) { return s.SetSize(-35); }, true},
    {"size 35", [](CShadowUI& s) { return s.SetSize(35); }, true},
    {"size 36", [](CShadowUI& s) { return s.SetSize(36); }, false},
    {"sharpness 35", [](CShadowUI& s) { return s.SetSharpness(35); }, true},
    {"sharpness 36", [](CShadowUI& s) { return s.SetSharpness(36); }, false},
    {"darkness 255", [](CShadowUI& s) { return s.SetDarkness(255); }, true},
    {"darkness 256", [](CShadowUI& s) { return s.SetDarkness(256); }, false},
    {"position -35,35", [](CShadowUI& s) { return s.SetPosition(-35, 35); }, true},
    {"position 36,0", [](CShadowUI& s) { return s.SetPosition(36, 0); }, false},
    {"position 0,-36", [](CShadowUI& s) { return s.SetPosition(0, -36); }, false},
    {"corner 1,2,3,4", [](CShadowUI& s) { return s.SetShadowCorner(RECT{1, 2, 3, 4}); }, true},
    {"corner with a negative bottom", [](CShadowUI& s) { return s.SetShadowCorner(RECT{3, 3, 3, -1}); }, false},
    {"corner with a negative left", [](CShadowUI& s) { return s.SetShadowCorner(RECT{-1, 3, 3, 3}); }, false},
    {"no image", [](CShadowUI& s) { return s.SetImage(nullptr); }, false},
    {"colour", [](CShadowUI& s) { return s.SetColor(0x00123456); }, true},
};

// Everything a setter may change, to see that a refused value changes nothing.
std::string Settings(const CShadowUI& s) {
    const RECT c = s.GetShadowCorner();
    char text[160];
    snprintf(text, sizeof(text), "%d %d %d %ld,%ld %06lx %d [%ls] %ld,%ld,%ld,%ld", s.GetSize(), s.GetSharpness(),
             s.GetDarkness(), s.GetPosition().x, s.GetPosition().y, static_cast<unsigned long>(s.GetColor()),
             s.IsImageMode(), s.GetImage().GetData(), c.left, c.top, c.right, c.bottom);
    return text;
}

TEST(ShadowSettings, SettersAcceptTheirRangesAndRefusedValuesChangeNothing) {
    for (const RangeCase& c : kRanges) {
        CShadowUI shadow;
        const std::string before = Settings(shadow);
        EXPECT_EQ(c.accepted, c.apply(shadow)) << c.what;
        if (c.accepted) {
            EXPECT_NE(before, Settings(shadow)) << c.what;
        } else {
            EXPECT_EQ(before, Settings(shadow)) << c.what;
        }
    }
}

TEST(ShadowSettings, StartsDarkness150Sharpness5SizeZeroBlackAndHidden) {
    CShadowUI shadow;
    EXPECT_EQ("0 5 150 0,0 000000 0 [] 0,0,0,0", Settings(shadow));
    EXPECT_FALSE(shadow.IsShowShadow());
    EXPECT_EQ(nullptr, shadow.GetHWND());
}

TEST(ShadowSettings, PreMultiplyScalesEachColourByteAndDropsTheTopByte) {
    struct Case {
        COLORREF color;
        BYTE alpha;
        DWORD expected;
    };
    const Case cases[] = {
        {0x00FF8040, 255, 0x00FF8040}, {0x00FF8040, 128, 0x00804020}, {0x00FF8040, 0, 0},
        {0xFFFFFFFF, 255, 0x00FFFFFF}, {0x00010101, 254, 0},           {0x00C80064, 100, 0x004E0027},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, CShadowUI::PreMultiply(c.color, c.alpha)) << std::hex << c.color << " " << int(c.alpha);
}

TEST(ShadowSettings, CopyShadowHandsOnTheLookOfItsMode) {
    CShadowUI computed;
    computed.SetSize(7);
    computed.SetSharpness(9);
    computed.SetDarkness(40);
    computed.SetColor(0x00102030);
    computed.SetPosition(-3, 4);
    computed.ShowShadow(true);
    CShadowUI target;
    ASSERT_TRUE(computed.CopyShadow(&target));
    EXPECT_EQ(Settings(computed), Settings(target));
    EXPECT_TRUE(target.IsShowShadow());

    CShadowUI image;
    image.SetImage(L"shadow.png");
    image.SetShadowCorner(RECT{4, 5, 6, 7});
    image.SetSize(3);
    image.SetDarkness(10);
    CShadowUI imageTarget;
    imageTarget.ShowShadow(true);
    image.CopyShadow(&imageTarget);
    EXPECT_EQ("3 5 150 0,0 000000 1 [shadow.png] 4,5,6,7", Settings(imageTarget));
    EXPECT_FALSE(imageTarget.IsShowShadow());
    EXPECT_FALSE(image.CopyShadow(nullptr));
}

}  // namespace
