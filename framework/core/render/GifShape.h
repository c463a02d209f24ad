// What a GIF will take to decode, read from its blocks before any of it is decoded: its
// canvas and the number of frames the decoder makes of it. stb_image decodes every frame
// of an animation at once, each at the canvas's full size, so a small file can declare
// more than the process has.
#pragma once

#include <windows.h>

#include <cstddef>

namespace HiveUI {

struct TGifShape {
    bool isGif = false;
    int width = 0;   // the canvas every frame is decoded to
    int height = 0;
    UINT frames = 0;  // the image blocks the decoder would reach
};

TGifShape ReadGifShape(const BYTE* bytes, size_t size);

// The frames of a skin's animation together: the client's loading animation is about
// 1 MB of them.
const unsigned long long kMaxAnimationBytes = 64ull << 20;

// Whether the frames fit kMaxAnimationBytes, and then the most the decoding may hold at
// once: the frames, the decoder's three canvases, its delays and tables.
bool GifFitsDecoding(const TGifShape& shape);
size_t GifDecodeLimit(const TGifShape& shape);

}  // namespace HiveUI
