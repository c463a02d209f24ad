// curl brings winsock2.h, which must come before windows.h.
#include "HttpFunction.h"

#include <curl/curl.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>

#include "Log.h"
#include "TextConvert.h"

namespace {

const char kBrowserUserAgent[] =
    "Mozilla/5.0 (Windows NT 10.0; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/69.0.3497.100 "
    "Safari/537.36";

struct CurlEasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;

struct FileCloser {
    void operator()(FILE* file) const { fclose(file); }
};
using ScopedFile = std::unique_ptr<FILE, FileCloser>;

struct BoundedFile {
    FILE* file;
    long long written;
    long long limit;
};

// A server that sends no length, or lies about it, is stopped here: a short count makes
// libcurl abort the transfer.
size_t WriteBoundedFile(char* data, size_t size, size_t count, void* target) {
    BoundedFile* sink = static_cast<BoundedFile*>(target);
    const size_t bytes = size * count;
    if (sink->written + static_cast<long long>(bytes) > sink->limit) return 0;
    sink->written += static_cast<long long>(bytes);
    return fwrite(data, 1, bytes, sink->file);
}

void SetDownloadOptions(CURL* curl, const std::string& url, BoundedFile* sink) {
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    // A page hands us this URL: no file://, no other scheme libcurl knows, not even
    // through a redirect.
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(sink->limit));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteBoundedFile);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, sink);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 6L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 30L);
    curl_easy_setopt(curl, CURLOPT_AUTOREFERER, 1L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 1L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, kBrowserUserAgent);
}

// The update reply goes into a string; past kMaxUpdateReplyBytes the short count aborts.
size_t CurlWriteToString(char* data, size_t size, size_t count, void* target) {
    std::string* reply = static_cast<std::string*>(target);
    if (data == nullptr || reply == nullptr) return static_cast<size_t>(-1);
    const size_t bytes = size * count;
    if (reply->size() + bytes > kMaxUpdateReplyBytes) return 0;
    reply->append(data, bytes);
    return count;
}

curl_socket_t CurlOpenSocketCallback(void* target, curlsocktype, struct curl_sockaddr* address) {
    DownloadContext* context = static_cast<DownloadContext*>(target);
    context->socket = socket(address->family, address->socktype, address->protocol);
    return context->socket;
}

struct ProgressTarget {
    const DownloadProgress* progress;
    DownloadContext* context;
};

// A cancel is honoured here, before the length test, so that a reply without a length
// stops as promptly as one with; libcurl then closes its socket itself.
int CurlProgressCallback(void* target, curl_off_t downloadTotal, curl_off_t downloaded, curl_off_t, curl_off_t) {
    const ProgressTarget* sink = static_cast<const ProgressTarget*>(target);
    if (sink->context->cancel.load()) return 1;
    if (downloadTotal < 1) return 0;
    (*sink->progress)(static_cast<int>(static_cast<double>(downloaded) / static_cast<double>(downloadTotal) * 100));
    return 0;
}

// The update package's bound for file: the disk's free space, read where the file goes,
// less the margin, and never more than any package of ours needs. Free space that cannot
// be read leaves the size bound alone; a full disk still fails the write.
long long PackageBound(const std::string& file) {
    const std::wstring folder = AnsiToWide(file.substr(0, file.find_last_of("\\/") + 1));
    ULARGE_INTEGER available = {};
    if (!GetDiskFreeSpaceExW(folder.empty() ? nullptr : folder.c_str(), &available, nullptr, nullptr)) {
        return kMaxUpdatePackageBytes;
    }
    const long long room = static_cast<long long>(available.QuadPart) - kUpdateDiskMargin;
    return std::max(0ll, std::min(kMaxUpdatePackageBytes, room));
}

std::string UpdateRequestUrl() { return std::string("http://") + TALLYHIVE_UPDATE_HOST + "/UpdateVersion/index"; }

}  // namespace

void HttpGlobalInit() {
    static std::once_flag done;
    std::call_once(done, [] { curl_global_init(CURL_GLOBAL_ALL); });
}

bool HttpPostUpdateRequest(std::string& reply) {
    reply.clear();
    CurlEasy curl(curl_easy_init());
    if (!curl) return false;
    const std::string url = UpdateRequestUrl();
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDS, "act=tallyhive");
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, CurlWriteToString);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &reply);
    curl_easy_setopt(curl.get(), CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxUpdateReplyBytes));
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, 5L);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, 5L);
    curl_easy_setopt(curl.get(), CURLOPT_POST, 1L);
    if (curl_easy_perform(curl.get()) != CURLE_OK) return false;
    long status = 0;
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    return status == 200;
}

bool HttpDownloadPogress(DownloadProgress progress, const std::string& url, const std::string& file,
                         DownloadContext& context) {
    CurlEasy curl(curl_easy_init());
    context.transfer = curl.get();
    if (!curl) return false;
    ScopedFile out(fopen(file.c_str(), "wb"));
    if (!out) return false;

    const ProgressTarget sink = {&progress, &context};
    BoundedFile package = {out.get(), 0, PackageBound(file)};
    CURL* handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    // The link comes from the update reply: nothing but a web transfer.
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_OPENSOCKETFUNCTION, CurlOpenSocketCallback);
    curl_easy_setopt(handle, CURLOPT_OPENSOCKETDATA, &context);
    curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(package.limit));
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, WriteBoundedFile);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &package);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, CurlProgressCallback);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &sink);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, 8L);
    curl_easy_setopt(handle, CURLOPT_TIMEOUT, 300L);
    const CURLcode result = curl_easy_perform(handle);
    long status = 0;
    if (result == CURLE_OK) curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    // An installer that did not reach the disk whole must never be started.
    const bool written = fflush(out.get()) == 0 && fclose(out.release()) == 0;
    context.transfer = nullptr;
    curl.reset();
    if (result == CURLE_OK && status == 200 && written) return true;
    DeleteFileA(file.c_str());
    return false;
}

bool HttpDownloadFile(const std::string& url, const std::string& file) {
    CurlEasy curl(curl_easy_init());
    if (!curl) return false;
    ScopedFile out(fopen(file.c_str(), "wb"));
    if (!out) return false;

    BoundedFile sink = {out.get(), 0, kMaxDownloadBytes};
    SetDownloadOptions(curl.get(), url, &sink);
    const CURLcode result = curl_easy_perform(curl.get());
    // A file that failed to reach the disk whole is a failed download too.
    const bool written = fclose(out.release()) == 0;
    if (result != CURLE_OK || !written) {
        LogWrite(LOG_ERROR, __FILE__, __LINE__, "HttpDownloadFile ERROR url: %s code:%d ",
                 PageTextForLog(url).c_str(),
                 result != CURLE_OK ? static_cast<int>(result) : static_cast<int>(CURLE_WRITE_ERROR));
        DeleteFileA(file.c_str());
        return false;
    }
    long status = 0;
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    curl.reset();
    if (status != 200) {
        LogWrite(LOG_ERROR, __FILE__, __LINE__, "HttpDownloadFile retcode != 200 url: %s code:%d ",
                 PageTextForLog(url).c_str(), static_cast<int>(status));
        DeleteFileA(file.c_str());
        return false;
    }
    return true;
}
