#include "ServerLines.h"

#include "UrlOrigin.h"

LineList g_lines;

namespace {

// The list is complete before the program entry runs and never changes afterwards.
struct DefaultLinesInitializer {
    DefaultLinesInitializer() {
        InitDefaultLines();
        g_lines.selected = 0;
    }
} g_defaultLinesInitializer;

}  // namespace

LineInfo MakeLineInfo(const std::string& name, const std::string& url) { return LineInfo{name, url}; }

void InitDefaultLines() {
    // "线路" (line)
    g_lines.lines.push_back(MakeLineInfo("\xcf\xdf\xc2\xb7", "http://" TALLYHIVE_LINE_HOST "/#/login?operators_id=1"));
}

void SetSelectedLine(int index) {
    if (index >= 0 && index <= static_cast<int>(g_lines.lines.size()) - 1) g_lines.selected = index;
}

bool IsServerLineOrigin(const std::string& url) {
    const std::string origin = UrlOrigin(url);
    if (origin.empty()) return false;
    for (const LineInfo& line : g_lines.lines) {
        if (UrlOrigin(line.url) == origin) return true;
    }
    return false;
}
