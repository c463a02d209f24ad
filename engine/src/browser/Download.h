// Responses that arrive as attachments: handed to the download handler and saved where
// its Continue says.
#pragma once

#include <string>

#include "Fetcher.h"
#include "include/cef_base.h"

namespace engine {

class BrowserImpl;

// UI thread: the response body is complete already; it is written on Continue.
void StartDownload(CefRefPtr<BrowserImpl> browser, const std::string& url, const std::string& disposition,
                   FetchResult result);

}  // namespace engine
