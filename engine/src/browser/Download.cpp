#include "Download.h"

#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include <atomic>
#include <memory>

#include "Browser.h"
#include "Closure.h"
#include "EngineLog.h"
#include "EngineTrace.h"
#include "HandleOwner.h"
#include "Url.h"
#include "include/cef_download_handler.h"

namespace engine {
namespace {

std::atomic<uint32_t> g_nextDownloadId{1};

class DownloadItem : public CefDownloadItem {
public:
    bool IsValid() override { return true; }
    bool IsInProgress() override { return !complete && !canceled; }
    bool IsComplete() override { return complete; }
    bool IsCanceled() override { return canceled; }
    int64_t GetCurrentSpeed() override { return 0; }
    int GetPercentComplete() override { return complete ? 100 : (total > 0 ? static_cast<int>(received * 100 / total) : -1); }
    int64_t GetTotalBytes() override { return total; }
    int64_t GetReceivedBytes() override { return received; }
    CefString GetFullPath() override { return fullPath; }
    uint32_t GetId() override { return id; }
    CefString GetURL() override { return url; }
    CefString GetOriginalUrl() override { return url; }
    CefString GetSuggestedFileName() override { return suggestedName; }
    CefString GetContentDisposition() override { return disposition; }
    CefString GetMimeType() override { return mimeType; }

    uint32_t id = g_nextDownloadId++;
    bool complete = false;
    bool canceled = false;
    int64_t total = 0;
    int64_t received = 0;
    std::wstring fullPath;
    std::string url;
    std::wstring suggestedName;
    std::string disposition;
    std::string mimeType;
    IMPLEMENT_REFCOUNTING(DownloadItem);
};

class ItemCallback : public CefDownloadItemCallback {
public:
    explicit ItemCallback(CefRefPtr<DownloadItem> item) : item_(item) {}
    // The whole body is in hand before the item is reported, so nothing is left to stop.
    void Cancel() override {
        if (item_->complete) EngineLog::Write(LOGSEVERITY_WARNING, "download cancel: the download had already completed");
        else item_->canceled = true;
    }
    void Pause() override { EngineLog::Write(LOGSEVERITY_WARNING, "pausing downloads is not supported"); }
    void Resume() override { EngineLog::Write(LOGSEVERITY_WARNING, "resuming downloads is not supported"); }

private:
    CefRefPtr<DownloadItem> item_;
    IMPLEMENT_REFCOUNTING(ItemCallback);
};

std::wstring SuggestedName(const std::string& url, const std::string& disposition) {
    std::string name;
    const size_t star = disposition.find("filename*=");
    const size_t plain = disposition.find("filename=");
    if (star != std::string::npos) {
        name = disposition.substr(star + 10);
        const size_t quote = name.find("''");
        if (quote != std::string::npos) name = name.substr(quote + 2);
        name = PercentDecode(name.substr(0, name.find(';')));
    } else if (plain != std::string::npos) {
        name = disposition.substr(plain + 9);
        if (!name.empty() && name[0] == '"') name = name.substr(1, name.find('"', 1) - 1);
        else name = name.substr(0, name.find(';'));
    }
    if (name.empty()) {
        const std::string path = WithoutFragment(url).substr(0, url.find('?'));
        name = PercentDecode(path.substr(path.rfind('/') + 1));
    }
    std::wstring wide = CefString(name).ToWString();
    for (wchar_t& c : wide) {
        if (wcschr(L"\\/:*?\"<>|", c) != nullptr || c < 32) c = L'_';
    }
    return wide.empty() ? L"download" : wide;
}

std::wstring DefaultFolder() {
    wchar_t profile[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, 0, profile))) return std::wstring(profile) + L"\\Downloads";
    return L".";
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The file dialogs' DLL is loaded when a download first asks where to go: nothing before
// it needs the DLL, whose start the program's first window would otherwise wait for.
BOOL AskSaveFileName(OPENFILENAMEW* request) {
    using SaveFileNameFn = BOOL(WINAPI*)(OPENFILENAMEW*);
    static const SaveFileNameFn ask = [] {
        HMODULE library = LoadLibraryW(L"comdlg32.dll");
        FARPROC function = library != nullptr ? GetProcAddress(library, "GetSaveFileNameW") : nullptr;
        return reinterpret_cast<SaveFileNameFn>(reinterpret_cast<void*>(function));
    }();
    return ask != nullptr ? ask(request) : FALSE;
}

// The Save-As dialog, starting from proposed; empty when the user cancels.
std::wstring AskForPath(HWND owner, const std::wstring& proposed) {
    wchar_t file[MAX_PATH] = {};
    lstrcpynW(file, proposed.c_str(), MAX_PATH);
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    return AskSaveFileName(&ofn) ? std::wstring(file) : std::wstring();
}

bool WriteWhole(const std::wstring& path, const std::string& bytes) {
    bool ok = false;
    {
        // Closed before a failed file is deleted.
        const KernelHandle file(OpenedFile(
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
        if (file.get() == nullptr) return false;
        DWORD written = 0;
        ok = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
             written == bytes.size();
    }
    if (!ok) DeleteFileW(path.c_str());
    return ok;
}

class BeforeCallback : public CefBeforeDownloadCallback {
public:
    BeforeCallback(CefRefPtr<BrowserImpl> browser, CefRefPtr<DownloadItem> item, std::shared_ptr<std::string> body)
        : browser_(browser), item_(item), body_(body) {}

    void Continue(const CefString& path, bool showDialog) override {
        CefRefPtr<BeforeCallback> self = this;
        const std::wstring target = path.ToWString();
        PostWork(TID_UI, [self, target, showDialog] { self->Save(target, showDialog); });
    }

private:
    void Save(std::wstring target, bool showDialog) {
        if (used_) return;
        used_ = true;
        if (target.empty()) target = DefaultFolder();
        if (IsFolder(target)) target += L"\\" + item_->suggestedName;
        if (showDialog) target = AskForPath(GetAncestor(browser_->GetWindowHandle(), GA_ROOT), target);
        if (target.empty() || item_->canceled) return Finish(false, "the download was canceled");
        item_->fullPath = target;
        Update();
        if (!WriteWhole(target, *body_)) return Finish(false, "the download could not be written to its file");
        item_->received = item_->total;
        item_->complete = true;
        Trace("download saved url=" + item_->url + " path=" + CefString(target).ToString());
        Update();
    }
    void Finish(bool complete, const char* why) {
        item_->canceled = !complete;
        EngineLog::Write(LOGSEVERITY_WARNING, std::string(why) + ": " + item_->url);
        Update();
    }
    void Update() {
        CefRefPtr<CefClient> client = browser_->GetClient();
        CefRefPtr<CefDownloadHandler> handler = client ? client->GetDownloadHandler() : nullptr;
        if (handler) handler->OnDownloadUpdated(browser_.get(), item_.get(), new ItemCallback(item_));
    }

    CefRefPtr<BrowserImpl> browser_;
    CefRefPtr<DownloadItem> item_;
    std::shared_ptr<std::string> body_;
    bool used_ = false;
    IMPLEMENT_REFCOUNTING(BeforeCallback);
};

}  // namespace

void StartDownload(CefRefPtr<BrowserImpl> browser, const std::string& url, const std::string& disposition,
                   FetchResult result) {
    CefRefPtr<CefClient> client = browser->GetClient();
    CefRefPtr<CefDownloadHandler> handler = client ? client->GetDownloadHandler() : nullptr;
    Trace("download started url=" + url);
    if (!handler) {
        EngineLog::Write(LOGSEVERITY_WARNING, "a download was dropped: the client has no download handler: " + url);
        return;
    }
    CefRefPtr<DownloadItem> item = new DownloadItem();
    item->url = url;
    item->disposition = disposition;
    const std::string type = result.Header("Content-Type");
    item->mimeType = type.substr(0, type.find(';'));
    item->suggestedName = SuggestedName(url, disposition);
    item->total = static_cast<int64_t>(result.body.size());
    auto body = std::make_shared<std::string>(std::move(result.body));
    handler->OnBeforeDownload(browser.get(), item.get(), item->suggestedName, new BeforeCallback(browser, item, body));
}

}  // namespace engine
