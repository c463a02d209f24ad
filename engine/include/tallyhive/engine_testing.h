// What in-process tests may read of the engine: the records that the engine trace
// file receives, in order, without the process-id prefix.
#pragma once

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

}  // namespace engine_testing
