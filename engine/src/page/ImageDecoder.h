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

// What an image may be at most, so that no picture can take the process's memory.
const size_t kMaxImageBytes = 8u << 20;
const int kMaxImageSide = 8192;
const int kMaxImagePixels = 4096 * 1024;
// The bytes one document's pictures may hold together, those being decoded and those
// shown. A shop's pages show product photos and a banner, well under 32 MB decoded; this
// leaves room for a few large pictures decoding at once, while a hostile page keeps to a
// small part of the 32-bit client's 2 GB.
const long long kMaxDocumentImageBytes = 128LL << 20;
using ImageBudget = std::atomic<long long>;  // bytes left

// PNG, JPEG, GIF (its first frame) and the other formats stb_image reads. Its decoding
// may take no more than a picture of its declared size needs, and draws, with the
// pixels kept, on budget; null when the bytes are no picture, a larger one than the
// bounds above allow, or one that the decoding or budget cannot hold.
std::shared_ptr<const DecodedImage> DecodeImage(const std::string& bytes, ImageBudget& budget);

}  // namespace engine
