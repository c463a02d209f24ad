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

}  // namespace

std::shared_ptr<const DecodedImage> DecodeImage(const std::string& bytes, ImageBudget& budget) {
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
    const long long kept = 4 * pixels;
    if (budget.load() < kept) return nullptr;  // the document's pictures have spent it
    const DecodeBudget decoding(DecodeLimit(width, height, bytes.size()), &budget);
    std::unique_ptr<stbi_uc, void (*)(void*)> rgba(stbi_load_from_memory(data, length, &width, &height, &channels, 4),
                                                   stbi_image_free);
    if (!rgba || static_cast<long long>(width) * height != pixels) return nullptr;
    // The pixels shown stay charged to the document for as long as it lives.
    if (budget.fetch_sub(kept) < kept) {
        budget += kept;
        return nullptr;
    }
    auto image = std::make_shared<DecodedImage>();
    image->width = width;
    image->height = height;
    image->pixels.resize(static_cast<size_t>(pixels));
    const stbi_uc* p = rgba.get();
    for (uint32_t& pixel : image->pixels) {
        const uint32_t a = p[3];
        const auto scale = [a](uint32_t c) { return (c * a + 127) / 255; };
        pixel = (a << 24) | (scale(p[0]) << 16) | (scale(p[1]) << 8) | scale(p[2]);
        p += 4;
    }
    return image;
}

}  // namespace engine
