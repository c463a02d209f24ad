#include "ImageDecoder.h"

#include <stb_image.h>

#include "DecodeBudget.h"

namespace engine {
namespace {

// What stb_image's heaviest decode of a picture holds at once, per pixel: an interlaced
// 16-bit RGBA PNG keeps its inflated rows (8 bytes) in a buffer that it doubles when the
// passes' rows outgrow its guess (16), the image being put together (8) and one pass
// (up to 4); JPEG's planes and progressive coefficients and GIF's three canvases need
// less.
const size_t kDecodeBytesPerPixel = 32;
// The decoders' own tables (JPEG's Huffman tables, GIF's code table) and what the
// smallest pictures round up to.
const size_t kDecodeFloor = 256u << 10;

// The most the decoding of a picture of this declared size may hold: JPEG works on
// blocks of up to 16 x 16 pixels, and a PNG gathers its compressed data into a buffer
// that grows by doubling. Compressed data that inflates beyond the declared size runs
// into it.
size_t DecodeLimit(int width, int height, size_t compressed) {
    const size_t blocks = static_cast<size_t>((width + 15) / 16) * static_cast<size_t>((height + 15) / 16);
    return kDecodeFloor + 2 * compressed + kDecodeBytesPerPixel * 256 * blocks;
}

using ScopedPixels = std::unique_ptr<stbi_uc, void (*)(void*)>;

// The picture shown, its pixels charged to budget until it goes.
std::shared_ptr<const DecodedImage> Premultiplied(const stbi_uc* rgba, int width, int height,
                                                  const std::shared_ptr<ImageBudget>& budget, size_t kept) {
    std::shared_ptr<DecodedImage> image(new DecodedImage, [budget, kept](DecodedImage* gone) {
        delete gone;
        budget->Give(static_cast<long long>(kept));
    });
    image->width = width;
    image->height = height;
    image->pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    const stbi_uc* p = rgba;
    for (uint32_t& pixel : image->pixels) {
        const uint32_t a = p[3];
        const auto scale = [a](uint32_t c) { return (c * a + 127) / 255; };
        pixel = (a << 24) | (scale(p[0]) << 16) | (scale(p[1]) << 8) | scale(p[2]);
        p += 4;
    }
    return image;
}

}  // namespace

std::shared_ptr<const DecodedImage> DecodeImage(const std::string& bytes, const std::shared_ptr<ImageBudget>& budget,
                                                const std::atomic<bool>* gone) {
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
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    const size_t kept = 4 * pixels;
    const size_t limit = DecodeLimit(width, height, bytes.size());
    // Room that could never be had is not waited for.
    if (static_cast<long long>(limit + kept) > budget->Size()) return nullptr;
    const uint64_t ticket = budget->Ticket();
    for (;;) {
        bool gaveWay = false;
        {
            DecodeBudget decoding(limit, *budget, ticket, gone);
            ScopedPixels rgba(stbi_load_from_memory(data, length, &width, &height, &channels, 4), stbi_image_free);
            if (rgba && static_cast<size_t>(width) * static_cast<size_t>(height) == pixels && decoding.Keep(kept)) {
                return Premultiplied(rgba.get(), width, height, budget, kept);
            }
            gaveWay = decoding.GaveWay();
        }
        if (!gaveWay || !budget->AwaitRoom(gone)) return nullptr;
    }
}

}  // namespace engine
