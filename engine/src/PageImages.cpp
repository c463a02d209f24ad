#include "PageImages.h"

#include <stb_image.h>

#include "EngineLog.h"
#include "Url.h"

namespace engine {
namespace {

const char kBrokenOrLarge[] = "broken, or larger than a page may show";

// Long data: addresses stay readable in the log.
std::string Shortened(const std::string& url) { return url.size() > 80 ? url.substr(0, 77) + "..." : url; }

void Skipped(const std::string& url, const std::string& why) {
    EngineLog::Write(LOGSEVERITY_WARNING, "the image " + Shortened(url) + " is not shown: " + why);
}

}  // namespace

std::shared_ptr<const DecodedImage> DecodeImage(const std::string& bytes, PixelBudget& budget) {
    if (bytes.empty() || bytes.size() > kMaxImageBytes) return nullptr;
    const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
    const int length = static_cast<int>(bytes.size());
    int width = 0;
    int height = 0;
    int channels = 0;
    // The header first: a picture too large to show is never decoded.
    if (!stbi_info_from_memory(data, length, &width, &height, &channels)) return nullptr;
    if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide ||
        width * height > kMaxImagePixels) {
        return nullptr;
    }
    const long long pixels = static_cast<long long>(width) * height;
    if (budget.fetch_sub(pixels) < pixels) {
        budget += pixels;
        return nullptr;
    }
    std::unique_ptr<stbi_uc, void (*)(void*)> rgba(stbi_load_from_memory(data, length, &width, &height, &channels, 4),
                                                   stbi_image_free);
    if (!rgba || static_cast<long long>(width) * height != pixels) {
        budget += pixels;
        return nullptr;
    }
    auto image = std::make_shared<DecodedImage>();
    image->width = width;
    image->height = height;
    image->pixels.resize(static_cast<size_t>(width) * height);
    const stbi_uc* p = rgba.get();
    for (uint32_t& pixel : image->pixels) {
        const uint32_t a = p[3];
        const auto scale = [a](uint32_t c) { return (c * a + 127) / 255; };
        pixel = (a << 24) | (scale(p[0]) << 16) | (scale(p[1]) << 8) | scale(p[2]);
        p += 4;
    }
    return image;
}

PageImages::~PageImages() {
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
        if (DecodeDataUrl(url, type, charset, bytes)) entry.image = DecodeImage(bytes, *budget_);
        if (!entry.image) Skipped(url, kBrokenOrLarge);
    } else if (scheme == "http" || scheme == "https") {
        const std::shared_ptr<PixelBudget> budget = budget_;
        entry.job = StartFetch(
            url,
            [url, fetched, budget](FetchResult result) {
                if (result.error == -3) return;  // the page has gone
                std::shared_ptr<const DecodedImage> image;
                if (result.error == 0 && result.status < 400) image = DecodeImage(result.body, *budget);
                if (!image) Skipped(url, result.error != 0 ? "error " + std::to_string(result.error) : kBrokenOrLarge);
                fetched(url, image);
            },
            kMaxImageBytes);
    } else {
        Skipped(url, "the engine fetches images over http(s) and reads data: addresses only");
    }
    return entry.image;
}

void PageImages::Put(const std::string& url, std::shared_ptr<const DecodedImage> image) {
    auto found = entries_.find(url);
    if (found == entries_.end()) return;
    found->second.image = std::move(image);
    found->second.job.reset();
}

}  // namespace engine
