#include "TextWiden.h"

#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace HiveUI {

namespace {

// The length (2 to 4) of the well-formed UTF-8 sequence at p, or 0 for anything else.
int WellFormedLength(const BYTE* p, const BYTE* end) {
    const auto follows = [&](int k, BYTE low, BYTE high) { return p + k < end && p[k] >= low && p[k] <= high; };
    const BYTE lead = p[0];
    if (lead >= 0xC2 && lead <= 0xDF) return follows(1, 0x80, 0xBF) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const BYTE low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
        return follows(1, low, high) && follows(2, 0x80, 0xBF) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const BYTE low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
        return follows(1, low, high) && follows(2, 0x80, 0xBF) && follows(3, 0x80, 0xBF) ? 4 : 0;
    }
    return 0;
}

size_t PutCodePoint(const BYTE* p, int length, wchar_t* out) {
    if (length == 2) {
        out[0] = static_cast<wchar_t>((p[0] & 0x1F) << 6 | (p[1] & 0x3F));
        return 1;
    }
    if (length == 3) {
        out[0] = static_cast<wchar_t>((p[0] & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F));
        return 1;
    }
    const unsigned int above = ((p[0] & 0x07u) << 18 | (p[1] & 0x3Fu) << 12 | (p[2] & 0x3Fu) << 6 | (p[3] & 0x3Fu)) -
                               0x10000u;
    out[0] = static_cast<wchar_t>(0xD800 + (above >> 10));
    out[1] = static_cast<wchar_t>(0xDC00 + (above & 0x3FF));
    return 2;
}

// Copies the ASCII bytes from p on, sixteen (where the processor has SSE2) or four at a
// time while they last; returns their count.
size_t WidenAscii(const BYTE*& p, const BYTE* end, wchar_t* out) {
    const BYTE* const start = p;
#ifdef __SSE2__
    const __m128i zero = _mm_setzero_si128();
    for (; end - p >= 16; p += 16, out += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        if (_mm_movemask_epi8(bytes) != 0) break;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(bytes, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(bytes, zero));
    }
#endif
    for (uint32_t four; end - p >= 4 && (memcpy(&four, p, 4), (four & 0x80808080u) == 0); p += 4, out += 4) {
        out[0] = p[0], out[1] = p[1], out[2] = p[2], out[3] = p[3];
    }
    while (p < end && *p < 0x80) *out++ = *p++;
    return static_cast<size_t>(p - start);
}

// MultiByteToWideChar over bytes [from, to); false when they do not convert.
bool Convert(const BYTE* from, const BYTE* to, UINT codePage, wchar_t* out, size_t& units) {
    const int count = static_cast<int>(to - from);
    const int converted = MultiByteToWideChar(codePage, 0, reinterpret_cast<LPCSTR>(from), count, out, count);
    units += static_cast<size_t>(converted);
    return converted > 0;
}

}  // namespace

// A byte below 0x80 is a whole character in UTF-8 and in every ANSI code page, and a
// decoder reads one character after another. So ASCII and well-formed UTF-8 are decoded
// here, and from the first byte that is neither (a cut or malformed sequence, or any
// ANSI byte above 0x7F, whose trail bytes may look like ASCII) the rest of the bytes go
// through MultiByteToWideChar in one call, which reads them exactly as it would have
// read them behind the characters before.
size_t WidenText(const BYTE* bytes, size_t size, UINT codePage, wchar_t* out) {
    const BYTE* p = bytes;
    const BYTE* const end = bytes + size;
    size_t units = 0;
    while (p < end) {
        units += WidenAscii(p, end, out + units);
        if (p == end) break;
        const int length = codePage == CP_UTF8 ? WellFormedLength(p, end) : 0;
        if (length > 0) {
            units += PutCodePoint(p, length, out + units);
            p += length;
            continue;
        }
        return Convert(p, end, codePage, out + units, units) ? units : 0;
    }
    return units;
}

}  // namespace HiveUI
