// The origin of an address as a browser compares it: scheme, host and port.
#pragma once

#include <string>

// "scheme://host:port" in lower case, the port written out (80 for http, 443 for
// https); empty for an address without one (about:, data:, file:, a malformed URL).
std::string UrlOrigin(const std::string& url);
