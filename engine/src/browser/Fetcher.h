// Network fetches of the engine: one worker thread per load, run with libcurl.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace engine {

struct FetchResult {
    int error = 0;  // a network error code of the engine, 0 when a response arrived
    int status = 0;
    std::string statusText;
    std::vector<std::pair<std::string, std::string>> headers;  // of the final response
    std::string body;
    std::string finalUrl;  // after the redirects followed

    // The first header of that name, compared without regard to case.
    std::string Header(const std::string& name) const;
    // A fetch that ended with error and nothing else.
    static FetchResult Failed(int error);
};

class FetchJob {
public:
    void Cancel() { canceled_ = true; }
    bool Canceled() const { return canceled_; }

private:
    std::atomic<bool> canceled_{false};
};

// The most of a page's body, from a server or a file, that a load holds: as a browser
// keeps one tab from taking the 32-bit process, a larger body fails the load.
const size_t kMaxPageBytes = 32u << 20;

// Fetches url (a canonical address) on a worker thread (an http(s) address with libcurl,
// a file: address from the disk) and hands done the result there; a canceled job's result
// says -3, a body longer than maxBytes (0: no bound), or declared so, ends the fetch with
// -8, a fetch the process has no memory left for with -2. Up to 20 redirects to http(s)
// addresses are followed, each read relative to the address that answered; another ends
// the fetch with -310, one that cannot be read with -300 and one to another scheme with -311.
std::shared_ptr<FetchJob> StartFetch(const std::string& url, std::function<void(FetchResult)> done,
                                     size_t maxBytes = 0);
// Adds size bytes to body, or false when that would take it past maxBytes (0: no bound).
// A bounded body grows to its bound at most, not to twice what it holds.
bool AppendWithin(std::string& body, const char* data, size_t size, size_t maxBytes);
// Cancels every fetch and waits until their threads have ended.
void CancelFetches();
// How long a fetch may go without receiving anything before it fails with -7.
void SetFetchIdleTimeout(unsigned milliseconds);

}  // namespace engine
