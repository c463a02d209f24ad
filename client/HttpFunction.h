// The client's HTTP transfers on libcurl's easy interface, each on a handle of its own.
#pragma once

#include <curl/curl.h>

#include <atomic>
#include <functional>
#include <string>

// libcurl's global set-up, done once per process: to be called on the UI thread before
// any thread makes a transfer, since the set-up is not safe beside one.
void HttpGlobalInit();

// Largest body HttpDownloadFile keeps: voice prompts are short, and the URL comes from
// a web page.
const long long kMaxDownloadBytes = 16ll * 1024 * 1024;

// Downloads url (http or https only, at most one redirect) into file, a path in the
// system code page. True when the file holds the whole body of a 200 reply; otherwise
// the file is deleted and the failure logged.
bool HttpDownloadFile(const std::string& url, const std::string& file);

// Largest update reply read: the real one is a few hundred bytes, and a larger one is
// broken or hostile.
const size_t kMaxUpdateReplyBytes = 64 * 1024;

// Posts "act=tallyhive" to the update endpoint (plain HTTP, 5 s). reply is emptied and
// then holds the body received; true only for a complete transfer with status 200.
bool HttpPostUpdateRequest(std::string& reply);

// What one update download shares with libcurl's callbacks and the window that watches it.
struct DownloadContext {
    // The transfer's socket once libcurl has opened it; libcurl alone closes it.
    curl_socket_t socket = CURL_SOCKET_BAD;
    CURL* transfer = nullptr;
    // Set from any thread to stop the transfer at libcurl's next progress call (at least
    // once a second, also when the server sends no length).
    std::atomic<bool> cancel{false};
};

using DownloadProgress = std::function<void(int percent)>;

// Largest update package downloaded: ours is about 5 MB, and the link comes from a reply
// off the network.
const long long kMaxUpdatePackageBytes = 256ll * 1024 * 1024;
// What an update package leaves free of the disk it is written to.
const long long kUpdateDiskMargin = 64ll * 1024 * 1024;

// Downloads url (http or https only, no redirect, 300 s) into file, calling progress
// with the percentage whenever the length is known. The body may take at most
// kMaxUpdatePackageBytes, and never the disk's last kUpdateDiskMargin (its free space
// read once, before the transfer): a longer one fails, by its announced length at once.
// True on a complete 200 reply; otherwise, also when cancelled, the file is deleted.
bool HttpDownloadPogress(DownloadProgress progress, const std::string& url, const std::string& file,
                         DownloadContext& context);

