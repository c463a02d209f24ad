#include "ImageDecoder.h"

#include <stb_image.h>

namespace engine {

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

}  // namespace engine
