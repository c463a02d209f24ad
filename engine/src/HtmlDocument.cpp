#include "HtmlDocument.h"

#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <cwchar>
#include <cwctype>

namespace engine {
namespace {

const wchar_t* const kBlockTags[] = {L"p",  L"div", L"br", L"li", L"tr", L"h1", L"h2",  L"h3", L"h4", L"h5",
                                     L"h6", L"ul",  L"ol", L"table", L"section", L"header", L"footer",
                                     L"article", L"pre", L"hr", L"form", L"blockquote", L"dt", L"dd"};

std::wstring Lower(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

// Position of the closing tag of name (case-insensitive) at or after from.
size_t FindClose(const std::wstring& lowerHtml, const std::wstring& name, size_t from) {
    return lowerHtml.find(L"</" + name, from);
}

bool IsBlock(const std::wstring& name) {
    for (const wchar_t* tag : kBlockTags) {
        if (name == tag) return true;
    }
    return false;
}

struct Entity {
    const wchar_t* name;
    wchar_t ch;
};
const Entity kEntities[] = {{L"amp", L'&'},  {L"lt", L'<'},      {L"gt", L'>'},     {L"quot", L'"'},
                            {L"apos", L'\''}, {L"nbsp", 0x00A0}, {L"copy", 0x00A9}, {L"reg", 0x00AE},
                            {L"middot", 0x00B7}, {L"hellip", 0x2026}, {L"mdash", 0x2014}, {L"ndash", 0x2013}};

// Decodes the entity at text[i] ('&'); appends the character and returns the length used.
size_t DecodeEntity(const std::wstring& text, size_t i, std::wstring& out) {
    const size_t semi = text.find(L';', i);
    if (semi == std::wstring::npos || semi - i > 10) {
        out += L'&';
        return 1;
    }
    const std::wstring name = text.substr(i + 1, semi - i - 1);
    if (name.size() > 1 && name[0] == L'#') {
        const bool hex = name[1] == L'x' || name[1] == L'X';
        const unsigned long code = std::wcstoul(name.c_str() + (hex ? 2 : 1), nullptr, hex ? 16 : 10);
        if (code > 0xFFFF && code <= 0x10FFFF) {
            out += static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else if (code > 0 && code <= 0xFFFF) {
            out += static_cast<wchar_t>(code);
        }
        return semi - i + 1;
    }
    for (const Entity& e : kEntities) {
        if (name == e.name) {
            out += e.ch;
            return semi - i + 1;
        }
    }
    out += L'&';
    return 1;
}

// Decoded text with runs of white space as one blank.
std::wstring DecodeText(const std::wstring& raw) {
    std::wstring out;
    for (size_t i = 0; i < raw.size();) {
        if (raw[i] == L'&') {
            i += DecodeEntity(raw, i, out);
        } else if (std::iswspace(raw[i])) {
            if (out.empty() || out.back() != L' ') out += L' ';
            ++i;
        } else {
            out += raw[i++];
        }
    }
    return out;
}

// Appends a text run to the visible text, starting a line after a block boundary.
void AppendRun(HtmlDocument& doc, const std::wstring& run, bool& newLine) {
    std::wstring text = DecodeText(run);
    if (text.empty() || text == L" ") return;
    if (newLine && !doc.text.empty()) {
        while (!doc.text.empty() && doc.text.back() == L' ') doc.text.pop_back();
        doc.text += L'\n';
    }
    if ((newLine || doc.text.empty()) && text[0] == L' ') text.erase(0, 1);
    doc.text += text;
    newLine = false;
}

int LineAt(const std::wstring& html, size_t pos) {
    int line = 1;
    for (size_t i = 0; i < pos && i < html.size(); ++i) line += html[i] == L'\n';
    return line;
}

// The end of the tag that starts at i ('<'), past quoted attribute values.
size_t TagEnd(const std::wstring& html, size_t i) {
    wchar_t quote = 0;
    for (size_t j = i + 1; j < html.size(); ++j) {
        if (quote != 0) {
            if (html[j] == quote) quote = 0;
        } else if (html[j] == L'"' || html[j] == L'\'') {
            quote = html[j];
        } else if (html[j] == L'>') {
            return j;
        }
    }
    return std::wstring::npos;
}

std::wstring TagName(const std::wstring& tag) {
    size_t j = tag[1] == L'/' ? 2 : 1;
    std::wstring name;
    while (j < tag.size() && (std::iswalnum(tag[j]) || tag[j] == L'-')) name += static_cast<wchar_t>(std::towlower(tag[j++]));
    return name;
}

// Handles an element whose content is not visible text; returns where parsing goes on.
size_t SkipRawElement(const std::wstring& html, const std::wstring& lower, const std::wstring& name,
                      const std::wstring& tag, size_t contentStart, HtmlDocument& doc) {
    const size_t close = FindClose(lower, name, contentStart);
    const size_t contentEnd = close == std::wstring::npos ? html.size() : close;
    const std::wstring content = html.substr(contentStart, contentEnd - contentStart);
    if (name == L"title") doc.title = DecodeText(content);
    if (name == L"script") {
        if (Lower(tag).find(L" src") != std::wstring::npos) ++doc.externalScripts;
        else doc.scripts.push_back({content, LineAt(html, contentStart)});
    }
    if (close == std::wstring::npos) return html.size();
    const size_t end = TagEnd(html, close);
    return end == std::wstring::npos ? html.size() : end + 1;
}

}  // namespace

HtmlDocument ParseHtml(const std::wstring& html) {
    HtmlDocument doc;
    const std::wstring lower = Lower(html);
    std::wstring run;
    bool newLine = false;
    for (size_t i = 0; i < html.size();) {
        if (html[i] != L'<') {
            run += html[i++];
            continue;
        }
        if (html.compare(i, 4, L"<!--") == 0) {
            const size_t end = html.find(L"-->", i + 4);
            i = end == std::wstring::npos ? html.size() : end + 3;
            continue;
        }
        const size_t end = TagEnd(html, i);
        if (end == std::wstring::npos) break;
        const std::wstring tag = html.substr(i, end - i + 1);
        const std::wstring name = TagName(tag);
        AppendRun(doc, run, newLine);
        run.clear();
        i = end + 1;
        if (tag[1] != L'/' && (name == L"script" || name == L"style" || name == L"title" || name == L"textarea")) {
            i = SkipRawElement(html, lower, name, tag, i, doc);
        }
        if (IsBlock(name)) newLine = true;
    }
    AppendRun(doc, run, newLine);
    while (!doc.text.empty() && doc.text.back() == L' ') doc.text.pop_back();
    return doc;
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
