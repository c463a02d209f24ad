#include <UIString.h>

#include <gtest/gtest.h>

#include <string>

using HiveUI::CUIString;

namespace {

std::wstring Repeat(wchar_t ch, int n) { return std::wstring(static_cast<size_t>(n), ch); }

// The inline buffer is a member; a text outside the object lives on the heap.
bool IsInline(const CUIString& s) {
    const char* p = reinterpret_cast<const char*>(s.GetData());
    const char* self = reinterpret_cast<const char*>(&s);
    return p >= self && p < self + sizeof(CUIString);
}

}  // namespace

TEST(UIString, SixtyTwoCharactersStayInlineAndTheSixtyThirdMovesToTheHeap) {
    CUIString s(Repeat(L'a', 62).c_str());
    EXPECT_TRUE(IsInline(s));
    EXPECT_EQ(62, s.GetLength());
    s += L'b';
    EXPECT_FALSE(IsInline(s));
    EXPECT_EQ(63, s.GetLength());
    EXPECT_EQ(Repeat(L'a', 62) + L"b", s.GetData());
    s = Repeat(L'c', 62).c_str();
    EXPECT_TRUE(IsInline(s));
    EXPECT_EQ(Repeat(L'c', 62), s.GetData());
}

TEST(UIString, HeapTextShrinkingBackToInlineKeepsItsContent) {
    CUIString s(Repeat(L'x', 200).c_str());
    ASSERT_FALSE(IsInline(s));
    s.Assign(L"short");
    EXPECT_TRUE(IsInline(s));
    EXPECT_STREQ(L"short", s.GetData());
    s.Assign(Repeat(L'y', 63).c_str());
    EXPECT_FALSE(IsInline(s));
    s.Empty();
    EXPECT_TRUE(IsInline(s));
    EXPECT_TRUE(s.IsEmpty());
}

TEST(UIString, AssignCopiesExactlyTheGivenLengthAndTreatsNullAsEmpty) {
    CUIString s;
    EXPECT_EQ(3, s.Assign(L"abcdef", 3));
    EXPECT_STREQ(L"abc", s.GetData());
    EXPECT_EQ(6, s.Assign(L"abcdef", -1));
    EXPECT_EQ(0, s.Assign(nullptr));
    EXPECT_TRUE(s.IsEmpty());
    s = L"x";
    s = static_cast<const wchar_t*>(nullptr);
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_STREQ(L"q", CUIString(L'q').GetData());
}

TEST(UIString, SelfAppendAndSelfAssignmentReadNoFreedMemory) {
    for (int n : {5, 31, 40, 62, 63, 100}) {
        const std::wstring text = Repeat(L'k', n - 1) + L"z";
        CUIString s(text.c_str());
        s += s;
        EXPECT_EQ(text + text, s.GetData()) << n;
        CUIString t(text.c_str());
        t.Append(t.GetData());
        EXPECT_EQ(text + text, t.GetData()) << n;
        CUIString u(text.c_str());
        u = u;
        EXPECT_EQ(text, u.GetData()) << n;
        // A short piece of its own heap text: the block is freed as the string moves inline.
        CUIString v(text.c_str());
        v = v.GetData() + n - 3;
        EXPECT_EQ(text.substr(n - 3), v.GetData()) << n;
        CUIString w(text.c_str());
        w.Assign(w.GetData() + 1, n / 2);
        EXPECT_EQ(text.substr(1, n / 2), w.GetData()) << n;
    }
}

TEST(UIString, ConcatenationAndComparison) {
    CUIString a(L"Pet"), b(L"Shop");
    EXPECT_STREQ(L"PetShop", (a + b).GetData());
    EXPECT_STREQ(L"Pet!", (a + L"!").GetData());
    EXPECT_STREQ(L"Pet", (a + static_cast<const wchar_t*>(nullptr)).GetData());
    a += static_cast<const wchar_t*>(nullptr);
    EXPECT_STREQ(L"Pet", a.GetData());
    EXPECT_TRUE(a == L"Pet");
    EXPECT_TRUE(a != L"pet");
    EXPECT_TRUE(a < L"Peu");
    EXPECT_LT(a.Compare(L"Q"), 0);
    EXPECT_EQ(0, a.CompareNoCase(L"pET"));
    a.MakeLower();
    EXPECT_STREQ(L"pet", a.GetData());
}

TEST(UIString, LeftMidAndRightClampToTheText) {
    CUIString s(L"tallyhive");
    EXPECT_STREQ(L"tal", s.Left(3).GetData());
    EXPECT_STREQ(L"", s.Left(-2).GetData());
    EXPECT_STREQ(L"tallyhive", s.Left(50).GetData());
    EXPECT_STREQ(L"hive", s.Right(4).GetData());
    EXPECT_STREQ(L"tallyhive", s.Right(50).GetData());
    EXPECT_STREQ(L"", s.Right(-1).GetData());
    EXPECT_STREQ(L"lyh", s.Mid(3, 3).GetData());
    EXPECT_STREQ(L"lyhive", s.Mid(3).GetData());
    EXPECT_STREQ(L"lyhive", s.Mid(3, -5).GetData());
    EXPECT_STREQ(L"ive", s.Mid(6, 100).GetData());
    EXPECT_STREQ(L"", s.Mid(9).GetData());
    EXPECT_STREQ(L"", s.Mid(40, 2).GetData());
}

TEST(UIString, FindHonoursItsStartRules) {
    CUIString s(L"a,b,c");
    EXPECT_EQ(1, s.Find(L','));
    EXPECT_EQ(3, s.Find(L',', 2));
    EXPECT_EQ(-1, s.Find(L',', 5));   // start equal to the length
    EXPECT_EQ(-1, s.Find(L',', -1));
    EXPECT_EQ(-1, s.Find(L'z'));
    EXPECT_EQ(-1, s.Find(L'\0'));
    EXPECT_EQ(-1, CUIString().Find(L'a'));
    EXPECT_EQ(2, s.Find(L"b,c"));
    EXPECT_EQ(5, s.Find(L"", 5));     // the empty tail holds the empty text
    EXPECT_EQ(-1, s.Find(L"a", 6));
    EXPECT_EQ(-1, s.Find(L"a", 1));
    EXPECT_EQ(3, s.ReverseFind(L','));
    EXPECT_EQ(-1, s.ReverseFind(L'x'));
}

TEST(UIString, ReplaceResumesBehindTheInsertedText) {
    CUIString s(L"aaa");
    EXPECT_EQ(3, s.Replace(L"a", L"aa"));
    EXPECT_STREQ(L"aaaaaa", s.GetData());
    CUIString t(L"one two one");
    EXPECT_EQ(2, t.Replace(L"one", L""));
    EXPECT_STREQ(L" two ", t.GetData());
    EXPECT_EQ(0, t.Replace(L"zzz", L"y"));
    EXPECT_STREQ(L" two ", t.GetData());
    EXPECT_EQ(0, t.Replace(L"", L"y"));  // an empty searched text replaces nothing
    EXPECT_STREQ(L" two ", t.GetData());
    CUIString u((Repeat(L'-', 70) + L"$x$").c_str());
    EXPECT_EQ(1, u.Replace(L"$x$", Repeat(L'=', 100).c_str()));
    EXPECT_EQ(Repeat(L'-', 70) + Repeat(L'=', 100), u.GetData());
}

TEST(UIString, FormatHasNoLengthLimitAndTakesWideTextsForPercentS) {
    CUIString s;
    const std::wstring longText = Repeat(L'w', 350);
    EXPECT_EQ(356, s.Format(L"<%s>%04d", longText.c_str(), 7));
    EXPECT_EQ(L"<" + longText + L">0007", s.GetData());
    EXPECT_EQ(11, s.Format(L"%s=%d", L"rows", 123456));
    EXPECT_STREQ(L"rows=123456", s.GetData());
    // The format may be the string's own text.
    s = L"%d-%d";
    s.Format(s.GetData(), 1, 2);
    EXPECT_STREQ(L"1-2", s.GetData());
}

TEST(UIString, SmallFormatKeepsAtMostSixtyThreeCharacters) {
    CUIString s;
    s.SmallFormat(L"dest='%d,%d,%d,%d'", 1, 2, 30, 40);
    EXPECT_STREQ(L"dest='1,2,30,40'", s.GetData());
    s.SmallFormat(L"%4d-%02d-%02d", 2026, 3, 9);
    EXPECT_STREQ(L"2026-03-09", s.GetData());
    s.SmallFormat(L"%s", Repeat(L'z', 80).c_str());
    EXPECT_EQ(Repeat(L'z', 63), s.GetData());
    s = L"[%s]";
    s.SmallFormat(s.GetData(), L"own");
    EXPECT_STREQ(L"[own]", s.GetData());
}
