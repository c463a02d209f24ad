// What this engine takes from a page: its title, its visible text and its inline scripts.
#pragma once

#include <string>
#include <vector>

namespace engine {

struct InlineScript {
    std::wstring code;
    int line;  // of the script's first character in the page
};

struct HtmlDocument {
    std::wstring title;
    std::wstring text;  // tags removed, entities decoded, one line per block
    std::vector<InlineScript> scripts;
    int externalScripts = 0;
};

HtmlDocument ParseHtml(const std::wstring& html);
// The page's bytes as text, in the charset of the header or of the page's meta tag
// (GBK family or UTF-8, the default).
std::wstring DecodePage(const std::string& bytes, const std::string& headerCharset);

}  // namespace engine
