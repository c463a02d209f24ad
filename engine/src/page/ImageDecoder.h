// Pictures decoded with stb_image into the pixels a 32-bit DIB takes, within bounds
// that keep a page from taking the process's memory with its pictures. Any thread.
#pragma once

#include <stdint.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

class DecodePool;

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
// The bytes all of the engine's pictures may hold together, those being decoded and those
// shown, whatever page or browser they belong to. A shop's pages show product photos and
// a banner, well under 32 MB decoded. The largest picture the bounds above let through
// may need 164 MB by itself (its decoding in the heaviest layout, twice its body and the
// pixels it keeps), so no less would do for every picture the bounds let through to show;
// what is left over lets a few ordinary ones decode beside it. A hostile page keeps to
// a small part of the 32-bit client's 2 GB, however many documents it makes.
const long long kMaxEngineImageBytes = 192LL << 20;
using ImageBudget = DecodePool;

// PNG, JPEG, GIF (its first frame) and the other formats stb_image reads. Its decoding
// may take no more than a picture of its declared size needs, and draws on budget, which
// holds the pixels kept for as long as the picture lives; when other decodes hold the
// room it needs, it waits its turn. Null when the bytes are no picture, a larger one
// than the bounds above allow, one that the budget could not hold even alone or cannot
// hold beside the pictures kept, or when *gone (given) comes to hold meanwhile.
std::shared_ptr<const DecodedImage> DecodeImage(const std::string& bytes, const std::shared_ptr<ImageBudget>& budget,
                                                const std::atomic<bool>* gone = nullptr);

}  // namespace engine
