#include "UrlHost.h"

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "Url.h"

namespace engine {
namespace {

// Numbers beyond any address are held here, so that no run of digits overflows.
const uint64_t kNumberCap = uint64_t(1) << 40;

int DigitValue(char c, int radix) {
    int value = -1;
    if (c >= '0' && c <= '9') value = c - '0';
    else if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    return value < radix ? value : -1;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == separator) parts.emplace_back();
        else parts.back() += c;
    }
    return parts;
}

// One part of an IPv4 address: decimal, octal after a leading 0, hexadecimal after 0x.
bool ReadIpv4Number(std::string text, uint64_t& number) {
    if (text.empty()) return false;
    int radix = 10;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        radix = 16;
        text.erase(0, 2);
    } else if (text.size() >= 2 && text[0] == '0') {
        radix = 8;
        text.erase(0, 1);
    }
    number = 0;
    for (char c : text) {
        const int digit = DigitValue(c, radix);
        if (digit < 0) return false;
        number = number * radix + digit;
        if (number > kNumberCap) number = kNumberCap;
    }
    return true;
}

// A host whose last label is a number is an IPv4 address, or no host at all.
bool EndsInANumber(const std::string& host) {
    std::vector<std::string> parts = Split(host, '.');
    if (parts.back().empty()) {
        if (parts.size() == 1) return false;
        parts.pop_back();
    }
    const std::string& last = parts.back();
    if (!last.empty() && last.find_first_not_of("0123456789") == std::string::npos) return true;
    uint64_t number = 0;
    return ReadIpv4Number(last, number);
}

bool ReadIpv4(const std::string& text, std::string& host) {
    std::vector<std::string> parts = Split(text, '.');
    if (parts.back().empty() && parts.size() > 1) parts.pop_back();
    if (parts.size() > 4) return false;
    std::vector<uint64_t> numbers(parts.size());
    for (size_t i = 0; i < parts.size(); ++i) {
        if (!ReadIpv4Number(parts[i], numbers[i])) return false;
        if (i + 1 < parts.size() && numbers[i] > 255) return false;
    }
    // The last number fills the bytes the parts before it left.
    if (numbers.back() >= (uint64_t(1) << (8 * (5 - numbers.size())))) return false;
    uint64_t address = numbers.back();
    for (size_t i = 0; i + 1 < numbers.size(); ++i) address += numbers[i] << (8 * (3 - i));
    host.clear();
    for (int shift = 24; shift >= 0; shift -= 8) {
        host += std::to_string((address >> shift) & 0xFF) + (shift > 0 ? "." : "");
    }
    return true;
}

// Reads IPv6 text (without its brackets) into eight pieces.
class Ipv6Reader {
public:
    explicit Ipv6Reader(const std::string& text) : text_(text) {}

    bool Read(uint16_t (&pieces)[8]) {
        if (At(0) == ':') {
            if (At(1) != ':') return false;
            at_ = 2;
            compress_ = ++index_;
        }
        while (At(at_) != kEnd) {
            if (index_ == 8) return false;
            if (At(at_) == ':') {
                if (compress_ >= 0) return false;
                ++at_;
                compress_ = ++index_;
                continue;
            }
            if (!ReadPiece()) return false;
            if (dotted_) break;
        }
        return Expand(pieces);
    }

private:
    static constexpr int kEnd = -1;

    int At(size_t i) const { return i < text_.size() ? static_cast<unsigned char>(text_[i]) : kEnd; }
    int DigitAt(size_t i, int radix) const { return At(i) == kEnd ? -1 : DigitValue(static_cast<char>(At(i)), radix); }

    bool ReadPiece() {
        unsigned value = 0;
        size_t length = 0;
        while (length < 4 && DigitAt(at_, 16) >= 0) {
            value = value * 16 + static_cast<unsigned>(DigitAt(at_, 16));
            ++at_;
            ++length;
        }
        if (At(at_) == '.') {
            if (length == 0) return false;
            at_ -= length;
            dotted_ = true;
            return ReadDottedTail();
        }
        if (At(at_) == ':') {
            ++at_;
            if (At(at_) == kEnd) return false;
        } else if (At(at_) != kEnd) {
            return false;
        }
        pieces_[index_++] = static_cast<uint16_t>(value);
        return true;
    }

    // An IPv4 address in the last two pieces.
    bool ReadDottedTail() {
        if (index_ > 6) return false;
        int seen = 0;
        while (At(at_) != kEnd) {
            if (seen > 0) {
                if (At(at_) != '.' || seen >= 4) return false;
                ++at_;
            }
            if (DigitAt(at_, 10) < 0) return false;
            int part = -1;
            while (DigitAt(at_, 10) >= 0) {
                const int digit = DigitAt(at_, 10);
                if (part == 0) return false;
                part = part < 0 ? digit : part * 10 + digit;
                if (part > 255) return false;
                ++at_;
            }
            pieces_[index_] = static_cast<uint16_t>(pieces_[index_] * 0x100 + part);
            ++seen;
            if (seen == 2 || seen == 4) ++index_;
        }
        return seen == 4;
    }

    bool Expand(uint16_t (&pieces)[8]) {
        if (compress_ >= 0) {
            int swaps = index_ - compress_;
            for (int i = 7; i != 0 && swaps > 0; --i, --swaps) std::swap(pieces_[i], pieces_[compress_ + swaps - 1]);
        } else if (index_ != 8) {
            return false;
        }
        std::memcpy(pieces, pieces_, sizeof(pieces_));
        return true;
    }

    const std::string& text_;
    size_t at_ = 0;
    int index_ = 0;
    int compress_ = -1;
    bool dotted_ = false;
    uint16_t pieces_[8] = {};
};

// The first longest run of two or more zero pieces is written as "::".
std::string WriteIpv6(const uint16_t (&pieces)[8]) {
    int compress = -1, longest = 1;
    for (int i = 0; i < 8;) {
        int run = 0;
        while (i + run < 8 && pieces[i + run] == 0) ++run;
        if (run > longest) {
            longest = run;
            compress = i;
        }
        i += run > 0 ? run : 1;
    }
    static const char kHex[] = "0123456789abcdef";
    std::string out = "[";
    for (int i = 0; i < 8; ++i) {
        if (i == compress) {
            out += i == 0 ? "::" : ":";
            i += longest - 1;
            continue;
        }
        std::string piece;
        for (unsigned v = pieces[i]; v != 0 || piece.empty(); v >>= 4) piece.insert(piece.begin(), kHex[v & 0xF]);
        out += piece + (i < 7 ? ":" : "");
    }
    return out + "]";
}

bool IsForbiddenInDomain(unsigned char c) {
    return c <= 0x20 || c == 0x7F || std::strchr("#%/:<>?@[\\]^|", c) != nullptr;
}

// The ASCII form of a domain. Hosts beyond ASCII need the IDNA tables, which this engine
// does not carry: they are refused, and so are their xn-- spellings, which it cannot check.
bool DomainToAscii(const std::string& domain, std::string& ascii) {
    ascii.clear();
    for (char c : domain) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
        ascii += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    for (const std::string& label : Split(ascii, '.')) {
        if (label.compare(0, 4, "xn--") == 0) return false;
    }
    return !ascii.empty();
}

}  // namespace

bool ReadUrlHost(const std::string& input, std::string& host) {
    if (input.empty()) return false;
    if (input[0] == '[') {
        uint16_t pieces[8];
        if (input.size() < 2 || input.back() != ']') return false;
        if (!Ipv6Reader(input.substr(1, input.size() - 2)).Read(pieces)) return false;
        host = WriteIpv6(pieces);
        return true;
    }
    std::string ascii;
    if (!DomainToAscii(PercentDecode(input), ascii)) return false;
    for (char c : ascii) {
        if (IsForbiddenInDomain(static_cast<unsigned char>(c))) return false;
    }
    if (EndsInANumber(ascii)) return ReadIpv4(ascii, host);
    host = ascii;
    return true;
}

}  // namespace engine
