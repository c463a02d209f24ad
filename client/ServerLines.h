// Server lines: the entry points of the hosted web application and the selected one.
#pragma once

#include <atomic>
#include <string>
#include <vector>

struct LineInfo {
    std::string name;  // GBK
    std::string url;   // UTF-8
};

struct LineList {
    std::vector<LineInfo> lines;
    // Written from the main and the engine's UI thread; always a valid index into lines.
    std::atomic<int> selected{0};
};

extern LineList g_lines;

LineInfo MakeLineInfo(const std::string& name, const std::string& url);
void InitDefaultLines();
// Ignores an index outside the list.
void SetSelectedLine(int index);
// Whether url has the origin (scheme, host, port) of one of the lines: only pages of the
// service itself may drive the client through the script bridge.
bool IsServerLineOrigin(const std::string& url);
