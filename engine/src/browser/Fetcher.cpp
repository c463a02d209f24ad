#include "Fetcher.h"

// curl brings winsock2.h, which must come before windows.h.
#include <curl/curl.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <new>

#include "CanonicalUrl.h"
#include "CookieManager.h"
#include "EngineLog.h"
#include "FileFetch.h"
#include "HandleOwner.h"
#include "OutOfMemory.h"
#include "Url.h"
#include "include/cef_command_line.h"
#include "include/internal/cef_types.h"
#include "tallyhive/engine_testing.h"

namespace engine {
namespace {

const char kUserAgent[] =
    "Mozilla/5.0 (Windows NT 6.1) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/49.0.2623.110 Safari/537.36";

// As many redirects as a browser follows for one load.
const int kMaxRedirects = 20;

std::mutex g_mutex;
// Each worker's thread, owned until it has ended, and its job.
std::vector<std::pair<std::unique_ptr<KernelHandle>, std::shared_ptr<FetchJob>>> g_threads;
std::atomic<unsigned> g_idleTimeoutMs{30000};

struct Transfer {
    std::shared_ptr<FetchJob> job;
    size_t maxBytes = 0;
    bool tooBig = false;
    int headStatus = 0;  // of the response whose head is coming
    FetchResult result;
    ULONGLONG lastActivity = 0;
    curl_off_t lastBytes = -1;
    bool timedOut = false;
};

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Trim(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t\r\n");
    const size_t b = s.find_last_not_of(" \t\r\n");
    return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    // Nothing may be thrown through libcurl: a failed allocation ends the transfer as failed.
    try {
        if (!AppendWithin(t->result.body, data, size * count, t->maxBytes)) {
            t->tooBig = true;
            return 0;  // libcurl ends the transfer
        }
    } catch (const std::bad_alloc&) {
        return 0;
    }
    t->lastActivity = GetTickCount64();
    return size * count;
}

// A response that declares a body past the bound fails before the body comes; a redirect's
// body is never kept, whatever it declares.
bool DeclaredTooBig(const Transfer& t, const std::string& name, const std::string& value) {
    if (t.maxBytes == 0 || t.headStatus / 100 == 3 || Lower(name) != "content-length") return false;
    return std::strtoull(value.c_str(), nullptr, 10) > t.maxBytes;
}

// A status line starts a response: only the last one's headers (after redirects) are kept.
size_t ReadHeader(char* data, size_t size, size_t count, Transfer* t) {
    const std::string line = Trim(std::string(data, size * count));
    t->lastActivity = GetTickCount64();
    if (line.compare(0, 5, "HTTP/") == 0) {
        t->result.headers.clear();
        const size_t a = line.find(' ');
        const size_t b = a == std::string::npos ? std::string::npos : line.find(' ', a + 1);
        t->result.statusText = b == std::string::npos ? std::string() : line.substr(b + 1);
        t->headStatus = a == std::string::npos ? 0 : std::atoi(line.c_str() + a + 1);
    } else if (line.find(':') != std::string::npos) {
        const size_t colon = line.find(':');
        t->result.headers.emplace_back(Trim(line.substr(0, colon)), Trim(line.substr(colon + 1)));
        if (DeclaredTooBig(*t, t->result.headers.back().first, t->result.headers.back().second)) {
            t->tooBig = true;
            return 0;  // libcurl ends the transfer
        }
    }
    return size * count;
}

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
    try {
        return ReadHeader(data, size, count, static_cast<Transfer*>(user));
    } catch (const std::bad_alloc&) {
        return 0;  // as OnBody
    }
}

int OnProgress(void* user, curl_off_t, curl_off_t now, curl_off_t, curl_off_t) {
    auto* t = static_cast<Transfer*>(user);
    if (t->job->Canceled()) return 1;
    const ULONGLONG tick = GetTickCount64();
    if (now != t->lastBytes) {
        t->lastBytes = now;
        t->lastActivity = tick;
    }
    if (tick - t->lastActivity > g_idleTimeoutMs) {
        t->timedOut = true;
        return 1;
    }
    return 0;
}

int NetErrorOf(CURLcode code, const Transfer& t) {
    switch (code) {
    case CURLE_OK: return 0;
    case CURLE_WRITE_ERROR: return t.tooBig ? -8 : -2;
    case CURLE_ABORTED_BY_CALLBACK: return t.timedOut ? -7 : -3;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: return -105;
    case CURLE_COULDNT_CONNECT: return -102;
    case CURLE_OPERATION_TIMEDOUT: return -7;
    case CURLE_UNSUPPORTED_PROTOCOL: return -302;
    case CURLE_URL_MALFORMAT: return -300;
    case CURLE_TOO_MANY_REDIRECTS: return -310;
    case CURLE_GOT_NOTHING: return -324;
    case CURLE_RECV_ERROR: return -101;
    case CURLE_SEND_ERROR: return -100;
    case CURLE_PARTIAL_FILE: return -100;
    case CURLE_WEIRD_SERVER_REPLY: return -320;
    case CURLE_SSL_CONNECT_ERROR: return -107;
    case CURLE_PEER_FAILED_VERIFICATION: return -202;
    case CURLE_FILESIZE_EXCEEDED: return -8;
    case CURLE_OUT_OF_MEMORY: return -2;
    default: return -2;
    }
}

// The proxy that --proxy-server names for this scheme: "host:port" for every scheme,
// or "http=host:port;https=host:port" per scheme. Empty leaves libcurl's own choice
// (the http_proxy environment variable).
std::string ProxyFor(const std::string& scheme) {
    CefRefPtr<CefCommandLine> line = CefCommandLine::GetGlobalCommandLine();
    if (line->HasSwitch("no-proxy-server")) return "none";
    const std::string spec = line->GetSwitchValue("proxy-server").ToString();
    if (spec.find('=') == std::string::npos) return spec;
    size_t pos = 0;
    while (pos <= spec.size()) {
        const size_t semi = spec.find(';', pos);
        const std::string item = spec.substr(pos, semi == std::string::npos ? std::string::npos : semi - pos);
        const size_t eq = item.find('=');
        if (eq != std::string::npos && Lower(item.substr(0, eq)) == scheme) return item.substr(eq + 1);
        if (semi == std::string::npos) break;
        pos = semi + 1;
    }
    return std::string();
}

void ApplyCookies(CURL* curl) {
    curl_easy_setopt(curl, CURLOPT_COOKIEFILE, "");
    for (const std::string& line : CookieManager::Global()->Lines()) curl_easy_setopt(curl, CURLOPT_COOKIELIST, line.c_str());
}

void KeepCookies(CURL* curl) {
    curl_slist* list = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_COOKIELIST, &list) != CURLE_OK) return;
    std::vector<std::string> lines;
    for (curl_slist* item = list; item != nullptr; item = item->next) lines.push_back(item->data);
    curl_slist_free_all(list);
    CookieManager::Global()->SetLines(lines);
}

void Configure(CURL* curl, Transfer& t) {
    curl_easy_setopt(curl, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &t);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(g_idleTimeoutMs.load()));
    ApplyCookies(curl);
}

// One request of a fetch, to a canonical address, through the proxy for its scheme; false
// when it failed. The handle keeps its cookies from one request to the next.
bool Request(CURL* curl, const std::string& url, Transfer& t) {
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    const std::string proxy = ProxyFor(UrlScheme(url));
    curl_easy_setopt(curl, CURLOPT_NOPROXY, proxy == "none" ? "*" : static_cast<const char*>(nullptr));
    curl_easy_setopt(curl, CURLOPT_PROXY,
                     proxy.empty() || proxy == "none" ? static_cast<const char*>(nullptr) : proxy.c_str());
    t.result.headers.clear();
    t.result.body.clear();
    t.lastActivity = GetTickCount64();
    t.lastBytes = -1;
    const CURLcode code = curl_easy_perform(curl);
    t.result.error = NetErrorOf(code, t);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    t.result.status = static_cast<int>(status);
    if (t.result.error == 0) KeepCookies(curl);
    else EngineLog::Write(LOGSEVERITY_INFO, "fetch of " + url + " failed: " + curl_easy_strerror(code));
    return t.result.error == 0;
}

bool IsRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// Where a redirect leads: its Location read relative to the address that answered, or the
// network error that ends the fetch there.
int Redirect(const std::string& location, int redirects, std::string& address) {
    std::string next;
    int error = 0;
    if (redirects == kMaxRedirects) error = -310;
    else if (!ReadAddress(location, address, next)) error = -300;
    else if (UrlScheme(next) != "http" && UrlScheme(next) != "https") error = -311;
    if (error != 0) {
        EngineLog::Write(LOGSEVERITY_INFO, "the redirect of " + address + " to " + location + " is not followed");
        return error;
    }
    address = next;
    return 0;
}

struct CurlCleanup {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};

// Redirects are followed here, not by libcurl, so that every address it is given is one
// the engine has read: the host asked is the one the page's address names.
FetchResult Perform(const std::string& url, const std::shared_ptr<FetchJob>& job, size_t maxBytes) {
    std::unique_ptr<CURL, CurlCleanup> curl(curl_easy_init());
    if (!curl) return FetchResult::Failed(-2);
    Transfer t;
    t.job = job;
    t.maxBytes = maxBytes;
    Configure(curl.get(), t);
    std::string address = url;
    for (int redirects = 0; !job->Canceled(); ++redirects) {
        t.result.finalUrl = address;
        if (!Request(curl.get(), WithoutFragment(address), t) || !IsRedirect(t.result.status)) break;
        const std::string location = t.result.Header("Location");
        if (location.empty()) break;  // the response itself is the result
        t.result.error = Redirect(location, redirects, address);
        if (t.result.error != 0) break;
    }
    return t.result;
}

void GlobalInit() {
    static const CURLcode initialized = curl_global_init(CURL_GLOBAL_ALL);
    (void)initialized;
}

}  // namespace

std::string FetchResult::Header(const std::string& name) const {
    for (const auto& h : headers) {
        if (Lower(h.first) == Lower(name)) return h.second;
    }
    return std::string();
}

FetchResult FetchResult::Failed(int error) {
    FetchResult result;
    result.error = error;
    return result;
}

bool AppendWithin(std::string& body, const char* data, size_t size, size_t maxBytes) {
    if (maxBytes != 0 && (size > maxBytes || body.size() > maxBytes - size)) return false;
    const size_t wanted = body.size() + size;
    if (maxBytes != 0 && wanted > body.capacity()) body.reserve(std::min(maxBytes, std::max(wanted, 2 * body.capacity())));
    body.append(data, size);
    return true;
}

namespace {

struct Worker {
    std::string url;
    std::shared_ptr<FetchJob> job;
    std::function<void(FetchResult)> done;
    size_t maxBytes;
};

FetchResult OutOfMemory() {
    LogOutOfMemory("a fetch");
    return FetchResult::Failed(-2);
}

// An allocation that fails ends this fetch as a failed one, and only this fetch.
FetchResult Fetch(const Worker& worker) {
    try {
        if (UrlScheme(worker.url) == "file") return ReadFileUrl(worker.url, *worker.job, worker.maxBytes);
        return Perform(worker.url, worker.job, worker.maxBytes);
    } catch (const std::bad_alloc&) {
        return OutOfMemory();
    }
}

// What done does with the result (a page's commit, a picture's decoding) may run out of
// memory as well: done then hears that the fetch failed, which needs next to nothing.
void Deliver(Worker& worker, FetchResult result) {
    try {
        worker.done(std::move(result));
    } catch (const std::bad_alloc&) {
        try {
            worker.done(OutOfMemory());
        } catch (const std::bad_alloc&) {
            LogOutOfMemory("the end of a fetch");
        }
    }
}

DWORD WINAPI FetchThread(void* param) {
    std::unique_ptr<Worker> worker(static_cast<Worker*>(param));
    FetchResult result = Fetch(*worker);
    if (worker->job->Canceled()) result.error = -3;
    Deliver(*worker, std::move(result));
    // Whatever the callback holds is released before shutdown may go on.
    worker.reset();
    return 0;
}

// Closes the handles of workers that have ended; the caller holds g_mutex.
void ReapFinished() {
    for (auto it = g_threads.begin(); it != g_threads.end();) {
        if (WaitForSingleObject(it->first->get(), 0) == WAIT_OBJECT_0) {
            it = g_threads.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace

std::shared_ptr<FetchJob> StartFetch(const std::string& url, std::function<void(FetchResult)> done, size_t maxBytes) {
    GlobalInit();
    auto job = std::make_shared<FetchJob>();
    auto* worker = new Worker{url, job, std::move(done), maxBytes};
    std::lock_guard<std::mutex> lock(g_mutex);
    ReapFinished();
    // Plain Win32 threads, each joined at shutdown: a detached C++ thread still ending
    // while the process exits can leave the runtime's thread-key lock held.
    auto thread = std::make_unique<KernelHandle>(CreateThread(nullptr, 0, FetchThread, worker, 0, nullptr));
    if (thread->get() == nullptr) {
        worker->done(FetchResult::Failed(-2));
        delete worker;
        return job;
    }
    g_threads.emplace_back(std::move(thread), job);
    return job;
}

void CancelFetches() {
    std::vector<std::pair<std::unique_ptr<KernelHandle>, std::shared_ptr<FetchJob>>> threads;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        threads.swap(g_threads);
    }
    for (const auto& t : threads) t.second->Cancel();
    for (const auto& t : threads) WaitForSingleObject(t.first->get(), INFINITE);
}

void SetFetchIdleTimeout(unsigned milliseconds) { g_idleTimeoutMs = milliseconds; }

}  // namespace engine

void engine_testing::SetNetworkIdleTimeout(unsigned milliseconds) { engine::SetFetchIdleTimeout(milliseconds); }
