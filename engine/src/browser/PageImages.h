// The pictures of a page's <img> elements: decoded with stb_image at once from data: URLs,
// and from http(s) through the engine's fetcher, decoded on its worker thread. Pictures
// too large to show, broken ones and other schemes are skipped: the page shows without
// them. Renderer thread, except the decoding.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "Fetcher.h"
#include "ImageDecoder.h"

namespace engine {

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
    std::shared_ptr<ImageBudget> budget_ = std::make_shared<ImageBudget>(kMaxDocumentImageBytes);
};

}  // namespace engine
