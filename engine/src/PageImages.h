// The pictures of a page's <img> elements: decoded with stb_image at once from data: URLs,
// and from http(s) through the engine's fetcher, decoded on its worker thread. Pictures
// too large to show, broken ones and other schemes are skipped: the page shows without
// them. Renderer thread, except the decoding.
#pragma once

#include <stdint.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Fetcher.h"

namespace engine {

struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // premultiplied BGRA, top row first, as a 32-bit DIB takes them
};

// What an image may be at most, and the pictures of one document together, so that no
// page can take the process's memory with them.
const size_t kMaxImageBytes = 8u << 20;
const int kMaxImageSide = 8192;
const int kMaxImagePixels = 4096 * 1024;
const long long kMaxDocumentPixels = 4LL * kMaxImagePixels;
using PixelBudget = std::atomic<long long>;

// PNG, JPEG, GIF (its first frame) and the other formats stb_image reads, its pixels
// taken from budget; null when the bytes are no picture or a larger one than the bounds
// above and the budget allow.
std::shared_ptr<const DecodedImage> DecodeImage(const std::string& bytes, PixelBudget& budget);

class PageImages {
public:
    // Hands the picture (null when it cannot be shown) fetched for url to whoever asked;
    // it runs on the fetch's worker thread.
    using Fetched = std::function<void(const std::string& url, std::shared_ptr<const DecodedImage> image)>;

    PageImages() = default;
    PageImages(const PageImages&) = delete;
    PageImages& operator=(const PageImages&) = delete;
    ~PageImages();  // fetches still running are cancelled

    // The picture at url (absolute), null while it is fetched or when it cannot be shown;
    // the first call for an http(s) address starts its fetch, which ends in fetched.
    std::shared_ptr<const DecodedImage> Get(const std::string& url, const Fetched& fetched);
    // Where a fetch has ended.
    void Put(const std::string& url, std::shared_ptr<const DecodedImage> image);

private:
    // More addresses than this in one document are not fetched.
    static const size_t kMaxImages = 256;

    struct Entry {
        std::shared_ptr<const DecodedImage> image;
        std::shared_ptr<FetchJob> job;  // while the fetch runs
    };
    std::map<std::string, Entry> entries_;
    bool tooMany_ = false;
    // Shared with the fetches' workers, which decode.
    std::shared_ptr<PixelBudget> budget_ = std::make_shared<PixelBudget>(kMaxDocumentPixels);
};

}  // namespace engine
