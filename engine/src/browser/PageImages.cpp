#include "PageImages.h"

#include "DecodePool.h"
#include "EngineLog.h"
#include "LocalResource.h"
#include "Url.h"

namespace engine {
namespace {

const char kBrokenOrLarge[] = "broken, or larger than a page may show";

// Long data: addresses stay readable in the log.
std::string Shortened(const std::string& url) { return url.size() > 80 ? url.substr(0, 77) + "..." : url; }

void Skipped(const std::string& url, const std::string& why) {
    EngineLog::Write(LOGSEVERITY_WARNING, "the image " + Shortened(url) + " is not shown: " + why);
}

// What every document's pictures hold together, shown and decoding.
const std::shared_ptr<ImageBudget>& EngineImageBudget() {
    static const auto budget = std::make_shared<ImageBudget>(kMaxEngineImageBytes);
    return budget;
}

}  // namespace

PageImages::~PageImages() {
    gone_->store(true);
    EngineImageBudget()->Wake();
    for (auto& entry : entries_) {
        if (entry.second.job) entry.second.job->Cancel();
    }
}

std::shared_ptr<const DecodedImage> PageImages::Get(const std::string& url, const Fetched& fetched) {
    auto found = entries_.find(url);
    if (found != entries_.end()) return found->second.image;
    if (entries_.size() >= kMaxImages) {
        if (!tooMany_) Skipped(url, "the page has more than " + std::to_string(kMaxImages) + " images");
        tooMany_ = true;
        return nullptr;
    }
    Entry& entry = entries_[url];
    const std::string scheme = UrlScheme(url);
    if (scheme == "data") {
        std::string type, charset, bytes;
        if (DecodeDataUrl(url, type, charset, bytes)) entry.image = DecodeImage(bytes, EngineImageBudget());
        if (!entry.image) Skipped(url, kBrokenOrLarge);
    } else if (scheme == "http" || scheme == "https") {
        if (fetching_ < kMaxFetches) Fetch(url, entry, fetched);
        else queued_.push_back(url);
    } else if (!RefusesLocalResource(documentUrl_, url)) {
        Skipped(url, "the engine fetches images over http(s) and reads data: addresses only");
    }
    return entry.image;
}

void PageImages::Put(const std::string& url, std::shared_ptr<const DecodedImage> image, const Fetched& fetched) {
    auto found = entries_.find(url);
    if (found == entries_.end()) return;
    found->second.image = std::move(image);
    if (found->second.job) {
        found->second.job.reset();
        --fetching_;
    }
    while (fetching_ < kMaxFetches && !queued_.empty()) {
        const std::string next = queued_.front();
        queued_.pop_front();
        Fetch(next, entries_[next], fetched);
    }
}

void PageImages::Fetch(const std::string& url, Entry& entry, const Fetched& fetched) {
    const std::shared_ptr<std::atomic<bool>> gone = gone_;
    entry.job = StartFetch(
        url,
        [url, fetched, gone](FetchResult result) {
            if (result.error == -3 || *gone) return;  // the page has gone
            std::shared_ptr<const DecodedImage> image;
            if (result.error == 0 && result.status < 400) image = DecodeImage(result.body, EngineImageBudget(), gone.get());
            if (*gone) return;
            if (!image) Skipped(url, result.error != 0 ? "error " + std::to_string(result.error) : kBrokenOrLarge);
            fetched(url, image);
        },
        kMaxImageBytes);
    ++fetching_;
}

}  // namespace engine
