#include <DpiScale.h>

#include <gtest/gtest.h>

using HiveUI::CDpiScale;

namespace {

struct ScaleCase {
    int dpi;
    int percent;
    int value;
    int scaled;      // rounded to nearest, halves away from zero
    int scaledBack;  // of the same value
};

// Expected values worked out by hand: 15 * 1.5 = 22.5 -> 23, 15 / 1.25 = 12, 7 / 1.5 = 4.67 -> 5.
const ScaleCase kScaleCases[] = {
    {96, 100, 15, 15, 15},    {96, 100, -7, -7, -7},    {120, 125, 15, 19, 12},   {120, 125, 3, 4, 2},
    {144, 150, 15, 23, 10},   {144, 150, 7, 11, 5},     {144, 150, -15, -23, -10}, {144, 150, 1, 2, 1},
    {192, 200, 15, 30, 8},    {192, 200, 7, 14, 4},     {192, 200, 0, 0, 0},      {120, 125, 2, 3, 2},
};

TEST(DpiScale, ScalesAndScalesBackWithRoundingToNearest) {
    for (const ScaleCase& c : kScaleCases) {
        CDpiScale scale;
        scale.SetScale(c.dpi);
        EXPECT_EQ(c.percent, scale.GetScale()) << c.dpi;
        EXPECT_EQ(c.dpi, scale.GetDPI()) << c.dpi;
        EXPECT_EQ(c.scaled, scale.Scale(c.value)) << c.dpi << " dpi, value " << c.value;
        EXPECT_EQ(c.scaledBack, scale.ScaleBack(c.value)) << c.dpi << " dpi, value " << c.value;
    }
}

TEST(DpiScale, StartsAt96DpiWhereLengthsStayAsTheSkinGivesThem) {
    CDpiScale scale;
    EXPECT_EQ(100, scale.GetScale());
    EXPECT_EQ(96, scale.GetDPI());
    EXPECT_EQ(12345, scale.Scale(12345));
    EXPECT_EQ(-3, scale.ScaleBack(-3));
}

TEST(DpiScale, ADpiThatIsNotRoundGivesTheNearestPercentAndBack) {
    CDpiScale scale;
    scale.SetScale(100);  // 104.17 %
    EXPECT_EQ(104, scale.GetScale());
    EXPECT_EQ(100, scale.GetDPI());  // 104 * 0.96 = 99.84
}

TEST(DpiScale, ZeroOrNegativeDpiIsIgnored) {
    CDpiScale scale;
    scale.SetScale(144);
    scale.SetScale(0);
    scale.SetScale(-96);
    EXPECT_EQ(150, scale.GetScale());
    EXPECT_EQ(10, scale.ScaleBack(15));
}

struct RectCase {
    int dpi;
    RECT in;
    RECT scaled;
    RECT scaledBack;
};

// Width and height come from the scaled differences, not from the scaled edges.
const RectCase kRectCases[] = {
    {144, {1, 1, 11, 11}, {2, 2, 17, 17}, {1, 1, 8, 8}},
    {144, {3, 5, 13, 15}, {5, 8, 20, 23}, {2, 3, 9, 10}},
    {120, {0, 0, 100, 30}, {0, 0, 125, 38}, {0, 0, 80, 24}},
    {192, {-5, 4, 5, 9}, {-10, 8, 10, 18}, {-3, 2, 2, 5}},
    {96, {7, 8, 9, 10}, {7, 8, 9, 10}, {7, 8, 9, 10}},
};

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(DpiScale, RectanglesKeepTheirScaledWidthWhereverTheyStart) {
    for (const RectCase& c : kRectCases) {
        CDpiScale scale;
        scale.SetScale(c.dpi);
        const RECT fromValues = scale.ScaleRectFromValues(c.in.left, c.in.top, c.in.right, c.in.bottom);
        EXPECT_TRUE(SameRect(c.scaled, fromValues)) << c.dpi << " dpi, left " << c.in.left << " -> "
                                                     << fromValues.left << "," << fromValues.top << ","
                                                     << fromValues.right << "," << fromValues.bottom;
        RECT inPlace = c.in;
        scale.ScaleRect(inPlace);
        EXPECT_TRUE(SameRect(c.scaled, inPlace)) << c.dpi << " dpi, left " << c.in.left;
        RECT back = c.in;
        scale.ScaleBackRect(back);
        EXPECT_TRUE(SameRect(c.scaledBack, back)) << c.dpi << " dpi, left " << c.in.left << " -> " << back.left
                                                  << "," << back.top << "," << back.right << "," << back.bottom;
    }
}

TEST(DpiScale, PointsAndSizesScaleEachCoordinate) {
    CDpiScale scale;
    scale.SetScale(144);
    POINT pt = {15, -7};
    scale.ScalePoint(pt);
    EXPECT_EQ(23, pt.x);
    EXPECT_EQ(-11, pt.y);
    const SIZE size = scale.ScaleSize(15, 200);
    EXPECT_EQ(23, size.cx);
    EXPECT_EQ(300, size.cy);
}

}  // namespace
