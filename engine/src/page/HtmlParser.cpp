#include "HtmlParser.h"

#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <cwctype>
#include <utility>
#include <vector>

namespace engine {
namespace {

using Attributes = std::vector<std::pair<std::wstring, std::wstring>>;

const wchar_t* const kHeadElements[] = {L"title", L"meta", L"link", L"style", L"script", L"base"};
// Elements that end an open paragraph when they start.
const wchar_t* const kClosesParagraph[] = {
    L"address", L"article", L"aside", L"blockquote", L"center", L"details", L"dl", L"div", L"fieldset",
    L"figure",  L"footer",  L"form",  L"h1",         L"h2",     L"h3",      L"h4", L"h5",  L"h6",
    L"header",  L"hr",      L"main",  L"nav",        L"ol",     L"p",       L"pre", L"section", L"table",
    L"ul",      L"li",      L"dd",    L"dt"};
// An end tag never closes past one of these (so a stray </span> cannot close a div).
const wchar_t* const kSpecial[] = {
    L"address", L"article", L"aside", L"blockquote", L"body", L"button", L"caption", L"center", L"dd",
    L"details", L"div",     L"dl",    L"dt",         L"fieldset", L"figure", L"footer", L"form", L"h1",
    L"h2",      L"h3",      L"h4",    L"h5",         L"h6",   L"header", L"html",   L"li",   L"main",
    L"nav",     L"ol",      L"p",     L"pre",        L"section", L"table", L"tbody", L"td",   L"tfoot",
    L"th",      L"thead",   L"tr",    L"ul"};
const wchar_t* const kHeadings[] = {L"h1", L"h2", L"h3", L"h4", L"h5", L"h6"};
const wchar_t* const kScopeBoundaries[] = {L"html", L"body", L"table", L"td", L"th", L"button", L"caption"};

struct Entity {
    const wchar_t* name;
    wchar_t ch;
};
const Entity kEntities[] = {{L"amp", L'&'},  {L"lt", L'<'},      {L"gt", L'>'},     {L"quot", L'"'},
                            {L"apos", L'\''}, {L"nbsp", 0x00A0}, {L"copy", 0x00A9}, {L"reg", 0x00AE},
                            {L"middot", 0x00B7}, {L"hellip", 0x2026}, {L"mdash", 0x2014}, {L"ndash", 0x2013},
                            {L"yen", 0x00A5}, {L"times", 0x00D7}, {L"laquo", 0x00AB}, {L"raquo", 0x00BB}};

// Decodes the entity at text[i] ('&'); appends the character and returns the length used.
size_t DecodeEntity(const std::wstring& text, size_t i, std::wstring& out) {
    // Only a name of up to ten characters is looked for: a text of many '&' and no ';'
    // must not be searched to its end for each of them.
    const size_t semi = text.substr(i, 11).find(L';');
    if (semi == std::wstring::npos) {
        out += L'&';
        return 1;
    }
    const std::wstring name = text.substr(i + 1, semi - 1);
    if (name.size() > 1 && name[0] == L'#') {
        const bool hex = name[1] == L'x' || name[1] == L'X';
        const unsigned long code = std::wcstoul(name.c_str() + (hex ? 2 : 1), nullptr, hex ? 16 : 10);
        if (code > 0xFFFF && code <= 0x10FFFF) {
            out += static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else if (code > 0 && code <= 0xFFFF) {
            out += static_cast<wchar_t>(code);
        }
        return semi + 1;
    }
    for (const Entity& e : kEntities) {
        if (name == e.name) {
            out += e.ch;
            return semi + 1;
        }
    }
    out += L'&';
    return 1;
}

std::wstring DecodeEntities(const std::wstring& raw) {
    std::wstring out;
    for (size_t i = 0; i < raw.size();) {
        if (raw[i] == L'&') i += DecodeEntity(raw, i, out);
        else out += raw[i++];
    }
    return out;
}

bool IsNameChar(wchar_t c) { return std::iswalnum(c) || c == L'-' || c == L'_' || c == L':'; }

bool IsAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

struct StartTag {
    std::wstring name;
    Attributes attributes;
    size_t end = std::wstring::npos;  // of the closing '>'; npos when the page ends inside the tag
};

// The start tag at html[i] ('<' and a letter): name and attributes in one pass, so a
// quote in an unquoted value cannot hide the tag's end.
StartTag ReadStartTag(const std::wstring& html, size_t i) {
    StartTag tag;
    const size_t n = html.size();
    size_t j = i + 1;
    while (j < n && IsNameChar(html[j])) tag.name += static_cast<wchar_t>(std::towlower(html[j++]));
    for (;;) {
        while (j < n && (IsCssSpace(html[j]) || html[j] == L'/')) ++j;
        if (j >= n) return tag;
        if (html[j] == L'>') break;
        std::wstring name;
        while (j < n && !IsCssSpace(html[j]) && html[j] != L'=' && html[j] != L'>' && html[j] != L'/') {
            name += static_cast<wchar_t>(std::towlower(html[j++]));
        }
        if (name.empty()) name += html[j++];  // a stray '=': always move on
        while (j < n && IsCssSpace(html[j])) ++j;
        std::wstring value;
        if (j < n && html[j] == L'=') {
            ++j;
            while (j < n && IsCssSpace(html[j])) ++j;
            if (j < n && (html[j] == L'"' || html[j] == L'\'')) {
                const size_t close = html.find(html[j], j + 1);
                const size_t stop = close == std::wstring::npos ? n : close;
                value = html.substr(j + 1, stop - j - 1);
                j = stop == n ? n : stop + 1;
            } else {
                while (j < n && !IsCssSpace(html[j]) && html[j] != L'>') value += html[j++];
            }
        }
        bool duplicate = false;
        for (const auto& a : tag.attributes) duplicate |= a.first == name;
        if (!duplicate) tag.attributes.emplace_back(name, DecodeEntities(value));
    }
    tag.end = j;
    return tag;
}

// Where the raw text of a name element that starts at from ends: its end tag, in any case.
size_t FindRawTextEnd(const std::wstring& html, const std::wstring& name, size_t from) {
    for (size_t at = html.find(L"</", from); at != std::wstring::npos; at = html.find(L"</", at + 2)) {
        size_t k = 0;
        while (k < name.size() && at + 2 + k < html.size() && std::towlower(html[at + 2 + k]) == name[k]) ++k;
        if (k == name.size() && (at + 2 + k >= html.size() || !IsNameChar(html[at + 2 + k]))) return at;
    }
    return std::wstring::npos;
}

class TreeBuilder {
public:
    TreeBuilder(DomDocument& doc, DomNode* fragmentParent, const std::function<void(DomNode*, int)>* onScript)
        : doc_(doc), fragment_(fragmentParent != nullptr), onScript_(onScript) {
        if (fragmentParent != nullptr) open_.push_back(fragmentParent);
    }

    void Run(const std::wstring& html);

private:
    bool InBody() const { return !open_.empty(); }
    void EnterBody() {
        if (!InBody()) open_.push_back(doc_.body());
    }
    void Text(const std::wstring& text);
    DomNode* Start(const StartTag& tag);
    void End(const std::wstring& name);
    void CloseImplied(const std::wstring& name);
    // Pops up to and including the nearest open name, unless a stop element comes first.
    void CloseOpen(const std::wstring& name, const std::function<bool(const std::wstring&)>& stop);
    DomNode* InsertionParent() const;
    void Merge(DomNode* element, const Attributes& attributes);
    size_t RawText(const std::wstring& html, DomNode* element, const std::wstring& name, size_t from);
    int LineAt(const std::wstring& html, size_t pos);

    DomDocument& doc_;
    bool fragment_;
    const std::function<void(DomNode*, int)>* onScript_;
    std::vector<DomNode*> open_;  // empty while still in the head of a document
    size_t linePos_ = 0;
    int line_ = 1;
};

void TreeBuilder::Run(const std::wstring& html) {
    const size_t n = html.size();
    std::wstring text;
    for (size_t i = 0; i < n;) {
        const wchar_t next = i + 1 < n ? html[i + 1] : L'\0';
        if (html[i] != L'<' || !(IsAsciiLetter(next) || next == L'/' || next == L'!' || next == L'?')) {
            text += html[i++];
            continue;
        }
        Text(DecodeEntities(text));
        text.clear();
        if (html.compare(i, 4, L"<!--") == 0) {
            const size_t end = html.find(L"-->", i + 4);
            i = end == std::wstring::npos ? n : end + 3;
        } else if (next == L'/' || next == L'!' || next == L'?') {
            const size_t end = html.find(L'>', i);
            if (next == L'/' && i + 2 < n && IsAsciiLetter(html[i + 2])) {
                std::wstring name;
                for (size_t j = i + 2; j < n && IsNameChar(html[j]); ++j) name += static_cast<wchar_t>(std::towlower(html[j]));
                if (end != std::wstring::npos) End(name);
            }
            i = end == std::wstring::npos ? n : end + 1;
        } else {
            const StartTag tag = ReadStartTag(html, i);
            if (tag.end == std::wstring::npos) break;  // the page ends inside a tag: dropped
            i = tag.end + 1;
            DomNode* element = Start(tag);
            if (IsRawTextElement(tag.name)) i = RawText(html, element, tag.name, i);
        }
    }
    Text(DecodeEntities(text));
}

// The content of a script, style, title or textarea element, then its end.
size_t TreeBuilder::RawText(const std::wstring& html, DomNode* element, const std::wstring& name, size_t from) {
    const size_t close = FindRawTextEnd(html, name, from);
    const size_t stop = close == std::wstring::npos ? html.size() : close;
    std::wstring content = html.substr(from, stop - from);
    if (name == L"title" || name == L"textarea") content = DecodeEntities(content);
    if (element != nullptr && !content.empty()) {
        DomNode* text = doc_.CreateText(content);
        if (text != nullptr) doc_.Insert(element, text, nullptr);
    }
    if (element != nullptr && name == L"script" && !fragment_ && onScript_ != nullptr) (*onScript_)(element, LineAt(html, from));
    if (close == std::wstring::npos) return html.size();
    const size_t end = html.find(L'>', close);
    return end == std::wstring::npos ? html.size() : end + 1;
}

int TreeBuilder::LineAt(const std::wstring& html, size_t pos) {
    for (; linePos_ < pos && linePos_ < html.size(); ++linePos_) line_ += html[linePos_] == L'\n';
    return line_;
}

void TreeBuilder::Text(const std::wstring& text) {
    if (text.empty()) return;
    if (!InBody()) {
        bool blank = true;
        for (wchar_t c : text) blank = blank && IsCssSpace(c);
        if (blank) return;
        EnterBody();
    }
    DomNode* parent = open_.back();
    DomNode* last = parent->lastChild();
    if (last != nullptr && !last->IsElement()) return doc_.AppendText(last, text);
    DomNode* node = doc_.CreateText(text);
    if (node != nullptr) doc_.Insert(parent, node, nullptr);
}

void TreeBuilder::Merge(DomNode* element, const Attributes& attributes) {
    for (const auto& a : attributes) {
        if (element->Attribute(a.first) == nullptr) doc_.SetAttribute(element, a.first, a.second);
    }
}

DomNode* TreeBuilder::Start(const StartTag& tag) {
    const std::wstring& name = tag.name;
    if (name == L"html" || name == L"head" || name == L"body") {
        if (!fragment_) Merge(name == L"html" ? doc_.root() : name == L"head" ? doc_.head() : doc_.body(), tag.attributes);
        if (name == L"body") EnterBody();
        return nullptr;
    }
    DomNode* parent = nullptr;
    if (!InBody() && OneOf(name, kHeadElements)) {
        parent = doc_.head();
    } else {
        EnterBody();
        CloseImplied(name);
        parent = InsertionParent();
    }
    DomNode* element = doc_.CreateElement(name);
    if (element == nullptr) return nullptr;
    for (const auto& a : tag.attributes) doc_.SetAttribute(element, a.first, a.second);
    doc_.Insert(parent, element, nullptr);
    if (InBody() && !IsVoidElement(name) && !IsRawTextElement(name)) open_.push_back(element);
    return element;
}

// Past the depth limit new elements go beside the deepest one instead of inside it.
DomNode* TreeBuilder::InsertionParent() const {
    DomNode* parent = open_.back();
    while (parent->parent() != nullptr && parent->Depth() >= kMaxDepth) parent = parent->parent();
    return parent;
}

void TreeBuilder::CloseOpen(const std::wstring& name, const std::function<bool(const std::wstring&)>& stop) {
    const size_t lowest = open_.size() > static_cast<size_t>(kMaxDepth) ? open_.size() - kMaxDepth : 1;
    for (size_t k = open_.size(); k-- > lowest;) {
        const std::wstring& tag = open_[k]->tag();
        if (tag == name) {
            open_.resize(k);
            return;
        }
        if (stop(tag)) return;
    }
}

void TreeBuilder::CloseImplied(const std::wstring& name) {
    const auto boundary = [](const std::wstring& tag) { return OneOf(tag, kScopeBoundaries); };
    if (OneOf(name, kClosesParagraph)) CloseOpen(L"p", boundary);
    if (name == L"li" || name == L"dd" || name == L"dt") {
        const auto stop = [](const std::wstring& tag) { return OneOf(tag, kSpecial) && tag != L"div" && tag != L"p"; };
        CloseOpen(name == L"li" ? L"li" : L"dd", stop);
        if (name != L"li") CloseOpen(L"dt", stop);
    }
    if (OneOf(name, kHeadings) && open_.size() > 1 && OneOf(open_.back()->tag(), kHeadings)) open_.pop_back();
    if ((name == L"option" || name == L"tr") && open_.size() > 1 && open_.back()->tag() == name) open_.pop_back();
    if (name == L"td" || name == L"th") {
        const auto stop = [](const std::wstring& tag) { return tag == L"tr" || tag == L"table"; };
        CloseOpen(L"td", stop);
        CloseOpen(L"th", stop);
    }
    if (name == L"a") CloseOpen(L"a", boundary);  // links do not nest
}

void TreeBuilder::End(const std::wstring& name) {
    if (!InBody() || name == L"html" || name == L"body") return;
    // A block's end tag closes what is still open inside it; any other end tag only
    // closes its element when no block lies between.
    if (OneOf(name, kSpecial)) {
        CloseOpen(name, [&name](const std::wstring& tag) { return OneOf(tag, kScopeBoundaries) && tag != name; });
    } else {
        CloseOpen(name, [](const std::wstring& tag) { return OneOf(tag, kSpecial); });
    }
}

}  // namespace

void ParseDocument(const std::wstring& html, DomDocument& doc, const std::function<void(DomNode*, int)>& onScript) {
    TreeBuilder(doc, nullptr, &onScript).Run(html);
}

void ParseFragment(const std::wstring& html, DomDocument& doc, DomNode* parent) {
    TreeBuilder(doc, parent, nullptr).Run(html);
}

std::wstring DecodePage(const std::string& bytes, const std::string& headerCharset) {
    std::string charset = headerCharset;
    if (charset.empty()) {
        const std::string head = bytes.substr(0, 2048);
        std::string lowerHead = head;
        for (char& c : lowerHead) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const size_t at = lowerHead.find("charset=");
        if (at != std::string::npos) {
            size_t j = at + 8;
            while (j < lowerHead.size() && (lowerHead[j] == '"' || lowerHead[j] == '\'')) ++j;
            while (j < lowerHead.size() && (std::isalnum(static_cast<unsigned char>(lowerHead[j])) || lowerHead[j] == '-')) {
                charset += lowerHead[j++];
            }
        }
    }
    for (char& c : charset) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const bool gbk = charset == "gbk" || charset == "gb2312" || charset == "gb18030";
    size_t skip = (!gbk && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) ? 3 : 0;
    const UINT codePage = gbk ? 936 : CP_UTF8;
    const int length = static_cast<int>(bytes.size() - skip);
    if (length == 0) return std::wstring();
    const int n = MultiByteToWideChar(codePage, 0, bytes.data() + skip, length, nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(codePage, 0, bytes.data() + skip, length, &out[0], n);
    return out;
}

}  // namespace engine
