// Pictures decoded with stb_image into the pixels a 32-bit DIB takes, within bounds
// that keep a page from taking the process's memory with its pictures. Any thread.
#pragma once

#include <stdint.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

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

}  // namespace engine
