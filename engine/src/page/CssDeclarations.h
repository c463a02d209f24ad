// CSS declarations as a page writes them in a style attribute or a rule, and the few
// kinds of value the page model reads out of them (colours and lengths).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace engine {

struct CssDeclaration {
    std::wstring name;   // lower case
    std::wstring value;  // trimmed, without "!important"
};
using CssDeclarations = std::vector<CssDeclaration>;

// "name: value; ..." with each name once (the last one written wins).
CssDeclarations ParseDeclarations(const std::wstring& text);
std::wstring SerializeDeclarations(const CssDeclarations& declarations);
std::wstring DeclarationValue(const CssDeclarations& declarations, const std::wstring& name);
// An empty value removes the property.
void SetDeclaration(CssDeclarations& declarations, const std::wstring& name, const std::wstring& value);

struct CssLength {
    // kEm lives only until the element's font size is known (the cascade's end).
    enum Unit { kAuto, kPx, kPercent, kEm };
    Unit unit = kAuto;
    double value = 0;
    bool IsAuto() const { return unit == kAuto; }
    // In pixels against base (the containing size for a percentage); auto gives fallback.
    int Resolve(int base, int fallback) const;
};

// "auto", "0", "12px", "12.5px", "1.5em", "50%"; false for anything else.
bool ParseLength(const std::wstring& text, CssLength& length);
// "#rgb", "#rrggbb", "rgb(r, g, b)", "rgba(r, g, b, a)" and the basic colour names.
// transparent is set for "transparent" and a zero alpha.
bool ParseColor(const std::wstring& text, COLORREF& color, bool& transparent);
// The same with the alpha (0 to 1) that rgba() and "transparent" give.
bool ParseColor(const std::wstring& text, COLORREF& color, double& alpha);
bool ParseNumber(const std::wstring& text, double& number);

std::wstring Trim(const std::wstring& text);
std::wstring ToLower(std::wstring text);
bool IsCssSpace(wchar_t c);

}  // namespace engine
