#include "CssDeclarations.h"

#include <cwchar>
#include <cwctype>

namespace engine {
namespace {

struct NamedColor {
    const wchar_t* name;
    COLORREF color;
};
const NamedColor kNamedColors[] = {
    {L"black", RGB(0, 0, 0)},         {L"white", RGB(255, 255, 255)},   {L"red", RGB(255, 0, 0)},
    {L"green", RGB(0, 128, 0)},       {L"blue", RGB(0, 0, 255)},        {L"yellow", RGB(255, 255, 0)},
    {L"gray", RGB(128, 128, 128)},    {L"grey", RGB(128, 128, 128)},    {L"silver", RGB(192, 192, 192)},
    {L"orange", RGB(255, 165, 0)},    {L"purple", RGB(128, 0, 128)},    {L"navy", RGB(0, 0, 128)},
    {L"maroon", RGB(128, 0, 0)},      {L"lime", RGB(0, 255, 0)},        {L"aqua", RGB(0, 255, 255)},
    {L"cyan", RGB(0, 255, 255)},      {L"fuchsia", RGB(255, 0, 255)},   {L"magenta", RGB(255, 0, 255)},
    {L"teal", RGB(0, 128, 128)},      {L"olive", RGB(128, 128, 0)},
};

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

bool ParseHexColor(const std::wstring& hex, COLORREF& color) {
    for (wchar_t c : hex) {
        if (HexDigit(c) < 0) return false;
    }
    // #rgb and #rgba repeat each digit; an alpha digit pair is read and ignored.
    if (hex.size() == 3 || hex.size() == 4) {
        color = RGB(HexDigit(hex[0]) * 17, HexDigit(hex[1]) * 17, HexDigit(hex[2]) * 17);
        return true;
    }
    if (hex.size() == 6 || hex.size() == 8) {
        color = RGB(HexDigit(hex[0]) * 16 + HexDigit(hex[1]), HexDigit(hex[2]) * 16 + HexDigit(hex[3]),
                    HexDigit(hex[4]) * 16 + HexDigit(hex[5]));
        return true;
    }
    return false;
}

BYTE Channel(const std::wstring& text) {
    double value = 0;
    const std::wstring t = Trim(text);
    if (!t.empty() && t.back() == L'%' && ParseNumber(t.substr(0, t.size() - 1), value)) value = value * 255 / 100;
    else if (!ParseNumber(t, value)) value = 0;
    return static_cast<BYTE>(value < 0 ? 0 : value > 255 ? 255 : value + 0.5);
}

// rgb(...) and rgba(...): the channels between the parentheses.
bool ParseRgb(const std::wstring& text, COLORREF& color, double& alpha) {
    const size_t open = text.find(L'(');
    const size_t close = text.rfind(L')');
    if (open == std::wstring::npos || close == std::wstring::npos || close < open) return false;
    std::vector<std::wstring> parts(1);
    for (size_t i = open + 1; i < close; ++i) {
        if (text[i] == L',' || text[i] == L'/') parts.emplace_back();
        else parts.back() += text[i];
    }
    if (parts.size() < 3) return false;
    color = RGB(Channel(parts[0]), Channel(parts[1]), Channel(parts[2]));
    alpha = 1;
    if (parts.size() > 3 && !ParseNumber(Trim(parts[3]), alpha)) alpha = 1;
    alpha = alpha < 0 ? 0 : alpha > 1 ? 1 : alpha;
    return true;
}

// The end of the declaration starting at i: the next ';' outside quotes and parentheses.
size_t DeclarationEnd(const std::wstring& text, size_t i) {
    wchar_t quote = 0;
    int depth = 0;
    for (; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (quote != 0) {
            if (c == quote) quote = 0;
        } else if (c == L'"' || c == L'\'') {
            quote = c;
        } else if (c == L'(') {
            ++depth;
        } else if (c == L')' && depth > 0) {
            --depth;
        } else if (c == L';' && depth == 0) {
            break;
        }
    }
    return i;
}

std::wstring WithoutImportant(std::wstring value) {
    const size_t bang = value.rfind(L'!');
    if (bang != std::wstring::npos && ToLower(Trim(value.substr(bang + 1))) == L"important") value.erase(bang);
    return Trim(value);
}

}  // namespace

bool IsCssSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f'; }

std::wstring Trim(const std::wstring& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsCssSpace(text[begin])) ++begin;
    while (end > begin && IsCssSpace(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

std::wstring ToLower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

CssDeclarations ParseDeclarations(const std::wstring& text) {
    CssDeclarations declarations;
    for (size_t i = 0; i < text.size();) {
        const size_t end = DeclarationEnd(text, i);
        const std::wstring item = text.substr(i, end - i);
        i = end + 1;
        const size_t colon = item.find(L':');
        if (colon == std::wstring::npos) continue;
        const std::wstring name = ToLower(Trim(item.substr(0, colon)));
        const std::wstring value = WithoutImportant(item.substr(colon + 1));
        if (name.empty() || value.empty()) continue;
        SetDeclaration(declarations, name, L"");
        declarations.push_back({name, value});
    }
    return declarations;
}

std::wstring SerializeDeclarations(const CssDeclarations& declarations) {
    std::wstring text;
    for (const CssDeclaration& d : declarations) text += (text.empty() ? L"" : L" ") + d.name + L": " + d.value + L";";
    return text;
}

std::wstring DeclarationValue(const CssDeclarations& declarations, const std::wstring& name) {
    for (const CssDeclaration& d : declarations) {
        if (d.name == name) return d.value;
    }
    return std::wstring();
}

void SetDeclaration(CssDeclarations& declarations, const std::wstring& name, const std::wstring& value) {
    const std::wstring trimmed = Trim(value);
    for (auto it = declarations.begin(); it != declarations.end(); ++it) {
        if (it->name != name) continue;
        if (trimmed.empty()) declarations.erase(it);
        else it->value = trimmed;
        return;
    }
    if (!trimmed.empty()) declarations.push_back({name, trimmed});
}

// Bounded, so that no length a page writes overflows the layout's arithmetic.
int CssLength::Resolve(int base, int fallback) const {
    double px = 0;
    if (unit == kPx) px = value;
    else if (unit == kPercent) px = base * value / 100;
    else return fallback;
    px = px < -1e6 ? -1e6 : px > 1e6 ? 1e6 : px;
    return static_cast<int>(px + (px < 0 ? -0.5 : 0.5));
}

bool ParseNumber(const std::wstring& text, double& number) {
    if (text.empty()) return false;
    wchar_t* end = nullptr;
    number = std::wcstod(text.c_str(), &end);
    return end == text.c_str() + text.size();
}

bool ParseLength(const std::wstring& text, CssLength& length) {
    const std::wstring t = ToLower(Trim(text));
    double number = 0;
    if (t == L"auto") {
        length = CssLength();
    } else if (t.size() > 2 && t.compare(t.size() - 2, 2, L"px") == 0 && ParseNumber(t.substr(0, t.size() - 2), number)) {
        length = {CssLength::kPx, number};
    } else if (t.size() > 2 && t.compare(t.size() - 2, 2, L"em") == 0 && ParseNumber(t.substr(0, t.size() - 2), number)) {
        length = {CssLength::kEm, number};
    } else if (t.size() > 1 && t.back() == L'%' && ParseNumber(t.substr(0, t.size() - 1), number)) {
        length = {CssLength::kPercent, number};
    } else if (ParseNumber(t, number) && number == 0) {
        length = {CssLength::kPx, 0};
    } else {
        return false;
    }
    return true;
}

bool ParseColor(const std::wstring& text, COLORREF& color, bool& transparent) {
    double alpha = 1;
    const bool parsed = ParseColor(text, color, alpha);
    transparent = parsed && alpha <= 0;
    return parsed;
}

bool ParseColor(const std::wstring& text, COLORREF& color, double& alpha) {
    const std::wstring t = ToLower(Trim(text));
    alpha = 1;
    if (t == L"transparent") {
        alpha = 0;
        return true;
    }
    if (!t.empty() && t[0] == L'#') return ParseHexColor(t.substr(1), color);
    if (t.compare(0, 3, L"rgb") == 0) return ParseRgb(t, color, alpha);
    for (const NamedColor& named : kNamedColors) {
        if (t == named.name) {
            color = named.color;
            return true;
        }
    }
    return false;
}

}  // namespace engine
