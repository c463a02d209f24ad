#include "CookieManager.h"

#include <windows.h>

#include <fstream>

#include "EngineContext.h"
#include "EngineLog.h"
#include "EngineTrace.h"

namespace engine {
namespace {

const char kHeader[] = "# Netscape HTTP Cookie File";

class CompletionTask : public CefTask {
public:
    explicit CompletionTask(CefRefPtr<CefCompletionCallback> callback) : callback_(callback) {}
    void Execute() override { callback_->OnComplete(); }

private:
    CefRefPtr<CefCompletionCallback> callback_;
    IMPLEMENT_REFCOUNTING(CompletionTask);
};

}  // namespace

CefRefPtr<CookieManager> CookieManager::Global() {
    static CefRefPtr<CookieManager> manager = new CookieManager();
    return manager;
}

void CookieManager::Load(const std::wstring& cachePath) {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.clear();
    storePath_ = cachePath.empty() ? std::wstring() : cachePath + L"\\Cookies";
    if (storePath_.empty()) return;
    std::ifstream in(storePath_.c_str(), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // "#HttpOnly_" marks a cookie line, not a comment.
        if (!line.empty() && (line[0] != '#' || line.compare(0, 10, "#HttpOnly_") == 0)) lines_.push_back(line);
    }
}

bool CookieManager::FlushStore(CefRefPtr<CefCompletionCallback> callback) {
    const bool written = WriteStore();
    Trace(written ? "cookies flushed" : "cookies flush failed");
    if (!written) EngineLog::Write(LOGSEVERITY_ERROR, "the cookie store could not be written");
    if (callback != nullptr && !EngineContext::Get().UiThread().Post(new CompletionTask(callback))) {
        callback->OnComplete();
    }
    return written;
}

// Written beside the store and then moved over it, so a failed write keeps the old one.
bool CookieManager::WriteStore() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (storePath_.empty()) return true;
    const std::wstring temp = storePath_ + L".tmp";
    {
        std::ofstream out(temp.c_str(), std::ios::binary | std::ios::trunc);
        out << kHeader << "\n";
        for (const auto& line : lines_) out << line << "\n";
        out.flush();
        if (!out) {
            DeleteFileW(temp.c_str());
            return false;
        }
    }
    return MoveFileExW(temp.c_str(), storePath_.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::vector<std::string> CookieManager::Lines() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
}

void CookieManager::SetLines(const std::vector<std::string>& lines) {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_ = lines;
}

}  // namespace engine

CefRefPtr<CefCookieManager> CefCookieManager::GetGlobalManager(CefRefPtr<CefCompletionCallback> callback) {
    if (!engine::EngineContext::Get().IsInitialized()) return nullptr;
    CefRefPtr<engine::CookieManager> manager = engine::CookieManager::Global();
    // The store is ready at once; the callback still runs asynchronously, on the UI thread.
    if (callback != nullptr) engine::EngineContext::Get().UiThread().Post(new engine::CompletionTask(callback));
    return manager.get();
}
