// Writes PNG files byte by byte: a header of any size, depth and layout over any zlib
// stream, so that a picture can declare one size and carry the data of another.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace TestPng {

inline void Put32(std::string& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

inline std::string Chunk(const char* type, const std::string& data) {
    std::string chunk;
    Put32(chunk, static_cast<uint32_t>(data.size()));
    const std::string body = type + data;
    chunk += body;
    Put32(chunk, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
    return chunk;
}

// The zlib stream of raw, followed by repeats more copies of it, deflated a copy at a
// time so that the whole is never held.
inline std::string Deflated(const std::string& raw, unsigned repeats = 0) {
    z_stream z = {};
    deflateInit(&z, Z_BEST_COMPRESSION);
    std::string out;
    char buffer[1 << 16];
    for (unsigned copy = 0; copy <= repeats; ++copy) {
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(raw.data()));
        z.avail_in = static_cast<uInt>(raw.size());
        const int flush = copy == repeats ? Z_FINISH : Z_NO_FLUSH;
        int status;
        do {
            z.next_out = reinterpret_cast<Bytef*>(buffer);
            z.avail_out = sizeof(buffer);
            status = deflate(&z, flush);
            out.append(buffer, sizeof(buffer) - z.avail_out);
        } while (z.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
    }
    deflateEnd(&z);
    return out;
}

// colourType 2 is RGB, 6 RGBA; depth 8 or 16; interlaced is Adam7.
inline std::string Make(uint32_t width, uint32_t height, int depth, int colourType, const std::string& stream,
                        bool interlaced = false) {
    std::string header;
    Put32(header, width);
    Put32(header, height);
    header += {static_cast<char>(depth), static_cast<char>(colourType), 0, 0, static_cast<char>(interlaced ? 1 : 0)};
    return std::string("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", header) + Chunk("IDAT", stream) + Chunk("IEND", "");
}

// A real picture whose every pixel holds the bytes of pixel (as many as the depth and
// layout take), each row unfiltered.
inline std::string Solid(uint32_t width, uint32_t height, int depth, int colourType, const std::string& pixel,
                         bool interlaced = false) {
    struct Pass {
        uint32_t x, y, dx, dy;
    };
    const std::vector<Pass> passes =
        interlaced ? std::vector<Pass>{{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2},
                                       {0, 1, 1, 2}}
                   : std::vector<Pass>{{0, 0, 1, 1}};
    std::string raw;
    for (const Pass& pass : passes) {
        const uint32_t columns = width > pass.x ? (width - pass.x + pass.dx - 1) / pass.dx : 0;
        const uint32_t rows = height > pass.y ? (height - pass.y + pass.dy - 1) / pass.dy : 0;
        if (columns == 0) continue;
        std::string row(1, '\0');
        for (uint32_t i = 0; i < columns; ++i) row += pixel;
        for (uint32_t i = 0; i < rows; ++i) raw += row;
    }
    return Make(width, height, depth, colourType, Deflated(raw), interlaced);
}

}  // namespace TestPng
