#include "Url.h"

#include <cctype>

#include "include/internal/cef_string.h"

namespace engine {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool Base64Decode(const std::string& in, std::string& out) {
    int bits = 0, buffer = 0;
    for (char c : in) {
        int v;
        if (c >= 'A' && c <= 'Z') v = c - 'A';
        else if (c >= 'a' && c <= 'z') v = c - 'a' + 26;
        else if (c >= '0' && c <= '9') v = c - '0' + 52;
        else if (c == '+' || c == '-') v = 62;
        else if (c == '/' || c == '_') v = 63;
        else if (c == '=' || std::isspace(static_cast<unsigned char>(c))) continue;
        else return false;
        buffer = (buffer << 6) | v;
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((buffer >> bits) & 0xFF);
        }
    }
    return true;
}

// The "scheme://host" part of an address that has one.
std::string Origin(const std::string& url) {
    const size_t start = url.find("://");
    if (start == std::string::npos) return std::string();
    return url.substr(0, url.find('/', start + 3));
}

}  // namespace

std::string UrlScheme(const std::string& url) {
    const size_t colon = url.find(':');
    if (colon == std::string::npos || colon == 0) return std::string();
    for (size_t i = 0; i < colon; ++i) {
        const unsigned char c = static_cast<unsigned char>(url[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return std::string();
        if (i == 0 && !std::isalpha(c)) return std::string();
    }
    return Lower(url.substr(0, colon));
}

std::string WithoutFragment(const std::string& url) { return url.substr(0, url.find('#')); }

std::string ResolveUrl(const std::string& base, const std::string& target) {
    if (!UrlScheme(target).empty()) return target;
    if (target.empty()) return base;
    if (target.compare(0, 2, "//") == 0) return UrlScheme(base) + ":" + target;
    if (target[0] == '/') return Origin(base) + target;
    if (target[0] == '#') return WithoutFragment(base) + target;
    std::string dir = WithoutFragment(base);
    dir = dir.substr(0, dir.find('?'));
    const size_t slash = dir.rfind('/');
    if (slash == std::string::npos || slash < Origin(base).size()) return Origin(base) + "/" + target;
    return dir.substr(0, slash + 1) + target;
}

std::string PercentDecode(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool DecodeDataUrl(const std::string& url, std::string& mimeType, std::string& charset, std::string& body) {
    const size_t comma = url.find(',');
    if (UrlScheme(url) != "data" || comma == std::string::npos) return false;
    const std::string header = url.substr(5, comma - 5);
    const std::string payload = WithoutFragment(url.substr(comma + 1));
    bool base64 = false;
    mimeType = "text/plain";
    charset = "US-ASCII";
    size_t pos = 0;
    for (int part = 0; pos <= header.size(); ++part) {
        const size_t semi = header.find(';', pos);
        const std::string item = header.substr(pos, semi == std::string::npos ? std::string::npos : semi - pos);
        if (part == 0 && !item.empty()) mimeType = Lower(item);
        else if (Lower(item) == "base64") base64 = true;
        else if (Lower(item).compare(0, 8, "charset=") == 0) charset = item.substr(8);
        if (semi == std::string::npos) break;
        pos = semi + 1;
    }
    body.clear();
    return base64 ? Base64Decode(PercentDecode(payload), body) : (body = PercentDecode(payload), true);
}

std::wstring FilePathOfUrl(const std::string& url) {
    std::string rest = WithoutFragment(url).substr(5);
    rest = rest.substr(0, rest.find('?'));
    // An address that names a host names a file on that host's share, never one here.
    std::string share;
    if (rest.compare(0, 2, "//") == 0) {
        const size_t end = rest.find('/', 2);
        share = rest.substr(2, end == std::string::npos ? std::string::npos : end - 2);
        rest = end == std::string::npos ? std::string() : rest.substr(end);
        if (share == "localhost") share.clear();
    }
    while (rest.compare(0, 1, "/") == 0) rest.erase(0, 1);
    std::string path = (share.empty() ? std::string() : "//" + share + "/") + PercentDecode(rest);
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return CefString(path).ToWString();
}

}  // namespace engine
