#include <TestFiles.h>
#include <UIManager.h>
#include <UIRender.h>

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <algorithm>
#include <cwchar>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "../render/TextCanvas.h"

using namespace HiveUI;

// Found by the assertions' argument lookup, which searches RECT's own (global) namespace.
inline bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }
inline std::ostream& operator<<(std::ostream& out, const RECT& r) {
    return out << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}

namespace {

const DWORD kBlack = 0xFF000000;

// A 40 x 30 strip of four 10-pixel cells: red, green, blue, yellow.
void WriteStrip(const std::wstring& path) {
    const unsigned char cells[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}};
    std::vector<unsigned char> rgba;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            rgba.insert(rgba.end(), {cells[x / 10][0], cells[x / 10][1], cells[x / 10][2], 255});
    std::string png;
    stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            static_cast<std::string*>(context)->append(static_cast<const char*>(data), size);
        },
        &png, 40, 30, 4, rgba.data(), 40 * 4);
    ASSERT_TRUE(TestFiles::Write(path, png));
}

// Text copied to the very end of a readable page: reading past its terminator faults.
class GuardedText {
public:
    GuardedText() {
        m_base = static_cast<BYTE*>(VirtualAlloc(nullptr, 2 * kPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(m_base + kPage, kPage, PAGE_NOACCESS, &old);
    }
    ~GuardedText() { VirtualFree(m_base, 0, MEM_RELEASE); }
    GuardedText(const GuardedText&) = delete;
    GuardedText& operator=(const GuardedText&) = delete;

    const wchar_t* Place(const std::wstring& text) {
        wchar_t* end = reinterpret_cast<wchar_t*>(m_base + kPage) - 1;
        wchar_t* start = end - text.size();
        std::copy(text.begin(), text.end(), start);
        *end = L'\0';
        return start;
    }

private:
    static const size_t kPage = 65536;
    BYTE* m_base = nullptr;
};

class HtmlText : public FontFixture {
protected:
    RECT Measure(const wchar_t* text, UINT style, RECT rect = RECT{0, 0, 9999, 100}) {
        int links = 0;
        CUIRender::DrawHtmlText(manager_.GetPaintDC(), &manager_, rect, text, kBlack, nullptr, nullptr, links, 0,
                                style | DT_CALCRECT);
        return rect;
    }
    int Draw(Canvas& canvas, const wchar_t* text, UINT style, RECT rect, RECT* links = nullptr,
             CUIString* texts = nullptr, int capacity = 0, DWORD color = kBlack) {
        CUIRender::DrawHtmlText(canvas.dc(), &manager_, rect, text, color, links, texts, capacity, 0, style);
        return capacity;
    }

};

TEST_F(HtmlText, EquivalentTextsDrawTheSamePixels) {
    const struct {
        const wchar_t* first;
        const wchar_t* second;
        bool same;
    } cases[] = {
        {L"<b>Bold</b> text", L"{b}Bold{/b} text", true},
        {L"<b}Bold{/b> text", L"<b>Bold</b> text", true},
        {L"<b>Bold</b> text", L"Bold text", false},
        // A bold tag inside bold pushes nothing, so its end ends the outer bold.
        {L"<b><b>x</b>y</b>", L"<b>x</b>y", true},
        {L"a<bc d", L"<r>a<bc d</r>", true},
        {L"<{>x<}>{<}y{>}", L"<r>{x}<y></r>", true},
        {L"A<n>B", L"AB", true},
        {L"A<u>B C</u>", L"A<u>B</u> C", false},
    };
    for (const auto& c : cases) {
        Canvas first(200, 30, 0xFFFFFFFF), second(200, 30, 0xFFFFFFFF);
        Draw(first, c.first, DT_SINGLELINE, RECT{0, 0, 200, 30});
        Draw(second, c.second, DT_SINGLELINE, RECT{0, 0, 200, 30});
        EXPECT_EQ(c.same, SamePixels(first, second)) << c.first << " / " << c.second;
        EXPECT_GT(InkBox(first).right, 0) << c.first;
    }
}

TEST_F(HtmlText, ColourTagsDrawTheirColourAndGiveTheTextColourBack) {
    const struct {
        const wchar_t* text;
        DWORD colour;
    } cases[] = {
        {L"<c #FF0000>HHH</c>H", 0xFF0000},
        {L"{c 00FF00}HHH{/c}H", 0x00FF00},
        // Eight digits from 0x80000000 up read as 0x7FFFFFFF: white.
        {L"<c #80000000>HHH</c>H", 0xFFFFFF},
        {L"<c #FFFF0000>HHH</c>H", 0xFFFFFF},
    };
    for (const auto& c : cases) {
        Canvas canvas(120, 30, 0xFF000000);
        Draw(canvas, c.text, DT_SINGLELINE, RECT{0, 0, 120, 30}, nullptr, nullptr, 0, 0xFF808080);
        EXPECT_TRUE(HasColour(canvas, c.colour)) << c.text;
        EXPECT_TRUE(HasColour(canvas, 0x808080)) << c.text;
    }
}

TEST_F(HtmlText, MeasuringCountsLinesAndWidths) {
    const int line = LineHeight();
    const RECT bold = Measure(L"<b>hello</b>", DT_SINGLELINE);
    const struct {
        const wchar_t* text;
        UINT style;
        int width;  // of the measuring rectangle
        int lines;
        int measuredWidth;
    } cases[] = {
        {L"A<n>B", DT_WORDBREAK, 9999, 2, std::max(Width(L"A"), Width(L"B"))},
        {L"A<n>B", DT_SINGLELINE, 9999, 1, Width(L"AB")},
        {L"A\nB", 0, 9999, 2, std::max(Width(L"A"), Width(L"B"))},
        // The space that breaks the line does not widen the extent past the rectangle.
        {L"one two three", DT_WORDBREAK, Width(L"one two") + 1, 2, Width(L"one two") + 1},
        // A text that fits exactly keeps its closing tag on its line.
        {L"<b>hello</b>", DT_WORDBREAK, bold.right, 1, bold.right},
        {L"", DT_WORDBREAK, 9999, 1, 0},
    };
    for (const auto& c : cases) {
        const RECT extent = Measure(c.text, c.style, RECT{0, 0, c.width, 100});
        EXPECT_EQ(c.lines * line, extent.bottom) << c.text;
        EXPECT_EQ(c.measuredWidth, extent.right) << c.text;
    }
}

// A run that meets the right edge at the line's start keeps the character that does not
// fit, cut by the edge, and the line ends behind it; behind other text that character
// goes to the next line. Widths come from GDI on the same font.
TEST_F(HtmlText, ARunStartingALineKeepsTheCharacterCutByTheEdge) {
    const int line = LineHeight();
    const struct {
        const wchar_t* text;
        const wchar_t* widthOf;  // the rectangle is as wide as this text, less or more
        UINT style;
        int lines[3];  // one pixel narrower, exactly as wide, one pixel wider
    } cases[] = {
        {L"abc", L"abc", 0, {1, 1, 1}},
        {L"abc", L"abc", DT_WORDBREAK, {1, 1, 1}},
        {L"aaaaaaaa", L"aaa", 0, {3, 2, 2}},
        {L"aaaaaaaa", L"aaa", DT_WORDBREAK, {3, 2, 2}},
        {L"abc def", L"abc def", 0, {1, 1, 1}},
        {L"abc def", L"abc def", DT_WORDBREAK, {2, 1, 1}},
        // The comma kept at the edge is a word boundary: the line ends behind it.
        {L"abc, def", L"abc,", DT_WORDBREAK, {2, 2, 2}},
        // The colour tag parts the runs: "cd" stands behind other text.
        {L"ab<c #FF>cd</c>", L"abcd", 0, {2, 1, 1}},
        {L"ab<c #FF>cd</c>", L"abcd", DT_WORDBREAK, {2, 1, 1}},
    };
    for (const auto& c : cases) {
        for (int i = 0; i < 3; ++i) {
            const int width = Width(c.widthOf) - 1 + i;
            const RECT extent = Measure(c.text, c.style, RECT{0, 0, width, 100});
            EXPECT_EQ(c.lines[i] * line, extent.bottom) << c.text << " style " << c.style << " width " << width;
            EXPECT_LE(extent.right, width) << c.text;
        }
    }
}

// The drawn lines are the measured ones, each as GDI draws its text in the rectangle.
TEST_F(HtmlText, DrawnLinesAreTheMeasuredOnes) {
    ASSERT_LE(Width(L"..."), Width(L"thr"));
    const int line = LineHeight();
    const struct {
        const wchar_t* text;
        UINT style;
        int width;
        std::vector<const wchar_t*> lines;
    } cases[] = {
        {L"aaaaaaaa", 0, Width(L"aaa"), {L"aaaa", L"aaaa"}},
        {L"abc, def", DT_WORDBREAK, Width(L"abc,") - 1, {L"abc, ", L"def"}},
        // The line is cut back to its last word before it makes room for the dots.
        {L"one two three", DT_WORDBREAK | DT_END_ELLIPSIS, Width(L"one two thr"), {L"one two ...", L"three"}},
    };
    for (const auto& c : cases) {
        const RECT box = {0, 0, c.width, 4 * line};
        EXPECT_EQ(static_cast<int>(c.lines.size()) * line, Measure(c.text, c.style, box).bottom) << c.text;
        Canvas drawn(c.width + 20, 4 * line, 0xFFFFFFFF), expected(c.width + 20, 4 * line, 0xFFFFFFFF);
        Draw(drawn, c.text, c.style, box);
        HGDIOBJ old = SelectObject(expected.dc(), manager_.GetFont(0));
        SetBkMode(expected.dc(), TRANSPARENT);
        SetTextColor(expected.dc(), 0);
        IntersectClipRect(expected.dc(), 0, 0, c.width, 4 * line);
        for (size_t i = 0; i < c.lines.size(); ++i)
            TextOutW(expected.dc(), 0, static_cast<int>(i) * line, c.lines[i], static_cast<int>(wcslen(c.lines[i])));
        SelectClipRgn(expected.dc(), nullptr);
        SelectObject(expected.dc(), old);
        GdiFlush();
        EXPECT_TRUE(SamePixels(drawn, expected)) << c.text;
    }
}

// The layout measures from widths it keeps per font: they agree with GDI's extents, also
// where characters outside the font's first 256 or missing from it are measured by GDI.
TEST_F(HtmlText, MeasuredWidthsAgreeWithGdi) {
    const wchar_t* texts[] = {L"Fresh cat food, 12.50 per bag!", L"Caf\u00e9 cr\u00e8me \u00e0 l'\u0153il",
                              L"\u5ba0\u7269 shop \u98df\u54c1", L"a\x01" L"b\x7f" L"c"};
    for (const wchar_t* text : texts) EXPECT_EQ(Width(text), Measure(text, DT_SINGLELINE).right) << text;
}

// Underlined text looks as GDI draws it in an underlined font, spaces and selection too.
TEST_F(HtmlText, UnderlinesMatchGdi) {
    const struct {
        const wchar_t* tagged;
        int size;
        bool bold;
        bool italic;
        bool selected;
    } cases[] = {
        {L"<u>Hello gy</u>", 16, false, false, false},
        {L"<f Tahoma 23 bold italic underline>Hello gy</f>", 23, true, true, false},
        {L"<u><s>Hello gy</s></u>", 16, false, false, true},
    };
    for (const auto& c : cases) {
        Canvas tagged(200, 40, 0xFFFFFFFF), plain(200, 40, 0xFFFFFFFF);
        Draw(tagged, c.tagged, DT_SINGLELINE, RECT{0, 0, 200, 40});
        HFONT font = manager_.AddFont(50, L"Tahoma", c.size, c.bold, true, c.italic);
        HGDIOBJ old = SelectObject(plain.dc(), font);
        SetBkMode(plain.dc(), c.selected ? OPAQUE : TRANSPARENT);
        SetBkColor(plain.dc(), RGB((manager_.GetDefaultSelectedBkColor() >> 16) & 0xFF,
                                   (manager_.GetDefaultSelectedBkColor() >> 8) & 0xFF,
                                   manager_.GetDefaultSelectedBkColor() & 0xFF));
        SetTextColor(plain.dc(), 0);
        TextOutW(plain.dc(), 0, 0, L"Hello gy", 8);
        SelectObject(plain.dc(), old);
        GdiFlush();
        EXPECT_TRUE(SamePixels(tagged, plain)) << c.tagged;
    }
}

// Each placement draws exactly what a plain left-top drawing does in the rectangle that
// the measured extent gives.
TEST_F(HtmlText, PlacementFollowsTheMeasuredExtent) {
    const wchar_t* text = L"Hi <b>there</b>";
    const RECT box = {10, 5, 210, 55};
    const RECT extent = Measure(text, DT_SINGLELINE);
    const int w = extent.right, h = extent.bottom;
    const struct {
        UINT style;
        POINT at;
    } cases[] = {
        {DT_CENTER, {10 + 100 - w / 2, 5}},
        {DT_RIGHT, {210 - w, 5}},
        {DT_VCENTER, {10, 5 + 25 - h / 2}},
        {DT_BOTTOM, {10, 55 - h}},
        {DT_CENTER | DT_VCENTER, {10 + 100 - w / 2, 5 + 25 - h / 2}},
    };
    for (const auto& c : cases) {
        Canvas placed(220, 60, 0xFFFFFFFF), expected(220, 60, 0xFFFFFFFF);
        Draw(placed, text, DT_SINGLELINE | c.style, box);
        Draw(expected, text, DT_SINGLELINE, RECT{c.at.x, c.at.y, c.at.x + w, c.at.y + h});
        EXPECT_TRUE(SamePixels(placed, expected)) << "style " << c.style;
    }
    // A wrapped text is centred line by line.
    Canvas wrapped(220, 60, 0xFFFFFFFF);
    Draw(wrapped, L"one <b>two</b><n>three", DT_WORDBREAK | DT_CENTER, RECT{0, 0, 220, 60});
    const RECT ink = InkBox(wrapped);
    EXPECT_NEAR(220 - ink.right, ink.left, 3);
}

TEST_F(HtmlText, WrappedLinksGiveARectanglePerLineWithTheSameText) {
    const wchar_t* text = L"<a target>one two three four</a>";
    const int width = Width(L"one two three") + 1;
    const int line = LineHeight();
    RECT links[3] = {};
    CUIString texts[3];
    Canvas canvas(200, 60, 0xFFFFFFFF);
    ASSERT_EQ(2, Draw(canvas, text, DT_WORDBREAK, RECT{0, 0, width, 60}, links, texts, 3));
    EXPECT_STREQ(L"target", texts[0]);
    EXPECT_STREQ(L"target", texts[1]);
    EXPECT_EQ((RECT{0, 0, width, line}), links[0]);
    EXPECT_EQ((RECT{0, line, Width(L"four"), 2 * line}), links[1]);

    // No more slots than the caller gave are written; a capacity of 0 gives 0 links.
    for (int capacity : {1, 0}) {
        RECT few[2] = {{7, 7, 7, 7}, {7, 7, 7, 7}};
        CUIString fewTexts[2] = {L"old", L"old"};
        EXPECT_EQ(capacity, Draw(canvas, text, DT_WORDBREAK, RECT{0, 0, width, 60}, few, fewTexts, capacity));
        EXPECT_EQ((RECT{7, 7, 7, 7}), few[1]);
        EXPECT_STREQ(L"old", fewTexts[1]);
        EXPECT_STREQ(capacity == 0 ? L"old" : L"target", fewTexts[0]);
    }
}

TEST_F(HtmlText, TheHoveredLinkTakesTheHoverColour) {
    manager_.SetDefaultLinkHoverFontColor(0xFF00FF00);
    const wchar_t* text = L"<a go>HHHH</a> <a stay>HHHH</a>";
    RECT links[2] = {};
    CUIString texts[2];
    LRESULT result = 0;
    manager_.MessageHandler(WM_MOUSEMOVE, 0, MAKELPARAM(190, 25), result);
    Canvas away(200, 30, 0xFFFFFFFF);
    ASSERT_EQ(2, Draw(away, text, DT_SINGLELINE, RECT{0, 0, 200, 30}, links, texts, 2));
    EXPECT_FALSE(HasColour(away, 0x00FF00));
    const RECT first = links[0], second = links[1];
    manager_.MessageHandler(WM_MOUSEMOVE, 0, MAKELPARAM((first.left + first.right) / 2, first.top + 2), result);
    Canvas hovered(200, 30, 0xFFFFFFFF);
    ASSERT_EQ(2, Draw(hovered, text, DT_SINGLELINE, RECT{0, 0, 200, 30}, links, texts, 2));
    int greenInFirst = 0, greenInSecond = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 200; ++x) {
            if ((hovered.At(x, y) & 0xFFFFFF) != 0x00FF00) continue;
            greenInFirst += PtInRect(&first, POINT{x, y}) ? 1 : 0;
            greenInSecond += PtInRect(&second, POINT{x, y}) ? 1 : 0;
        }
    EXPECT_GT(greenInFirst, 10);
    EXPECT_EQ(0, greenInSecond);
}

TEST_F(HtmlText, ImagesInTextDrawTheChosenPartOfTheirStrip) {
    const std::wstring folder = TestFiles::TempFolder();
    WriteStrip(folder + L"strip.png");
    CPaintManagerUI::SetResourcePath(folder.c_str());
    const RECT extent = Measure(L"<i strip.png 4 2>", DT_SINGLELINE);
    EXPECT_EQ((RECT{0, 0, 10, 30}), extent);
    for (const wchar_t* text : {L"<i strip.png 4 2>", L"{i file='strip.png' 4 2}"}) {
        Canvas canvas(40, 30, 0xFFFFFFFF);
        Draw(canvas, text, DT_SINGLELINE, RECT{0, 0, 40, 30});
        EXPECT_EQ((RECT{0, 0, 10, 30}), InkBox(canvas)) << text;
        EXPECT_EQ(0x0000FFu, canvas.At(5, 15) & 0xFFFFFF) << text;
    }
}

// A first character wider than the rectangle, an indent past its edge, an image wider
// than it: the text still ends, and nothing lands outside the rectangle.
TEST_F(HtmlText, OversizedPiecesEndAndStayInsideTheClip) {
    const std::wstring folder = TestFiles::TempFolder();
    WriteStrip(folder + L"wide.png");
    CPaintManagerUI::SetResourcePath(folder.c_str());
    const RECT box = {30, 20, 38, 90};
    for (const wchar_t* text : {L"WWW WWW", L"<x 500>abc def", L"<i wide.png>x<i wide.png>", L"WW{x 9}W"}) {
        for (UINT style : {UINT{DT_WORDBREAK}, UINT{0}, UINT{DT_END_ELLIPSIS}, UINT{DT_SINGLELINE | DT_CENTER}}) {
            Canvas canvas(100, 120, 0xFFFFFFFF);
            Draw(canvas, text, style, box);
            const RECT ink = InkBox(canvas);
            RECT joined = {};
            UnionRect(&joined, &ink, &box);
            EXPECT_EQ(box, joined) << text << " style " << style;
            const RECT extent = Measure(text, style, box);
            EXPECT_LE(extent.right, box.right) << text;
            EXPECT_GE(extent.bottom, box.top + LineHeight()) << text;
        }
    }
}

// How many fonts the manager holds under the ids that tags derive fonts with.
int DerivedFonts(CPaintManagerUI& manager) {
    int count = 0;
    for (int id = 30000; id < 31000; ++id) count += manager.GetFontInfo(id) != manager.GetDefaultFontInfo() ? 1 : 0;
    return count;
}

TEST_F(HtmlText, DerivedFontsAreFoundAgainOnEveryRepaint) {
    const wchar_t* text = L"<b>b</b><i>i</i><u>u</u><f Tahoma 20 bold italic>f</f><a x>a</a>";
    Canvas canvas(200, 30, 0xFFFFFFFF);
    Draw(canvas, text, DT_SINGLELINE, RECT{0, 0, 200, 30});
    EXPECT_EQ(4, DerivedFonts(manager_));
    for (int i = 0; i < 300; ++i) Draw(canvas, text, DT_SINGLELINE, RECT{0, 0, 200, 30});
    EXPECT_EQ(4, DerivedFonts(manager_));
    EXPECT_TRUE(manager_.FindFont(L"Tahoma", 16, true, false, false) != nullptr);
    EXPECT_TRUE(manager_.FindFont(L"Tahoma", 20, true, false, true) != nullptr);
}

// Random and truncated tag texts: every one ends, writes no link past the capacity, and
// reads nothing past its terminator (the page behind it cannot be read).
TEST_F(HtmlText, HostileTextsDrawAndMeasureSafely) {
    const std::wstring rich =
        L"<a http://x>link</a> {b}bold{/b} <c #12ab34>c</c> <f 0>f</f> <f Tahoma 12 bold underline>g</f> "
        L"<i>it</i> <i nosuch.png 3 1> <n> <p 5>para</p> <r>raw<b></r> <s>sel</s> <u>u</u> <x 20> <y 30> "
        L"<{>{<}{>}<}> <a>\n{c #FFFFFFFF}{/c}<b";
    const wchar_t alphabet[] = L"<{>}/ abcfinprsuxy#0123456789'=\nW.";
    std::mt19937 random(17);
    std::vector<std::wstring> texts;
    for (size_t length = 0; length <= rich.size(); ++length) texts.push_back(rich.substr(0, length));
    for (int i = 0; i < 2000; ++i) {
        std::wstring text(random() % 48, L' ');
        for (wchar_t& ch : text) ch = alphabet[random() % (sizeof(alphabet) / sizeof(wchar_t) - 1)];
        texts.push_back(text);
    }
    const UINT styles[] = {DT_WORDBREAK, DT_SINGLELINE | DT_VCENTER | DT_CENTER, DT_END_ELLIPSIS, DT_RIGHT | DT_BOTTOM};
    GuardedText guard;
    Canvas canvas(120, 60, 0xFFFFFFFF);
    for (size_t i = 0; i < texts.size(); ++i) {
        const wchar_t* text = guard.Place(texts[i]);
        const UINT style = styles[i % 4];
        RECT links[3] = {{}, {}, {5, 5, 5, 5}};
        CUIString linkTexts[3] = {L"", L"", L"guard"};
        const int found = Draw(canvas, text, style, RECT{4, 4, 100, 50}, links, linkTexts, 2);
        ASSERT_TRUE(found >= 0 && found <= 2) << i;
        ASSERT_EQ((RECT{5, 5, 5, 5}), links[2]) << i;
        const RECT extent = Measure(text, style, RECT{4, 4, 100, 50});
        ASSERT_TRUE(extent.right <= 100 && extent.bottom >= 4) << i;
    }
}

}  // namespace
