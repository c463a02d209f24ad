// What in-process tests may read of the engine: the latest records that the engine
// trace file receives (only while TALLYHIVE_ENGINE_TRACE names one), in order, without
// the process-id prefix and cut to a bounded length, what the browser window shows, and
// two limits made short for tests.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "include/cef_browser.h"

namespace engine_testing {

std::vector<std::string> TraceRecords();
void ClearTraceRecords();
// How long a network load may receive nothing before it fails as timed out (-7).
void SetNetworkIdleTimeout(unsigned milliseconds);
// What the browser's window shows: the title, a line break, then the visible text.
std::wstring DisplayedText(CefRefPtr<CefBrowser> browser);
// How long one run of page script (a script block, a timer, a handler) may take before
// it is stopped as a script error.
void SetScriptTimeLimit(unsigned milliseconds);
// A laid-out element of the page in the browser's window: "tag#id.class", its box in
// client coordinates, and whether a click there reaches a handler or a link.
struct PageBox {
    std::string element;
    RECT rect;
    bool clickable;
};
std::vector<PageBox> PageBoxes(CefRefPtr<CefBrowser> browser);

}  // namespace engine_testing
