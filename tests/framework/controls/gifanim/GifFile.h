// Writes small GIF89a files byte by byte: a four-colour table, one full-size frame of a
// single colour per entry, each with its own control extension (delay, and the frame's
// colour as the transparent one) or none; or many one-pixel frames on a large canvas.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

namespace TestGif {

// Colour table entries, as 0xRRGGBB.
const uint32_t kColours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};

struct Frame {
    int colour;  // index into kColours
    int delay;   // hundredths of a second; negative: the frame has no control extension
    bool clear = false;  // the frame's colour is the extension's transparent one
};

// Bytes, or with wide set, 16-bit little-endian words.
inline void Put(std::string& out, std::initializer_list<int> values, bool wide = false) {
    for (int v : values) {
        out += static_cast<char>(v & 0xFF);
        if (wide) out += static_cast<char>((v >> 8) & 0xFF);
    }
}

// 3-bit codes packed from the least significant bit. A clear code before every second
// pixel keeps the code table from growing, so the code width never changes.
inline std::string SolidPixels(int colour, int count) {
    std::string bytes;
    uint32_t buffer = 0;
    int bits = 0;
    auto code = [&](int value) {
        buffer |= static_cast<uint32_t>(value) << bits;
        for (bits += 3; bits >= 8; bits -= 8, buffer >>= 8) bytes += static_cast<char>(buffer & 0xFF);
    };
    for (int i = 0; i < count; ++i) {
        if (i % 2 == 0) code(4);
        code(colour);
    }
    code(5);
    if (bits > 0) bytes += static_cast<char>(buffer & 0xFF);
    return bytes;
}

inline std::string Header(int width, int height) {
    std::string gif = "GIF89a";
    Put(gif, {width, height}, true);
    Put(gif, {0x81, 0, 0});  // a global table of 4 entries
    for (uint32_t rgb : kColours) Put(gif, {int(rgb >> 16), int(rgb >> 8), int(rgb)});
    return gif;
}

// An image block of width x height pixels of one colour at the canvas's corner.
inline void PutImage(std::string& gif, int colour, int width, int height) {
    Put(gif, {0x2C});
    Put(gif, {0, 0, width, height}, true);
    Put(gif, {0, 2});  // no local table; minimum code size 2
    const std::string data = SolidPixels(colour, width * height);
    for (size_t at = 0; at < data.size(); at += 255) {
        const std::string block = data.substr(at, 255);
        gif += static_cast<char>(block.size()) + block;
    }
    Put(gif, {0});
}

inline std::string Make(int width, int height, std::initializer_list<Frame> frames) {
    std::string gif = Header(width, height);
    for (const Frame& frame : frames) {
        if (frame.delay >= 0) {
            Put(gif, {0x21, 0xF9, 4, frame.clear ? 1 : 0});
            Put(gif, {frame.delay}, true);
            Put(gif, {frame.clear ? frame.colour : 0, 0});
        }
        PutImage(gif, frame.colour, width, height);
    }
    Put(gif, {0x3B});
    return gif;
}

// count frames of one pixel each on a canvas of width x height: a few bytes a frame,
// each of which the decoder makes a whole canvas.
inline std::string Sparse(int width, int height, int count) {
    std::string gif = Header(width, height);
    for (int i = 0; i < count; ++i) PutImage(gif, i % 4, 1, 1);
    Put(gif, {0x3B});
    return gif;
}

}  // namespace TestGif
