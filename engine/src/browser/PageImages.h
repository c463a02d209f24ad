// The pictures of a page's <img> elements: decoded with stb_image at once from data: URLs,
// and from http(s) through the engine's fetcher, a few at a time, decoded on its worker
// thread. Every document's decodes share the engine's one budget and take turns for it.
// Pictures too large to show, broken ones and other schemes are skipped: the page shows
// without them. Renderer thread, except the decoding.
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "Fetcher.h"
#include "ImageDecoder.h"

namespace engine {

class PageImages {
public:
    // Hands the picture (null when it cannot be shown) fetched for url to whoever asked;
    // it runs on the fetch's worker thread.
    using Fetched = std::function<void(const std::string& url, std::shared_ptr<const DecodedImage> image)>;

    // Of the document at documentUrl.
    explicit PageImages(std::string documentUrl) : documentUrl_(std::move(documentUrl)) {}
    PageImages(const PageImages&) = delete;
    PageImages& operator=(const PageImages&) = delete;
    ~PageImages();  // fetches still running are cancelled, and so are their decodes

    // The picture at url (absolute), null while it is fetched or when it cannot be shown;
    // the first call for an http(s) address starts its fetch, or queues it behind those
    // running; each ends in fetched.
    std::shared_ptr<const DecodedImage> Get(const std::string& url, const Fetched& fetched);
    // Where a fetch has ended: the next queued ones start, ending in fetched.
    void Put(const std::string& url, std::shared_ptr<const DecodedImage> image, const Fetched& fetched);

private:
    // More addresses than this in one document are not fetched.
    static const size_t kMaxImages = 256;
    // Each fetch holds its body, up to kMaxImageBytes, until it is decoded: so few run at
    // once that a page's downloads keep to a small part of the 32-bit client's memory,
    // as many as a browser keeps connections to one host.
    static const size_t kMaxFetches = 6;

    struct Entry {
        std::shared_ptr<const DecodedImage> image;
        std::shared_ptr<FetchJob> job;  // while the fetch runs
    };
    void Fetch(const std::string& url, Entry& entry, const Fetched& fetched);

    std::string documentUrl_;
    std::map<std::string, Entry> entries_;
    std::deque<std::string> queued_;  // in the order the page asked for them
    size_t fetching_ = 0;
    bool tooMany_ = false;
    // Set when the document goes; its fetches' workers, which decode, share it.
    std::shared_ptr<std::atomic<bool>> gone_ = std::make_shared<std::atomic<bool>>(false);
};

}  // namespace engine
