// Addresses read as a browser reads them, by the URL Standard's rules for the schemes the
// engine opens itself (http, https, file): one canonical form, which the frame answers, the
// handlers and the trace are given and libcurl fetches, so that the host asked is the host
// that was judged.
#pragma once

#include <string>

namespace engine {

// input read relative to base (a page's address; empty for none) into address. An http,
// https or file address comes out canonical. One of another scheme (data:, about:, ...)
// comes out as written, without the spaces and controls around it, tabs and newlines; a
// relative one against a base of such a scheme is resolved as before and read again. False
// when input cannot be read as an address.
bool ReadAddress(const std::string& input, const std::string& base, std::string& address);

}  // namespace engine
