// CUIRender::DrawHtmlText: tagged text laid out line by line with GDI. Each line is laid
// out first (how tall it is, where it breaks, where its links are) and, when drawing,
// drawn a second time from the state saved at its start.
// Selecting a font and each call that measures or draws text cost GDI several
// microseconds whatever their length, more than the characters themselves: the layout
// measures from widths the font entry keeps, and fonts are selected only to draw.
#include <algorithm>
#include <climits>
#include <cwchar>
#include <utility>
#include <vector>

#include "ImageData.h"
#include "ImageDrawSpec.h"
#include "RenderClip.h"
#include "SkinResources.h"
#include "UIManager.h"
#include "UIRender.h"
#include "UIString.h"

namespace HiveUI {

namespace {

// Fonts that tags derive are added to the manager's cache under ids from here on.
int g_nextDerivedFontId = 30000;

// Lengths and sizes written in tags are kept within what GDI can draw quickly.
const int kMaxTagLength = 0xFFFF;
const int kMaxFontSize = 1000;

enum TFontVariant { kBold = 1, kUnderline = 2, kItalic = 4 };

bool IsOpener(wchar_t ch) { return ch == L'<' || ch == L'{'; }
bool IsCloser(wchar_t ch) { return ch == L'>' || ch == L'}'; }
bool IsTagLetter(wchar_t ch) { return ch >= L'a' && ch <= L'z'; }
bool EndsTagLetter(wchar_t ch) { return ch == L' ' || IsCloser(ch); }
bool IsAsciiLetter(wchar_t ch) { return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z'); }
bool IsDigit(wchar_t ch) { return ch >= L'0' && ch <= L'9'; }
int HexValue(wchar_t ch) {
    if (IsDigit(ch)) return ch - L'0';
    if (ch >= L'a' && ch <= L'f') return ch - L'a' + 10;
    if (ch >= L'A' && ch <= L'F') return ch - L'A' + 10;
    return -1;
}

// "<{>" and "<}>" stand for braces, "{<}" and "{>}" for angle brackets; 0 for no escape.
wchar_t EscapedAt(const wchar_t* p) {
    if (p[0] == L'<' && (p[1] == L'{' || p[1] == L'}') && p[2] == L'>') return p[1];
    if (p[0] == L'{' && (p[1] == L'<' || p[1] == L'>') && p[2] == L'}') return p[1];
    return 0;
}

bool IsRawEnd(const wchar_t* p) { return wcsncmp(p, L"</r>", 4) == 0 || wcsncmp(p, L"{/r}", 4) == 0; }

COLORREF ToColorRef(DWORD color) { return RGB((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF); }

// One tag: its letter, whether it closes, and its argument text up to the first closing
// bracket (or the end of the text when it has none).
struct TTag {
    wchar_t letter = 0;
    bool closing = false;
    const wchar_t* args = nullptr;
    const wchar_t* argsEnd = nullptr;
    const wchar_t* next = nullptr;
};

bool ReadTag(const wchar_t* p, TTag& tag) {
    tag.closing = p[1] == L'/';
    const wchar_t* letter = tag.closing ? p + 2 : p + 1;
    if (!IsTagLetter(letter[0]) || !EndsTagLetter(letter[1])) return false;
    tag.letter = letter[0];
    tag.args = letter + 1;
    const wchar_t* end = tag.args;
    while (*end != L'\0' && !IsCloser(*end)) ++end;
    tag.argsEnd = end;
    tag.next = *end != L'\0' ? end + 1 : end;
    return true;
}

// Readers of tag arguments: each stops at the end of the arguments.
struct TArgReader {
    const wchar_t* p;
    const wchar_t* end;

    void SkipSpaces() {
        while (p < end && *p == L' ') ++p;
    }
    bool AtEnd() {
        SkipSpaces();
        return p >= end;
    }
    // A decimal number whose size stays within the limit; false when none is there.
    bool ReadNumber(int& value, int limit = kMaxTagLength) {
        SkipSpaces();
        const bool negative = p < end && *p == L'-';
        const wchar_t* digits = negative ? p + 1 : p;
        if (digits >= end || !IsDigit(*digits)) return false;
        long long n = 0;
        for (p = digits; p < end && IsDigit(*p); ++p) n = std::min<long long>(n * 10 + (*p - L'0'), limit);
        value = negative ? -static_cast<int>(n) : static_cast<int>(n);
        return true;
    }
    // A length in pixels: 0 up to kMaxTagLength.
    int Length() {
        int value = 0;
        ReadNumber(value);
        return std::max(value, 0);
    }
    // Hexadecimal with an optional '#'; values beyond 0x7FFFFFFF read as 0x7FFFFFFF.
    DWORD Color() {
        SkipSpaces();
        if (p < end && *p == L'#') ++p;
        unsigned long long value = 0;
        for (; p < end && HexValue(*p) >= 0; ++p)
            value = std::min<unsigned long long>(value * 16 + HexValue(*p), 0x7FFFFFFF);
        return static_cast<DWORD>(value);
    }
    CUIString Word() {
        SkipSpaces();
        const wchar_t* start = p;
        while (p < end && *p != L' ') ++p;
        return CUIString(start, static_cast<int>(p - start));
    }
    CUIString Rest() {
        SkipSpaces();
        return CUIString(p, static_cast<int>(end - p));
    }
};

bool ContainsNoCase(CUIString text, const wchar_t* word) {
    text.MakeLower();
    return text.Find(word) >= 0;
}

// What a line's drawing pass starts from again.
struct TTextState {
    std::vector<TFontEntry*> fonts;
    std::vector<DWORD> colors;
    std::vector<int> paragraphs;
    bool raw = false;
    bool inLink = false;
    bool selected = false;
    int linkIndex = 0;
    const wchar_t* pos = nullptr;

    TTextState() {
        fonts.reserve(10);
        colors.reserve(10);
        paragraphs.reserve(10);
    }
};

// Where a run of text breaks, found by the layout pass and replayed by the drawing pass.
struct TRunFit {
    const wchar_t* run;
    int x;
    int taken;
    int width;
    int visibleWidth;  // without trailing spaces
    bool ellipsis;
};

// Text waiting to be drawn: GDI's cost per font selected outweighs its cost per call, so
// the text is drawn font by font.
struct TTextDraw {
    TFontEntry* font;
    COLORREF color;
    int x;
    int y;
    const wchar_t* text;
    int length;
    int width;
    int lineTop;   // of an underline drawn by us, from the text's top
    int lineSize;  // 0: none
};

// GDI asks for the outline metrics at every underlined call, which costs it more than
// the text: underlined text is drawn in the font without the underline and the line,
// where GDI puts it, is filled after it.
struct TUnderlineFont {
    TFontEntry* font;
    TFontEntry* plain;  // null: GDI draws the line
    int top;
    int size;
};

struct TDerivedFont {
    TFontEntry* from;
    int variant;
    TFontEntry* font;
};

class CHtmlTextPainter {
public:
    CHtmlTextPainter(HDC dc, CPaintManagerUI* manager, const RECT& rect, DWORD color, RECT* links, CUIString* linkTexts,
                     int capacity, int font, UINT style);
    // Lays the text out (and draws it unless measuring); the number of links found.
    int Run(const wchar_t* text);
    // With DT_CALCRECT: the extent the text needs.
    RECT Extent() const;

private:
    enum TPass { kLayout, kDraw };

    void FindHoveredLink();
    bool RunLine();
    bool EndsHere(const wchar_t* p) const;
    void NextPiece();
    void Tag(const TTag& tag);
    void OpenTag(const TTag& tag);
    void CloseTag(const TTag& tag);
    void Space();
    void Escaped(wchar_t ch);
    void TextRun();
    TRunFit FitRun(const wchar_t* run, int length);
    int FitCount(const wchar_t* run, int length, int room, bool& ellipsis);
    int SpaceWidth();
    int WordCut(const wchar_t* run, int held, int length) const;
    bool MeasurePrefixes(const wchar_t* run, int length, int room);
    void Image(const TTag& tag);

    void OpenLink(const CUIString& target);
    void CloseLink();
    void StartLine();
    void FinishLayout(int firstLink);
    int AlignShift() const;

    TFontEntry* CurrentFont() const { return m_state.fonts.empty() ? m_baseFont : m_state.fonts.back(); }
    DWORD CurrentColor() const { return m_state.colors.empty() ? m_textColor : m_state.colors.back(); }
    int ParagraphExtra() const { return m_state.paragraphs.empty() ? 0 : m_state.paragraphs.back(); }
    const TEXTMETRICW& Metrics(TFontEntry* font);
    const std::vector<int>& NarrowWidths(TFontEntry* font);
    bool MeasureNarrow(const wchar_t* run, int length, int room);
    int TextWidth(const wchar_t* text, int length);
    int FontLineHeight(TFontEntry* font);
    int TextTop();
    TFontEntry* Derive(TFontEntry* from, int variant);
    TFontEntry* FindOrAddFont(const wchar_t* face, int size, int styles);
    void PushVariant(int variant);
    void PushFont(TFontEntry* font);
    void PopFont();
    void PushColor(DWORD color);
    void PopColor();
    void SelectFont(TFontEntry* font);
    void SetColor(COLORREF color);
    void SetBackgroundMode(int mode);
    void Draw(int x, int y, const wchar_t* text, int length, int width);
    void DrawNow(const TTextDraw& draw);
    void FlushDraws();
    const TUnderlineFont& Underline(TFontEntry* font);
    bool Drawing() const { return m_pass == kDraw; }
    bool AtLeftEdge() const { return m_pen.x == m_rect.left; }

    HDC m_dc;
    CPaintManagerUI* m_manager;
    RECT m_rect;
    UINT m_style;
    bool m_measureOnly;
    bool m_singleLine;
    DWORD m_textColor;
    RECT* m_links;
    CUIString* m_linkTexts;
    int m_capacity;
    TFontEntry* m_baseFont;

    TTextState m_state;
    TTextState m_lineStart;
    TPass m_pass = kLayout;
    POINT m_pen = {0, 0};
    int m_lineHeight = 0;
    // Where the line's last piece other than a space ends, and so how wide the line looks.
    int m_contentRight = 0;
    int m_lineWidth = 0;
    int m_shift = 0;
    int m_maxX = 0;
    int m_imageBottom = 0;
    bool m_lineEnd = false;
    int m_linksFound = 0;
    CUIString m_hoveredLink;
    bool m_hovering = false;

    HFONT m_selectedFont = nullptr;
    COLORREF m_colorRef = CLR_INVALID;
    int m_bkMode = 0;
    std::vector<TDerivedFont> m_derived;
    std::vector<int> m_extents;
    std::vector<TRunFit> m_fits;
    std::vector<TTextDraw> m_draws;
    std::vector<TUnderlineFont> m_underlines;
    size_t m_nextFit = 0;
};

CHtmlTextPainter::CHtmlTextPainter(HDC dc, CPaintManagerUI* manager, const RECT& rect, DWORD color, RECT* links,
                                   CUIString* linkTexts, int capacity, int font, UINT style)
    : m_dc(dc),
      m_manager(manager),
      m_rect(rect),
      m_style(style),
      m_measureOnly((style & DT_CALCRECT) != 0),
      m_singleLine((style & DT_SINGLELINE) != 0),
      m_textColor(color),
      m_links(links),
      m_linkTexts(linkTexts),
      m_capacity(links != nullptr && linkTexts != nullptr ? std::max(capacity, 0) : 0),
      m_baseFont(manager->GetFontInfo(font)) {}

void CHtmlTextPainter::FindHoveredLink() {
    const POINT mouse = m_manager->GetMousePos();
    for (int i = 0; i < m_capacity; ++i) {
        if (!PtInRect(&m_links[i], mouse)) continue;
        m_hoveredLink = m_linkTexts[i];
        m_hovering = true;
        return;
    }
}

int CHtmlTextPainter::Run(const wchar_t* text) {
    FindHoveredLink();
    SetBkColor(m_dc, ToColorRef(m_manager->GetDefaultSelectedBkColor()));
    m_state.pos = text;
    m_pen = POINT{m_rect.left, m_rect.top};
    m_maxX = m_rect.left;
    m_imageBottom = m_rect.top;
    for (;;) {
        m_lineStart = m_state;
        m_pass = kLayout;
        StartLine();
        bool lineFeed = RunLine();
        FinishLayout(m_lineStart.linkIndex);
        if (!m_measureOnly) {
            m_state = m_lineStart;
            m_pass = kDraw;
            m_shift = AlignShift();
            m_nextFit = 0;
            m_pen.x = m_rect.left;
            lineFeed = RunLine();
        }
        // A link still open goes on in the next slot on the next line.
        if (m_state.inLink) ++m_state.linkIndex;
        if (m_singleLine || (*m_state.pos == L'\0' && !lineFeed)) break;
        m_pen.y += m_lineHeight;
        m_lineHeight = FontLineHeight(CurrentFont()) + ParagraphExtra();
        if (*m_state.pos == L'\0' || (!m_measureOnly && m_pen.y > m_rect.bottom)) break;
    }
    FlushDraws();
    return m_linksFound;
}

RECT CHtmlTextPainter::Extent() const {
    RECT extent = m_rect;
    extent.bottom = std::max<LONG>(m_imageBottom, m_pen.y + m_lineHeight);
    extent.right = std::min<LONG>(m_rect.right, m_maxX);
    return extent;
}

// The line height as the line's first font gives it; a link that goes on from the line
// before takes its next slot here.
void CHtmlTextPainter::StartLine() {
    m_fits.clear();
    m_pen.x = m_rect.left;
    m_contentRight = m_rect.left;
    m_lineHeight = FontLineHeight(CurrentFont()) + ParagraphExtra();
    const int slot = m_state.linkIndex;
    if (!m_state.inLink || slot <= 0 || slot >= m_capacity) return;
    m_linkTexts[slot] = m_linkTexts[slot - 1];
    m_links[slot] = RECT{m_pen.x, m_pen.y, m_pen.x, m_pen.y};
    m_linksFound = std::max(m_linksFound, slot + 1);
}

// Runs the pieces of one line; true when the line ended at a line feed, which it takes.
bool CHtmlTextPainter::RunLine() {
    m_lineEnd = false;
    for (;;) {
        const wchar_t ch = *m_state.pos;
        if (ch == L'\0') return false;
        if (ch == L'\n') {
            ++m_state.pos;
            m_lineEnd = true;
            return true;
        }
        if (m_lineEnd || EndsHere(m_state.pos)) return false;
        NextPiece();
        m_maxX = std::max<int>(m_maxX, m_pen.x);
    }
}

// A line that has reached its right edge still takes the closing tags and the new-line
// tag behind its last piece: they belong to it, not to an empty line of their own.
bool CHtmlTextPainter::EndsHere(const wchar_t* p) const {
    if (m_pen.x < m_rect.right || AtLeftEdge()) return false;
    TTag tag;
    if (m_state.raw || !IsOpener(*p) || !ReadTag(p, tag)) return true;
    return !(tag.closing || tag.letter == L'n');
}

void CHtmlTextPainter::NextPiece() {
    const wchar_t* p = m_state.pos;
    if (m_state.raw) {
        if (!IsRawEnd(p)) return TextRun();
        m_state.pos += 4;
        m_state.raw = false;
        return;
    }
    if (IsOpener(*p)) {
        if (const wchar_t escaped = EscapedAt(p)) return Escaped(escaped);
        TTag tag;
        if (ReadTag(p, tag)) return Tag(tag);
    }
    if (*p == L' ') return Space();
    TextRun();
}

void CHtmlTextPainter::Tag(const TTag& tag) {
    // An image that does not fit leaves its tag for the next line.
    if (!tag.closing && tag.letter == L'i') {
        TArgReader args{tag.args, tag.argsEnd};
        if (!args.AtEnd()) return Image(tag);
    }
    m_state.pos = tag.next;
    if (tag.closing) {
        CloseTag(tag);
    } else {
        OpenTag(tag);
    }
}

void CHtmlTextPainter::OpenTag(const TTag& tag) {
    TArgReader args{tag.args, tag.argsEnd};
    switch (tag.letter) {
        case L'a':
            OpenLink(args.Rest());
            break;
        case L'b':
            PushVariant(kBold);
            break;
        case L'c':
            PushColor(args.Color());
            break;
        case L'f': {
            int id = 0;
            if (args.ReadNumber(id)) {
                PushFont(m_manager->GetFontInfo(id));
                break;
            }
            const CUIString face = args.Word();
            int size = 10;
            args.ReadNumber(size, kMaxFontSize);
            size = std::max(size, 1);
            const CUIString styles = args.Rest();
            const int variant = (ContainsNoCase(styles, L"bold") ? kBold : 0) |
                                (ContainsNoCase(styles, L"underline") ? kUnderline : 0) |
                                (ContainsNoCase(styles, L"italic") ? kItalic : 0);
            if (TFontEntry* font = FindOrAddFont(face, size, variant)) PushFont(font);
            break;
        }
        case L'i':
            PushVariant(kItalic);
            break;
        case L'n':
            if (!m_singleLine) m_lineEnd = true;
            break;
        case L'p':
            if (!AtLeftEdge()) m_lineEnd = true;
            m_state.paragraphs.push_back(args.Length());
            break;
        case L'r':
            m_state.raw = true;
            break;
        case L's':
            m_state.selected = !m_state.selected;
            break;
        case L'u':
            PushVariant(kUnderline);
            break;
        case L'x':
            m_pen.x += args.Length();
            break;
        case L'y':
            if (!Drawing()) m_lineHeight = args.Length();
            break;
        default:
            break;
    }
}

void CHtmlTextPainter::CloseTag(const TTag& tag) {
    switch (tag.letter) {
        case L'a':
            if (m_state.inLink) CloseLink();
            PopColor();
            PopFont();
            break;
        case L'b':
        case L'f':
        case L'i':
        case L'u':
            PopFont();
            break;
        case L'c':
            PopColor();
            break;
        case L'p':
            if (!AtLeftEdge()) m_lineEnd = true;
            if (!m_state.paragraphs.empty()) m_state.paragraphs.pop_back();
            break;
        case L's':
            m_state.selected = !m_state.selected;
            break;
        default:
            break;
    }
}

void CHtmlTextPainter::OpenLink(const CUIString& target) {
    // A link opened inside another ends the outer one there.
    if (m_state.inLink) CloseLink();
    const int slot = m_state.linkIndex;
    if (!Drawing() && slot < m_capacity) {
        m_linkTexts[slot] = target;
        m_links[slot] = RECT{m_pen.x, m_pen.y, m_pen.x, m_pen.y};
        m_linksFound = std::max(m_linksFound, slot + 1);
    }
    m_state.inLink = true;
    DWORD color = m_textColor != 0 ? m_textColor : m_manager->GetDefaultLinkFontColor();
    if (m_hovering && target == m_hoveredLink) color = m_manager->GetDefaultLinkHoverFontColor();
    PushColor(color);
    if (!CurrentFont()->underline) PushVariant(kUnderline);
}

void CHtmlTextPainter::CloseLink() {
    const int slot = m_state.linkIndex;
    if (!Drawing() && slot < m_capacity) {
        m_links[slot].right = std::min<LONG>(m_pen.x, m_rect.right);
        m_links[slot].bottom = m_pen.y + FontLineHeight(CurrentFont());
    }
    ++m_state.linkIndex;
    m_state.inLink = false;
}

// The layout pass knows the line's height and width: the links on it reach down to its
// bottom and move with it when it is centred or right-aligned.
void CHtmlTextPainter::FinishLayout(int firstLink) {
    const int open = m_state.linkIndex;
    if (m_state.inLink && open < m_capacity) m_links[open].right = std::min<LONG>(m_pen.x, m_rect.right);
    m_lineWidth = std::min<int>(m_contentRight, m_rect.right) - m_rect.left;
    const int shift = m_measureOnly ? 0 : AlignShift();
    const int last = std::min(m_state.inLink ? open + 1 : open, m_capacity);
    for (int i = std::max(firstLink, 0); i < last; ++i) {
        m_links[i].bottom = m_pen.y + m_lineHeight;
        OffsetRect(&m_links[i], shift, 0);
    }
}

// Centring and right alignment move each line of a wrapped text as a whole; a single
// line was placed by moving the rectangle.
int CHtmlTextPainter::AlignShift() const {
    if (m_singleLine) return 0;
    const int room = m_rect.right - m_rect.left - m_lineWidth;
    if ((m_style & DT_CENTER) != 0) return std::max(room / 2, 0);
    if ((m_style & DT_RIGHT) != 0) return std::max(room, 0);
    return 0;
}

const TEXTMETRICW& CHtmlTextPainter::Metrics(TFontEntry* font) {
    if (font->metrics.tmHeight == 0) {
        SelectFont(font);
        GetTextMetricsW(m_dc, &font->metrics);
    }
    return font->metrics;
}

int CHtmlTextPainter::FontLineHeight(TFontEntry* font) {
    const TEXTMETRICW& metrics = Metrics(font);
    return metrics.tmHeight + metrics.tmExternalLeading;
}

// Text stands on the line's bottom.
int CHtmlTextPainter::TextTop() { return m_pen.y + m_lineHeight - FontLineHeight(CurrentFont()); }

TFontEntry* CHtmlTextPainter::Derive(TFontEntry* from, int variant) {
    for (const TDerivedFont& derived : m_derived)
        if (derived.from == from && derived.variant == variant) return derived.font;
    const int styles =
        variant | (from->bold ? kBold : 0) | (from->underline ? kUnderline : 0) | (from->italic ? kItalic : 0);
    TFontEntry* entry = FindOrAddFont(from->faceName, from->size, styles);
    m_derived.push_back(TDerivedFont{from, variant, entry});
    return entry;
}

// The manager's font of that face, size and styles, made and cached the first time.
TFontEntry* CHtmlTextPainter::FindOrAddFont(const wchar_t* face, int size, int styles) {
    const bool bold = (styles & kBold) != 0, underline = (styles & kUnderline) != 0, italic = (styles & kItalic) != 0;
    HFONT font = m_manager->FindFont(face, size, bold, underline, italic);
    if (font == nullptr) font = m_manager->AddFont(g_nextDerivedFontId++, face, size, bold, underline, italic);
    return font != nullptr ? m_manager->GetFontInfoByHandle(font) : nullptr;
}

// A variant the current font already has adds nothing to the stack.
void CHtmlTextPainter::PushVariant(int variant) {
    TFontEntry* current = CurrentFont();
    if (((variant & kBold) != 0 && current->bold) || ((variant & kUnderline) != 0 && current->underline) ||
        ((variant & kItalic) != 0 && current->italic))
        return;
    if (TFontEntry* font = Derive(current, variant)) PushFont(font);
}

void CHtmlTextPainter::PushFont(TFontEntry* font) {
    m_state.fonts.push_back(font);
    if (!Drawing()) m_lineHeight = std::max(m_lineHeight, FontLineHeight(font) + ParagraphExtra());
}

// Italic glyphs lean past their advance: the upright text behind them keeps its distance.
void CHtmlTextPainter::PopFont() {
    if (m_state.fonts.empty()) return;
    TFontEntry* italic = m_state.fonts.back();
    m_state.fonts.pop_back();
    if (italic->italic && !CurrentFont()->italic) {
        NarrowWidths(italic);
        m_pen.x += italic->spaceOverhang;
    }
}

void CHtmlTextPainter::PushColor(DWORD color) {
    m_state.colors.push_back(color);
}

void CHtmlTextPainter::PopColor() {
    if (!m_state.colors.empty()) m_state.colors.pop_back();
}

void CHtmlTextPainter::SelectFont(TFontEntry* font) {
    if (font->font == m_selectedFont) return;
    SelectObject(m_dc, font->font);
    m_selectedFont = font->font;
}

void CHtmlTextPainter::SetColor(COLORREF color) {
    if (color == m_colorRef) return;
    ::SetTextColor(m_dc, color);
    m_colorRef = color;
}

void CHtmlTextPainter::SetBackgroundMode(int mode) {
    if (mode == m_bkMode) return;
    SetBkMode(m_dc, mode);
    m_bkMode = mode;
}

// Selected text fills its background, which may cover what was drawn before it: it is
// drawn in its place, after the text that comes before it.
void CHtmlTextPainter::Draw(int x, int y, const wchar_t* text, int length, int width) {
    TTextDraw draw = {CurrentFont(), ToColorRef(CurrentColor()), x + m_shift, y, text, length, width, 0, 0};
    if (draw.font->underline) {
        const TUnderlineFont& underline = Underline(draw.font);
        if (underline.plain != nullptr) {
            draw.font = underline.plain;
            draw.lineTop = underline.top;
            draw.lineSize = underline.size;
        }
    }
    if (!m_state.selected) {
        m_draws.push_back(draw);
        return;
    }
    FlushDraws();
    SetBackgroundMode(OPAQUE);
    DrawNow(draw);
}

void CHtmlTextPainter::DrawNow(const TTextDraw& draw) {
    SelectFont(draw.font);
    SetColor(draw.color);
    TextOutW(m_dc, draw.x, draw.y, draw.text, draw.length);
    if (draw.lineSize <= 0) return;
    SelectObject(m_dc, GetStockObject(DC_BRUSH));
    SetDCBrushColor(m_dc, draw.color);
    PatBlt(m_dc, draw.x, draw.y + draw.lineTop, draw.width, draw.lineSize, PATCOPY);
}

// The line's place as GDI computes it: its middle the font's underscore position below
// the baseline.
const TUnderlineFont& CHtmlTextPainter::Underline(TFontEntry* font) {
    for (const TUnderlineFont& known : m_underlines)
        if (known.font == font) return known;
    TUnderlineFont underline = {font, nullptr, 0, 0};
    SelectFont(font);
    std::vector<char> buffer(GetOutlineTextMetricsW(m_dc, 0, nullptr));
    auto* outline = reinterpret_cast<OUTLINETEXTMETRICW*>(buffer.data());
    if (buffer.size() >= sizeof(OUTLINETEXTMETRICW) &&
        GetOutlineTextMetricsW(m_dc, static_cast<UINT>(buffer.size()), outline) != 0) {
        const int styles = (font->bold ? kBold : 0) | (font->italic ? kItalic : 0);
        underline.plain = FindOrAddFont(font->faceName, font->size, styles);
        underline.size = std::max<int>(outline->otmsUnderscoreSize, 1);
        underline.top = Metrics(font).tmAscent - (outline->otmsUnderscorePosition + underline.size / 2);
    }
    m_underlines.push_back(underline);
    return m_underlines.back();
}

// The waiting text, one font after the other in the order the fonts first appear.
void CHtmlTextPainter::FlushDraws() {
    SetBackgroundMode(TRANSPARENT);
    for (size_t i = 0; i < m_draws.size(); ++i) {
        TFontEntry* font = m_draws[i].font;
        if (font == nullptr) continue;
        SelectFont(font);
        for (size_t j = i; j < m_draws.size(); ++j) {
            TTextDraw& draw = m_draws[j];
            if (draw.font != font) continue;
            DrawNow(draw);
            draw.font = nullptr;
        }
    }
    m_draws.clear();
}

// A space of its own is drawn only where it leaves a mark: an underline or a selection.
void CHtmlTextPainter::Space() {
    if (Drawing() && (CurrentFont()->underline || m_state.selected)) Draw(m_pen.x, TextTop(), L" ", 1, SpaceWidth());
    m_pen.x += SpaceWidth();
    ++m_state.pos;
}

int CHtmlTextPainter::SpaceWidth() { return TextWidth(L" ", 1); }

void CHtmlTextPainter::Escaped(wchar_t ch) {
    const int width = TextWidth(&ch, 1);
    if (m_pen.x + width > m_rect.right && !AtLeftEdge()) {
        m_lineEnd = true;
        return;
    }
    // The character stands in the text behind the escape's first bracket.
    if (Drawing()) Draw(m_pen.x, TextTop(), m_state.pos + 1, 1, width);
    m_pen.x += width;
    m_contentRight = m_pen.x;
    m_state.pos += 3;
}

void CHtmlTextPainter::TextRun() {
    const wchar_t* run = m_state.pos;
    const wchar_t* end = run + 1;
    if (m_state.raw) {
        for (end = run; *end != L'\0' && *end != L'\n' && !IsRawEnd(end); ++end) {
        }
    } else {
        while (*end != L'\0' && *end != L'\n' && !IsOpener(*end)) ++end;
    }
    const int length = static_cast<int>(end - run);
    TRunFit fit;
    if (Drawing() && m_nextFit < m_fits.size() && m_fits[m_nextFit].run == run && m_fits[m_nextFit].x == m_pen.x) {
        fit = m_fits[m_nextFit++];
    } else {
        fit = FitRun(run, length);
        if (!Drawing()) m_fits.push_back(fit);
    }
    if (fit.taken < length) m_lineEnd = true;
    if (fit.taken == 0 && !fit.ellipsis) return;
    if (Drawing()) {
        const int top = TextTop();
        if (fit.taken > 0) Draw(m_pen.x, top, run, fit.taken, fit.width);
        if (fit.ellipsis) Draw(m_pen.x + fit.width, top, L"...", 3, TextWidth(L"...", 3));
    }
    if (fit.ellipsis) {
        m_contentRight = m_rect.right;
    } else if (fit.visibleWidth > 0) {
        m_contentRight = m_pen.x + fit.visibleWidth;
    }
    m_pen.x = fit.ellipsis ? m_rect.right : m_pen.x + fit.width;
    m_state.pos += fit.taken;
}

TRunFit CHtmlTextPainter::FitRun(const wchar_t* run, int length) {
    TRunFit fit = {run, m_pen.x, 0, 0, 0, false};
    fit.taken = FitCount(run, length, m_rect.right - m_pen.x, fit.ellipsis);
    int visible = fit.taken;
    while (visible > 0 && run[visible - 1] == L' ') --visible;
    fit.width = fit.taken > 0 ? m_extents[fit.taken - 1] : 0;
    fit.visibleWidth = visible > 0 ? m_extents[visible - 1] : 0;
    return fit;
}

// How many characters of the run stand on this line. The extents of the prefixes are
// left in m_extents.
int CHtmlTextPainter::FitCount(const wchar_t* run, int length, int room, bool& ellipsis) {
    if (MeasurePrefixes(run, length, room)) return length;
    int fitted = 0;
    while (m_extents[fitted] <= room) ++fitted;
    // The character that does not fit stays on a line the run starts, cut by the edge,
    // and the line ends behind it: label heights count the lines this way. Behind other
    // text it goes to the next line.
    int taken = AtLeftEdge() ? fitted + 1 : fitted;
    const int cut = (m_style & DT_WORDBREAK) != 0 ? WordCut(run, taken, length) : 0;
    if (cut > 0) taken = cut;
    if ((m_style & DT_END_ELLIPSIS) != 0) {
        // As many characters as leave room for the dots.
        const int dots = TextWidth(L"...", 3);
        taken = std::min(taken, fitted);
        while (taken > 0 && m_extents[taken - 1] + dots > room) --taken;
        // Lines that follow need this one to take something.
        if (taken == 0 && AtLeftEdge() && !m_singleLine) taken = 1;
        ellipsis = true;
    } else if ((m_style & DT_WORDBREAK) != 0 && cut == 0 && !AtLeftEdge()) {
        // A word that does not fit behind other text moves to the next line whole.
        taken = 0;
    }
    // Never part a surrogate pair: one that fits only in part goes to the next line,
    // unless it is the character that stays cut by the edge.
    if (taken > 0 && taken < length && IS_HIGH_SURROGATE(run[taken - 1]))
        taken = (taken > 1 && taken <= fitted) ? taken - 1 : taken + 1;
    if (taken > 0 && static_cast<int>(m_extents.size()) < taken) MeasurePrefixes(run, taken, INT_MAX);
    return std::min(taken, length);
}

// The position behind the last character that is not an ASCII letter among those the
// line holds; a space behind them ends the line as well. 0 when there is none.
int CHtmlTextPainter::WordCut(const wchar_t* run, int held, int length) const {
    if (held < length && run[held] == L' ') return held + 1;
    for (int i = held - 1; i >= 0; --i)
        if (!IsAsciiLetter(run[i])) return i + 1;
    return 0;
}

// Measures prefixes until the whole run is measured (true: it fits) or one prefix is
// wider than the room; measuring grows in steps so that a long run is not measured
// whole for every line it is spread over.
bool CHtmlTextPainter::MeasurePrefixes(const wchar_t* run, int length, int room) {
    if (MeasureNarrow(run, length, room)) return m_extents.back() <= room;
    SelectFont(CurrentFont());
    const int average = std::max<int>(Metrics(CurrentFont()).tmAveCharWidth, 1);
    // A little more than an average line's worth of characters seldom needs a second try.
    int count = static_cast<int>(std::min<long long>(length, std::max(room, 0) * 5LL / (4LL * average) + 4));
    for (;;) {
        m_extents.resize(count);
        SIZE size = {0, 0};
        GetTextExtentExPointW(m_dc, run, count, 0, nullptr, m_extents.data(), &size);
        if (m_extents[count - 1] > room) return false;
        if (count == length) return true;
        count = std::min(length, count * 2);
    }
}

// The font's own widths of the first 256 characters, read once per font handle; empty when
// the font cannot tell which glyphs it has.
const std::vector<int>& CHtmlTextPainter::NarrowWidths(TFontEntry* font) {
    if (font->widthsFont == font->font) return font->narrowWidths;
    font->widthsFont = font->font;
    font->narrowWidths.clear();
    SelectFont(font);
    ABC abc = {};
    font->spaceOverhang = GetCharABCWidthsW(m_dc, L' ', L' ', &abc) ? static_cast<int>(abc.abcC) / 2 : 0;
    wchar_t characters[256];
    WORD glyphs[256];
    std::vector<int> widths(256);
    for (int i = 0; i < 256; ++i) characters[i] = static_cast<wchar_t>(i);
    if (!GetCharWidth32W(m_dc, 0, 255, widths.data()) ||
        GetGlyphIndicesW(m_dc, characters, 256, glyphs, GGI_MARK_NONEXISTING_GLYPHS) != 256)
        return font->narrowWidths;
    // A character the font lacks is drawn from another font: GDI measures it.
    for (int i = 0; i < 256; ++i)
        if (glyphs[i] == 0xFFFF) widths[i] = -1;
    font->narrowWidths = std::move(widths);
    return font->narrowWidths;
}

bool Covers(const std::vector<int>& widths, const wchar_t* text, int length) {
    if (widths.empty()) return false;
    for (int i = 0; i < length; ++i)
        if (text[i] > 0xFF || widths[text[i]] < 0) return false;
    return true;
}

// The prefix extents of the run from the font's widths, until one is wider than the room;
// false (nothing measured) when the run holds a character they do not cover.
bool CHtmlTextPainter::MeasureNarrow(const wchar_t* run, int length, int room) {
    const std::vector<int>& widths = NarrowWidths(CurrentFont());
    if (length <= 0 || !Covers(widths, run, length)) return false;
    m_extents.clear();
    int x = 0;
    for (int i = 0; i < length && x <= room; ++i) {
        x += widths[run[i]];
        m_extents.push_back(x);
    }
    return true;
}

// Leaves m_extents as they are.
int CHtmlTextPainter::TextWidth(const wchar_t* text, int length) {
    const std::vector<int>& widths = NarrowWidths(CurrentFont());
    if (Covers(widths, text, length)) {
        int width = 0;
        for (int i = 0; i < length; ++i) width += widths[text[i]];
        return width;
    }
    SelectFont(CurrentFont());
    SIZE size = {0, 0};
    GetTextExtentPoint32W(m_dc, text, length, &size);
    return size.cx;
}

void CHtmlTextPainter::Image(const TTag& tag) {
    TArgReader args{tag.args, tag.argsEnd};
    const CUIString text = TArgReader{tag.args, tag.argsEnd}.Rest();
    CUIString name, type;
    if (text.Find(L"file='") >= 0 || text.Find(L"res='") >= 0) {
        TImageDrawSpec spec;
        spec.Parse(text, nullptr, nullptr);
        name = spec.name;
        type = spec.resType;
        // The strip's count and index follow the last quoted value.
        for (const wchar_t* q = tag.args; q < tag.argsEnd; ++q)
            if (*q == L'\'') args.p = q + 1;
    } else {
        name = args.Word();
    }
    int count = 1, index = 0;
    args.ReadNumber(count);
    args.ReadNumber(index);
    count = std::max(count, 1);
    index = std::min(std::max(index, 0), count - 1);
    TImageData* image = m_manager->GetImageEx(name, type.IsEmpty() ? nullptr : type.GetData());
    if (image == nullptr) {
        m_state.pos = tag.next;
        return;
    }
    const int width = image->width / count;
    const int height = image->height;
    if (m_pen.x + width > m_rect.right && !AtLeftEdge() && !m_singleLine) {
        m_lineEnd = true;
        return;
    }
    m_state.pos = tag.next;
    if (!Drawing()) m_lineHeight = std::max(m_lineHeight, height);
    if (Drawing()) {
        const int bottom = m_pen.y + m_lineHeight - std::max(m_lineHeight - height, 0) / 2;
        const RECT dest = {m_pen.x + m_shift, bottom - height, m_pen.x + m_shift + width, bottom};
        const RECT source = {index * width, 0, (index + 1) * width, height};
        FlushDraws();
        CUIRender::DrawImage(m_dc, image->bitmap, dest, m_rect, source, RECT{0, 0, 0, 0}, image->hasAlpha, 255);
    }
    m_pen.x += width;
    m_contentRight = m_pen.x;
    m_imageBottom = std::max<int>(m_imageBottom, m_pen.y + height);
}

// The DC's font, brush, colours and background mode as they were before the text.
class CTextStateGuard {
public:
    explicit CTextStateGuard(HDC dc)
        : m_dc(dc),
          m_font(GetCurrentObject(dc, OBJ_FONT)),
          m_textColor(GetTextColor(dc)),
          m_bkColor(GetBkColor(dc)),
          m_bkMode(GetBkMode(dc)),
          m_brush(GetCurrentObject(dc, OBJ_BRUSH)),
          m_brushColor(GetDCBrushColor(dc)) {}
    ~CTextStateGuard() {
        SelectObject(m_dc, m_font);
        SelectObject(m_dc, m_brush);
        SetDCBrushColor(m_dc, m_brushColor);
        ::SetTextColor(m_dc, m_textColor);
        SetBkColor(m_dc, m_bkColor);
        SetBkMode(m_dc, m_bkMode);
    }
    CTextStateGuard(const CTextStateGuard&) = delete;
    CTextStateGuard& operator=(const CTextStateGuard&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_font;
    COLORREF m_textColor;
    COLORREF m_bkColor;
    int m_bkMode;
    HGDIOBJ m_brush;
    COLORREF m_brushColor;
};

// Centred, right-aligned and vertically placed text first measures its extent.
void PlaceByExtent(HDC dc, CPaintManagerUI* manager, RECT& rect, const wchar_t* text, DWORD color, int font,
                   UINT style) {
    const bool singleLine = (style & DT_SINGLELINE) != 0;
    const bool horizontal = singleLine && (style & (DT_CENTER | DT_RIGHT)) != 0;
    if (!horizontal && (style & (DT_VCENTER | DT_BOTTOM)) == 0) return;
    // A wrapped text is measured at its own width, so that it breaks as it will be drawn.
    RECT extent = {0, 0, singleLine ? 9999 : rect.right - rect.left, 100};
    int noLinks = 0;
    CUIRender::DrawHtmlText(dc, manager, extent, text, color, nullptr, nullptr, noLinks, font, style | DT_CALCRECT);
    const int width = extent.right - extent.left, height = extent.bottom - extent.top;
    if (singleLine && (style & DT_CENTER) != 0) {
        rect.left += (rect.right - rect.left) / 2 - width / 2;
        rect.right = rect.left + width;
    } else if (singleLine && (style & DT_RIGHT) != 0) {
        rect.left = rect.right - width;
    }
    if ((style & DT_VCENTER) != 0) {
        rect.top += (rect.bottom - rect.top) / 2 - height / 2;
        rect.bottom = rect.top + height;
    } else if ((style & DT_BOTTOM) != 0) {
        rect.top = rect.bottom - height;
    }
}

}  // namespace

void CUIRender::DrawHtmlText(HDC hdc, CPaintManagerUI* manager, RECT& rect, const wchar_t* text, DWORD color,
                             RECT* links, CUIString* linkTexts, int& linkCount, int font, UINT style) {
    const int capacity = linkCount;
    linkCount = 0;
    if (hdc == nullptr || manager == nullptr || text == nullptr || IsRectEmpty(&rect)) return;
    const bool drawing = (style & DT_CALCRECT) == 0;
    CTextStateGuard restore(hdc);
    CRenderClip clip;
    RECT area = rect;
    if (drawing) {
        CRenderClip::GenerateClip(hdc, area, clip);
        PlaceByExtent(hdc, manager, area, text, color, font, style);
    }
    CHtmlTextPainter painter(hdc, manager, area, color, links, linkTexts, capacity, font, style);
    linkCount = painter.Run(text);
    if (!drawing) rect = painter.Extent();
}

}  // namespace HiveUI
