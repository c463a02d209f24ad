#include "UrlOrigin.h"

#include <cctype>

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Host names and bracketed IPv6 addresses only: anything else makes no origin, so
// what the log names of a refused page is always a plain address.
bool IsHostText(const std::string& host) {
    if (host.empty()) return false;
    for (char c : host) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '_' && c != '[' && c != ']' &&
            c != ':') {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string UrlOrigin(const std::string& url) {
    const size_t colon = url.find("://");
    if (colon == std::string::npos) return std::string();
    const std::string scheme = Lower(url.substr(0, colon));
    const char* defaultPort = scheme == "http" ? "80" : scheme == "https" ? "443" : nullptr;
    if (defaultPort == nullptr) return std::string();
    const size_t start = colon + 3;
    std::string authority = url.substr(start, url.find_first_of("/?#\\", start) - start);
    const size_t at = authority.rfind('@');
    if (at != std::string::npos) authority.erase(0, at + 1);
    // The port follows the last colon unless that colon is inside an IPv6 address.
    const size_t close = authority.rfind(']');
    size_t portColon = authority.rfind(':');
    if (portColon != std::string::npos && close != std::string::npos && portColon < close) portColon = std::string::npos;
    std::string host = Lower(authority.substr(0, portColon));
    std::string port = portColon == std::string::npos ? std::string() : authority.substr(portColon + 1);
    if (port.empty()) port = defaultPort;
    for (char c : port) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::string();
    }
    while (port.size() > 1 && port[0] == '0') port.erase(0, 1);
    if (!IsHostText(host) || port.size() > 5 || std::stoul(port) > 65535) return std::string();
    return scheme + "://" + host + ":" + port;
}
