// The global cookie store: cookies in the Netscape cookie-file format that libcurl
// reads and writes, persisted as "Cookies" in the cache folder.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "include/cef_cookie.h"

namespace engine {

class CookieManager : public CefCookieManager {
public:
    static CefRefPtr<CookieManager> Global();

    // Reads the store that an earlier run flushed; an empty cache path keeps cookies in memory.
    void Load(const std::wstring& cachePath);
    bool FlushStore(CefRefPtr<CefCompletionCallback> callback) override;

    std::vector<std::string> Lines();
    void SetLines(const std::vector<std::string>& lines);

private:
    CookieManager() = default;
    bool WriteStore();

    std::mutex mutex_;
    std::wstring storePath_;
    std::vector<std::string> lines_;

    IMPLEMENT_REFCOUNTING(CookieManager);
};

}  // namespace engine
