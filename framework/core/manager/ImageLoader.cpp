// CUIRender's image loading: bytes from a module resource, the skin or a path, decoded
// into a premultiplied top-down DIB section; the frames of animated images; and GDI+
// images for the ring.
#include "UIRender.h"

#include <gdiplus.h>
#include <objidl.h>
#include <stb_image.h>

#include <cstring>
#include <memory>
#include <vector>

#include "AnimatedImage.h"
#include "DecodeBudget.h"
#include "DibPixels.h"
#include "GifShape.h"
#include "ImageDrawSpec.h"
#include "ResourceStore.h"
#include "ScopedHandle.h"
#include "SkinFile.h"
#include "UIManager.h"

namespace HiveUI {

namespace {

using Bytes = std::vector<BYTE>;

struct StbFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};
using ScopedPixels = std::unique_ptr<stbi_uc, StbFree>;

// A whole file; a file that reads short gives nothing.
Bytes ReadWholeFile(const wchar_t* path) {
    CScopedKernelHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return Bytes();
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 || size.QuadPart > 0x7FFFFFFF) return Bytes();
    Bytes bytes(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size())
        return Bytes();
    return bytes;
}

Bytes ReadResource(const wchar_t* name, const wchar_t* type, HINSTANCE instance) {
    HMODULE module = instance != nullptr ? instance : CPaintManagerUI::GetResourceDll();
    HRSRC resource = FindResourceW(module, name, type);
    if (resource == nullptr) return Bytes();
    HGLOBAL loaded = LoadResource(module, resource);
    const DWORD size = SizeofResource(module, resource);
    const BYTE* data = loaded != nullptr ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (data == nullptr || size == 0) return Bytes();
    return Bytes(data, data + size);
}

// stb_image reads through these callbacks so that a decoder that asks for more than
// the bytes hold is noticed: some formats would otherwise decode a truncated file into
// a partly filled image.
struct DecodeSource {
    const Bytes* bytes;
    size_t position;
    bool starved;
};

int ReadDecodeSource(void* user, char* data, int size) {
    DecodeSource* source = static_cast<DecodeSource*>(user);
    const size_t left = source->bytes->size() - source->position;
    if (left == 0) {
        if (size > 0) source->starved = true;
        return 0;
    }
    const size_t count = left < static_cast<size_t>(size) ? left : static_cast<size_t>(size);
    memcpy(data, source->bytes->data() + source->position, count);
    source->position += count;
    return static_cast<int>(count);
}

void SkipDecodeSource(void* user, int count) {
    DecodeSource* source = static_cast<DecodeSource*>(user);
    const size_t left = source->bytes->size() - source->position;
    if (count < 0) {
        const size_t back = static_cast<size_t>(-static_cast<long long>(count));
        source->position = back > source->position ? 0 : source->position - back;
    } else if (static_cast<size_t>(count) > left) {
        source->starved = true;
        source->position = source->bytes->size();
    } else {
        source->position += static_cast<size_t>(count);
    }
}

int AtEndOfDecodeSource(void* user) {
    const DecodeSource* source = static_cast<const DecodeSource*>(user);
    return source->position >= source->bytes->size() ? 1 : 0;
}

ScopedPixels Decode(const Bytes& bytes, int* width, int* height) {
    DecodeSource source{&bytes, 0, false};
    stbi_io_callbacks callbacks{ReadDecodeSource, SkipDecodeSource, AtEndOfDecodeSource};
    int components = 0;
    ScopedPixels pixels(stbi_load_from_callbacks(&callbacks, &source, width, height, &components, 4));
    if (source.starved || *width <= 0 || *height <= 0) pixels.reset();
    return pixels;
}

// Decoded RGBA into the bitmap's premultiplied BGRA; true when any pixel is not opaque.
bool FillPixels(const stbi_uc* rgba, BYTE* bgra, size_t count, DWORD mask) {
    bool hasAlpha = false;
    for (size_t i = 0; i < count; ++i, rgba += 4, bgra += 4) {
        const BYTE alpha = rgba[3];
        bgra[3] = alpha;
        if (alpha == 255) {
            bgra[0] = rgba[2];
            bgra[1] = rgba[1];
            bgra[2] = rgba[0];
        } else {
            bgra[0] = static_cast<BYTE>(rgba[2] * alpha / 255);
            bgra[1] = static_cast<BYTE>(rgba[1] * alpha / 255);
            bgra[2] = static_cast<BYTE>(rgba[0] * alpha / 255);
            hasAlpha = true;
        }
        const DWORD value = static_cast<DWORD>(bgra[0]) | (static_cast<DWORD>(bgra[1]) << 8) |
                            (static_cast<DWORD>(bgra[2]) << 16) | (static_cast<DWORD>(bgra[3]) << 24);
        if (value == mask) {
            memset(bgra, 0, 4);
            hasAlpha = true;
        }
    }
    return hasAlpha;
}

// A top-down 32-bit DIB section with the decoded pixels premultiplied into it.
HBITMAP MakePremultipliedBitmap(const stbi_uc* rgba, int width, int height, DWORD mask, bool* hasAlpha) {
    void* bits = nullptr;
    HBITMAP bitmap = CreateTopDownDib(nullptr, width, height, &bits);
    if (bitmap == nullptr || bits == nullptr) return nullptr;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    *hasAlpha = FillPixels(rgba, static_cast<BYTE*>(bits), count, mask);
    return bitmap;
}

TImageData* DecodeToImage(const Bytes& bytes, DWORD mask) {
    int width = 0, height = 0;
    ScopedPixels rgba = Decode(bytes, &width, &height);
    if (!rgba) return nullptr;
    bool hasAlpha = false;
    CScopedGdiObject<HBITMAP> bitmap(MakePremultipliedBitmap(rgba.get(), width, height, mask, &hasAlpha));
    if (!bitmap.IsValid()) return nullptr;
    TImageData* image = new TImageData;
    image->bitmap = bitmap.Release();
    image->width = width;
    image->height = height;
    image->hasAlpha = hasAlpha;
    return image;
}

// The bytes of a skin file (folder or archive), else of the name taken as a path of its own.
Bytes ReadNamedBytes(const wchar_t* name) {
    Bytes bytes;
    if (ReadSkinFile(name, 0, bytes) != ESkinFileResult::Ok) bytes.clear();
    if (bytes.empty()) bytes = ReadWholeFile(name);
    return bytes;
}

struct StreamReleaser {
    void operator()(IStream* stream) const { stream->Release(); }
};

}  // namespace

TImageData* CUIRender::LoadImage(const wchar_t* bitmap, const wchar_t* type, DWORD mask, HINSTANCE instance) {
    if (bitmap == nullptr) return nullptr;
    Bytes bytes;
    if (type != nullptr && type[0] != L'\0') {
        bytes = ReadResource(bitmap, type, instance);
    } else if (!IS_INTRESOURCE(bitmap)) {
        bytes = ReadNamedBytes(bitmap);
    }
    if (bytes.empty()) return nullptr;
    return DecodeToImage(bytes, mask);
}

TImageData* CUIRender::LoadImageByName(const wchar_t* bitmap, const wchar_t* type, DWORD mask, HINSTANCE instance) {
    if (bitmap == nullptr) return nullptr;
    if (type == nullptr || type[0] == L'\0') {
        const wchar_t* registered = CResourceStore::GetInstance()->GetImagePath(bitmap);
        if (registered != nullptr) bitmap = registered;
    }
    return LoadImage(bitmap, type, mask, instance);
}

TImageData* CUIRender::LoadImageById(UINT id, const wchar_t* type, DWORD mask, HINSTANCE instance) {
    return LoadImage(MAKEINTRESOURCEW(id), type, mask, instance);
}

void CUIRender::FreeImage(TImageData* image, bool deleteRecord) {
    if (image == nullptr) return;
    if (image->bitmap != nullptr) DeleteObject(image->bitmap);
    image->bitmap = nullptr;
    delete[] image->pixels;
    image->pixels = nullptr;
    delete[] image->savedPixels;
    image->savedPixels = nullptr;
    image->opaqueParts.clear();
    image->composed = TImageData::TComposed();
    if (deleteRecord) delete image;
}

// Every frame of a GIF composed as it shows, or any other image as one frame.
CAnimatedImage* CUIRender::LoadAnimatedImage(const wchar_t* description) {
    TImageDrawSpec spec;
    spec.Parse(description, nullptr, nullptr);
    if (spec.name.IsEmpty()) return nullptr;
    const Bytes bytes = ReadNamedBytes(spec.name);
    if (bytes.empty() || bytes.size() > 0x7FFFFFFF) return nullptr;
    const TGifShape gif = ReadGifShape(bytes.data(), bytes.size());
    if (gif.isGif && !GifFitsDecoding(gif)) return nullptr;
    int width = 0, height = 0, frames = 0, components = 0;
    int* milliseconds = nullptr;
    ScopedPixels rgba;
    if (gif.isGif) {
        const DecodeBudget decoding(GifDecodeLimit(gif));
        rgba.reset(stbi_load_gif_from_memory(bytes.data(), static_cast<int>(bytes.size()), &milliseconds, &width,
                                             &height, &frames, &components, 4));
    }
    std::vector<UINT> delays;
    // The delays are ours only with the frames: a decode that fails has freed them itself,
    // leaving the pointer as it was.
    if (rgba && milliseconds != nullptr) {
        if (frames > 1) {
            for (int i = 0; i < frames; ++i) delays.push_back(static_cast<UINT>(milliseconds[i]) / 10);
        }
        stbi_image_free(milliseconds);
    }
    if (!rgba) {
        frames = 1;
        rgba = Decode(bytes, &width, &height);
    }
    if (!rgba || width <= 0 || height <= 0 || frames <= 0 || height > 0x7FFFFFFF / frames) return nullptr;
    bool hasAlpha = false;
    HBITMAP strip = MakePremultipliedBitmap(rgba.get(), width, height * frames, 0, &hasAlpha);
    if (strip == nullptr) return nullptr;
    return new CAnimatedImage(strip, width, height, static_cast<UINT>(frames), hasAlpha, std::move(delays));
}

Gdiplus::GpImage* CUIRender::GdiplusLoadImage(const wchar_t* description) {
    TImageDrawSpec spec;
    spec.Parse(description, nullptr, nullptr);
    if (spec.name.IsEmpty()) return nullptr;
    const Bytes bytes = ReadNamedBytes(spec.name);
    if (bytes.empty()) return nullptr;
    return CreateImageFromMemory(bytes.data(), static_cast<DWORD>(bytes.size()));
}

Gdiplus::GpImage* CUIRender::CreateImageFromMemory(const void* bytes, DWORD size) {
    if (bytes == nullptr || size == 0) return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, size);
    if (block == nullptr) return nullptr;
    memcpy(block, bytes, size);
    IStream* rawStream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &rawStream)) || rawStream == nullptr) {
        GlobalFree(block);
        return nullptr;
    }
    std::unique_ptr<IStream, StreamReleaser> stream(rawStream);
    Gdiplus::GpImage* image = nullptr;
    if (Gdiplus::DllExports::GdipLoadImageFromStream(stream.get(), &image) != Gdiplus::Ok || image == nullptr) {
        if (image != nullptr) Gdiplus::DllExports::GdipDisposeImage(image);
        return nullptr;
    }
    // The image reads from the stream for as long as it lives; it holds its own reference.
    return image;
}

}  // namespace HiveUI
