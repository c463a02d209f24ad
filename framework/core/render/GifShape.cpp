#include "GifShape.h"

#include <cstring>

namespace HiveUI {

namespace {

// A reader that answers 0 past the end, as the decoder's does, so that a truncated file
// walks where the decoder walks.
class CGifBlocks {
public:
    CGifBlocks(const BYTE* bytes, size_t size) : m_bytes(bytes), m_size(size) {}
    bool AtEnd() const { return m_at >= m_size; }
    BYTE Byte() { return m_at < m_size ? m_bytes[m_at++] : 0; }
    int Word() {
        const int low = Byte();
        return low | (Byte() << 8);
    }
    void Skip(size_t count) { m_at = count < m_size - m_at ? m_at + count : m_size; }
    // Sub-blocks up to and with the empty one that ends them.
    void SkipSubBlocks() {
        for (BYTE length; !AtEnd() && (length = Byte()) != 0;) Skip(length);
    }

private:
    const BYTE* m_bytes;
    size_t m_size;
    size_t m_at = 0;
};

size_t ColourTableBytes(BYTE flags) { return (flags & 0x80) != 0 ? 3u * (2u << (flags & 7)) : 0; }

const size_t kDecoderTables = 64u << 10;  // its code table and palettes

}  // namespace

// The blocks are walked as stb_image walks them, its quirk with a graphic control
// extension of odd length included, so that no frame it would make goes uncounted.
TGifShape ReadGifShape(const BYTE* bytes, size_t size) {
    TGifShape shape;
    if (size < 13 || memcmp(bytes, "GIF8", 4) != 0 || (bytes[4] != '7' && bytes[4] != '9') || bytes[5] != 'a')
        return shape;
    shape.isGif = true;
    CGifBlocks blocks(bytes, size);
    blocks.Skip(6);
    shape.width = blocks.Word();
    shape.height = blocks.Word();
    const BYTE flags = blocks.Byte();
    blocks.Skip(2);
    blocks.Skip(ColourTableBytes(flags));
    while (!blocks.AtEnd()) {
        const BYTE tag = blocks.Byte();
        if (tag == 0x2C) {
            ++shape.frames;
            blocks.Skip(8);
            blocks.Skip(ColourTableBytes(blocks.Byte()));
            blocks.Skip(1);  // the code size
            blocks.SkipSubBlocks();
        } else if (tag == 0x21) {
            if (blocks.Byte() == 0xF9) {
                const BYTE length = blocks.Byte();
                blocks.Skip(length);
                if (length != 4) continue;  // the decoder reads the next byte as a block
            }
            blocks.SkipSubBlocks();
        } else {
            break;  // the trailer, or what the decoder stops at
        }
    }
    return shape;
}

bool GifFitsDecoding(const TGifShape& shape) {
    if (shape.width <= 0 || shape.height <= 0 || shape.frames == 0) return false;
    const unsigned long long frame = 4ull * static_cast<unsigned long long>(shape.width) * shape.height;
    return frame <= kMaxAnimationBytes / shape.frames;
}

size_t GifDecodeLimit(const TGifShape& shape) {
    const size_t pixels = static_cast<size_t>(shape.width) * static_cast<size_t>(shape.height);
    return (4 * shape.frames + 9) * pixels + 4 * shape.frames + kDecoderTables;
}

}  // namespace HiveUI
