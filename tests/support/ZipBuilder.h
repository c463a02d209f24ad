// Builds real zip archives in memory for the tests: stored and deflated entries, the
// traditional PKWARE encryption, extra fields and any host/attribute values.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace TestZip {

struct Entry {
    std::string name;
    std::string data;
    int method = 8;                  // 0 stored, 8 deflated
    std::string password;            // empty: not encrypted
    uint16_t dosTime = 0x6000;       // 12:00:00
    uint16_t dosDate = 0x5A21;       // 2025-01-01
    std::string extra;               // written to the local and the central header
    uint8_t host = 0;                // "version made by" high byte
    uint32_t externalAttributes = 0;
};

inline void Put16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xff);
    out += static_cast<char>((v >> 8) & 0xff);
}

inline void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xffff);
    Put16(out, v >> 16);
}

inline std::string Deflate(const std::string& data) {
    z_stream z = {};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, static_cast<uLong>(data.size())) + 16, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(&out[0]);
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// The traditional zip encryption, written here independently of the reader.
class Cipher {
public:
    explicit Cipher(const std::string& password) {
        for (char c : password) Update(static_cast<uint8_t>(c));
    }
    uint8_t Encrypt(uint8_t plain) {
        const uint32_t t = (k2_ & 0xffff) | 2;
        const uint8_t out = static_cast<uint8_t>(plain ^ ((t * (t ^ 1)) >> 8));
        Update(plain);
        return out;
    }

private:
    void Update(uint8_t c) {
        const z_crc_t* table = get_crc_table();
        k0_ = (k0_ >> 8) ^ table[(k0_ ^ c) & 0xff];
        k1_ = (k1_ + (k0_ & 0xff)) * 134775813u + 1;
        k2_ = (k2_ >> 8) ^ table[(k2_ ^ (k1_ >> 24)) & 0xff];
    }
    uint32_t k0_ = 305419896u, k1_ = 591751049u, k2_ = 878082192u;
};

inline uint32_t Crc(const std::string& data) {
    return static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

inline std::string Build(const std::vector<Entry>& entries) {
    std::string out, central;
    for (const Entry& e : entries) {
        const uint32_t crc = Crc(e.data);
        std::string body = e.method == 8 ? Deflate(e.data) : e.data;
        if (!e.password.empty()) {
            Cipher cipher(e.password);
            std::string header;
            for (int i = 0; i < 11; ++i) header += static_cast<char>(0x5A + i * 7);
            header += static_cast<char>(crc >> 24);
            std::string sealed;
            for (char c : header + body) sealed += static_cast<char>(cipher.Encrypt(static_cast<uint8_t>(c)));
            body = sealed;
        }
        const uint16_t flag = e.password.empty() ? 0 : 1;
        const uint32_t offset = static_cast<uint32_t>(out.size());
        std::string common;
        Put16(common, 20);
        Put16(common, flag);
        Put16(common, static_cast<uint32_t>(e.method));
        Put16(common, e.dosTime);
        Put16(common, e.dosDate);
        Put32(common, crc);
        Put32(common, static_cast<uint32_t>(body.size()));
        Put32(common, static_cast<uint32_t>(e.data.size()));
        Put16(common, static_cast<uint32_t>(e.name.size()));
        Put16(common, static_cast<uint32_t>(e.extra.size()));
        Put32(out, 0x04034b50);
        out += common + e.name + e.extra + body;
        Put32(central, 0x02014b50);
        Put16(central, (static_cast<uint32_t>(e.host) << 8) | 20);
        central += common;
        Put16(central, 0);  // comment
        Put16(central, 0);  // disk
        Put16(central, 0);  // internal attributes
        Put32(central, e.externalAttributes);
        Put32(central, offset);
        central += e.name + e.extra;
    }
    const uint32_t centralOffset = static_cast<uint32_t>(out.size());
    out += central;
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<uint32_t>(entries.size()));
    Put16(out, static_cast<uint32_t>(entries.size()));
    Put32(out, static_cast<uint32_t>(central.size()));
    Put32(out, centralOffset);
    Put16(out, 0);
    return out;
}

inline Entry Make(const std::string& name, const std::string& data, int method = 8, const std::string& password = "") {
    Entry e;
    e.name = name;
    e.data = data;
    e.method = method;
    e.password = password;
    return e;
}

// Deterministic varied text that deflate cannot shrink to nothing.
inline std::string Text(size_t size, uint32_t seed = 1) {
    std::string out;
    out.reserve(size);
    while (out.size() < size) {
        seed = seed * 1103515245u + 12345u;
        out += static_cast<char>('a' + (seed >> 16) % 26);
        if ((seed >> 8) % 7 == 0) out += ' ';
    }
    out.resize(size);
    return out;
}

}  // namespace TestZip
